#!/usr/bin/env bash
# Faults as a player meets them: the real program under Xvfb and openbox, clicked with
# xdotool, judged by its window, its standard error, the sound it sends to SDL's disk audio
# driver and the files it leaves. A working folder it may not write (the game runs as
# nobody): a whole game plays, the save at closing fails with a message and the old
# "orbolan.cfg" stays. Damaged or missing sound files: a whole game plays in silence and is
# saved. Usage: faults_xvfb_test.sh <game> <its sounds> <screenshots>
set -euo pipefail
game=$(readlink -f "$1") sound_dir=$(readlink -f "$2") shots=$(readlink -f "$3")
work=$(mktemp -d /tmp/orbolan-faults.XXXXXX)
# shellcheck source=tests/packaging/lib.sh
source "$(dirname "$(readlink -f "$0")")/../packaging/lib.sh"
trap stop_all EXIT
trap 'exit 1' INT TERM HUP
for tool in Xvfb openbox xdotool import setpriv; do
  command -v "$tool" >/dev/null || { echo "skipped: no $tool"; exit "$skip_code"; }
done
mkdir -p "$shots"
chmod 755 "$work"  # nobody must reach the folders below

# What the window shows, from one screenshot: "paper" (light paper at four corners between
# cells: the end of a game, setup, scores or credits), "board" (bubbles in the bottom row
# at three or more of its ten cells) or "start" (the dark board empty below the title).
screen_kind() {
  local format='' i
  for i in 55,55 247,151 439,295 55,295; do format+="%[fx:int(255*p{$i}.r)] "; done
  for i in 0 1 2 3 4 5 6 7 8 9; do format+="%[fx:int(255*(p{$((31 + 48 * i)),319}.r+p{$((31 + 48 * i)),319}.g+p{$((31 + 48 * i)),319}.b))] "; done
  grab "$work/now.png" 2>/dev/null || { echo none; return; }
  convert "$work/now.png" -format "$format" info: | awk '{
    light = 0; for (i = 1; i <= 4; i++) if ($i > 200) light++
    bubbles = 0; for (i = 5; i <= 14; i++) if ($i > 200) bubbles++
    if (light == 4) print "paper"; else if (bubbles >= 3) print "board"; else print "start" }'
}
shows() { [ "$(screen_kind)" = "$1" ]; }
# Frames of sound (a sample louder than 300 on either channel) in the recorded audio.
loud_frames() {
  [ -s "$work/audio.raw" ] || { echo 0; return; }
  od -An -v -td2 -w4 "$work/audio.raw" | awk '$1*$1 > 90000 || $2*$2 > 90000 { n++ } END { print n + 0 }'
}
# Settings: normal games, sounds on, animations on; the normal type has 4 games played,
# 400 points in all, 150 best. Fifteen little-endian int32.
write_settings() {
  printf '\0\0\0\0\1\0\0\0\1\0\0\0\4\0\0\0\x90\1\0\0\x96\0\0\0' >"$1"
  head -c 36 /dev/zero >>"$1"
}
# Field $2 (from 0) of the settings file $1.
field() { od -An -td4 -j $(($2 * 4)) -N 4 "$1" | tr -d ' '; }

# New, a few moves on the bottom row, End: the end-of-game screen, then Done. The score
# shown at the end is read back from the saved file by the caller.
play_a_game() {
  local what=$1 i
  check "$what: the start screen is shown" wait_for 50 shows start
  click 309 395  # New
  check "$what: New shows the board" wait_for 50 shows board
  for i in 1 2 3 4 5 6; do
    click $((8 + 48 * (i % 10) + 24)) $((8 + 48 * 6 + 24))
    click $((8 + 48 * (i % 10) + 24)) $((8 + 48 * 6 + 24))
    sleep 0.5
  done
  click 309 395  # End
  check "$what: End shows the end-of-game screen" wait_for 100 shows paper
  grab "$shots/$what-end-of-game.png" || fail "no screenshot"
  click 211 296  # Done
  check "$what: Done goes back to the start screen" wait_for 50 shows start
}

# Closes the window as the window manager's close button does; the game must end with 0.
close_game() {
  local what=$1 status
  wmctrl -c 'Orbolan!' || fail "$what: wmctrl could not ask the window to close"
  wait_for 200 eval "! kill -0 $game_pid" || { fail "$what: the game did not end"; return 1; }
  wait "$game_pid" && status=0 || status=$?
  game_pid=''
  check "$what: the game ended with exit code 0 (got $status)" test "$status" -eq 0
}

start_x

# ---- A working folder the game may not write --------------------------------------------------
ro=$work/read-only
mkdir -p "$ro" "$work/home-nobody"
(cd "$sound_dir" && cp "${sounds[@]}" "$ro/")
write_settings "$ro/orbolan.cfg"
cp "$ro/orbolan.cfg" "$work/old.cfg"
cp "$game" "$work/orbolan" && chmod 755 "$work/orbolan"
chmod 644 "$ro"/*
chmod 755 "$ro"
chown nobody "$work/home-nobody"
extra_env=(SDL_AUDIODRIVER=dummy)
start_game "$ro" "$work/home-nobody" setpriv --reuid=nobody --regid=nogroup --clear-groups "$work/orbolan"
play_a_game read-only
close_game read-only
check "read-only: the failed save is reported on standard error" \
  grep -q "cannot save orbolan.cfg, the previous file is kept" "$work/game.log"
check "read-only: the old orbolan.cfg stays, byte for byte" cmp "$ro/orbolan.cfg" "$work/old.cfg"
check "read-only: no temporary file is left" test ! -e "$ro/orbolan.cfg.tmp"

# ---- The same sounds heard: the disk driver records them ------------------------------------------
good=$work/good
mkdir -p "$good" "$work/home"
(cd "$sound_dir" && cp "${sounds[@]}" "$good/")
write_settings "$good/orbolan.cfg"
extra_env=(SDL_AUDIODRIVER=disk "SDL_DISKAUDIOFILE=$work/audio.raw")
start_game "$good" "$work/home" "$game"
check "whole sounds: the start-up click is recorded" wait_for 100 eval '[ "$(loud_frames)" -gt 0 ]'
close_game "whole sounds"

# ---- Damaged and missing sound files --------------------------------------------------------------
damaged=$work/damaged
mkdir -p "$damaged"
rm -f "$work/audio.raw"
head -c 100 "$sound_dir/intro.wav" >"$damaged/intro.wav"          # cut short
echo "not a sound" >"$damaged/click.wav"                          # not a wave at all
: >"$damaged/pop.wav"                                              # empty
mkdir "$damaged/megapop.wav"                                       # a folder
cp "$sound_dir/score.wav" "$damaged/score.wav"                    # floating point samples
printf '\3' | dd of="$damaged/score.wav" bs=1 seek=20 conv=notrunc status=none
write_settings "$damaged/orbolan.cfg"                             # higscore.wav is missing
start_game "$damaged" "$work/home" "$game"
play_a_game damaged-sounds
close_game damaged-sounds
check "damaged sounds: nothing was heard ($(loud_frames) loud frames)" test "$(loud_frames)" -eq 0
check "damaged sounds: the ended game is saved (5 normal games)" test "$(field "$damaged/orbolan.cfg" 3)" -eq 5
finish
