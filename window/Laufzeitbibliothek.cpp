#include "Laufzeitbibliothek.h"

#include <cerrno>
#include <clocale>
#include <cstdlib>
#include <string_view>

namespace Laufzeitbibliothek {

std::string Zahltext(double Wert) {
    const auto Ganz = static_cast<long long>(Wert);
    std::string Text = Ganz < 0 ? "" : " "; // the sign comes with the digits
    Text += std::to_string(Ganz);
    return Text;
}

double Zahlwert(const std::string& Text) {
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

} // namespace Laufzeitbibliothek
