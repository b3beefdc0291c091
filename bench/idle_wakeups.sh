#!/usr/bin/env bash
# Counts how often each thread of the idle game wakes: the voluntary context switches of
# every thread (/proc/<pid>/task/*/status) over 20 s on the start screen, the board and every
# paper screen, under Xvfb with openbox and SDL's "dummy" sound device. Each screen is
# measured once its sound has ended and the sound device has closed again.
# Usage: bench/idle_wakeups.sh [bin-dir] [seconds]   (default build/measure/bin, 20)
set -euo pipefail
export LC_ALL=C  # join and sort agree on the order
cd "$(dirname "$0")/.."
bin=$(realpath "${1:-build/measure/bin}")
seconds=${2:-20}
source bench/lib.sh
bench_workspace wakeups

exec 3<> <(:)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=("$!")
read -r -t 30 display <&3
export DISPLAY=":$display"
openbox --sm-disable >"$work/openbox.log" 2>&1 &
pids+=("$!")
for _ in $(seq 100); do xprop -root _NET_SUPPORTING_WM_CHECK >/dev/null 2>&1 && break; sleep 0.1; done
export SDL_AUDIODRIVER=dummy

cp "$bin"/*.wav "$work/"
cd "$work"
"$bin/orbolan" >game.log 2>&1 &
game=$!
pids+=("$game")
for _ in $(seq 100); do win=$(xdotool search --name '^Orbolan!$' 2>/dev/null | head -1) && [ -n "$win" ] && break; sleep 0.1; done
read -r cx cy < <(xwininfo -id "$win" | awk '/Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF} END{print x, y}')
# The window exists before the game has started: wait for its timer thread, and for the
# start-up's sound to begin, so that the first measure is of the idle start screen.
for _ in $(seq 100); do grep -q timer /proc/"$game"/task/*/comm 2>/dev/null && break; sleep 0.1; done
for _ in $(seq 20); do grep -qi audio /proc/"$game"/task/*/comm 2>/dev/null && break; sleep 0.1; done

# "tid name switches" for every thread of the game.
switches() {
  for t in /proc/"$game"/task/*; do
    printf '%s %s %s\n' "${t##*/}" "$(tr ' ' _ <"$t/comm")" \
      "$(awk '/^voluntary_ctxt_switches/{print $2}' "$t/status")"
  done | sort
}
# Waits until no sound thread is left: the sound has ended and the device has closed.
quiet() {
  for _ in $(seq 300); do
    grep -qi audio /proc/"$game"/task/*/comm 2>/dev/null || return 0
    sleep 0.1
  done
  echo "the sound device stayed open" >&2
}
measure() {
  quiet
  switches >before.txt
  sleep "$seconds"
  switches >after.txt
  printf '%-24s' "$1"
  join before.txt after.txt | awk '{n+=$5-$3; printf " %s:%d", $2, $5-$3} END{printf "   total %d\n", n}'
}
click() { xdotool mousemove $((cx + $1)) $((cy + $2)) click 1; }

echo "Wake-ups (voluntary context switches) per thread over $seconds s, idle:"
measure "start screen"
click 309 395; measure "board"            # New
click 173 395; measure "setup"            # Setup
click 246 296                              # its OK
click 241 395; measure "scores"           # Scores
click 211 296                              # its OK
click 105 395; measure "credits"          # the logo
click 201 296                              # its OK
click 309 395; measure "end of game"      # End
wmctrl -c 'Orbolan!'
wait "$game" || true
