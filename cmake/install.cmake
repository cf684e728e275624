# Installation: `cmake --install build --prefix DIR` gives a tree that runs from DIR, laid
# out as cmake/layout.cmake says: bin/ the two programs, lib/<triplet>/vazdiag/ the plug-in
# and the workbench libraries, share/vazdiag/ the text library. vazdiag finds the others
# from its own folder (through /proc/self/exe). Two components, which are also the two
# Debian packages (packaging/cpack.cmake): "runtime" for the user, "dev" for a host of
# one's own (the plug-in's C interface and its pkg-config file).
install(TARGETS vazdiag vazdiag-ecu RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT runtime)
install(TARGETS VAZ_OLD STD COMM_ABSTRACT_LAYER LIBRARY DESTINATION ${VAZ_INSTALL_LIBS_DIR} COMPONENT runtime)
install(DIRECTORY ${CMAKE_BINARY_DIR}/data/ DESTINATION ${VAZ_INSTALL_DATA_DIR} COMPONENT runtime)

# Manual pages and shell completion, made from the programs' --help (docs/manual/).
include(${PROJECT_SOURCE_DIR}/docs/manual/manual.cmake)

# The USB K-line cables' udev rule: FTDI latency timer at 1 ms, the dialout group's ports.
install(FILES ${PROJECT_SOURCE_DIR}/packaging/60-vazdiag-cables.rules DESTINATION lib/udev/rules.d COMPONENT runtime)

install(DIRECTORY ${PROJECT_SOURCE_DIR}/plugin/include/ DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/vazdiag
  COMPONENT dev FILES_MATCHING PATTERN "*.h")
# The .pc file names its prefix relative to itself, so it stays right wherever the tree goes.
file(RELATIVE_PATH VAZ_PC_TO_PREFIX /prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig /prefix)
configure_file(${PROJECT_SOURCE_DIR}/packaging/vazdiag.pc.in ${CMAKE_BINARY_DIR}/packaging/vazdiag.pc @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/packaging/vazdiag.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT dev)

# The example scripts, as the manual page's examples use them.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/ DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/vazdiag/examples
  COMPONENT runtime FILES_MATCHING PATTERN "*.txt")

# Every package carries its copyright and the (compressed) change log in its doc folder.
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/packaging/changelog.gz
  COMMAND gzip -9nc ${PROJECT_SOURCE_DIR}/packaging/changelog > ${CMAKE_BINARY_DIR}/packaging/changelog.gz
  DEPENDS ${PROJECT_SOURCE_DIR}/packaging/changelog)
add_custom_target(vaz_changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/packaging/changelog.gz)
foreach(component runtime dev)
  set(package vazdiag)
  if(component STREQUAL dev)
    set(package vazdiag-dev)
  endif()
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright ${CMAKE_BINARY_DIR}/packaging/changelog.gz
    DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${package} COMPONENT ${component})
endforeach()

include(${PROJECT_SOURCE_DIR}/packaging/cpack.cmake)
