#!/usr/bin/env bash
# Installs the build into a temporary prefix and plays it the way a player would: through the
# installed launcher, under Xvfb, with a fresh home folder.
# Usage: install_test.sh <build> [<folder for screenshots>]
set -euo pipefail
build=$1
shots=$(readlink -f "${2:-$build}")  # where the window screenshots go
here=$(dirname "$(readlink -f "$0")")
work=$(mktemp -d /tmp/orbolan-install-test.XXXXXX)
# shellcheck source=tests/packaging/lib.sh
source "$here/lib.sh"
trap stop_all EXIT
trap 'exit 1' INT TERM HUP  # CTest's timeout: clean up on the way out

prefix="$work/my games"  # a space in every installed path: quoting mistakes show up
cmake --install "$build" --prefix "$prefix" >"$work/install.log" ||
  { cat "$work/install.log" >&2; exit 1; }

echo "== the layout of the install"
for path in bin/orbolan libexec/orbolan/orbolan; do
  [ -x "$prefix/$path" ] || fail "$path is missing or not executable"
done
for wave in "${sounds[@]}"; do
  [ -s "$prefix/share/orbolan/$wave" ] || fail "share/orbolan/$wave is missing or empty"
done
[ -s "$prefix/share/doc/orbolan/copyright" ] || fail "share/doc/orbolan/copyright is missing"
check_icons "$prefix/share"
validate_metadata "$prefix/share/applications/$app_id.desktop" \
  "$prefix/share/metainfo/$app_id.metainfo.xml"
grep -qxF "Exec=\"$prefix/bin/orbolan\"" "$prefix/share/applications/$app_id.desktop" ||
  fail "the menu entry does not start \"$prefix/bin/orbolan\" (quoted for the space)"

start_x

echo "== first start: a fresh home, no XDG_DATA_HOME, started from some other folder"
home=$work/home
player=$home/.local/share/orbolan
mkdir -p "$home" "$work/elsewhere"
start_game "$work/elsewhere" "$home" "$prefix/bin/orbolan"
play_and_close install-first-start
check_cfg "$player"
check_sound_links "$player" "$prefix/share/orbolan"
check_home_clean "$home"
[ -z "$(ls -A "$work/elsewhere")" ] || fail "files written to the folder it was started from"

echo "== a second install elsewhere, started through a link; sounds on, played to a file"
# Sounds on: the setup's second field (little-endian int32 at offset 4) set to 1.
printf '\0\0\0\0\1\0\0\0' | dd of="$player/orbolan.cfg" conv=notrunc status=none
cp "$player/orbolan.cfg" "$work/seeded.cfg"
cp -a "$prefix" "$work/second"  # the first install stays: links must follow the one started
mkdir -p "$work/links"
ln -s "$work/second/bin/orbolan" "$work/links/orbolan"
extra_env=(SDL_AUDIODRIVER=disk "SDL_DISKAUDIOFILE=$work/audio.raw")
start_game "$work/elsewhere" "$home" "$work/links/orbolan"
play_and_close install-second-install
extra_env=()
check_sound_links "$player" "$work/second/share/orbolan"
cmp -s "$work/seeded.cfg" "$player/orbolan.cfg" ||
  fail "the setup read from the player folder did not come back unchanged"
# The start-up click was played: the audio device wrote something other than silence.
if [ -f "$work/audio.raw" ] && [ "$(tr -d '\0' <"$work/audio.raw" | wc -c)" -gt 0 ]; then
  ok "the start-up sound was heard"
else
  fail "no sound reached the audio device (sound files not found in the player folder?)"
fi

echo "== XDG_DATA_HOME chooses the player folder"
rm -rf "$home"
mkdir -p "$home"
extra_env=("XDG_DATA_HOME=$work/data home")
start_game "$work/elsewhere" "$home" "$work/second/bin/orbolan"
play_and_close install-xdg-data-home
extra_env=()
check_cfg "$work/data home/orbolan"
check_sound_links "$work/data home/orbolan" "$work/second/share/orbolan"
[ -z "$(ls -A "$home")" ] || fail "the home folder was written although XDG_DATA_HOME was set"

[ "$failures" -eq 0 ] || { echo "$failures check(s) failed" >&2; exit 1; }
echo "all install checks passed"
