#!/usr/bin/env bash
# Builds the Debian packages vazdiag_VERSION_ARCH.deb and vazdiag-dev_VERSION_ARCH.deb
# with CPack (packaging/cpack.cmake) into DIR/packages, and prints their paths.
#   scripts/package.sh [--armhf] [DIR]
# DIR is the build directory: by default build-pkg (build-pkg-armhf), configured without
# the tests and with Debian's build flags (dpkg-buildflags); an existing build directory
# (scripts/test.sh gives its own) keeps its options and is only given the /usr prefix.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
arch=$(dpkg --print-architecture)
options=()
if [ "${1:-}" = "--armhf" ]; then
  shift
  arch=armhf
  options+=(-DCMAKE_TOOLCHAIN_FILE="$top/cmake/armhf.cmake")
fi
dir=${1:-$top/build-pkg$([ "$arch" = armhf ] && echo -armhf || true)}
mkdir -p "$dir" && dir=$(cd "$dir" && pwd)
"$top/scripts/setup.sh" "$([ "$arch" = armhf ] && echo --armhf || echo --tests)"

# The version is set once, in CMakeLists.txt; the change log must have an entry for it.
version=$(sed -n 's/^project(vazdiag VERSION \([0-9.]*\).*/\1/p' "$top/CMakeLists.txt")
logged=$(sed -n '1s/^vazdiag (\([^)]*\)).*/\1/p' "$top/packaging/changelog")
[ "$version" = "$logged" ] || {
  echo "package: CMakeLists.txt says $version, packaging/changelog's newest entry $logged" >&2
  exit 1
}

if [ ! -f "$dir/CMakeCache.txt" ]; then
  # Hardening and optimisation as Debian builds its packages.
  flags=(-DVAZ_BUILD_TESTS=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo
    "-DCMAKE_C_FLAGS=$(DEB_HOST_ARCH=$arch dpkg-buildflags --get CFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
    "-DCMAKE_CXX_FLAGS=$(DEB_HOST_ARCH=$arch dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
    "-DCMAKE_EXE_LINKER_FLAGS=$(dpkg-buildflags --get LDFLAGS)"
    "-DCMAKE_SHARED_LINKER_FLAGS=$(dpkg-buildflags --get LDFLAGS)")
  options+=("${flags[@]}")
fi
cmake -S "$top" -B "$dir" -DCMAKE_INSTALL_PREFIX=/usr "${options[@]}" >/dev/null
# What the packages hold, and nothing else (a test build's tests are not needed for them).
cmake --build "$dir" -j"$(nproc)" --target VAZ_OLD STD COMM_ABSTRACT_LAYER vazdiag vazdiag-ecu vaz_data vaz_manual vaz_changelog
rm -rf "$dir/packages"
# dpkg-shlibdeps looks for the target architecture's libraries.
(cd "$dir" && DEB_HOST_ARCH=$arch cpack -B "$dir/packages" >"$dir/cpack.log") || { cat "$dir/cpack.log" >&2; exit 1; }
ls "$dir"/packages/*.deb
