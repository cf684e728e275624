# Manual pages (vazdiag.1, vazdiag-ecu.1) and bash and zsh completion, made at build time
# from the programs' --help by make_manual.py, so that they list every option the
# programs take. A cross build runs the programs under its emulator.
find_package(Python3 COMPONENTS Interpreter)
if(NOT Python3_Interpreter_FOUND)
  message(STATUS "No python3: no manual pages or shell completion")
  return()
endif()
set(VAZ_MANUAL_DIR ${CMAKE_BINARY_DIR}/manual)
set(VAZ_FULL_LIBS_DIR ${CMAKE_INSTALL_PREFIX}/${VAZ_INSTALL_LIBS_DIR})
set(VAZ_FULL_DATA_DIR ${CMAKE_INSTALL_PREFIX}/${VAZ_INSTALL_DATA_DIR})
set(VAZ_EXAMPLES ${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/doc/vazdiag/examples)
set(make_manual ${CMAKE_CURRENT_LIST_DIR}/make_manual.py)
set(outputs)
foreach(program vazdiag vazdiag-ecu)
  configure_file(${CMAKE_CURRENT_LIST_DIR}/${program}.1.in ${VAZ_MANUAL_DIR}/${program}.1.extra @ONLY)
  if(program STREQUAL vazdiag)
    set(summary "engine diagnostics for older VAZ cars")
  else()
    set(summary "a simulated engine ECU on a serial line")
  endif()
  add_custom_command(OUTPUT ${VAZ_MANUAL_DIR}/${program}.help ${VAZ_MANUAL_DIR}/${program}.1 ${VAZ_MANUAL_DIR}/${program}.1.gz
    COMMAND ${program} --help > ${VAZ_MANUAL_DIR}/${program}.help
    COMMAND ${Python3_EXECUTABLE} ${make_manual} man ${VAZ_MANUAL_DIR}/${program}.help ${VAZ_MANUAL_DIR}/${program}.1.extra
            ${program} ${PROJECT_VERSION} "${summary}" > ${VAZ_MANUAL_DIR}/${program}.1
    COMMAND gzip -9nf -k ${VAZ_MANUAL_DIR}/${program}.1
    DEPENDS ${program} ${make_manual} ${VAZ_MANUAL_DIR}/${program}.1.extra
    COMMENT "Manual page ${program}.1 from ${program} --help" VERBATIM)
  list(APPEND outputs ${VAZ_MANUAL_DIR}/${program}.1.gz)
  install(FILES ${VAZ_MANUAL_DIR}/${program}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT runtime)
endforeach()
foreach(shell bash zsh)
  set(out ${VAZ_MANUAL_DIR}/vazdiag.${shell})
  add_custom_command(OUTPUT ${out}
    COMMAND ${Python3_EXECUTABLE} ${make_manual} ${shell} ${VAZ_MANUAL_DIR}/vazdiag.help
            ${CMAKE_CURRENT_LIST_DIR}/vazdiag.${shell}.in > ${out}
    DEPENDS ${VAZ_MANUAL_DIR}/vazdiag.help ${make_manual} ${CMAKE_CURRENT_LIST_DIR}/vazdiag.${shell}.in VERBATIM)
  list(APPEND outputs ${out})
endforeach()
add_custom_target(vaz_manual ALL DEPENDS ${outputs})
install(FILES ${VAZ_MANUAL_DIR}/vazdiag.bash DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions
  RENAME vazdiag COMPONENT runtime)
install(FILES ${VAZ_MANUAL_DIR}/vazdiag.zsh DESTINATION ${CMAKE_INSTALL_DATADIR}/zsh/vendor-completions
  RENAME _vazdiag COMPONENT runtime)
