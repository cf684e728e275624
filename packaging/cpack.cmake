# Debian packages of the install components (cmake/install.cmake), made by CPack's DEB
# generator: scripts/package.sh runs it. "vazdiag" holds the programs, libraries, text
# library, manual pages, completion and udev rule; "vazdiag-dev" the C interface.
# Dependencies are computed from the binaries by dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
# CPack installs what is built (scripts/package.sh builds the packages' targets), rather
# than first building everything, a test build's tests too.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
set(CPACK_PACKAGE_NAME vazdiag)
set(CPACK_PACKAGE_VENDOR "Seed 99d3c1a2 maintainers")
set(CPACK_PACKAGE_CONTACT "Seed 99d3c1a2 maintainers <maintainers@users.noreply.c-seed-99d3c1a2.example>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL runtime dev)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# dpkg's name of the target architecture; a cross build names its own.
if(CMAKE_CROSSCOMPILING AND CMAKE_LIBRARY_ARCHITECTURE STREQUAL "arm-linux-gnueabihf")
  set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE armhf)
endif()

set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME vazdiag)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION utils)
set(CPACK_COMPONENT_RUNTIME_DESCRIPTION "engine diagnostics for older VAZ cars
vazdiag reads the identification, trouble codes and live data of the engine
control units of older VAZ cars (Bosch M1.5.4, M1.5.4N, M7.0, M7.9.7, M7.2 over
KWP2000 on the K line, GM ISFI and EFI over ALDL), clears trouble codes and
drives actuator tests, through a USB K-line or ALDL cable or against a
simulated car. It keeps every session in an SQLite history and writes HTML
reports of recorded sessions.
.
vazdiag-ecu puts a simulated ECU on the far end of a serial line or a
pseudo-terminal.")
set(CPACK_DEBIAN_DEV_PACKAGE_NAME vazdiag-dev)
set(CPACK_DEBIAN_DEV_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEV_PACKAGE_DEPENDS "vazdiag (= ${PROJECT_VERSION})")
set(CPACK_COMPONENT_DEV_DESCRIPTION "engine diagnostics for older VAZ cars - plug-in interface
The C interface of the VAZ engine diagnostic plug-in libVAZ_OLD.so (the
session record, the entry point and the host slots it binds), with a
pkg-config file, for a host application of one's own that loads the plug-in
and the workbench libraries of the vazdiag package.")
include(CPack)
