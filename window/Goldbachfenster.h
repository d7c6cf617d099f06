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
#include <utility>

class Goldbachfenster : public Fensterdienste {
public:
    explicit Goldbachfenster(const Fensterdefinition::Definition& Definition)
        : Definition(Definition) {}

    frmGoldbach& Form() { return Goldbach; }
    bool WirdGeschlossen() override { return Schliesst; }

    // What keeps a window from being built from a definition: a control that the behaviour works
    // with missing or of another kind (Fehlt names it, Typ is the kind it must have), or the
    // focus starting on no control of the window.
    struct Befund {
        std::string_view Fehlt = {};
        Fensterdefinition::Art Typ = Fensterdefinition::Art::Textfeld;
        bool Fokus_daneben = false;
        constexpr bool Tauglich() const { return Fehlt.empty() && !Fokus_daneben; }
    };
    static constexpr Befund Pruefen(const Fensterdefinition::Definition& Definition) {
        namespace Namen = Fensterdefinition::Namen;
        using Fensterdefinition::Art;
        for (const auto& [Name, Typ] : {std::pair{Namen::Text1, Art::Textfeld},
                                        {Namen::cmdStart, Art::Schaltflaeche},
                                        {Namen::cmdNotbremse, Art::Schaltflaeche}}) {
            if (Definition.Stelle(Name) < 0 || Definition.Element(Name).Typ != Typ) {
                return {Name, Typ};
            }
        }
        return {.Fokus_daneben = Definition.Stelle(Definition.Fokus) < 0};
    }
    // The same in German for the user; empty for a definition the program can show. Every front
    // end that takes a definition refuses one with a Mangel before it builds a window.
    static std::string Mangel(const Fensterdefinition::Definition& Definition);

    const Fensterdefinition::Definition Definition;

protected:
    // The click of the control of that name reaches its handler; other controls have none.
    void Klicken(std::string_view Name);

    bool Schliesst = false; // set once the window is being closed

private:
    frmGoldbach Goldbach{*this};
};

// The program's own definition, should it be unfit, is refused by the compiler.
static_assert(Goldbachfenster::Pruefen(Fensterdefinition::Standard).Tauglich(),
              "Fensterdefinition.json: Text1, cmdStart or cmdNotbremse is missing or of another "
              "kind, or the focus starts on no control");
