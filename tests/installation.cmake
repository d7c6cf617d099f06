# Installs the program into a fresh prefix and checks that everything a desktop needs is there.
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD}" --prefix "${PREFIX}"
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${result}")
endif()
foreach(file bin/wendelkamm share/applications/wendelkamm.desktop
             share/icons/hicolor/16x16/apps/wendelkamm.png
             share/icons/hicolor/32x32/apps/wendelkamm.png)
  if(NOT EXISTS "${PREFIX}/${file}")
    message(FATAL_ERROR "missing after install: ${file}")
  endif()
endforeach()
file(READ "${PREFIX}/share/applications/wendelkamm.desktop" entry)
foreach(line "Name=Wendelkamm" "Exec=wendelkamm" "Icon=wendelkamm" "Categories=Education;Science;Math;")
  string(FIND "${entry}" "${line}\n" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the desktop entry lacks '${line}'")
  endif()
endforeach()
