# Installation: `cmake --install build --prefix DIR` gives a tree that runs from DIR.
# vazdiag loads the plug-in and the workbench libraries from its own directory and the
# display host reads data/ beside itself, so they all go into one folder,
# lib/vazdiag, as in the build directory; bin/ holds links to the two programs (vazdiag
# finds its folder through /proc/self/exe, which names the link's target).
include(GNUInstallDirs)
set(VAZ_INSTALL_DIR ${CMAKE_INSTALL_LIBDIR}/vazdiag)

install(TARGETS vazdiag vazdiag-ecu RUNTIME DESTINATION ${VAZ_INSTALL_DIR})
install(TARGETS VAZ_OLD STD COMM_ABSTRACT_LAYER LIBRARY DESTINATION ${VAZ_INSTALL_DIR})
install(DIRECTORY ${CMAKE_BINARY_DIR}/data/ DESTINATION ${VAZ_INSTALL_DIR}/data)
# The plug-in's C interface, for a host of one's own.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/plugin/include/ DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/vazdiag FILES_MATCHING PATTERN "*.h")

# Relative links, so that the tree may be moved or installed under DESTDIR.
file(RELATIVE_PATH VAZ_BIN_TO_LIB /prefix/${CMAKE_INSTALL_BINDIR} /prefix/${VAZ_INSTALL_DIR})
foreach(program vazdiag vazdiag-ecu)
  install(CODE "
    set(bin \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
    file(MAKE_DIRECTORY \"\${bin}\")
    message(STATUS \"Installing: \${bin}/${program} -> ${VAZ_BIN_TO_LIB}/${program}\")
    file(CREATE_LINK \"${VAZ_BIN_TO_LIB}/${program}\" \"\${bin}/${program}\" SYMBOLIC)")
endforeach()
