#!/usr/bin/env bash
# Lists every C++ file of the tree that clang-format (with .clang-format) would change, and
# fails when there is one. Usage: check_format.sh   (fix a file: clang-format -i FILE)
set -euo pipefail
cd "$(dirname "$0")/.."
command -v clang-format >/dev/null || { echo "check_format: clang-format is not installed" >&2; exit 2; }
status=0
while IFS= read -r file; do
  if ! clang-format --style=file "$file" | cmp -s "$file" -; then
    echo "$file"
    status=1
  fi
done < <(git ls-files '*.cpp' '*.h')
[ "$status" -eq 0 ] || echo "check_format: the files above differ from .clang-format" >&2
exit "$status"
