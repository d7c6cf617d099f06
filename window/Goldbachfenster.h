// What every front end of frmGoldbach shares, free of any toolkit: the definition the window is
// built from, the behaviour with the click handlers of its buttons, and the closing flag. Each
// toolkit's window adds the window services it provides in its own way; the behaviour still
// knows the window only as Fensterdienste.
#pragma once

#include "Fensterdefinition.h"
#include "Fensterdienste.h"
#include "frmGoldbach.h"

#include <string>
#include <string_view>

class Goldbachfenster : public Fensterdienste {
public:
    explicit Goldbachfenster(const Fensterdefinition::Definition& Definition)
        : Definition(Definition) {}

    frmGoldbach& Form() { return Goldbach; }
    bool WirdGeschlossen() override { return Schliesst; }

    // What keeps a window from being built from a definition, in German for the user: a control
    // the program needs missing or of another kind, or the focus on no control. Empty for a
    // definition the program can show.
    static std::string Mangel(const Fensterdefinition::Definition& Definition);

    const Fensterdefinition::Definition Definition;

protected:
    // The click of the control of that name reaches its handler; other controls have none.
    void Klicken(std::string_view Name);

    bool Schliesst = false; // set once the window is being closed

private:
    frmGoldbach Goldbach{*this};
};
