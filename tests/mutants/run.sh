#!/usr/bin/env bash
# Runs the tests against each hand-made fault in tests/mutants/NN-name.patch, one at a time:
# applies the patch, rebuilds incrementally, runs CTest until the first failure (a test that
# fails and then passes on its one retry counts as flaky, not as a catch) and names the test
# that caught the fault. The source tree is restored after each patch, and on any exit.
# Usage: tests/mutants/run.sh [build-dir] [extra ctest arguments, e.g. -LE xvfb]
# MUTANTS="03 17" runs only the patches whose names start with those numbers.
set -uo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build/mutants}
shift $(($# > 0 ? 1 : 0))
applied=
restore() { [ -n "$applied" ] && git apply -R "$applied" && applied=; }
trap restore EXIT
trap 'exit 1' INT TERM
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORBOLAN_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j2 >/dev/null || { echo "the unmutated tree does not build" >&2; exit 1; }
for patch in tests/mutants/*.patch; do
  name=$(basename "$patch" .patch)
  [ -n "${MUTANTS:-}" ] && ! grep -qw "${name%%-*}" <<<"$MUTANTS" && continue
  git apply "$patch" || { echo "$name: does not apply"; continue; }
  applied=$patch
  start=$SECONDS
  if ! cmake --build "$build" -j2 >"$build/mutant.log" 2>&1; then
    verdict="caught by the build"
  else
    ctest --test-dir "$build" -j2 --stop-on-failure --repeat until-pass:2 --timeout 300 "$@" \
      >"$build/mutant.log" 2>&1
    test=$(sed -n '/The following tests FAILED:/{n;s/^[[:space:]]*[0-9]* - \([^ ]*\) .*/\1/p;q}' \
           "$build/mutant.log")
    verdict=${test:+caught by $test}
    verdict=${verdict:-NOT CAUGHT}
  fi
  echo "$name: $verdict ($((SECONDS - start)) s)"
  restore
done
