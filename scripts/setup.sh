#!/usr/bin/env bash
# Installs the Debian packages the build of the programs needs (scripts/run.sh), only
# when something is missing; with --tests also what only the tests use (GoogleTest,
# benchmark, tmux; the report's rendering test opens it in a headless browser) and
# what the package stage uses (dpkg-shlibdeps, lintian, man); with --armhf the cross
# compiler, qemu-arm and the armhf libraries of the cross build (scripts/armhf.sh),
# and what its package needs. The history server's tests start a PostgreSQL of their own;
# the armhf build has no history server (no armhf libpq).
set -euo pipefail
need=()
command -v cmake >/dev/null || need+=(cmake)
command -v g++ >/dev/null || need+=(g++)
command -v make >/dev/null || need+=(make)
[ -f /usr/include/ncurses.h ] || need+=(libncurses-dev)
[ -f /usr/include/sqlite3.h ] || need+=(libsqlite3-dev)
[ -f /usr/include/postgresql/libpq-fe.h ] || need+=(libpq-dev)
# The web front end's HTTP server (cpp-httplib) and its requests' JSON.
[ -f /usr/include/httplib.h ] || need+=(libcpp-httplib-dev)
[ -f /usr/include/nlohmann/json.hpp ] || need+=(nlohmann-json3-dev)
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
  compgen -G "/usr/lib/postgresql/*/bin/initdb" >/dev/null || need+=(postgresql)
  command -v python3 >/dev/null || need+=(python3)
  # The web front end's browser tests run on node with puppeteer-core from npm.
  command -v node >/dev/null || need+=(nodejs)
  command -v npm >/dev/null || need+=(npm)
fi
SUDO=""; [ "$(id -u)" -eq 0 ] || SUDO=sudo
if [ "${1:-}" = "--armhf" ]; then
  command -v arm-linux-gnueabihf-g++ >/dev/null || need+=(g++-arm-linux-gnueabihf)
  command -v qemu-arm >/dev/null || need+=(qemu-user)
  [ -f /usr/lib/arm-linux-gnueabihf/libsqlite3.so ] || need+=(libsqlite3-dev:armhf)
  [ -f /usr/lib/arm-linux-gnueabihf/libncursesw.so ] || need+=(libncurses-dev:armhf)
  [ -f /usr/lib/arm-linux-gnueabihf/libcpp-httplib.so ] || need+=(libcpp-httplib-dev:armhf)
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
# puppeteer-core as pinned in the lock file; it downloads no browser (Debian's chromium is used).
if [ "${1:-}" = "--tests" ]; then
  web="$(dirname "$0")/../test/e2e/web"
  if ! cmp -s "$web/package-lock.json" "$web/node_modules/.installed-lock.json" 2>/dev/null; then
    echo "setup: npm ci in test/e2e/web"
    (cd "$web" && PUPPETEER_SKIP_DOWNLOAD=1 npm ci --ignore-scripts --no-audit --no-fund --loglevel=error &&
      cp package-lock.json node_modules/.installed-lock.json)
  fi
fi
