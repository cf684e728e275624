#!/usr/bin/env bash
# Fails when a C or C++ source of the tree differs from the house format (.clang-format).
# Run by the test suite; `scripts/check_format.sh --fix` formats in place instead.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(find plugin workbench test bench fuzz -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.c' \) | sort)
if [ "${1:-}" = "--fix" ]; then
  clang-format -i "${files[@]}"
else
  clang-format --dry-run -Werror "${files[@]}"
  echo "${#files[@]} files follow the house format"
fi
