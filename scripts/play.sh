#!/usr/bin/env bash
# Installs what is missing, builds Orbolan and starts it from its build folder, where its
# sounds lie and where it keeps "orbolan.cfg". A first start gets the default settings made
# by the build (sounds and animations on); a settings file already there is left alone.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh play
cmake -S . -B build/play -DCMAKE_BUILD_TYPE=Release -DORBOLAN_BUILD_TESTS=OFF \
  -DORBOLAN_BUILD_BENCH=OFF >/dev/null
cmake --build build/play -j"$(nproc)"
cd build/play/bin
[ -e orbolan.cfg ] || [ -L orbolan.cfg ] || cp ../resources/default/orbolan.cfg orbolan.cfg
exec ./orbolan "$@"
