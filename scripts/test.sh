#!/usr/bin/env bash
# Builds and runs every test: once in the normal build, once under
# AddressSanitizer and UndefinedBehaviorSanitizer. --quick skips the second.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh" --tests
jobs=$(nproc)

echo "== build and test: $top/build"
"$top/scripts/build.sh" "$top/build"
ctest --test-dir "$top/build" -j"$jobs" --output-on-failure

if [ "${1:-}" != "--quick" ]; then
  echo "== build and test under sanitizers: $top/build-sanitize"
  "$top/scripts/build.sh" "$top/build-sanitize" -DVAZ_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir "$top/build-sanitize" -j"$jobs" --output-on-failure
fi
