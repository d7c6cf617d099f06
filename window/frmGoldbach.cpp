#include "frmGoldbach.h"

#include "Fensterdefinition.h"
#include "Fensterdienste.h"
#include "Laufzeitbibliothek.h"

#include <cmath>

void frmGoldbach::cmdStart_Click() {
    if (Aktive_Laeufe >= Laeufe_hoechstens) {
        return; // refused: the runs already active go on as they were
    }
    // Counts this run as active until the handler is left, on every way out.
    struct Laufzaehler {
        int& Anzahl;
        ~Laufzaehler() { --Anzahl; }
    } Lauf{++Aktive_Laeufe};

    Zahl = 6;
    Fenster.Text1_Ersetzen(Fensterdefinition::Frage);
    for (;;) {
        // The only point where clicks, keystrokes and repaints are handled during a run.
        Fenster.EreignisseVerarbeiten();
        if (Fenster.WirdGeschlossen()) {
            return;
        }

        double Summand = std::floor(static_cast<double>(Zahl) / 2.0);

        if (Zahl % 20 == 0) {
            Fenster.Text1_Ersetzen("");
        }

        Eine_Sekunde_Warten();

        if (Laufzeitbibliothek::Zahlwert(Fenster.NotbremseTag_Lesen()) == 1.0) {
            break;
        }

        std::int32_t Gefunden = 0;
        Zerlegung_Suchen(Zahl, Summand, Gefunden);
        if (Gefunden != 1) {
            return;
        }

        Fenster.Text1_Anhaengen(Ergebniszeile(Zahl, Summand));

        if (Zahl > INT32_MAX - 2) { // Zahl + 2 would overflow
            Fenster.Laufzeitfehler(Ueberlauf);
        }
        Zahl += 2;
    }
    Fenster.NotbremseTag_Ersetzen("0");
}

void frmGoldbach::cmdNotbremse_Click() {
    Fenster.NotbremseTag_Ersetzen("1");
}

void frmGoldbach::Eine_Sekunde_Warten() {
    Startzeit = Fenster.Uhrzeit();
    float Vorige = static_cast<float>(Startzeit);
    for (;;) {
        // Rest until a reading could show the end of the second: the clock's reading is rounded
        // to the nearest float, so from half a step of the float below the end on. A rest cut
        // short (another program asked something) reads the clock and rests again for what is
        // left; a clock that reads late rests on up to the end itself.
        const float Ende = static_cast<float>(Startzeit + 1.0);
        const double Ab =
            (static_cast<double>(Ende) + static_cast<double>(std::nextafter(Ende, -HUGE_VALF))) /
            2.0;
        double Rest = Ab - static_cast<double>(Vorige);
        if (Rest <= 0.0) {
            Rest = static_cast<double>(Ende) - static_cast<double>(Vorige);
        }
        const double Geruht = Fenster.Ruhen(Rest > 0.0 ? Rest : 0.0);
        const float Jetzt = Fenster.Uhrzeit();
        if (Jetzt < Vorige) {
            // The clock went back: shift the start by as much, and by the time rested since the
            // last reading, so that the wait still ends one second of clock time after it began
            // instead of hours later (or never).
            Startzeit =
                static_cast<double>(Jetzt) - (static_cast<double>(Vorige) - Startzeit + Geruht);
        }
        Vorige = Jetzt;
        if (!(Jetzt < static_cast<float>(Startzeit + 1.0))) {
            return;
        }
    }
}

void frmGoldbach::Primtest(const std::int32_t& x, std::int32_t& Ergebnis) {
    if (x % 2 == 0) {
        Ergebnis = 0;
        return;
    }
    // x is odd here, so x - 1 cannot overflow, and i never passes x.
    for (std::int32_t i = 3;; ++i) {
        if (i > x - 1) {
            Ergebnis = 1;
            return;
        }
        if (x % i == 0) {
            Ergebnis = 0;
            return;
        }
    }
}

void frmGoldbach::Zerlegung_Suchen(std::int32_t n, double& Summand, std::int32_t& Gefunden) {
    for (;;) {
        // Both tests run for every candidate, p's first.
        const std::int32_t p = static_cast<std::int32_t>(Summand);
        std::int32_t p_prim = 0;
        Primtest(p, p_prim);
        const std::int32_t q = static_cast<std::int32_t>(static_cast<double>(n) - Summand);
        std::int32_t q_prim = 0;
        Primtest(q, q_prim);
        if (p_prim == 1 && q_prim == 1) {
            Gefunden = 1;
            return;
        }
        Summand -= 1.0;
        if (Summand < 0.5) {
            Gefunden = 0;
            return;
        }
    }
}

std::string frmGoldbach::Ergebniszeile(std::int32_t n, double Summand) {
    using Laufzeitbibliothek::Zahltext;
    return Zahltext(n) + " =" + Zahltext(Summand) + " +" +
           Zahltext(static_cast<double>(n) - Summand) + "\r\n";
}
