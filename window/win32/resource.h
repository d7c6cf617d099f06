// Resource and control identifiers of the Windows program.
#pragma once

#include "Fensterdefinition.h"

#include <string_view>

// The icon in the resource script (app/wendelkamm.rc.in): "1 ICON".
#define IDI_WENDELKAMM 1

// The controls of frmGoldbach are numbered from here in the definition's order. None of them is
// IDOK (1) or IDCANCEL (2), which the dialog keyboard handling sends for Enter and Escape.
constexpr int Erste_Kennung = 101;

// The identifier of the control of that name, 0 for a name the definition lacks.
constexpr int
Kennung(std::string_view Name,
        const Fensterdefinition::Definition& Definition = Fensterdefinition::Standard) {
    const int Stelle = Definition.Stelle(Name);
    return Stelle < 0 ? 0 : Erste_Kennung + Stelle;
}
