#!/usr/bin/env bash
# Installs the Debian packages the build of the programs needs (scripts/run.sh), only
# when something is missing; with --tests also what only the tests use (GoogleTest,
# benchmark, tmux; the report's rendering test opens it in a headless browser) and
# what the package stage uses (dpkg-shlibdeps, lintian, man); with --armhf the cross
# compiler, qemu-arm and the armhf libraries of the cross build (scripts/armhf.sh),
# and what its package needs.
set -euo pipefail
need=()
command -v cmake >/dev/null || need+=(cmake)
command -v g++ >/dev/null || need+=(g++)
command -v make >/dev/null || need+=(make)
[ -f /usr/include/ncurses.h ] || need+=(libncurses-dev)
[ -f /usr/include/sqlite3.h ] || need+=(libsqlite3-dev)
# The manual pages and shell completion are made from --help by a Python script.
command -v python3 >/dev/null || need+=(python3)
if [ "${1:-}" = "--tests" ] || [ "${1:-}" = "--armhf" ]; then
  # Packages: dpkg-shlibdeps computes the dependencies (CPack finds the ELF files with
  # file), lintian checks the package, man renders its pages.
  command -v dpkg-shlibdeps >/dev/null || need+=(dpkg-dev)
  command -v file >/dev/null || need+=(file)
  command -v lintian >/dev/null || need+=(lintian)
  command -v man >/dev/null || need+=(man-db)
fi
if [ "${1:-}" = "--tests" ]; then
  [ -f /usr/include/gtest/gtest.h ] || need+=(libgtest-dev)
  [ -f /usr/include/gmock/gmock.h ] || need+=(libgmock-dev)
  [ -f /usr/include/benchmark/benchmark.h ] || need+=(libbenchmark-dev)
  command -v tmux >/dev/null || need+=(tmux)
  [ -x /usr/bin/chromium ] || need+=(chromium)
  command -v clang-format >/dev/null || need+=(clang-format)
fi
SUDO=""; [ "$(id -u)" -eq 0 ] || SUDO=sudo
if [ "${1:-}" = "--armhf" ]; then
  command -v arm-linux-gnueabihf-g++ >/dev/null || need+=(g++-arm-linux-gnueabihf)
  command -v qemu-arm >/dev/null || need+=(qemu-user)
  [ -f /usr/lib/arm-linux-gnueabihf/libsqlite3.so ] || need+=(libsqlite3-dev:armhf)
  [ -f /usr/lib/arm-linux-gnueabihf/libncursesw.so ] || need+=(libncurses-dev:armhf)
  # The armhf package's dependency on the C++ runtime is computed from this one's.
  [ -f /usr/lib/arm-linux-gnueabihf/libstdc++.so.6 ] || need+=(libstdc++6:armhf)
  # The :armhf packages come from the armhf architecture, known to dpkg once added.
  if ! dpkg --print-foreign-architectures | grep -qx armhf; then
    echo "setup: adding the armhf architecture to dpkg"
    $SUDO dpkg --add-architecture armhf
  fi
fi
if [ ${#need[@]} -gt 0 ]; then
  echo "setup: installing ${need[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${need[@]}"
fi
