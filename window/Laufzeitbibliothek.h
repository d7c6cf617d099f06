// What the program takes from its language's run-time library: numbers written as text and
// text read as a number, with the rules the program's lines and the brake flag follow.
#pragma once

#include <string>

namespace Laufzeitbibliothek {

// A whole number in decimal: one blank before it when it is 0 or more, "-" when negative; no
// separators, fraction or leading zeros.
std::string Zahltext(double Wert);

// A text read as a number: leading blanks and tabs skipped, an optional "+", then an optional "-",
// then the longest decimal number there ([digits][.digits], at least one digit, no exponent), or an
// infinity or NaN as strtod spells them; 0 when there is none, or when it is out of range.
double Zahlwert(const std::string& Text);

} // namespace Laufzeitbibliothek
