# Assembles the text library the display host reads: each standard file
# (TEXTLIB.TXT, DSNAMES.TXT, DTCTEXT.TXT, COMMAND.GAG) is the concatenation of
# the files of that name in the family folders under data/, folders in name order.
# Usage: cmake -DSRC=<data dir> -DDST=<output dir> -P assemble.cmake
file(MAKE_DIRECTORY ${DST})
foreach(name TEXTLIB.TXT DSNAMES.TXT DTCTEXT.TXT COMMAND.GAG)
  file(GLOB parts ${SRC}/*/${name})
  list(SORT parts)
  set(content "")
  foreach(part ${parts})
    file(READ ${part} text)
    file(RELATIVE_PATH rel ${SRC} ${part})
    string(APPEND content "# ---- from data/${rel}\n${text}\n")
  endforeach()
  file(WRITE ${DST}/${name}.tmp "${content}")
  execute_process(COMMAND ${CMAKE_COMMAND} -E copy_if_different ${DST}/${name}.tmp ${DST}/${name})
  file(REMOVE ${DST}/${name}.tmp)
endforeach()
file(COPY ${SRC}/StdCfg.ini DESTINATION ${DST})
