#!/usr/bin/env bash
# Installs the build into a temporary prefix and plays it the way a player would: through the
# installed launcher, under Xvfb, with a fresh home folder.
# Usage: install_test.sh <build> [<folder for screenshots>]
set -euo pipefail
build=$1
shots=$(readlink -f "${2:-$build}")
here=$(dirname "$(readlink -f "$0")")
work=$(mktemp -d /tmp/orbolan-install-test.XXXXXX)
# shellcheck source=tests/packaging/lib.sh
source "$here/lib.sh"
trap stop_all EXIT
trap 'exit 1' INT TERM HUP  # CTest's timeout: clean up on the way out

prefix="$work/my games"  # a space in every installed path: quoting mistakes show up
cmake --install "$build" --prefix "$prefix" >"$work/install.log" || { cat "$work/install.log" >&2; exit 1; }

echo "== the layout of the install"
check "launcher, program and copyright installed" test -x "$prefix/games/orbolan" -a -x "$prefix/libexec/orbolan/orbolan" -a -s "$prefix/share/doc/orbolan/copyright"
check_share "$prefix/share"
check "the menu entry starts \"$prefix/games/orbolan\", quoted for the space" \
  grep -qxF "Exec=\"$prefix/games/orbolan\"" "$prefix/share/applications/$app_id.desktop"

start_x
echo "== first start: a fresh home, no XDG_DATA_HOME, started from some other folder"
mkdir -p "$work/home" "$work/elsewhere"
start_game "$work/elsewhere" "$work/home" "$prefix/games/orbolan"
shoot_and_close install-first-start
check_player_folder "$work/home/.local/share/orbolan" "$prefix/share/orbolan"
check_home_clean "$work/home"
check "nothing written to the folder it was started from" test -z "$(ls -A "$work/elsewhere")"

echo "== a second install started through a link, XDG_DATA_HOME set, sounds on, played to a file"
player="$work/data home/orbolan"
mkdir -p "$player" "$work/home2" "$work/links"
# The first start's settings with sounds on: the setup's second int32 (offset 4) set to 1.
cp "$work/home/.local/share/orbolan/orbolan.cfg" "$player/"
printf '\1' | dd of="$player/orbolan.cfg" bs=1 seek=4 conv=notrunc status=none
cp "$player/orbolan.cfg" "$work/seeded.cfg"
cp -a "$prefix" "$work/second"  # the first install stays: the links must follow the one started
ln -s "$work/second/games/orbolan" "$work/links/orbolan"
extra_env=("XDG_DATA_HOME=$work/data home" SDL_AUDIODRIVER=disk "SDL_DISKAUDIOFILE=$work/audio.raw")
start_game "$work/elsewhere" "$work/home2" "$work/links/orbolan"
shoot_and_close install-second-install
check_player_folder "$player" "$work/second/share/orbolan"
check "the setup read from the player folder came back unchanged" cmp "$work/seeded.cfg" "$player/orbolan.cfg"
check "the start-up sound reached the audio device" test "$(tr -d '\0' <"$work/audio.raw" | wc -c)" -gt 0
check "the home folder was not written, XDG_DATA_HOME being set" test -z "$(ls -A "$work/home2")"
finish
