#!/usr/bin/env bash
# Builds the Debian package, installs it on this machine with apt-get, starts the game as its
# menu entry does (under Xvfb, fresh home folder), closes it and removes the package again.
# Usage: deb_test.sh <build> [<folder for screenshots>]. Needs root; skipped (77) without it.
set -euo pipefail
build=$1
shots=$(readlink -f "${2:-$build}")
here=$(dirname "$(readlink -f "$0")")
work=$(mktemp -d /tmp/orbolan-deb-test.XXXXXX)
# shellcheck source=tests/packaging/lib.sh
source "$here/lib.sh"
installed_by_us=0
apt_get() { apt-get -y -qq -o DPkg::Lock::Timeout=300 "$@"; }
trap '[ "$installed_by_us" -eq 0 ] || apt_get remove orbolan >/dev/null 2>&1 || true; stop_all' EXIT
trap 'exit 1' INT TERM HUP  # CTest's timeout: clean up on the way out

[ "$(id -u)" -eq 0 ] && command -v apt-get >/dev/null ||
  { echo "skipped: installing a Debian package needs root and apt-get"; exit "$skip_code"; }
! dpkg-query -W -f='${Status}' orbolan 2>/dev/null | grep -q ' installed$' ||
  { echo "skipped: a package orbolan is installed already, and this test would remove it"; exit "$skip_code"; }
export DEBIAN_FRONTEND=noninteractive

echo "== build the package"
chmod 755 "$work"  # apt reads the local package as its unprivileged user
# Package what the build made rather than rebuilding the whole tree in the middle of a test run.
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/pkg" -D CMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON \
  >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log" >&2; exit 1; }
debs=("$work"/pkg/orbolan_*.deb) deb=${debs[0]}
[ "${#debs[@]}" -eq 1 ] && [ -f "$deb" ] || { echo "cpack did not write exactly one orbolan_*.deb" >&2; exit 1; }
check "the package is orbolan in section games" test "$(dpkg-deb -f "$deb" Package Section)" = $'Package: orbolan\nSection: games'
for lib in libsdl2-2.0-0 libsdl2-mixer-2.0-0; do
  check "the package depends on $lib" grep -qx -- "$lib" <<<"$(dpkg-deb -f "$deb" Depends | tr ',' '\n' | awk '{print $1}')"
done
check "the package puts nothing outside /usr" test -z "$(dpkg-deb -c "$deb" | awk '{print $6}' | grep -v -e '^\./$' -e '^\./usr/')"

echo "== install it"
(cd "$work/pkg" && apt_get install "./${deb##*/}") >"$work/apt-install.log" 2>&1 ||
  { cat "$work/apt-install.log" >&2; exit 1; }
installed_by_us=1
dpkg-query -L orbolan >"$work/files"
check_share /usr/share

echo "== start it as the menu entry does, from the home folder"
read -ra exec_words <<<"$(sed -n 's/^Exec=//p' "/usr/share/applications/$app_id.desktop")"
check "the Exec line is one word: ${exec_words[*]}" test "${#exec_words[@]}" -eq 1
home=$work/home && mkdir -p "$home"
start_x
start_game "$home" "$home" "${exec_words[0]}"
shoot_and_close deb-menu-start
check_player_folder "$home/.local/share/orbolan" /usr/share/orbolan
check_home_clean "$home"

echo "== remove it"
apt_get remove orbolan >"$work/apt-remove.log" 2>&1 || { cat "$work/apt-remove.log" >&2; fail "apt-get remove failed"; }
installed_by_us=0
status=$(dpkg-query -W -f='${db:Status-Abbrev}' orbolan 2>/dev/null || true)
check "dpkg no longer lists orbolan as installed ($status)" test -z "$status" -o "${status:0:2}" = un
while read -r path; do  # folders may stay when other packages share them, but not our own
  [ ! -e "$path" ] || { [ -d "$path" ] && [[ "$path" != */orbolan ]]; } || fail "left behind after removal: $path"
done <"$work/files"
finish
