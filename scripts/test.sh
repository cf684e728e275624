#!/usr/bin/env bash
# Builds and runs every test: once in the normal build; then makes the Debian packages
# from it and checks them installed (scripts/check_package.sh); once under
# AddressSanitizer and UndefinedBehaviorSanitizer; the serial tests once more under
# ThreadSanitizer; then cross-builds for armhf and compares sessions under qemu-arm with
# the normal build's, and checks the armhf packages (scripts/armhf.sh). --quick runs the
# normal build alone. Every build treats warnings as errors.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh" --tests
jobs=$(nproc)

echo "== build and test: $top/build"
"$top/scripts/build.sh" "$top/build" -DVAZ_WERROR=ON
ctest --test-dir "$top/build" -j"$jobs" --output-on-failure
echo "== normal build and tests: $SECONDS s"

if [ "${1:-}" != "--quick" ]; then
  # The normal build makes the packages: only what depends on the /usr prefix is rebuilt.
  echo "== packages from $top/build, installed into a throw-away root"
  "$top/scripts/package.sh" "$top/build"
  "$top/scripts/check_package.sh" "$top/build/packages" "$top/build/vazdiag"
  echo "== up to the package checks: $SECONDS s"

  # Without the benchmarks: real-time measurements, run (briefly) in the normal build.
  echo "== build and test under sanitizers: $top/build-sanitize"
  "$top/scripts/build.sh" "$top/build-sanitize" -DVAZ_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug -DVAZ_WERROR=ON \
    -DVAZ_BUILD_BENCHMARKS=OFF
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir "$top/build-sanitize" -j"$jobs" --output-on-failure
  echo "== up to the sanitizer build and tests: $SECONDS s"

  # The serial line's threads (the caller, the keep-alive, the control interface) under
  # ThreadSanitizer: only the interface library and its serial line test are built, and a
  # report fails the stage (halt_on_error ends the test with status 66).
  echo "== serial line under ThreadSanitizer: $top/build-tsan"
  cmake -S "$top" -B "$top/build-tsan" -DVAZ_TSAN=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVAZ_WERROR=ON >/dev/null
  cmake --build "$top/build-tsan" -j"$jobs" --target test_serial_line
  TSAN_OPTIONS="halt_on_error=1 exitcode=66 second_deadlock_stack=1" "$top/build-tsan/test_serial_line"
  echo "== up to the ThreadSanitizer stage: $SECONDS s"

  echo "== armhf cross build, sessions under qemu-arm against $top/build"
  "$top/scripts/armhf.sh" "$top/build" "$top/build-armhf"
  echo "== every stage: $SECONDS s"
fi
