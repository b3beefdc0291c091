#!/usr/bin/env bash
# The installed command puts the default "orbolan.cfg" into a player's folder holding none and
# never touches one already there. Needs no display: the game then finds none and writes nothing.
# Usage: first_launch_test.sh <build>
set -euo pipefail
work=$(mktemp -d /tmp/orbolan-first-launch-test.XXXXXX)
trap 'rm -rf -- "$work"' EXIT
cmake --install "$1" --prefix "$work/prefix" >/dev/null
start() { env -i HOME="$work/home" PATH=/usr/bin:/bin SDL_VIDEODRIVER=x11 "$work/prefix/games/orbolan" >/dev/null 2>&1 || true; }
cfg=$work/home/.local/share/orbolan/orbolan.cfg
start
# 15 little-endian int32: normal game, sounds on, animations on, then 12 zero statistics.
cmp <(printf '\0\0\0\0\1\0\0\0\1\0\0\0'; head -c 48 /dev/zero) "$cfg"
head -c 60 /dev/urandom >"$cfg" && cp "$cfg" "$work/own.cfg"
start
cmp "$work/own.cfg" "$cfg"
rm "$cfg" && ln -s "$work/nowhere" "$cfg" && start
test -L "$cfg" && test ! -e "$work/nowhere"
echo "first start: default settings put in place, a player's own file left alone"
