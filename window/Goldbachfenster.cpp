#include "Goldbachfenster.h"

namespace Namen = Fensterdefinition::Namen;
using Fensterdefinition::Art;

std::string Goldbachfenster::Mangel(const Fensterdefinition::Definition& Definition) {
    const Befund B = Pruefen(Definition);
    const std::string Anfang = "Die Fensterdefinition taugt nicht: ";
    if (!B.Fehlt.empty()) {
        return Anfang + (B.Typ == Art::Textfeld ? "Das Textfeld " : "Die Schaltfläche ") +
               std::string(B.Fehlt) + " fehlt.";
    }
    if (B.Fokus_daneben) {
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
