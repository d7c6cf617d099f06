# Writes Fensterdefinition_Daten.h, the window's definition as C++ data, from
# Fensterdefinition.json; each build does it at configure time, the cross builds too, so no
# program of the build machine has to run.
cmake_policy(SET CMP0057 NEW) # IN_LIST, also when run as a script
function(wendelkamm_fensterdefinition json ausgabe)
  file(READ "${json}" d)
  # A C++ string literal of a JSON string.
  macro(_literal var text)
    string(REPLACE "\\" "\\\\" _t "${text}")
    string(REPLACE "\"" "\\\"" _t "${_t}")
    string(REPLACE "\t" "\\t" _t "${_t}")
    set(${var} "\"${_t}\"")
  endmacro()
  macro(_bool var wert)
    if(${wert})
      set(${var} true)
    else()
      set(${var} false)
    endif()
  endmacro()

  string(JSON beschriftung GET "${d}" Beschriftung)
  _literal(beschriftung "${beschriftung}")
  string(JSON breite GET "${d}" Innenbreite)
  string(JSON hoehe GET "${d}" Innenhoehe)
  string(JSON fokus GET "${d}" Fokus)
  _literal(fokus "${fokus}")
  # The question that a run writes first, as its line with CR LF.
  string(JSON frage GET "${d}" Frage)
  _literal(frage "${frage}\r\n")
  string(REPLACE "\r\n" "\\r\\n" frage "${frage}")
  string(JSON anzahl LENGTH "${d}" Steuerelemente)
  set(elemente "")
  set(namen "")
  set(konstanten "")
  math(EXPR letztes "${anzahl} - 1")
  foreach(i RANGE ${letztes})
    string(JSON e GET "${d}" Steuerelemente ${i})
    string(JSON name GET "${e}" Name)
    # Each name becomes a constant of the program: the compiler finds every use of a control.
    if(NOT name MATCHES "^[A-Za-z_][A-Za-z0-9_]*$" OR name IN_LIST namen)
      message(FATAL_ERROR "${json}: the control ${name} needs a name of letters, digits and _, its own")
    endif()
    list(APPEND namen ${name})
    string(APPEND konstanten "inline constexpr std::string_view ${name}{\"${name}\"};\n")
    string(JSON art GET "${e}" Art)
    if(NOT art MATCHES "^(Textfeld|Schaltflaeche)$")
      message(FATAL_ERROR "${json}: ${name} has the unknown kind ${art}")
    endif()
    string(JSON zeilen ERROR_VARIABLE keine_zeilen GET "${e}" Zeilen)
    if(keine_zeilen)
      string(JSON inhalt GET "${e}" Inhalt)
      _literal(inhalt "${inhalt}")
    else()
      # A text of lines, each followed by CR LF.
      string(JSON n LENGTH "${zeilen}")
      set(inhalt "")
      math(EXPR m "${n} - 1")
      foreach(k RANGE ${m})
        string(JSON zeile GET "${zeilen}" ${k})
        _literal(zeile "${zeile}\r\n")
        string(REPLACE "\r\n" "\\r\\n" zeile "${zeile}")
        string(APPEND inhalt "\n         ${zeile}")
      endforeach()
    endif()
    string(JSON tag GET "${e}" Tag)
    _literal(tag "${tag}")
    string(JSON zugangsname ERROR_VARIABLE ohne_zugangsname GET "${e}" Zugangsname)
    if(ohne_zugangsname)
      set(zugangsname "")
    endif()
    _literal(zugangsname "${zugangsname}")
    string(JSON schrift GET "${e}" Schrift)
    string(JSON s GET "${d}" Schriften ${schrift})
    string(JSON s_name GET "${s}" Name)
    _literal(s_name "${s_name}")
    set(s_werte "")
    foreach(feld Punkt Gewicht)
      string(JSON wert GET "${s}" ${feld})
      string(APPEND s_werte ", ${wert}")
    endforeach()
    foreach(feld Kursiv Unterstrichen Durchgestrichen)
      string(JSON wert GET "${s}" ${feld})
      _bool(wert ${wert})
      string(APPEND s_werte ", ${wert}")
    endforeach()
    string(JSON zeichensatz GET "${s}" Zeichensatz)
    set(werte "")
    foreach(feld Links Oben Breite Hoehe)
      string(JSON wert GET "${e}" ${feld})
      # Pixels are rounded from twips by one rule in C++ and in Python, which part ways below 0.
      if(wert LESS 0)
        message(FATAL_ERROR "${name} has ${feld} ${wert}, below 0: no place or size is negative (${json})")
      endif()
      string(APPEND werte "${wert}, ")
    endforeach()
    string(APPEND elemente "    {Namen::${name}, Art::${art}, ${werte}${inhalt}, ${tag},\n"
                           "     {${s_name}${s_werte}, ${zeichensatz}}, ${zugangsname}},\n")
  endforeach()
  file(CONFIGURE OUTPUT "${ausgabe}" @ONLY CONTENT "\
// Written by the build from Fensterdefinition.json: change that file, not this one.
#pragma once

namespace Fensterdefinition {

// The controls' names, one constant each: a renamed control is found wherever it is used.
namespace Namen {
${konstanten}} // namespace Namen

inline constexpr Definition Standard{${beschriftung}, ${breite}, ${hoehe}, {{
${elemente}}}, ${fokus}};

// The run's first line.
inline constexpr char Frage[] = ${frage};

} // namespace Fensterdefinition
")
endfunction()

# Run as a script, as a test does: cmake -DJSON=... -DAUSGABE=... -P Fensterdefinition.cmake
if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  wendelkamm_fensterdefinition("${JSON}" "${AUSGABE}")
endif()
