#include "frmGoldbach.h"

#include "Fensterdienste.h"

#include <cerrno>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <string_view>

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
    Fenster.Text1_Ersetzen(Frage);
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

        if (Zahlwert(Fenster.NotbremseTag_Lesen()) == 1.0) {
            break;
        }

        std::int32_t Gefunden = 0;
        Zerlegung_Suchen(Zahl, Summand, Gefunden);
        if (Gefunden != 1) {
            return;
        }

        Fenster.Text1_Ersetzen(Fenster.Text1_Lesen() + Ergebniszeile(Zahl, Summand));

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
        const float Jetzt = Fenster.Uhrzeit();
        if (Jetzt < Vorige) {
            // The clock went back: shift the start by as much, so that the wait still ends
            // one second of clock time after it began instead of hours later (or never).
            Startzeit -= static_cast<double>(Vorige) - static_cast<double>(Jetzt);
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
    return Zahltext(n) + " =" + Zahltext(Summand) + " +" +
           Zahltext(static_cast<double>(n) - Summand) + "\r\n";
}

std::string frmGoldbach::Zahltext(double Wert) {
    const auto Ganz = static_cast<long long>(Wert);
    std::string Text = Ganz < 0 ? "" : " "; // the sign comes with the digits
    Text += std::to_string(Ganz);
    return Text;
}

double frmGoldbach::Zahlwert(const std::string& Text) {
    std::size_t i = Text.find_first_not_of(" \t");
    if (i == std::string::npos) {
        return 0.0;
    }
    if (Text[i] == '+') {
        ++i;
    }
    // The longest prefix of the form [-]digits[.digits] (at least one digit, no exponent), or
    // an infinity or NaN, as std::from_chars reads in fixed format. It is handed to strtod
    // with the decimal point of the C locale in force, so that the result is the same
    // correctly rounded value under any locale.
    std::string Zahl;
    if (i < Text.size() && Text[i] == '-') {
        Zahl += '-';
        ++i;
    }
    const auto Ziffer = [&Text](std::size_t k) {
        return k < Text.size() && Text[k] >= '0' && Text[k] <= '9';
    };
    const auto Ziffern_Bis = [&Ziffer](std::size_t k) {
        while (Ziffer(k)) {
            ++k;
        }
        return k;
    };
    const std::size_t Ganz_Ende = Ziffern_Bis(i);
    const bool Punkt = Ganz_Ende < Text.size() && Text[Ganz_Ende] == '.';
    const std::size_t Bruch_Ende = Punkt ? Ziffern_Bis(Ganz_Ende + 1) : Ganz_Ende;
    const bool Bruch = Bruch_Ende > Ganz_Ende + 1; // a point followed by at least one digit
    if (Ganz_Ende > i || Bruch) {
        Zahl.append(Text, i, Ganz_Ende - i);
        if (Bruch) {
            Zahl += std::localeconv()->decimal_point;
            Zahl.append(Text, Ganz_Ende + 1, Bruch_Ende - Ganz_Ende - 1);
        }
    } else if (i < Text.size() &&
               std::string_view("iInN").find(Text[i]) != std::string_view::npos) {
        Zahl.append(Text, i); // "inf", "infinity", "nan", "nan(...)": strtod takes them alike
    } else {
        return 0.0;
    }
    char* Rest = nullptr;
    errno = 0;
    const double Wert = std::strtod(Zahl.c_str(), &Rest);
    if (Rest == Zahl.c_str() || errno == ERANGE) {
        return 0.0;
    }
    return Wert;
}
