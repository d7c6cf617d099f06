// Data that several tests and benchmarks share: what the program counts as prime, from a sieve,
// the result lines a run writes, from the same sieve, and a megabyte of typed text. The page's
// tests take the lines from pruefdaten.py, which finds them in the same way.
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

// The lines a run writes for Von, Von + 2, ... Bis, each ending in CR LF, by a reference
// independent of the program's search and Primtest: for each n the largest p <= n / 2 that the
// sieve counts as prime together with n - p, written with std::to_string.
inline std::string Zeilen(std::int32_t Von, std::int32_t Bis) {
    const std::vector<char> Prim = Primzahlsieb(Bis);
    std::string Text;
    for (std::int32_t n = Von; n <= Bis; n += 2) {
        std::int32_t p = n / 2;
        while (!(Prim[p] && Prim[n - p])) {
            --p;
        }
        Text += " " + std::to_string(n) + " = " + std::to_string(p) + " + " +
                std::to_string(n - p) + "\r\n";
    }
    return Text;
}

inline std::string Zeile(std::int32_t n) {
    return Zeilen(n, n);
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
