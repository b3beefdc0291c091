# shellcheck shell=bash
# Shared steps of the tests that run the real program under Xvfb: a private X server with a
# window manager, starting the game, clicking and closing its window, checking what it left.
# The caller sets `work` (a fresh temporary folder) and `shots` (where screenshots go) first.

skip_code=77
app_id=org.orbolan.orbolan
sounds=(intro.wav click.wav pop.wav megapop.wav score.wav higscore.wav)
failures=0 xvfb_pid='' wm_pid='' game_pid='' extra_env=()

fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# check WHAT COMMAND...: runs the command, reports WHAT, and shows its output if it failed.
# Returns 0 either way (the scripts run under set -e); `failures` counts.
check() {
  local what=$1 out
  shift
  if out=$("$@" 2>&1); then echo "ok: $what"; else fail "$what"; [ -z "$out" ] || echo "$out" >&2; fi
}

finish() {
  [ "$failures" -eq 0 ] || { echo "$failures check(s) failed" >&2; exit 1; }
  echo "all checks passed"
}

# Waits up to $1 tenths of a second for the command that follows to succeed.
wait_for() {
  local i
  for ((i = 0; i < $1; i++)); do "${@:2}" >/dev/null 2>&1 && return 0; sleep 0.1; done
  return 1
}

# Ends process $1 (one this test started): asks it first, forces it after two seconds.
stop_pid() {
  [ -n "$1" ] || return 0
  kill "$1" 2>/dev/null || true
  wait_for 20 eval "! kill -0 $1" || kill -KILL "$1" 2>/dev/null || true
  wait "$1" 2>/dev/null || true
}

# Stops whatever this test started, by process id, and removes the temporary folder.
stop_all() {
  local pid
  for pid in "$game_pid" "$wm_pid" "$xvfb_pid"; do stop_pid "$pid"; done
  [ -z "${work:-}" ] || rm -rf -- "$work"
}

# Xvfb on a display number it finds free (-displayfd tells which, once it is ready), and
# openbox with a home of its own, so that nothing it writes lands in the player's home.
start_x() {
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
  xvfb_pid=$!
  wait_for 100 grep -q '[0-9]' "$work/display" || { echo "Xvfb did not start" >&2; cat "$work/xvfb.log" >&2; return 1; }
  export DISPLAY=":$(tr -dc 0-9 <"$work/display")"
  mkdir -p "$work/wm-home"
  HOME=$work/wm-home openbox >"$work/openbox.log" 2>&1 &
  wm_pid=$!
  wait_for 100 wmctrl -m || { echo "openbox did not start" >&2; return 1; }
}

# Starts `$@` in folder $1 with a desktop session's bare environment: HOME=$2, the display,
# the usual PATH, a private runtime folder (else the sound libraries write to the home) and
# the NAME=value pairs of the array extra_env; then waits for its window "Orbolan!".
start_game() {
  local dir=$1 home=$2
  shift 2
  mkdir -p -m 700 "$work/runtime"
  (cd "$dir" && exec env -i HOME="$home" DISPLAY="$DISPLAY" LANG=C.UTF-8 XDG_RUNTIME_DIR="$work/runtime" \
    PATH=/usr/local/bin:/usr/bin:/bin:/usr/games "${extra_env[@]}" "$@") >"$work/game.log" 2>&1 &
  game_pid=$!
  wait_for 300 eval "window || ! kill -0 $game_pid" && kill -0 "$game_pid" 2>/dev/null ||
    { fail "no window \"Orbolan!\" appeared"; cat "$work/game.log" >&2; return 1; }
  sleep 1  # let the start screen settle, as a player would look at it
}

# The game's window, looked up afresh each time (a window may be made again while starting).
window() { xdotool search --name '^Orbolan!$' | head -n 1 | grep .; }

# A picture of the game's window; given a window that is gone, import would wait for a mouse
# click choosing another, so it gets a time limit.
grab() { timeout 10 import -window "$(window)" -depth 8 "$@"; }

# Left click at (x, y) of the window's client area; moves off first, since a synchronous move
# to where the pointer already is never completes.
click() {
  local w
  w=$(window)
  xdotool mousemove --window "$w" --sync $(($1 + 1)) $(($2 + 1)) mousemove --window "$w" --sync "$1" "$2" click 1
}

# The red, green and blue of client pixel (x, y), as three numbers.
pixel() { grab -crop "1x1+$1+$2" rgb:- | od -An -tu1; }

# Saves the window as $shots/$1.png, checks that it shows the game's artwork (thousands of
# colours, not an empty window), asks it to close as the window manager's close button does
# and checks that the game ends with exit code 0.
shoot_and_close() {
  local shot=$shots/$1.png status
  grab "$shot" || fail "no screenshot"
  check "the window shows the game ($shot)" test "$(identify -format '%k' "$shot")" -gt 1000
  wmctrl -c 'Orbolan!' || fail "wmctrl could not ask the window to close"
  wait_for 200 eval "! kill -0 $game_pid" || { fail "the game did not end after its window was asked to close"; return 1; }
  wait "$game_pid" && status=0 || status=$?
  game_pid=''
  check "the game ended with exit code 0 (got $status)" test "$status" -eq 0
  [ "$status" -eq 0 ] || cat "$work/game.log" >&2
}

# Checks player folder $1: "orbolan.cfg" of 60 bytes, and the six sounds leading to those in $2.
check_player_folder() {
  local wave wrong=''
  check "$1/orbolan.cfg is 60 bytes" test "$(stat -c %s "$1/orbolan.cfg" 2>/dev/null)" = 60
  for wave in "${sounds[@]}"; do
    [ -s "$1/$wave" ] && [ "$(readlink -f "$1/$wave")" = "$(readlink -f "$2/$wave")" ] || wrong+=" $wave"
  done
  check "the sounds in $1 lead to $2${wrong:+ except$wrong}" test -z "$wrong"
}

# Checks that home folder $1 holds nothing but .local/share/orbolan.
check_home_clean() {
  local extra
  extra=$(cd "$1" && find . -mindepth 1 | grep -v -x -e ./.local -e ./.local/share -e './.local/share/orbolan.*' || true)
  check "nothing else written to the home folder${extra:+: ${extra//$'\n'/ }}" test -z "$extra"
}

# Validates the desktop entry and AppStream file below share folder $1 and checks its hicolor
# icons: a PNG of N x N pixels for every size.
check_share() {
  local size icon
  check "desktop-file-validate" desktop-file-validate "$1/applications/$app_id.desktop"
  check "appstreamcli validate" appstreamcli validate --no-net --pedantic "$1/metainfo/$app_id.metainfo.xml"
  for size in 16 32 48 64 128 256; do
    icon=$1/icons/hicolor/${size}x$size/apps/orbolan.png
    check "$icon is a ${size}x$size PNG" test "$(identify -format '%m %wx%h' "$icon" 2>&1)" = "PNG ${size}x$size"
  done
}
