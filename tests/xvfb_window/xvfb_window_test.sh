#!/usr/bin/env bash
# The real window under a real X server (Xvfb): placement, exact pixels, mouse messages from
# real X events, closing through a window manager, and the program without any display.
# Usage: xvfb_window_test.sh PROBE [ORBOLAN FRAME_DUMP]
set -uo pipefail

PROBE=$(realpath "$1")
ORBOLAN=${2:+$(realpath "$2")}
FRAME_DUMP=${3:+$(realpath "$3")}
SCREEN_W=1024
SCREEN_H=768
CLIENT_W=493
CLIENT_H=419

work=$(mktemp -d /tmp/orbolan-xvfb.XXXXXX)
SHOTS=${TMPDIR:-/tmp}/orbolan-xvfb-shots
pids=()
failures=0

cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null; done
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}
pass() { echo "ok: $*"; }

# Waits up to $1 tenths of a second for the command in the remaining arguments to succeed.
wait_for() {
  local tenths=$1
  shift
  for ((i = 0; i < tenths; i++)); do
    "$@" >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  return 1
}

start_xvfb() {
  for n in 90 91 92 93 94 95 96 97 98 99; do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    Xvfb ":$n" -screen 0 "${SCREEN_W}x${SCREEN_H}x24" -nolisten tcp >"$work/xvfb.log" 2>&1 &
    local pid=$!
    # Ours only if our server still runs once the display answers (another test may have
    # taken the number a moment earlier).
    if wait_for 50 xdpyinfo -display ":$n" && sleep 0.2 && kill -0 "$pid" 2>/dev/null; then
      pids+=("$pid")
      export DISPLAY=":$n"
      return 0
    fi
    kill "$pid" 2>/dev/null
  done
  echo "no free display for Xvfb" >&2
  exit 1
}

# The id of the window titled "Orbolan!", once it exists.
find_window() {
  local id=""
  for ((i = 0; i < 100; i++)); do
    id=$(xdotool search --onlyvisible --name '^Orbolan!$' 2>/dev/null | head -1)
    [ -n "$id" ] && break
    sleep 0.1
  done
  echo "$id"
}

# Absolute position and size of a window's client area: "x y w h".
client_geometry() {
  xwininfo -id "$1" | awk '/Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF}
    /^ *Width:/{w=$NF} /^ *Height:/{h=$NF} END{print x, y, w, h}'
}

# Number of pixels in which the window's client area on screen differs from the BMP $1.
screen_differs_from() {
  local expected=$1 x=$2 y=$3
  xwd -root -silent | convert xwd:- -crop "${CLIENT_W}x${CLIENT_H}+$x+$y" +repage "$work/shot.png"
  compare -metric AE "$work/shot.png" "$expected" "$work/diff.png" 2>&1 >/dev/null | cut -d' ' -f1
}

same_picture() { [ "$(screen_differs_from "$@")" = "0" ]; }

# True when window $1's client area, wherever it is now, shows the BMP $2 exactly.
window_shows() {
  local x y w h
  read -r x y w h < <(client_geometry "$1")
  same_picture "$2" "$x" "$y"
}

# Keeps the last screenshot as $1 in the shots folder beside the log, for a person to look at.
keep_shot() {
  mkdir -p "$SHOTS" && cp "$work/shot.png" "$SHOTS/$1.png"
}

# ---- The probe without window manager: placement, pixels, mouse --------------------------------
probe_without_window_manager() {
  mkdir -p "$work/probe1" && cd "$work/probe1" || return
  "$PROBE" >stdout.log 2>stderr.log &
  PROBE1_PID=$!
  pids+=("$PROBE1_PID")
  local win
  win=$(find_window)
  [ -n "$win" ] || { fail "no window titled Orbolan! appeared: $(cat stderr.log)"; return; }
  pass "window titled Orbolan! appeared"
  xwininfo -id "$win" | grep -q 'Map State: IsViewable' && pass "window is mapped" ||
    fail "window is not mapped"

  read -r x y w h < <(client_geometry "$win")
  [ "$w" = "$CLIENT_W" ] && [ "$h" = "$CLIENT_H" ] && pass "client area ${w}x$h" ||
    fail "client area ${w}x$h, wanted ${CLIENT_W}x$CLIENT_H"
  local ex=$((SCREEN_W / 2 - CLIENT_W / 2)) ey=$((SCREEN_H / 2 - CLIENT_H / 2))
  [ "$x" = "$ex" ] && [ "$y" = "$ey" ] && pass "centred at $x,$y" ||
    fail "placed at $x,$y, wanted $ex,$ey (no frame without a window manager)"

  wait_for 100 grep -q finished probe.log || fail "the timer thread did not finish the frame"
  if wait_for 50 same_picture expected.bmp "$x" "$y"; then
    pass "screenshot equals the frame pixel for pixel (drawn from the timer thread)"
    keep_shot probe
  else
    fail "screenshot differs from the frame in $(screen_differs_from expected.bmp "$x" "$y") pixels"
    keep_shot probe-failed
  fi

  : >probe.log
  xdotool mousemove $((x + 100)) $((y + 50)) click 1
  xdotool mousemove $((x + 200)) $((y + 60)) keydown shift click 1 keyup shift
  # A drag that leaves the window over its top-left corner, released outside.
  xdotool mousemove $((x + 10)) $((y + 10)) mousedown 1 mousemove $((x - 16)) $((y - 15)) \
    sleep 0.2 mouseup 1
  local want="513 1 100 50|514 0 100 50|513 5 200 60|514 4 200 60|513 1 10 10|512 1 -16 -15|514 0 -16 -15"
  if wait_for 30 grep -q -- "514 0 -16 -15" probe.log; then
    local got
    # X may report one position twice while dragging; a repeat says nothing new.
    got=$(grep -E '^51[234] ' probe.log | grep -v '^512 1 10 10$' | uniq | paste -sd'|')
    [ "$got" = "$want" ] && pass "mouse messages: $got" || fail "mouse messages: $got, wanted $want"
  else
    fail "mouse messages missing: $(paste -sd'|' probe.log)"
  fi
  cd "$work" || return
}

# ---- Under a window manager: closing, and frame-centred placement ---------------------------------

# Asks the window manager to close "Orbolan!" and checks that process $1 ends with 0 and
# logged the close to $2.
close_and_check() {
  local pid=$1 log=$2 what=$3
  wmctrl -c 'Orbolan!' || fail "$what: wmctrl found no window"
  for ((i = 0; i < 100; i++)); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$pid" 2>/dev/null && { fail "$what: still running after the close request"; kill "$pid"; }
  wait "$pid"
  local code=$?
  [ "$code" = 0 ] && grep -q close "$log" && pass "$what: closed by the window manager, exit code 0" ||
    fail "$what: exit code $code, log: $(paste -sd'|' "$log")"
}

probe_with_window_manager() {
  openbox --sm-disable >"$work/openbox.log" 2>&1 &
  pids+=("$!")
  wait_for 50 xprop -root _NET_SUPPORTING_WM_CHECK || fail "openbox did not start"
  sleep 0.5
  [ -n "${PROBE1_PID:-}" ] && close_and_check "$PROBE1_PID" "$work/probe1/probe.log" "first probe"

  mkdir -p "$work/probe2" && cd "$work/probe2" || return
  "$PROBE" >stdout.log 2>stderr.log &
  local pid=$!
  pids+=("$pid")
  local win
  win=$(find_window)
  [ -n "$win" ] || { fail "second probe: no window"; return; }
  wait_for 50 grep -q finished probe.log
  local l r t b extents
  wait_for 50 window_shows "$win" expected.bmp  # framed, placed and drawn
  extents=$(xprop -id "$win" _NET_FRAME_EXTENTS | sed -n 's/.*= //p' | tr -d ',')
  read -r l r t b <<<"$extents"
  read -r x y w h < <(client_geometry "$win")
  if [ -n "$l" ]; then
    local ox=$((SCREEN_W / 2 - (CLIENT_W + l + r) / 2)) oy=$((SCREEN_H / 2 - (CLIENT_H + t + b) / 2))
    [ $((x - l)) = "$ox" ] && [ $((y - t)) = "$oy" ] && [ "$w" = "$CLIENT_W" ] && [ "$h" = "$CLIENT_H" ] &&
      pass "framed window centred: frame at $((x - l)),$((y - t)), client ${w}x$h at $x,$y" ||
      fail "framed window: frame at $((x - l)),$((y - t)) (wanted $ox,$oy), client ${w}x$h"
  else
    fail "window manager gave no frame extents"
  fi
  same_picture expected.bmp "$x" "$y" && pass "framed window shows the frame pixel for pixel" ||
    fail "framed window differs in $(screen_differs_from expected.bmp "$x" "$y") pixels"
  close_and_check "$pid" probe.log "second probe"
  cd "$work" || return
}

# ---- The real program: its first screen, closing saves the file ------------------------------------
real_program() {
  [ -x "$ORBOLAN" ] && [ -x "$FRAME_DUMP" ] || { echo "skip: the real program is not built"; return; }
  mkdir -p "$work/real" "$work/dump" && cd "$work/dump" && "$FRAME_DUMP" start.bmp ||
    { fail "frame_dump failed"; return; }
  cd "$work/real" || return
  "$ORBOLAN" >stdout.log 2>stderr.log &
  local pid=$!
  pids+=("$pid")
  local win
  win=$(find_window)
  [ -n "$win" ] || { fail "orbolan: no window"; return; }
  if wait_for 50 window_shows "$win" "$work/dump/start.bmp"; then
    pass "orbolan shows its first screen pixel for pixel"
    keep_shot orbolan-start
  else
    read -r x y w h < <(client_geometry "$win")
    fail "orbolan's first screen at $x,$y differs in $(screen_differs_from "$work/dump/start.bmp" "$x" "$y") pixels"
    keep_shot orbolan-start-failed
    convert "$work/dump/start.bmp" "$SHOTS/orbolan-start-expected.png"
  fi
  wmctrl -c 'Orbolan!'
  for ((i = 0; i < 100; i++)); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$pid" 2>/dev/null && kill "$pid"
  wait "$pid"
  local code=$?
  local size
  size=$(stat -c %s orbolan.cfg 2>/dev/null)
  [ "$code" = 0 ] && [ "$size" = 60 ] && pass "orbolan closed with 0 and wrote orbolan.cfg (60 bytes)" ||
    fail "orbolan close: exit code $code, orbolan.cfg size '${size}'"
  cd "$work" || return
}

# ---- No display at all ----------------------------------------------------------------------------
no_display() {
  local prog=${ORBOLAN:-$PROBE}
  [ -x "$ORBOLAN" ] || prog=$PROBE
  mkdir -p "$work/nodisplay" && cd "$work/nodisplay" || return
  env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER timeout 20 "$prog" >stdout.log 2>stderr.log
  local code=$?
  [ "$code" != 0 ] && [ "$code" != 124 ] && grep -q "Direct Draw Initialisierung fehlgeschlagen!" stderr.log &&
    pass "without a display: message on standard error, exit code $code" ||
    fail "without a display: exit code $code, stderr: $(cat stderr.log)"
  cd "$work" || return
}

no_display
start_xvfb
probe_without_window_manager
probe_with_window_manager
real_program

if [ "$failures" -gt 0 ]; then
  echo "$failures failure(s)" >&2
  exit 1
fi
echo "all window checks passed"
