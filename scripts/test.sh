#!/usr/bin/env bash
# Installs what is missing, checks the code's format, then builds and runs every test of
# Orbolan: the whole suite under AddressSanitizer with UndefinedBehaviorSanitizer, the
# concurrency tests under ThreadSanitizer, the fuzz targets (clang and libFuzzer: every corpus
# replayed, then each target fuzzed for a bounded time), and last the whole suite on the
# optimised build, whose CTest summary closes the run.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh test

echo "== Format (.clang-format)"
bash scripts/check_format.sh

jobs=$(nproc)
# A second run compiles only what changed: ccache (one of the test packages) keeps the objects,
# keyed by paths relative to the checkout so that every clone shares them.
export CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache
export CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=1
configure_and_build() {
  local dir=$1
  shift
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORBOLAN_WERROR=ON "$@" >/dev/null
  cmake --build "$dir" -j"$jobs"
}

echo "== AddressSanitizer + UndefinedBehaviorSanitizer"
configure_and_build build/asan -DORBOLAN_SANITIZE=address -DORBOLAN_BUILD_BENCH=OFF
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build/asan --output-on-failure -j2 -LE xvfb

echo "== ThreadSanitizer"
configure_and_build build/tsan -DORBOLAN_SANITIZE=thread -DORBOLAN_BUILD_BENCH=OFF
TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
  ctest --test-dir build/tsan --output-on-failure -j2 -L concurrency

echo "== libFuzzer: corpus replay, then 30 s per target"
bash fuzz/run.sh build/fuzz 30

echo "== Optimised build, every test"
configure_and_build build/release
ctest --test-dir build/release --output-on-failure -j2
