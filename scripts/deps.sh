#!/usr/bin/env bash
# Installs the Debian packages Orbolan needs that are not installed yet.
# Usage: deps.sh play|test   (play: build and run the game; test: everything the tests use)
set -euo pipefail

play_pkgs=(build-essential cmake pkg-config libsdl2-dev libsdl2-mixer-dev libfreetype-dev
  fonts-dejavu-core)
test_pkgs=("${play_pkgs[@]}" libgtest-dev libgmock-dev libbenchmark-dev liblzma-dev xvfb xauth xdotool
  x11-utils x11-apps imagemagick openbox wmctrl clang clang-format libclang-rt-14-dev llvm
  desktop-file-utils appstream dpkg-dev python3 lintian ccache
  sgt-puzzles pulseaudio dbus-x11  # the peer, sound server and session bus bench/measure.sh runs
  sway grim)  # a Wayland compositor and its screenshot tool, for tests/xvfb/test_desktops.py
# kwin-x11 (with breeze) is left out: it brings the whole Qt and KDE Frameworks stack (about
# 400 packages); tests/xvfb/test_desktops.py runs its KWin part where it is installed.

case "${1:-test}" in
  play) wanted=("${play_pkgs[@]}") ;;
  *) wanted=("${test_pkgs[@]}") ;;
esac

missing=()
for p in "${wanted[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
  echo "These Debian packages are missing; run this command as root to install them." >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
