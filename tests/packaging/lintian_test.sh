#!/usr/bin/env bash
# Debian's checker on the package of what the build made: no error, no warning (informational
# and pedantic tags are shown and pass).
# Usage: lintian_test.sh <build>
set -euo pipefail
work=$(mktemp -d /tmp/orbolan-lintian-test.XXXXXX)
trap 'rm -rf -- "$work"' EXIT
command -v lintian >/dev/null || { echo "lintian is not installed: bash scripts/deps.sh test" >&2; exit 1; }
cpack -G DEB --config "$1/CPackConfig.cmake" -B "$work" -D CMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log" >&2; exit 1; }
lintian --display-info --pedantic --fail-on error,warning "$work"/orbolan_*.deb
echo "lintian: no error and no warning"
