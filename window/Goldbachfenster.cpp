#include "Goldbachfenster.h"

namespace Namen = Fensterdefinition::Namen;
using Fensterdefinition::Art;

std::string Goldbachfenster::Mangel(const Fensterdefinition::Definition& Definition) {
    const std::string Anfang = "Die Fensterdefinition taugt nicht: ";
    // The controls the behaviour works with.
    for (const auto& [Name, Typ] : {std::pair{Namen::Text1, Art::Textfeld},
                                    {Namen::cmdStart, Art::Schaltflaeche},
                                    {Namen::cmdNotbremse, Art::Schaltflaeche}}) {
        if (Definition.Stelle(Name) < 0 || Definition.Element(Name).Typ != Typ) {
            return Anfang + (Typ == Art::Textfeld ? "Das Textfeld " : "Die Schaltfläche ") +
                   std::string(Name) + " fehlt.";
        }
    }
    if (Definition.Stelle(Definition.Fokus) < 0) {
        return Anfang + "Der Fokus liegt auf " + std::string(Definition.Fokus) +
               ", das kein Steuerelement des Fensters ist.";
    }
    return {};
}

void Goldbachfenster::Klicken(std::string_view Name) {
    if (Name == Namen::cmdStart) {
        Goldbach.cmdStart_Click();
    } else if (Name == Namen::cmdNotbremse) {
        Goldbach.cmdNotbremse_Click();
    }
}
