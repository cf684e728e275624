# Cross build for 32-bit ARM Linux (armhf) with Debian's cross compiler and the armhf
# multiarch libraries (libsqlite3-dev:armhf, libncurses-dev:armhf). Programs the build
# runs itself (the text library checks) go through qemu-arm.
#   cmake -S . -B build-armhf -DCMAKE_TOOLCHAIN_FILE=cmake/armhf.cmake -DVAZ_BUILD_TESTS=OFF
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR arm)
set(CMAKE_C_COMPILER arm-linux-gnueabihf-gcc)
set(CMAKE_CXX_COMPILER arm-linux-gnueabihf-g++)
# find_library looks in /usr/lib/arm-linux-gnueabihf, where the multiarch packages put theirs.
set(CMAKE_LIBRARY_ARCHITECTURE arm-linux-gnueabihf)
# The C and C++ runtime of the cross compiler live under /usr/arm-linux-gnueabihf, the
# loader qemu takes from there included; the multiarch libraries (sqlite, ncurses) are
# found by qemu's fall-back to the real root. LD_LIBRARY_PATH keeps the C library the
# loader's own: the multiarch libc6:armhf beside them is another build of glibc, and a
# loader and C library of different builds crash as soon as a thread starts.
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-arm -L /usr/arm-linux-gnueabihf -E LD_LIBRARY_PATH=/usr/arm-linux-gnueabihf/lib)
# pkg-config (FindCurses asks it) must describe the armhf libraries, not the build machine's.
set(ENV{PKG_CONFIG_LIBDIR} /usr/lib/arm-linux-gnueabihf/pkgconfig:/usr/share/pkgconfig)
# GCC on ARM notes every function that passes a std::span or iterator by value, because
# GCC 7.1 changed how; everything here is built by one compiler, so the note says nothing.
set(CMAKE_CXX_FLAGS_INIT -Wno-psabi)
# GNUInstallDirs leaves the multiarch folder out of the library path when cross compiling;
# Debian's armhf packages keep their libraries in it, as the native ones do.
set(CMAKE_INSTALL_LIBDIR lib/arm-linux-gnueabihf CACHE PATH "Object code libraries")
