#!/usr/bin/env bash
# Builds and runs every test: once in the normal build; then makes the Debian packages
# from it and checks them installed (scripts/check_package.sh); once under
# AddressSanitizer and UndefinedBehaviorSanitizer; the serial tests once more under
# ThreadSanitizer; then cross-builds for armhf and compares sessions under qemu-arm with
# the normal build's, and checks the armhf packages (scripts/armhf.sh). --quick runs the
# normal build alone. Every build treats warnings as errors.
#
# The tests mostly wait: on real-time serial lines, on a browser, on a database. So the
# next stage's build compiles beside each test run, at the lowest priority, with its
# output kept in a log that is shown if it fails. That is also the load the serial tests
# must bear on a user's machine: a pty test that fails beside a build is a real fault.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh" --tests
jobs=$(nproc)

side_pid=
side_log=
# side LOG COMMAND...: runs the command in the background at the lowest priority.
side() {
  side_log=$1
  shift
  nice -n 19 "$@" >"$side_log" 2>&1 &
  side_pid=$!
}
# Waits for the background command; its log is shown when it failed.
side_done() {
  if ! wait "$side_pid"; then
    cat "$side_log"
    echo "== failed beside the tests: see above ($side_log)" >&2
    exit 1
  fi
  side_pid=
}
trap '[ -n "$side_pid" ] && kill -- "$side_pid" 2>/dev/null; true' EXIT

sanitize_options=(-DVAZ_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug -DVAZ_WERROR=ON -DVAZ_BUILD_BENCHMARKS=OFF)

echo "== build and test: $top/build"
"$top/scripts/build.sh" "$top/build" -DVAZ_WERROR=ON
echo "== normal build: $SECONDS s"
if [ "${1:-}" != "--quick" ]; then
  # Without the benchmarks: real-time measurements, run (briefly) in the normal build.
  side "$top/build/sanitizer-build.log" "$top/scripts/build.sh" "$top/build-sanitize" "${sanitize_options[@]}"
fi
ctest --test-dir "$top/build" -j"$jobs" --output-on-failure
echo "== normal build and tests: $SECONDS s"

if [ "${1:-}" != "--quick" ]; then
  side_done
  echo "== sanitizer build (beside the tests): $top/build-sanitize, $SECONDS s"

  # The normal build makes the packages: only what depends on the /usr prefix is rebuilt.
  echo "== packages from $top/build, installed into a throw-away root"
  "$top/scripts/package.sh" "$top/build"
  "$top/scripts/check_package.sh" "$top/build/packages" "$top/build/vazdiag"
  echo "== up to the package checks: $SECONDS s"

  # The serial line's threads (the caller, the keep-alive, the control interface) under
  # ThreadSanitizer: only the interface library and its serial line test are built; then
  # the armhf cross build. Both beside the sanitizer tests.
  "$top/scripts/setup.sh" --armhf
  side "$top/build/tsan-armhf-build.log" bash -c '
    set -euo pipefail
    cmake -S "$1" -B "$1/build-tsan" -DVAZ_TSAN=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVAZ_WERROR=ON >/dev/null
    cmake --build "$1/build-tsan" -j"$2" --target test_serial_line
    "$1/scripts/armhf.sh" --build-only "$1/build" "$1/build-armhf"' _ "$top" "$jobs"

  echo "== tests under sanitizers: $top/build-sanitize"
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir "$top/build-sanitize" -j"$jobs" --output-on-failure
  echo "== up to the sanitizer tests: $SECONDS s"
  side_done
  echo "== ThreadSanitizer and armhf builds (beside the tests): $SECONDS s"

  # A report fails the stage (halt_on_error ends the test with status 66).
  echo "== serial line under ThreadSanitizer: $top/build-tsan"
  TSAN_OPTIONS="halt_on_error=1 exitcode=66 second_deadlock_stack=1" "$top/build-tsan/test_serial_line"
  echo "== up to the ThreadSanitizer stage: $SECONDS s"

  echo "== armhf sessions under qemu-arm against $top/build"
  "$top/scripts/armhf.sh" "$top/build" "$top/build-armhf"
  echo "== every stage: $SECONDS s"
fi
