# What follows from the facts of the top CMakeLists.txt, worked out once for every file made from
# them: the release's date from debian/changelog, the version as Windows writes it; the check of
# debian/, which keeps copies of its own; and wendelkamm.env in the build folder, from which
# scripts and tests read the facts.

# The release's date is that of the latest entry of debian/changelog, whose version must agree.
set(_changelog "${PROJECT_SOURCE_DIR}/debian/changelog")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
  "${_changelog}" "${PROJECT_SOURCE_DIR}/debian/control" "${PROJECT_SOURCE_DIR}/debian/copyright")
file(STRINGS "${_changelog}" _eintrag LIMIT_COUNT 1 REGEX "^wendelkamm \\(")
file(STRINGS "${_changelog}" _unterschrift LIMIT_COUNT 1 REGEX "^ -- ")
if(NOT _eintrag MATCHES "^wendelkamm \\(([^)-]+)-[^)]+\\)"
   OR NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
  message(FATAL_ERROR "debian/changelog's latest entry is not for version ${PROJECT_VERSION}: "
                      "add one (dch -v ${PROJECT_VERSION}-1)")
endif()
set(_monate Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
set(_monatsnamen Januar Februar März April Mai Juni Juli August September Oktober November Dezember)
if(NOT _unterschrift MATCHES "^ -- (.+)  [A-Z][a-z][a-z], ([ 0-9]?[0-9]) ([A-Z][a-z][a-z]) ([0-9][0-9][0-9][0-9]) ([0-9][0-9]:[0-9][0-9]:[0-9][0-9]) ([-+][0-9][0-9][0-9][0-9])$")
  message(FATAL_ERROR "no date in debian/changelog's latest entry: ${_unterschrift}")
endif()
set(_verantwortlich "${CMAKE_MATCH_1}")
string(STRIP "${CMAKE_MATCH_2}" _tag)
list(FIND _monate "${CMAKE_MATCH_3}" _monat)
set(WENDELKAMM_JAHR "${CMAKE_MATCH_4}")
set(_uhrzeit "${CMAKE_MATCH_5}")
set(_zone "${CMAKE_MATCH_6}")
if(_monat EQUAL -1)
  message(FATAL_ERROR "no date in debian/changelog's latest entry: ${_unterschrift}")
endif()
list(GET _monatsnamen ${_monat} WENDELKAMM_MONAT)
math(EXPR _monat "${_monat} + 1")
# Seconds since 1970 (SOURCE_DATE_EPOCH): days from the civil date, as in Howard Hinnant's
# days_from_civil, less the zone's offset.
set(_j ${WENDELKAMM_JAHR})
set(_m ${_monat})
if(_monat LESS_EQUAL 2) # the year counted from March
  math(EXPR _j "${_j} - 1")
  math(EXPR _m "${_m} + 12")
endif()
math(EXPR _doy "(153 * (${_m} - 3) + 2) / 5 + ${_tag} - 1")
math(EXPR _tage "(${_j} / 400) * 146097 + (${_j} % 400) * 365 + (${_j} % 400) / 4 - (${_j} % 400) / 100 + ${_doy} - 719468")
string(REGEX REPLACE "^(..):(..):(..)$" "(\\1 * 60 + \\2) * 60 + \\3" _uhrzeit "${_uhrzeit}")
string(REGEX REPLACE "^([-+])(..)(..)$" "\\1 (\\2 * 60 + \\3) * 60" _zone "${_zone}")
math(EXPR WENDELKAMM_ZEITPUNKT "${_tage} * 86400 + ${_uhrzeit} - (0 ${_zone})")
string(REGEX REPLACE "^([0-9])$" "0\\1" _monat "${_monat}")
string(REGEX REPLACE "^([0-9])$" "0\\1" _tag "${_tag}")
set(WENDELKAMM_DATUM "${WENDELKAMM_JAHR}-${_monat}-${_tag}")

# Windows writes versions as four numbers: 1.00 is 1.0.0.0.
math(EXPR _minor "${PROJECT_VERSION_MINOR}")
set(WENDELKAMM_VERSION_PUNKTE "${PROJECT_VERSION_MAJOR}.${_minor}.0.0")
string(REPLACE "." "," WENDELKAMM_VERSION_KOMMAS "${WENDELKAMM_VERSION_PUNKTE}")

# debian/ holds the publisher once more, as Debian needs it in its sources: each copy must agree.
set(WENDELKAMM_VERANTWORTLICH "${WENDELKAMM_HERAUSGEBER} <${WENDELKAMM_ADRESSE}>")
function(_debian_gleich datei was ist soll)
  if(NOT ist STREQUAL soll)
    message(FATAL_ERROR "debian/${datei} gives ${was} as '${ist}', the top CMakeLists.txt as "
                        "'${soll}': change one of them")
  endif()
endfunction()
_debian_gleich(changelog "the latest entry's maintainer" "${_verantwortlich}"
  "${WENDELKAMM_VERANTWORTLICH}")
foreach(_feld "control:Maintainer" "copyright:Upstream-Contact" "copyright:Upstream-Name"
              "copyright:Copyright")
  string(REPLACE ":" ";" _feld "${_feld}")
  list(GET _feld 0 _datei)
  list(GET _feld 1 _name)
  set(_soll "${WENDELKAMM_VERANTWORTLICH}")
  if(_name STREQUAL "Upstream-Name")
    set(_soll "${PROJECT_NAME}")
  endif()
  file(STRINGS "${PROJECT_SOURCE_DIR}/debian/${_datei}" _zeilen REGEX "^${_name}: ")
  if(NOT _zeilen)
    message(FATAL_ERROR "debian/${_datei} has no ${_name}")
  endif()
  foreach(_zeile IN LISTS _zeilen)
    string(REGEX REPLACE "^${_name}: " "" _ist "${_zeile}")
    if(_name STREQUAL "Copyright") # the year, then the holder
      string(REGEX REPLACE "^[0-9]+ " "" _ist "${_ist}")
      set(_soll "${WENDELKAMM_HERAUSGEBER}")
    endif()
    _debian_gleich(${_datei} ${_name} "${_ist}" "${_soll}")
  endforeach()
endforeach()

# The facts for scripts and tests, to be sourced by a shell (each value in single quotes).
set(_env "")
foreach(_fakt NAME=PROJECT_NAME VERSION=PROJECT_VERSION BESCHREIBUNG=PROJECT_DESCRIPTION
              ID=WENDELKAMM_ID HERAUSGEBER=WENDELKAMM_HERAUSGEBER ADRESSE=WENDELKAMM_ADRESSE
              VERSION_PUNKTE=WENDELKAMM_VERSION_PUNKTE DATUM=WENDELKAMM_DATUM
              ZEITPUNKT=WENDELKAMM_ZEITPUNKT HINTERGRUND=WENDELKAMM_HINTERGRUND
              SYMBOLE_THEMA=WENDELKAMM_SYMBOLE_THEMA SYMBOLE_WEB=WENDELKAMM_SYMBOLE_WEB
              SCHLUESSEL_DEINSTALLATION=WENDELKAMM_SCHLUESSEL_DEINSTALLATION
              SCHLUESSEL_MSI=WENDELKAMM_SCHLUESSEL_MSI STAPEL=WENDELKAMM_STAPEL)
  string(REPLACE "=" ";" _fakt "${_fakt}")
  list(GET _fakt 0 _name)
  list(GET _fakt 1 _variable)
  string(REPLACE ";" " " _wert "${${_variable}}")
  string(APPEND _env "WENDELKAMM_${_name}='${_wert}'\n")
endforeach()
file(CONFIGURE OUTPUT "${PROJECT_BINARY_DIR}/wendelkamm.env" CONTENT "${_env}" @ONLY)
