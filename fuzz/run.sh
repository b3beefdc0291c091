#!/usr/bin/env bash
# Builds the libFuzzer targets with clang, replays every committed corpus, then fuzzes each
# target for a bounded time. A crash stops the run and leaves its input in
# <build>/artifacts/. New inputs found go to <build>/found/<target>/; fold them into the
# committed corpus with: <build>/bin/fuzz_<target> -merge=1 fuzz/corpus/<target> <build>/found/<target>
# Usage: fuzz/run.sh [build-dir] [seconds-per-target]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/fuzz}
seconds=${2:-30}
targets=(config bitmap wave mci)

CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DORBOLAN_SANITIZE=fuzzer -DORBOLAN_BUILD_TESTS=OFF -DORBOLAN_BUILD_BENCH=OFF -DORBOLAN_WERROR=ON \
  >/dev/null
cmake --build "$build" -j"$(nproc)" --target "${targets[@]/#/fuzz_}"

echo "-- replaying the corpora"
ctest --test-dir "$build" --output-on-failure -L fuzz

# The targets work in folders of their own under /tmp, so every path given is absolute.
build=$(realpath "$build")
corpus=$(realpath fuzz/corpus)
mkdir -p "$build/artifacts"
for t in "${targets[@]}"; do
  mkdir -p "$build/found/$t"
  echo "-- fuzzing $t for $seconds s"
  # The settings target reports short files on standard error by design; keep the log
  # quiet and show its summary, or all of it when the target failed.
  if ! "$build/bin/fuzz_$t" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 \
      -artifact_prefix="$build/artifacts/$t-" -print_final_stats=1 \
      "$build/found/$t" "$corpus/$t" >"$build/fuzz-$t.log" 2>&1; then
    cat "$build/fuzz-$t.log"
    echo "fuzz_$t failed; its input is in $build/artifacts/" >&2
    exit 1
  fi
  grep -E '^(Done|stat::number_of_executed_units|stat::peak_rss_mb)' "$build/fuzz-$t.log" | paste -sd' '
done
