// Data that several tests and benchmarks share: what the program counts as prime, from a sieve,
// and a megabyte of typed text.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace Pruefdaten {

// What the program counts as prime among 0 ... Bis, from a sieve of Eratosthenes: the odd primes
// and 1; never an even number, 2 included. A reference independent of Primtest's trial division.
inline std::vector<char> Primzahlsieb(std::int32_t Bis) {
    std::vector<char> Prim(static_cast<std::size_t>(Bis) + 1, 1);
    Prim[0] = 0;
    for (std::int32_t i = 2; i <= Bis; i += 2) {
        Prim[i] = 0;
    }
    for (std::int32_t i = 3; i * i <= Bis; i += 2) {
        if (Prim[i]) {
            for (std::int32_t j = i * i; j <= Bis; j += 2 * i) {
                Prim[j] = 0;
            }
        }
    }
    return Prim;
}

// A megabyte of text as users type and paste it: umlauts, tabs, blanks at line ends, blank
// lines, and line ends of every kind (CR LF, LF alone, CR alone).
inline std::string Megabyte() {
    const char* const Zeilen[] = {"Grüße aus Köln\tÄÖÜ äöü ß", "", "\t\tzwei Tabulatoren",
                                  "Leerzeichen am Ende   ", "Überlauf? Nein.\t"};
    const char* const Enden[] = {"\r\n", "\n", "\r\n\r\n", "\r", "\n\r\n"};
    std::string Text;
    for (std::size_t i = 0; Text.size() < 1024 * 1024; ++i) {
        Text += Zeilen[i % 5];
        Text += Enden[(i / 5) % 5];
    }
    return Text;
}

} // namespace Pruefdaten
