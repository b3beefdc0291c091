#!/usr/bin/env bash
# The real program's sound as a player meets it: Orbolan under Xvfb, clicked with xdotool,
# with SDL's disk audio driver writing everything it plays (16-bit stereo, 44100 Hz) to a
# file. Start-up plays the click; End shows the end-of-game screen only after the score
# jingle has played to its end. Usage: xvfb_sound_test.sh <game> <its sounds> <screenshots>
set -euo pipefail
game=$1 sound_dir=$2 shots=$(readlink -f "$3")
work=$(mktemp -d /tmp/orbolan-sound-test.XXXXXX)
# shellcheck source=tests/packaging/lib.sh
source "$(dirname "$(readlink -f "$0")")/../packaging/lib.sh"
trap stop_all EXIT
trap 'exit 1' INT TERM HUP
for tool in Xvfb openbox xdotool import; do command -v "$tool" >/dev/null || { echo "skipped: no $tool"; exit "$skip_code"; }; done

# Frames of sound (a sample louder than 300 on either channel) in the audio file from byte $1 on.
loud_frames() { od -An -v -td2 -w4 -j "$1" "$work/audio.raw" | awk '$1*$1 > 90000 || $2*$2 > 90000 { n++ } END { print n + 0 }'; }
# The end-of-game screen: light, warm paper over the middle of the board.
paper_shown() { pixel 120 300 | awk '{ exit !($1 > 200 && $2 > 190 && $3 > 150) }'; }

mkdir -p "$work/game" "$work/home" && (cd "$sound_dir" && cp "${sounds[@]}" "$work/game/")
# The setup: normal game type, sounds on, animations on (int32 fields 1 and 2); no statistics.
head -c 60 /dev/zero >"$work/game/orbolan.cfg"
printf '\1\0\0\0\1' | dd of="$work/game/orbolan.cfg" bs=1 seek=4 conv=notrunc status=none
extra_env=(SDL_AUDIODRIVER=disk "SDL_DISKAUDIOFILE=$work/audio.raw")
start_x
start_game "$work/game" "$work/home" "$game"
check "start-up with sounds on: the click is heard" wait_for 100 eval '[ -f "$work/audio.raw" ] && [ "$(loud_frames 0)" -gt 0 ]'
start_screen=$(grab rgb:- | md5sum)
click 309 395  # New
check "New shows the board" wait_for 50 eval '[ "$(grab rgb:- | md5sum)" != "$start_screen" ] && ! paper_shown'
before=$(($(stat -c %s "$work/audio.raw") / 4 * 4)) start=$(date +%s%3N)
click 309 395  # End: the score jingle (1.05 s) plays, waited for, before the screen changes
check "End shows the end-of-game screen" wait_for 100 paper_shown
waited=$(($(date +%s%3N) - start)) jingle=$(loud_frames "$before")
check "the end-of-game screen came after the jingle had ended ($waited ms after the click)" test "$waited" -ge 1000
check "the jingle was heard ($jingle frames of sound)" test "$jingle" -ge 22050
shoot_and_close sound-end-of-game
finish
