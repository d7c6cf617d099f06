# Reads wendelkamm.exe from Linux with MinGW-w64's binutils and checks what a user's Windows
# sees of the file: only system DLLs imported, a window program, the stack the nested runs need,
# the security and terminal server flags, the size as built, the manifest, the version
# information (the project's VERSION, German (Germany), code page 1252) and the icon group
# (32 x 32 and 16 x 16, 16 colours).
#   cmake -DEXE=... -DVERSION=1.00 -DVERSION_PUNKTE=1.0.0.0 -DSTAPEL=8388608 -DOBJDUMP=...
#         -DWINDRES=... -P pe_pruefen.cmake
set(Fehler "")
if(NOT VERSION MATCHES "^[0-9]+\\.[0-9]+$")
  message(FATAL_ERROR "no VERSION given")
endif()
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
  if(NOT Dll MATCHES "^(kernel32|user32|gdi32|comctl32|ole32|oleaut32|msvcrt|ucrtbase|api-ms-win-crt-[a-z0-9-]+)\\.dll$")
    fehlt("imports ${Dll}, which is not a system DLL")
  endif()
endforeach()
foreach(Dll KERNEL32 USER32 GDI32 COMCTL32)
  if(NOT Kopf MATCHES "DLL Name: ${Dll}\\.dll")
    fehlt("does not import ${Dll}.dll")
  endif()
endforeach()

if(NOT Kopf MATCHES "Subsystem[ \t]+00000002")
  fehlt("not a Windows GUI program (subsystem 2)")
endif()
# ASLR (with 64-bit addresses), no code run from data, and aware of terminal servers.
foreach(Merkmal HIGH_ENTROPY_VA DYNAMIC_BASE NX_COMPAT TERMINAL_SERVICE_AWARE)
  if(NOT Kopf MATCHES "DllCharacteristics[^\n]*\n([ \t]+[A-Z_]+\n)*[ \t]+${Merkmal}\n")
    fehlt("DllCharacteristics lack ${Merkmal}")
  endif()
endforeach()
# A thousand nested runs keep their chains of calls on the main thread's stack.
if(Kopf MATCHES "SizeOfStackReserve[ \t]+([0-9a-fA-F]+)")
  math(EXPR Stapel "0x${CMAKE_MATCH_1}")
  if(Stapel LESS STAPEL)
    fehlt("reserves ${Stapel} bytes of stack, less than ${STAPEL}")
  endif()
else()
  fehlt("no SizeOfStackReserve")
endif()

# At most 300 KB as built, without a symbol table: the file is shipped as it comes out.
file(SIZE "${EXE}" Groesse)
message(STATUS "${Groesse} bytes; imports: ${Importe}")
if(Groesse GREATER 307200)
  fehlt("it has ${Groesse} bytes, more than 300 KB")
endif()
execute_process(COMMAND "${OBJDUMP}" -t "${EXE}" OUTPUT_VARIABLE Symbole)
if(NOT Symbole MATCHES "no symbols")
  fehlt("it carries a symbol table")
endif()

# The resources as windres reads them back out of the file.
execute_process(COMMAND "${WINDRES}" -J coff -O rc -i "${EXE}" OUTPUT_VARIABLE Ressourcen
                RESULT_VARIABLE Ergebnis)
if(NOT Ergebnis EQUAL 0)
  message(FATAL_ERROR "windres cannot read the resources of ${EXE}")
endif()
# The manifest: resource 1 of type RT_MANIFEST (24), Common Controls 6, aware of each monitor's
# DPI with the fallback of older Windows, Windows 7, 8, 8.1 and 10/11, the rights of its user.
if(NOT Ressourcen MATCHES "\n1 24 /\\* RT_MANIFEST \\*/\nBEGIN\n(([^E]|E[^N]|EN[^D])*)\nEND")
  fehlt("no manifest as resource 1 of type RT_MANIFEST")
else()
  # windres writes the text as C strings, with "" for each quote.
  string(REPLACE "\"\"" "'" Manifest "${CMAKE_MATCH_1}")
  string(REGEX REPLACE "\\\\n\"\n *\"" " " Manifest "${Manifest}")
  string(REGEX REPLACE "[ \t\n]+" " " Manifest "${Manifest}")
  foreach(Muster
      "<assemblyIdentity type='win32' name='${KENNUNG}' version='${VERSION_PUNKTE}' processorArchitecture='amd64'/>"
      "<assemblyIdentity type='win32' name='Microsoft.Windows.Common-Controls' version='6.0.0.0' processorArchitecture='\\*' publicKeyToken='6595b64144ccf1df' language='\\*'/>"
      "<dpiAware xmlns='http://schemas.microsoft.com/SMI/2005/WindowsSettings'>true/pm</dpiAware>"
      "<dpiAwareness xmlns='http://schemas.microsoft.com/SMI/2016/WindowsSettings'>PerMonitorV2, PerMonitor</dpiAwareness>"
      "<supportedOS Id='{35138b9a-5d96-4fbd-8e2d-a2440225f93a}'/>"
      "<supportedOS Id='{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}'/>"
      "<supportedOS Id='{1f676c76-80e1-4239-95bb-83d0f6d0da78}'/>"
      "<supportedOS Id='{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}'/>"
      "<requestedExecutionLevel level='asInvoker' uiAccess='false'/>")
    if(NOT Manifest MATCHES "${Muster}")
      fehlt("manifest lacks ${Muster}")
    endif()
  endforeach()
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
  # 1.0.0.0 as windres writes the numbers: 1, 0, 0, 0.
  string(REPLACE "." ", " Zahlen "${VERSION_PUNKTE}")
  foreach(Muster
      " FILEVERSION ${Zahlen}\n"
      " PRODUCTVERSION ${Zahlen}\n"
      "BLOCK \"040704E4\""
      "VALUE \"FileVersion\", \"${VERSION}\"\n"
      "VALUE \"ProductVersion\", \"${VERSION}\"\n"
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
