#!/usr/bin/env bash
# Measures the real program as a laptop runs it: under a real X server (Xvfb, with the
# openbox window manager) and a real sound server (PulseAudio, started here as the user
# running this script, with one null sink paced like a sound card), the game reaching it
# through SDL's "pulseaudio" driver. Every CPU figure counts the game, the sound server and
# the X server over the same window of time. Prints: the time from launch to the first
# frame and to the finished start screen (median of 7 launches), peak memory, CPU idle on
# the board for 20 s, CPU while moves and undos go on for 20 s with sounds and animations
# on, and the same with both off; then the headless frame benchmark. When sgt-puzzles is
# installed, its Same Game at 10 x 7 with 5 colours is measured the same way in the same
# run, and each figure is printed beside it with the ratio. Second lines with SDL's "dummy"
# sound driver (a device with no server behind it) show what the sound server adds.
# Usage: bench/measure.sh [build-dir]   (default build/measure, an optimised Release build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/measure}
runs=${MEASURE_RUNS:-7}
seconds=${MEASURE_SECONDS:-20}  # shorter only to try the script out

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DORBOLAN_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target orbolan orbolan_first_frame orbolan_bench >/dev/null
bin=$(realpath "$build/bin")

source bench/lib.sh
bench_workspace measure

# ---- An X server and a window manager ----------------------------------------------------------
exec 3<> <(:)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xserver=$!
pids+=("$xserver")
read -r -t 30 display <&3
export DISPLAY=":$display"
openbox --sm-disable >"$work/openbox.log" 2>&1 &
pids+=("$!")
for _ in $(seq 100); do xprop -root _NET_SUPPORTING_WM_CHECK >/dev/null 2>&1 && break; sleep 0.1; done
# A session bus, as a desktop has one: without it the first program that asks for one (SDL
# does, at start) has a bus daemon started through the X server, inside its launch.
eval "$(dbus-launch --sh-syntax)"
pids+=("$DBUS_SESSION_BUS_PID")

# ---- A sound server: PulseAudio with a null sink and nothing else -------------------------------
# No configuration files (-n); besides the null sink only the native protocol's socket,
# without which no client could reach it. Its runtime and state stay in the scratch folder.
export PULSE_RUNTIME_PATH="$work/pulse" PULSE_STATE_PATH="$work/pulse" XDG_RUNTIME_DIR="$work"
mkdir -p "$work/pulse"
pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no --realtime=no \
  --high-priority=no --log-target=file:"$work/pulse.log" \
  -L module-null-sink \
  -L "module-native-protocol-unix auth-anonymous=1 socket=$work/pulse/native" 2>>"$work/pulse.log" &
soundserver=$!
pids+=("$soundserver")
export PULSE_SERVER="unix:$work/pulse/native"
for _ in $(seq 100); do [ -S "$work/pulse/native" ] && break; sleep 0.1; done
[ -S "$work/pulse/native" ] || { echo "the sound server did not start:" >&2; cat "$work/pulse.log" >&2; exit 1; }
export SDL_AUDIODRIVER=pulseaudio

# The game's folder: its six sounds, and settings for megashift games (emptied columns refill
# and rows pack, so the board stays full and a game goes on): 15 little-endian int32, the
# game type, sounds, animations, then zeros.
cp "$bin"/*.wav "$work/"
settings() { printf "\\x03\\x00\\x00\\x00\\x0$1\\x00\\x00\\x00\\x0$2\\x00\\x00\\x00" >"$work/orbolan.cfg"; head -c 48 /dev/zero >>"$work/orbolan.cfg"; }
settings 1 1
cd "$work"

load_before=$(cut -d' ' -f1-3 /proc/loadavg)
median() { sort -n | awk '{v[NR]=$1} END{print v[int((NR+1)/2)]}'; }

# CPU time of a process in nanoseconds: the sum over its threads' run time.
cpu_ns() { awk '{s+=$1} END{printf "%d", s}' /proc/"$1"/task/*/schedstat; }
# "program sound-server X-server" CPU times, taken together.
cpu3() { echo "$(cpu_ns "$1") $(cpu_ns "$soundserver") $(cpu_ns "$xserver")"; }
# Shares in % of a core of each of the three, and their sum, between two cpu3 readings.
shares() {
  awk -v a="$1" -v b="$2" -v s="$3" 'BEGIN{split(a, x, " "); split(b, y, " "); t = 0
    for (i = 1; i <= 3; ++i) { v[i] = (y[i] - x[i]) / (s * 1e9) * 100; t += v[i] }
    printf "%.3f %.3f %.3f %.3f", v[1], v[2], v[3], t}'
}
now() { date +%s.%N; }
since() { awk -v a="$1" -v b="$(now)" 'BEGIN{print b - a}'; }
# Wakes of the sound server (voluntary context switches of all its threads).
wakes() { awk '/^voluntary_ctxt_switches/{s+=$2} END{print s}' /proc/"$soundserver"/task/*/status; }

# ---- Launch to first frame --------------------------------------------------------------------
launches() {  # FILE: 7 launches of the game, each "first frame, start screen" in ms
  : >"$1"
  for _ in $(seq "$runs"); do
    cp orbolan.cfg orbolan.cfg.keep
    "$bin/orbolan_first_frame" "$bin/orbolan" reference.rgb >>"$1"
    mv orbolan.cfg.keep orbolan.cfg
    sleep 0.3
  done
}
"$bin/orbolan_first_frame" "$bin/orbolan" reference.rgb --record >/dev/null
launches launches.txt
first_drawn=$(cut -d' ' -f1 launches.txt | median)
start_screen=$(cut -d' ' -f2 launches.txt | median)
SDL_AUDIODRIVER=dummy launches launches_dummy.txt
start_screen_dummy=$(cut -d' ' -f2 launches_dummy.txt | median)

# ---- The game: idle on the board, then moves and undos --------------------------------------------
# Continuous moves: two presses on one random cell (the first selects its group, the second
# removes it and the board slides), then Undo (the bubbles slide back, so the board stays
# full of groups), every 1.2 s; a slide lasts up to 1.35 s.
moves=$((seconds * 10 / 12))
RANDOM=4242
game_chain=()
for _ in $(seq "$moves"); do
  c=$((RANDOM % 10)) r=$((RANDOM % 7))
  game_chain+=(mousemove_relative_to_window "$c" "$r")
done

# Starts the game, opens a board and waits until its sound device has closed again. Sets
# $game, $win, $cx, $cy.
start_game() {
  "$bin/orbolan" >>game.log 2>&1 &
  game=$!
  pids+=("$game")
  win=
  for _ in $(seq 100); do win=$(xdotool search --name '^Orbolan!$' 2>/dev/null | head -1) && [ -n "$win" ] && break; sleep 0.1; done
  sleep 1
  read -r cx cy < <(xwininfo -id "$win" | awk '/Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF} END{print x, y}')
  xdotool mousemove $((cx + 309)) $((cy + 395)) click 1  # New
  sleep 5  # the click has sounded and the sound device has had time to close
}
stop_game() {
  wmctrl -c 'Orbolan!'
  for _ in $(seq 50); do kill -0 "$game" 2>/dev/null || break; sleep 0.1; done
  wait "$game" && closed=0 || closed=$?
}
# Plays the fixed moves on the game's board; sets $played (the shares) and $elapsed.
play_game() {
  local chain=() a t0 k=0
  while [ $k -lt ${#game_chain[@]} ]; do
    local c=${game_chain[k + 1]} r=${game_chain[k + 2]}
    local x=$((cx + 8 + 48 * c + 24)) y=$((cy + 8 + 48 * r + 24))
    chain+=(mousemove "$x" "$y" click 1 sleep 0.05 click 1 sleep 0.55)
    chain+=(mousemove $((cx + 457)) $((cy + 395)) click 1 sleep 0.6)
    k=$((k + 3))
  done
  # How much of the time the game's sound output is open (SDL's audio thread is there),
  # sampled every 0.1 s: the sound server is fed all the while it is.
  rm -f sampled.stop
  (
    n=0 o=0
    while [ ! -e sampled.stop ]; do
      n=$((n + 1))
      grep -qi audio /proc/"$game"/task/*/comm 2>/dev/null && o=$((o + 1))
      sleep 0.1
    done
    echo "$o $n" >sampled.txt
  ) &
  local sampler=$!
  a=$(cpu3 "$game") w0=$(wakes) t0=$(now)
  xdotool "${chain[@]}"
  elapsed=$(since "$t0")
  touch sampled.stop
  wait "$sampler"
  played_open=$(awk '{printf "%.0f", $2 ? 100 * $1 / $2 : 0}' sampled.txt)
  played=$(shares "$a" "$(cpu3 "$game")" "$elapsed")
  played_wakes=$(awk -v a="$w0" -v b="$(wakes)" -v s="$elapsed" 'BEGIN{printf "%.0f", (b - a) / s}')
}
idle_board() {  # sets $idle (the shares) and $idle_wakes
  local a w0
  a=$(cpu3 "$game") w0=$(wakes)
  sleep "$seconds"
  idle=$(shares "$a" "$(cpu3 "$game")" "$seconds")
  idle_wakes=$(awk -v a="$w0" -v b="$(wakes)" -v s="$seconds" 'BEGIN{printf "%.0f", (b - a) / s}')
}

# Sounds and animations on, under the sound server.
start_game
threads_idle=$(ls /proc/"$game"/task | wc -l)
idle_board
g_idle=$idle g_idle_wakes=$idle_wakes
play_game
on=$played on_wakes=$played_wakes on_elapsed=$elapsed on_open=$played_open
shot=$(realpath "$bin/..")/measure-after-moves.png  # what the moves left, to look at
xwd -id "$win" -silent | convert xwd:- "$shot" 2>/dev/null || true
peak_kb=$(awk '/VmHWM/{print $2}' /proc/"$game"/status)
stop_game
# The same with the dummy sound driver: the game's own share without a server to feed.
SDL_AUDIODRIVER=dummy start_game
play_game
on_dummy=$played
peak_kb_dummy=$(awk '/VmHWM/{print $2}' /proc/"$game"/status)
stop_game
# Sounds and animations off: the peer's own work.
settings 0 0
start_game
play_game
off=$played off_wakes=$played_wakes
stop_game

# ---- The peer: Same Game from sgt-puzzles at 10 x 7 with 5 colours, measured the same way -----
peer=/usr/games/sgt-samegame
peer_id='10x7c5s2r#4242'  # a fixed seed: the same board every launch, so its settled look is known
p_start=- p_peak_kb=- p_idle="- - - -" p_moves="- - - -"
if [ -x "$peer" ]; then
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
  idle_board
  p_idle=$idle
  # The same moves: the same cells twice (select, remove), then undo ('u'), every 1.2 s.
  # Its board lies 15 pixels from the left and 40 from the top, in tiles of 32 pixels.
  chain=()
  for ((k = 0; k < ${#game_chain[@]}; k += 3)); do
    x=$((px + 15 + 32 * game_chain[k + 1] + 16)) y=$((py + 40 + 32 * game_chain[k + 2] + 16))
    chain+=(mousemove "$x" "$y" click 1 sleep 0.05 click 1 sleep 0.55 key u sleep 0.6)
  done
  a=$(cpu3 "$game") t0=$(now)
  xdotool "${chain[@]}"
  p_moves=$(shares "$a" "$(cpu3 "$game")" "$(since "$t0")")
  p_peak_kb=$(awk '/VmHWM/{print $2}' /proc/"$game"/status)
  kill "$game"
fi

# ---- The report ----------------------------------------------------------------------------------
field() { echo "$1" | cut -d' ' -f"$2"; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN{if (b == "-" || a == "" || b + 0 == 0) print "-"; else printf "%.2f", a / b}'; }
mb() { awk -v k="$1" 'BEGIN{if (k == "-") print "-"; else printf "%.1f", k / 1024}'; }
at_most() { awk -v v="$1" -v t="$2" 'BEGIN{print (v <= t) ? "met" : "MISSED"}'; }
echo
echo "Measured under Xvfb with openbox and PulseAudio (a null sink) on $(nproc) cores ($(uname -m)), $(date -u '+%Y-%m-%d %H:%M UTC');"
echo "load average before the run: $load_before, after: $(cut -d' ' -f1-3 /proc/loadavg)"
row() { printf '%-52s %9s %9s %6s   %-14s %s\n' "$@"; }
row "figure" "Orbolan" "Same Game" "ratio" "target" "verdict"
row "launch to first frame drawn, ms (median of $runs)" "$first_drawn" "" "" "" ""
row "launch to finished start screen, ms" "$start_screen" "$p_start" "$(ratio "$start_screen" "$p_start")" \
  "<= 25, <= half" "$(at_most "$start_screen" 25) $(at_most "$(ratio "$start_screen" "$p_start")" 0.5)"
row "  the same with the dummy sound driver" "$start_screen_dummy" "" "" "" ""
row "peak memory (VmHWM), MB" "$(mb "$peak_kb")" "$(mb "$p_peak_kb")" "$(ratio "$peak_kb" "$p_peak_kb")" \
  "<= 18" "$(at_most "$peak_kb" 18432)"
row "  the same with the dummy sound driver" "$(mb "$peak_kb_dummy")" "" "" "" ""
names=("game" "sound server" "X server" "all three")
for i in 1 2 3 4; do
  row "CPU idle on the board ${seconds} s, % of a core: ${names[i - 1]}" "$(field "$g_idle" $i)" \
    "$(field "$p_idle" $i)" "$(ratio "$(field "$g_idle" $i)" "$(field "$p_idle" $i)")" "" ""
done
idle_all=$(field "$g_idle" 4)
for i in 1 2 3 4; do
  target="" verdict=""
  if [ $i = 4 ]; then
    target="<= idle + 1"
    verdict=$(at_most "$(field "$on" 4)" "$(awk -v a="$idle_all" 'BEGIN{print a + 1}')")
  fi
  row "CPU, moves and undos ${on_elapsed%.*} s, on: ${names[i - 1]}" "$(field "$on" $i)" \
    "$(field "$p_moves" $i)" "$(ratio "$(field "$on" $i)" "$(field "$p_moves" $i)")" "$target" "$verdict"
done
row "  game, with the dummy sound driver" "$(field "$on_dummy" 1)" "" "" "" ""
for i in 1 2 3 4; do
  target="" verdict=""
  if [ $i = 4 ]; then
    target="<= Same Game"
    verdict=$(at_most "$(field "$off" 4)" "$(field "$p_moves" 4)")
  fi
  row "CPU, the same, sounds and animations off: ${names[i - 1]}" "$(field "$off" $i)" \
    "$(field "$p_moves" $i)" "$(ratio "$(field "$off" $i)" "$(field "$p_moves" $i)")" "$target" "$verdict"
done
echo "sound server wake-ups a second: idle on the board $g_idle_wakes, moves with sounds on $on_wakes, with sounds off $off_wakes"
echo "the game's sound output was open for $on_open % of the moves with sounds on"
echo "launches (first frame, start screen in ms): $(paste -sd';' launches.txt); dummy: $(paste -sd';' launches_dummy.txt)"
echo "threads while idle: $threads_idle; exit code on close: $closed; the board after the moves: $shot"
echo
"$bin/orbolan_bench" --benchmark_filter='Frame|Tick' --benchmark_repetitions=5 \
  --benchmark_report_aggregates_only=true --benchmark_color=false 2>/dev/null | grep -v '_mean\|_stddev\|_cv'
