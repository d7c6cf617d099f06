# Reads wendelkamm.exe from Linux with MinGW-w64's binutils and checks what a user's Windows
# sees of the file: only system DLLs imported, a window program, the stack the nested runs need,
# the size, the version information (1.00, German (Germany), code page 1252) and the icon group
# (32 x 32 and 16 x 16, 16 colours).
#   cmake -DEXE=... -DOBJDUMP=... -DWINDRES=... -DSTRIP=... -DARBEIT=<folder> -P pe_pruefen.cmake
set(Fehler "")
macro(fehlt Text)
  string(APPEND Fehler "\n  ${Text}")
endmacro()

execute_process(COMMAND "${OBJDUMP}" -p "${EXE}" OUTPUT_VARIABLE Kopf RESULT_VARIABLE Ergebnis)
if(NOT Ergebnis EQUAL 0)
  message(FATAL_ERROR "objdump cannot read ${EXE}")
endif()

# Imports: the system's DLLs and a C run-time of the system, nothing that must be shipped.
string(REGEX MATCHALL "DLL Name: [^\n]+" Importe "${Kopf}")
if(NOT Importe)
  fehlt("no import table found")
endif()
foreach(Import IN LISTS Importe)
  string(REPLACE "DLL Name: " "" Dll "${Import}")
  string(TOLOWER "${Dll}" Dll)
  if(NOT Dll MATCHES "^(kernel32|user32|gdi32|msvcrt|ucrtbase|api-ms-win-crt-[a-z0-9-]+)\\.dll$")
    fehlt("imports ${Dll}, which is not a system DLL")
  endif()
endforeach()
foreach(Dll KERNEL32 USER32 GDI32)
  if(NOT Kopf MATCHES "DLL Name: ${Dll}\\.dll")
    fehlt("does not import ${Dll}.dll")
  endif()
endforeach()

if(NOT Kopf MATCHES "Subsystem[ \t]+00000002")
  fehlt("not a Windows GUI program (subsystem 2)")
endif()
# A thousand nested runs keep their chains of calls on the main thread's stack.
if(Kopf MATCHES "SizeOfStackReserve[ \t]+([0-9a-fA-F]+)")
  math(EXPR Stapel "0x${CMAKE_MATCH_1}")
  if(Stapel LESS 8388608)
    fehlt("reserves ${Stapel} bytes of stack, less than 8 MiB")
  endif()
else()
  fehlt("no SizeOfStackReserve")
endif()

# At most 300 KB once stripped.
file(MAKE_DIRECTORY "${ARBEIT}")
set(Gestrippt "${ARBEIT}/wendelkamm-gestrippt.exe")
execute_process(COMMAND "${STRIP}" -o "${Gestrippt}" "${EXE}" RESULT_VARIABLE Ergebnis)
file(SIZE "${Gestrippt}" Groesse)
message(STATUS "stripped: ${Groesse} bytes; imports: ${Importe}")
if(NOT Ergebnis EQUAL 0 OR Groesse GREATER 307200)
  fehlt("stripped it has ${Groesse} bytes, more than 300 KB")
endif()

# The resources as windres reads them back out of the file.
execute_process(COMMAND "${WINDRES}" -J coff -O rc -i "${EXE}" OUTPUT_VARIABLE Ressourcen
                RESULT_VARIABLE Ergebnis)
if(NOT Ergebnis EQUAL 0)
  message(FATAL_ERROR "windres cannot read the resources of ${EXE}")
endif()
string(FIND "${Ressourcen}" "VERSIONINFO" Version)
if(Version EQUAL -1)
  fehlt("no VERSIONINFO")
else()
  string(SUBSTRING "${Ressourcen}" ${Version} -1 Versionsteil)
  string(SUBSTRING "${Ressourcen}" 0 ${Version} Davor)
  # The language of the version resource is the last LANGUAGE statement before it.
  string(REGEX MATCHALL "LANGUAGE [0-9]+, [0-9]+" Sprachen "${Davor}")
  list(GET Sprachen -1 Sprache)
  if(NOT Sprache STREQUAL "LANGUAGE 7, 1")
    fehlt("version resource in '${Sprache}', not German (Germany) 7, 1")
  endif()
  foreach(Muster
      " FILEVERSION 1, 0, 0, 0\n"
      " PRODUCTVERSION 1, 0, 0, 0\n"
      "BLOCK \"040704E4\""
      "VALUE \"FileVersion\", \"1.00\"\n"
      "VALUE \"ProductVersion\", \"1.00\"\n"
      "VALUE \"Translation\", 0x407, 1252\n")
    string(FIND "${Versionsteil}" "${Muster}" Stelle)
    if(Stelle EQUAL -1)
      fehlt("version information lacks '${Muster}'")
    endif()
  endforeach()
endif()

# One icon group, its entries "width height colours" with 1 plane and 4 bits each.
string(REGEX MATCHALL "[0-9]+ 14 /\\* RT_GROUP_ICON \\*/" Gruppen "${Ressourcen}")
list(LENGTH Gruppen Anzahl)
if(NOT Anzahl EQUAL 1)
  fehlt("${Anzahl} icon groups instead of one")
endif()
foreach(Eintrag "\"\\040\\040\\020\\000\", 1, 4," "\"\\020\\020\\020\\000\", 1, 4,")
  string(FIND "${Ressourcen}" "${Eintrag}" Stelle)
  if(Stelle EQUAL -1)
    fehlt("icon group lacks the image ${Eintrag} (32 x 32 or 16 x 16, 16 colours, 4 bits)")
  endif()
endforeach()

if(Fehler)
  message(FATAL_ERROR "${EXE}:${Fehler}")
endif()
