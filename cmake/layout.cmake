# The installed tree's layout, as the Filesystem Hierarchy Standard has it: programs in
# bin/, the plug-in and the two workbench libraries in a private folder of the
# (multiarch) library directory, the text library in share/. Only the relative paths
# between them are built into the programs, so an installed tree may be moved whole
# (`cmake --install build --prefix DIR`), and the build tree, which keeps everything in
# one folder, keeps working.
include(GNUInstallDirs)
set(VAZ_INSTALL_LIBS_DIR ${CMAKE_INSTALL_LIBDIR}/vazdiag)
set(VAZ_INSTALL_DATA_DIR ${CMAKE_INSTALL_DATADIR}/vazdiag)
file(RELATIVE_PATH VAZ_BIN_TO_LIBS /prefix/${CMAKE_INSTALL_BINDIR} /prefix/${VAZ_INSTALL_LIBS_DIR})
file(RELATIVE_PATH VAZ_LIBS_TO_DATA /prefix/${VAZ_INSTALL_LIBS_DIR} /prefix/${VAZ_INSTALL_DATA_DIR})
configure_file(${CMAKE_CURRENT_LIST_DIR}/vaz_layout.h.in ${CMAKE_BINARY_DIR}/generated/vaz_layout.h @ONLY)
