# Installs the program into a fresh prefix and checks that everything a desktop needs is there:
# the program, the desktop entry and metainfo named after the application id ID, the icon at
# every size of the hicolor theme (GROESSEN) under the same name, and the manual page.
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD}" --prefix "${PREFIX}"
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${result}")
endif()
set(files bin/wendelkamm share/applications/${ID}.desktop share/metainfo/${ID}.metainfo.xml
          share/man/man1/wendelkamm.1)
foreach(size ${GROESSEN})
  list(APPEND files share/icons/hicolor/${size}x${size}/apps/${ID}.png)
endforeach()
foreach(file ${files})
  if(NOT EXISTS "${PREFIX}/${file}")
    message(FATAL_ERROR "missing after install: ${file}")
  endif()
endforeach()

# Each icon is as large as the folder it lies in says: the PNG header's width and height.
foreach(size ${GROESSEN})
  file(READ "${PREFIX}/share/icons/hicolor/${size}x${size}/apps/${ID}.png" header
       OFFSET 16 LIMIT 8 HEX)
  string(SUBSTRING "${header}" 0 8 w)
  string(SUBSTRING "${header}" 8 8 h)
  math(EXPR w "0x${w}")
  math(EXPR h "0x${h}")
  if(NOT w EQUAL size OR NOT h EQUAL size)
    message(FATAL_ERROR "the ${size}x${size} icon is ${w} x ${h} pixels")
  endif()
endforeach()

file(READ "${PREFIX}/share/applications/${ID}.desktop" entry)
foreach(line "Name=Wendelkamm" "Exec=wendelkamm" "Icon=${ID}" "Categories=Education;Math;")
  string(FIND "${entry}" "${line}\n" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the desktop entry lacks '${line}'")
  endif()
endforeach()
file(READ "${PREFIX}/share/metainfo/${ID}.metainfo.xml" metainfo)
foreach(part "<id>${ID}</id>" "<launchable type=\"desktop-id\">${ID}.desktop</launchable>")
  string(FIND "${metainfo}" "${part}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the metainfo lacks '${part}'")
  endif()
endforeach()
