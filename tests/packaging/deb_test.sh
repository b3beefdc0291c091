#!/usr/bin/env bash
# Builds the Debian package, installs it on this machine with apt-get, starts the game as its
# menu entry does (under Xvfb, fresh home folder), closes it and removes the package again.
# Usage: deb_test.sh <build> [<folder for screenshots>]. Needs root; skipped (77) without it.
set -euo pipefail
build=$1
shots=$(readlink -f "${2:-$build}")  # where the window screenshots go
here=$(dirname "$(readlink -f "$0")")
work=$(mktemp -d /tmp/orbolan-deb-test.XXXXXX)
# shellcheck source=tests/packaging/lib.sh
source "$here/lib.sh"
installed_by_us=0

cleanup() {
  if [ "$installed_by_us" -eq 1 ]; then
    apt-get remove -y -qq -o DPkg::Lock::Timeout=300 orbolan >/dev/null 2>&1 || true
  fi
  stop_all
}
trap cleanup EXIT
trap 'exit 1' INT TERM HUP  # CTest's timeout: clean up on the way out

if [ "$(id -u)" -ne 0 ] || ! command -v apt-get >/dev/null; then
  echo "skipped: installing a Debian package needs root and apt-get"
  exit "$skip_code"
fi
if dpkg-query -W -f='${Status}' orbolan 2>/dev/null | grep -q ' installed$'; then
  echo "skipped: a package orbolan is installed already, and this test would remove it"
  exit "$skip_code"
fi
export DEBIAN_FRONTEND=noninteractive
apt_get() { apt-get -y -qq -o DPkg::Lock::Timeout=300 "$@"; }

echo "== build the package"
chmod 755 "$work"  # apt reads the local package as its unprivileged user
# Package what the build made: without CMAKE_SKIP_INSTALL_ALL_DEPENDENCY cpack would first
# rebuild the whole tree in the middle of the test run.
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/pkg" \
  -D CMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log" >&2; exit 1; }
debs=("$work"/pkg/orbolan_*.deb)
if [ "${#debs[@]}" -ne 1 ] || [ ! -f "${debs[0]}" ]; then
  echo "cpack did not write exactly one orbolan_*.deb" >&2
  exit 1
fi
deb=${debs[0]}
echo "built ${deb##*/}"
[ "$(dpkg-deb -f "$deb" Package)" = orbolan ] || fail "the package is not named orbolan"
[ "$(dpkg-deb -f "$deb" Section)" = games ] || fail "the package is not in section games"
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for lib in libsdl2-2.0-0 libsdl2-mixer-2.0-0; do
  tr ',' '\n' <<<"$depends" | awk '{print $1}' | grep -qx -- "$lib" ||
    fail "the package does not depend on $lib"
done
outside=$(dpkg-deb -c "$deb" | awk '{print $6}' | grep -v -e '^\./$' -e '^\./usr/' || true)
[ -z "$outside" ] || fail "the package puts files outside /usr: $outside"

echo "== install it"
(cd "$work/pkg" && apt_get install "./${deb##*/}") >"$work/apt-install.log" 2>&1 ||
  { cat "$work/apt-install.log" >&2; fail "apt-get install failed"; exit 1; }
installed_by_us=1
dpkg-query -L orbolan >"$work/files"
desktop=/usr/share/applications/$app_id.desktop
validate_metadata "$desktop" "/usr/share/metainfo/$app_id.metainfo.xml"
check_icons /usr/share

echo "== start it as the menu entry does, from the home folder"
exec_line=$(sed -n 's/^Exec=//p' "$desktop")
read -ra exec_words <<<"$exec_line"
[ "${#exec_words[@]}" -eq 1 ] || fail "unexpected Exec line: $exec_line"
home=$work/home
mkdir -p "$home"
start_x
start_game "$home" "$home" "${exec_words[0]}"
play_and_close deb-menu-start
check_cfg "$home/.local/share/orbolan"
check_sound_links "$home/.local/share/orbolan" /usr/share/orbolan
check_home_clean "$home"

echo "== remove it"
apt_get remove orbolan >"$work/apt-remove.log" 2>&1 ||
  { cat "$work/apt-remove.log" >&2; fail "apt-get remove failed"; }
installed_by_us=0
status=$(dpkg-query -W -f='${db:Status-Abbrev}' orbolan 2>/dev/null || true)
[[ -z "$status" || "$status" == un* ]] || fail "after removal dpkg still lists orbolan as '$status'"
while read -r path; do
  if [ -e "$path" ] && { [ ! -d "$path" ] || [[ "$path" == */orbolan ]]; }; then
    fail "left behind after removal: $path"
  fi
done <"$work/files"

[ "$failures" -eq 0 ] || { echo "$failures check(s) failed" >&2; exit 1; }
echo "all package checks passed"
