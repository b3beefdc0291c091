# shellcheck shell=bash
# Shared steps of the packaging tests: a private X server with a window manager, starting
# the installed game, closing its window and checking what it left behind.
# The caller sets `work` (a fresh temporary folder) and `shots` (where screenshots go) first.

skip_code=77
app_id=org.orbolan.orbolan
sounds=(intro.wav click.wav pop.wav megapop.wav score.wav higscore.wav)
icon_sizes=(16 32 48 64 128 256)
failures=0
xvfb_pid='' wm_pid='' game_pid=''
extra_env=()

fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

ok() { echo "ok: $*"; }

# Ends process $1 (one this test started): asks it first, forces it after two seconds, and
# reaps it whatever its exit status.
stop_pid() {
  if [ -n "$1" ]; then
    kill "$1" 2>/dev/null || true
    wait_for 20 eval '! kill -0 '"$1" || kill -KILL "$1" 2>/dev/null || true
    wait "$1" 2>/dev/null || true
  fi
}

# Stops whatever this test started, by process id, and removes the temporary folder.
stop_all() {
  local pid
  for pid in "$game_pid" "$wm_pid" "$xvfb_pid"; do
    stop_pid "$pid"
  done
  game_pid='' wm_pid='' xvfb_pid=''
  [ -n "${work:-}" ] && rm -rf -- "$work"
  return 0
}

# Waits up to $1 tenths of a second for the command that follows to succeed.
wait_for() {
  local tenths=$1
  shift
  while ! "$@" >/dev/null 2>&1; do
    tenths=$((tenths - 1))
    [ "$tenths" -gt 0 ] || return 1
    sleep 0.1
  done
}

# Xvfb on a free display: a random number well above the ones people type by hand, another
# one if that is taken; -displayfd reports when the server is ready. openbox runs with a home
# of its own, so that nothing it writes lands in the player's home.
start_x() {
  local try
  for try in 1 2 3 4 5 6 7 8 9 10; do
    : >"$work/display"
    Xvfb ":$((200 + RANDOM % 700))" -displayfd 3 -screen 0 1024x768x24 -nolisten tcp \
      3>"$work/display" 2>"$work/xvfb.log" &
    xvfb_pid=$!
    wait_for 100 eval 'grep -q "[0-9]" "$work/display" || ! kill -0 '"$xvfb_pid" || true
    grep -q '[0-9]' "$work/display" && break
    stop_pid "$xvfb_pid"
    xvfb_pid=''
  done
  [ -n "$xvfb_pid" ] || { echo "Xvfb did not start" >&2; cat "$work/xvfb.log" >&2; return 1; }
  DISPLAY=":$(tr -dc 0-9 <"$work/display")"
  export DISPLAY
  mkdir -p "$work/wm-home"
  HOME=$work/wm-home openbox >"$work/openbox.log" 2>&1 &
  wm_pid=$!
  wait_for 100 wmctrl -m || { echo "openbox did not start" >&2; return 1; }
}

# Starts `$@` in folder $1 with the bare environment of a desktop session: HOME=$2, the X
# display, the usual PATH, a private runtime folder (without one the sound libraries keep
# their runtime links in the home folder) and whatever NAME=value pairs $extra_env holds
# (an array). No XDG_DATA_HOME unless given.
start_game() {
  local dir=$1 home=$2
  shift 2
  mkdir -p -m 700 "$work/runtime"
  (cd "$dir" && exec env -i HOME="$home" DISPLAY="$DISPLAY" LANG=C.UTF-8 \
    XDG_RUNTIME_DIR="$work/runtime" PATH=/usr/local/bin:/usr/bin:/bin:/usr/local/games:/usr/games \
    "${extra_env[@]}" "$@") >"$work/game.log" 2>&1 &
  game_pid=$!
}

# Waits for the window "Orbolan!", checks what it shows (screenshot saved as $1.png in the
# folder $shots), asks it to close as the window manager's close button does, and waits for
# the game to end; fails on a timeout or a non-zero exit code.
play_and_close() {
  local status tenths=300
  until xdotool search --name '^Orbolan!$' >/dev/null 2>&1; do
    tenths=$((tenths - 1))
    if [ "$tenths" -le 0 ] || ! kill -0 "$game_pid" 2>/dev/null; then
      fail "no window \"Orbolan!\" appeared"
      cat "$work/game.log" >&2
      return 1
    fi
    sleep 0.1
  done
  sleep 1  # let the start screen settle, as a player would look at it
  check_window_shows_game "$1"
  wmctrl -c 'Orbolan!' || fail "wmctrl could not ask the window to close"
  if ! wait_for 200 eval '! kill -0 '"$game_pid"; then
    fail "the game did not end after its window was asked to close"
    return 1
  fi
  wait "$game_pid" && status=0 || status=$?
  game_pid=''
  [ "$status" -eq 0 ] || { fail "the game ended with exit code $status"; cat "$work/game.log" >&2; }
  [ "$status" -eq 0 ]
}

# Saves the game window as $shots/$1.png and checks that it shows the start screen's artwork
# rather than an empty or single-coloured window: the pictures have thousands of colours.
check_window_shows_game() {
  local window colours
  window=$(xdotool search --name '^Orbolan!$' | head -n 1)
  local shot=$shots/$1.png
  import -window "$window" -depth 8 "$shot" || { fail "no screenshot"; return 1; }
  colours=$(identify -format '%k' "$shot")
  if [ "$colours" -gt 1000 ]; then
    ok "the window shows the game ($colours colours, $shot)"
  else
    fail "the window shows only $colours colours ($shot)"
  fi
}

# Checks that $1/orbolan.cfg exists and is exactly 60 bytes long.
check_cfg() {
  local cfg=$1/orbolan.cfg size
  if [ ! -f "$cfg" ]; then
    fail "no orbolan.cfg in $1"
    return 1
  fi
  size=$(stat -c %s "$cfg")
  if [ "$size" -eq 60 ]; then ok "$cfg is 60 bytes"; else fail "$cfg is $size bytes, not 60"; fi
}

# Checks that the six sounds in player folder $1 resolve to the installed ones in $2.
check_sound_links() {
  local folder=$1 installed=$2 wave
  for wave in "${sounds[@]}"; do
    if [ "$(readlink -f "$folder/$wave")" != "$(readlink -f "$installed/$wave")" ] ||
      [ ! -s "$folder/$wave" ]; then
      fail "$folder/$wave does not lead to $installed/$wave"
    fi
  done
}

# Checks that home folder $1 holds nothing but .local/share/orbolan.
check_home_clean() {
  local home=$1 extra
  extra=$(cd "$home" && find . -mindepth 1 | grep -v -x -e ./.local -e ./.local/share \
    -e './.local/share/orbolan' -e './.local/share/orbolan/.*' || true)
  if [ -z "$extra" ]; then
    ok "nothing else written to the home folder"
  else
    fail "written to the home folder besides the player folder: ${extra//$'\n'/ }"
  fi
}

# Validates an installed desktop entry and AppStream metainfo file.
validate_metadata() {
  local desktop=$1 metainfo=$2
  if desktop-file-validate "$desktop"; then
    ok "desktop-file-validate $desktop"
  else
    fail "desktop-file-validate $desktop"
  fi
  if appstreamcli validate --no-net --pedantic "$metainfo" >"$work/appstream.log" 2>&1; then
    ok "appstreamcli validate $metainfo"
  else
    fail "appstreamcli validate $metainfo"
    cat "$work/appstream.log" >&2
  fi
}

# Checks the hicolor icons below share folder $1: a PNG of N x N pixels for every size.
check_icons() {
  local share=$1 size icon found
  for size in "${icon_sizes[@]}"; do
    icon=$share/icons/hicolor/${size}x$size/apps/orbolan.png
    found=$(identify -format '%m %wx%h' "$icon" 2>/dev/null || echo missing)
    [ "$found" = "PNG ${size}x$size" ] || fail "$icon: $found, not PNG ${size}x$size"
  done
}
