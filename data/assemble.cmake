# Assembles the text library the display host reads: each standard file
# (TEXTLIB.TXT, DSNAMES.TXT, DTCTEXT.TXT, COMMAND.GAG) is the concatenation of
# the files of that name in the family folders under data/, folders in name order.
# WORDS.TXT, the workbench's own words, goes along so that the language check sees it.
# The Russian texts (<family>/ru/) go the same way into <output dir>/ru; command
# lists do not depend on the language and exist once.
# Usage: cmake -DSRC=<data dir> -DDST=<output dir> -P assemble.cmake

function(assemble pattern dst)
  file(MAKE_DIRECTORY ${dst})
  foreach(name ${ARGN})
    file(GLOB parts ${SRC}/${pattern}/${name})
    list(SORT parts)
    set(content "")
    foreach(part ${parts})
      file(READ ${part} text)
      file(RELATIVE_PATH rel ${SRC} ${part})
      string(APPEND content "# ---- from data/${rel}\n${text}\n")
    endforeach()
    file(WRITE ${dst}/${name}.tmp "${content}")
    execute_process(COMMAND ${CMAKE_COMMAND} -E copy_if_different ${dst}/${name}.tmp ${dst}/${name})
    file(REMOVE ${dst}/${name}.tmp)
  endforeach()
endfunction()

assemble("*" ${DST} TEXTLIB.TXT DSNAMES.TXT DTCTEXT.TXT COMMAND.GAG WORDS.TXT)
assemble("*/ru" ${DST}/ru TEXTLIB.TXT DSNAMES.TXT DTCTEXT.TXT WORDS.TXT)
file(COPY ${SRC}/StdCfg.ini DESTINATION ${DST})
