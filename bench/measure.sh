#!/usr/bin/env bash
# Measures the real program under a real X server (Xvfb, with the openbox window manager)
# and prints: the time from launch to the first frame and to the finished start screen
# (median of 7 launches), peak memory, the CPU share while idle on the board for 20 s,
# and the CPU share while moves animate continuously for 20 s; then the headless frame
# benchmark. When sgt-puzzles is installed, its Same Game at 10 x 7 with 5 colours is
# measured the same way in the same run, and both are printed with their ratio. The sound device is SDL's "dummy" driver, a device that exists
# everywhere and keeps a thread busy while it is open, so an idle game must close it.
# Usage: bench/measure.sh [build-dir]   (default build/measure, an optimised Release build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/measure}
runs=7
seconds=20

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DORBOLAN_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target orbolan orbolan_first_frame orbolan_bench >/dev/null
bin=$(realpath "$build/bin")

source bench/lib.sh
bench_workspace measure

# ---- An X server and a window manager ----------------------------------------------------------
for n in $(seq 60 89); do
  [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
  Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
  pids+=("$!")
  export DISPLAY=":$n"
  break
done
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
openbox --sm-disable >"$work/openbox.log" 2>&1 &
pids+=("$!")
for _ in $(seq 50); do xprop -root _NET_SUPPORTING_WM_CHECK >/dev/null 2>&1 && break; sleep 0.1; done
export SDL_AUDIODRIVER=dummy

# The game's folder: its six sounds, and settings for megashift games (emptied columns refill
# and rows pack, so the board stays full and a game goes on), sounds and animations on:
# 15 little-endian int32.
cp "$bin"/*.wav "$work/"
printf '\x03\x00\x00\x00\x01\x00\x00\x00\x01\x00\x00\x00' >"$work/orbolan.cfg"
head -c 48 /dev/zero >>"$work/orbolan.cfg"
cd "$work"

load_before=$(cut -d' ' -f1-3 /proc/loadavg)
median() { sort -n | awk '{v[NR]=$1} END{print v[int((NR+1)/2)]}'; }

# ---- Launch to first frame --------------------------------------------------------------------
"$bin/orbolan_first_frame" "$bin/orbolan" reference.rgb --record >/dev/null
: >launches.txt
for _ in $(seq "$runs"); do
  cp orbolan.cfg orbolan.cfg.keep
  "$bin/orbolan_first_frame" "$bin/orbolan" reference.rgb >>launches.txt
  mv orbolan.cfg.keep orbolan.cfg
  sleep 0.3
done
first_drawn=$(cut -d' ' -f1 launches.txt | median)
start_screen=$(cut -d' ' -f2 launches.txt | median)

# ---- One long run: idle, then animating, then peak memory -------------------------------------
"$bin/orbolan" >game.log 2>&1 &
game=$!
pids+=("$game")
for _ in $(seq 100); do win=$(xdotool search --name '^Orbolan!$' 2>/dev/null | head -1) && [ -n "$win" ] && break; sleep 0.1; done
sleep 1
read -r cx cy < <(xwininfo -id "$win" | awk '/Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF} END{print x, y}')
xdotool mousemove $((cx + 309)) $((cy + 395)) click 1  # New
sleep 5  # the click has sounded and the sound device has had time to close

# CPU time of the whole process in nanoseconds: the sum over its threads' run time.
cpu_ns() { awk '{s+=$1} END{print s}' /proc/"$game"/task/*/schedstat; }
# The same from the kernel's tick counters, exited threads included, in nanoseconds.
cpu_ticks_ns() { awk -v hz="$(getconf CLK_TCK)" '{print ($14+$15+$16+$17)*1e9/hz}' /proc/"$game"/stat; }
share() { awk -v a="$1" -v b="$2" -v s="$3" 'BEGIN{printf "%.3f", (b-a)/(s*1e9)*100}'; }

a=$(cpu_ns); at=$(cpu_ticks_ns); threads_idle=$(ls /proc/"$game"/task | wc -l)
sleep "$seconds"
b=$(cpu_ns); bt=$(cpu_ticks_ns)
idle=$(share "$a" "$b" "$seconds"); idle_ticks=$(share "$at" "$bt" "$seconds")

# Continuous moves: two presses on one random cell (the first selects its group, the
# second removes it and the board slides), then Undo (the bubbles slide back, so the board
# stays full of groups), every 1.2 s; a slide lasts up to 1.35 s.
moves=$((seconds * 10 / 12))
chain=()
for _ in $(seq "$moves"); do
  x=$((cx + 8 + 48 * (RANDOM % 10) + 24)); y=$((cy + 8 + 48 * (RANDOM % 7) + 24))
  chain+=(mousemove "$x" "$y" click 1 sleep 0.05 click 1 sleep 0.55)
  chain+=(mousemove $((cx + 457)) $((cy + 395)) click 1 sleep 0.6)
done
a=$(cpu_ns); start=$(date +%s.%N)
xdotool "${chain[@]}"
b=$(cpu_ns); end=$(date +%s.%N)
elapsed=$(awk -v a="$start" -v b="$end" 'BEGIN{print b-a}')
animating=$(share "$a" "$b" "$elapsed")
shot=$(realpath "$bin/..")/measure-after-moves.png  # what the moves left, to look at
xwd -id "$win" -silent | convert xwd:- "$shot" 2>/dev/null || true

peak_kb=$(awk '/VmHWM/{print $2}' /proc/"$game"/status)
wmctrl -c 'Orbolan!'
for _ in $(seq 50); do kill -0 "$game" 2>/dev/null || break; sleep 0.1; done
wait "$game" && closed=0 || closed=$?

# ---- The peer: Same Game from sgt-puzzles at 10 x 7 with 5 colours, measured the same way -----
peer=/usr/games/sgt-samegame
peer_id='10x7c5s2r#4242'  # a fixed seed: the same board every launch, so its settled look is known
p_start=-; p_peak_kb=-; p_idle=-; p_animating=-
if [ -x "$peer" ]; then
  orbolan_game=$game
  "$bin/orbolan_first_frame" "$peer" peer.rgb --record --window "Same Game" -- "$peer_id" >/dev/null 2>&1
  : >peer_launches.txt
  for _ in $(seq "$runs"); do
    "$bin/orbolan_first_frame" "$peer" peer.rgb --window "Same Game" -- "$peer_id" >>peer_launches.txt 2>/dev/null
    sleep 0.3
  done
  p_start=$(cut -d' ' -f2 peer_launches.txt | median)
  "$peer" "$peer_id" >peer.log 2>&1 &
  game=$!
  pids+=("$game")
  for _ in $(seq 100); do pwin=$(xdotool search --name '^Same Game$' 2>/dev/null | head -1) && [ -n "$pwin" ] && break; sleep 0.1; done
  sleep 2
  read -r px py < <(xwininfo -id "$pwin" | awk '/Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF} END{print x, y}')
  a=$(cpu_ns); sleep "$seconds"; b=$(cpu_ns)
  p_idle=$(share "$a" "$b" "$seconds")
  # The same moves: a random cell twice (select, remove), then undo ('u'), every 1.2 s.
  # Its board lies 15 pixels from the left and 40 from the top, in tiles of 32 pixels.
  chain=()
  for _ in $(seq "$moves"); do
    x=$((px + 15 + 32 * (RANDOM % 10) + 16)); y=$((py + 40 + 32 * (RANDOM % 7) + 16))
    chain+=(mousemove "$x" "$y" click 1 sleep 0.05 click 1 sleep 0.55 key u sleep 0.6)
  done
  a=$(cpu_ns); start=$(date +%s.%N)
  xdotool "${chain[@]}"
  b=$(cpu_ns); end=$(date +%s.%N)
  p_animating=$(share "$a" "$b" "$(awk -v a="$start" -v b="$end" 'BEGIN{print b-a}')")
  p_peak_kb=$(awk '/VmHWM/{print $2}' /proc/"$game"/status)
  kill "$game"
  game=$orbolan_game
fi

verdict() { awk -v v="$1" -v t="$2" 'BEGIN{print (v < t) ? "met" : "MISSED"}'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN{if (b == "-" || b + 0 == 0) print "-"; else printf "%.2f", a / b}'; }
mb() { awk -v k="$1" 'BEGIN{if (k == "-") print "-"; else printf "%.1f", k / 1024}'; }
echo
echo "Measured under Xvfb with openbox on $(nproc) cores ($(uname -m)), $(date -u +%Y-%m-%d);"
echo "load average before the run: $load_before, after: $(cut -d' ' -f1-3 /proc/loadavg)"
row() { printf '%-46s %10s %10s %7s   %-10s %s\n' "$@"; }
row "figure" "Orbolan" "Same Game" "ratio" "target" "verdict"
row "launch to first frame drawn, ms (median of $runs)" "$first_drawn" "" "" "" ""
row "launch to finished start screen, ms" "$start_screen" "$p_start" "$(ratio "$start_screen" "$p_start")" "<= 40" \
  "$(verdict "$start_screen" 40.001)"
row "peak memory (VmHWM), MB" "$(mb "$peak_kb")" "$(mb "$p_peak_kb")" "$(ratio "$peak_kb" "$p_peak_kb")" "< 20" \
  "$(verdict "$peak_kb" 20480)"
row "CPU idle on the board, ${seconds} s, % of a core" "$idle" "$p_idle" "$(ratio "$idle" "$p_idle")" "0.000" \
  "$(awk -v v="$idle" 'BEGIN{print (v + 0 == 0) ? "met" : "MISSED"}')"
row "  the same by the kernel's tick counters" "$idle_ticks" "" "" "" ""
row "CPU, moves and undos for ${elapsed%.*} s, % of a core" "$animating" "$p_animating" \
  "$(ratio "$animating" "$p_animating")" "< 1" "$(verdict "$animating" 1)"
echo "launches (first frame, start screen in ms): $(paste -sd';' launches.txt)"
echo "threads while idle: $threads_idle; exit code on close: $closed; the board after the moves: $shot"
echo
"$bin/orbolan_bench" --benchmark_filter='Frame' --benchmark_repetitions=5 \
  --benchmark_report_aggregates_only=true 2>/dev/null | tail -4
