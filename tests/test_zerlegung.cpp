#include "Pruefdaten.h"
#include "frmGoldbach.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace {

struct Zerlegung {
    std::int32_t Gefunden;
    double Summand;
};

Zerlegung Suche(std::int32_t n, double Anfang) {
    Zerlegung Z{-1, Anfang};
    frmGoldbach::Zerlegung_Suchen(n, Z.Summand, Z.Gefunden);
    return Z;
}

Zerlegung Suche(std::int32_t n) {
    return Suche(n, std::floor(n / 2.0));
}

} // namespace

TEST(Zerlegung, ErsteZahlenEinesLaufs) {
    struct Zeile {
        std::int32_t n, p;
    };
    const std::vector<Zeile> Tabelle = {{6, 3},   {8, 3},   {10, 5}, {12, 5},  {14, 7},
                                        {16, 5},  {18, 7},  {20, 7}, {22, 11}, {24, 11},
                                        {44, 13}, {58, 29}, {60, 29}};
    for (const auto& Zeile : Tabelle) {
        const auto Z = Suche(Zeile.n);
        EXPECT_EQ(Z.Gefunden, 1) << "n = " << Zeile.n;
        EXPECT_EQ(Z.Summand, Zeile.p) << "n = " << Zeile.n;
    }
}

TEST(Zerlegung, JedeZeileBisZwanzigtausendWieDieReferenz) {
    // The lines from the program's search, and those of a reference independent of it.
    const std::string Referenz = Pruefdaten::Zeilen(6, 20000);
    std::size_t Stelle = 0;
    for (std::int32_t n = 6; n <= 20000; n += 2) {
        const auto Z = Suche(n);
        ASSERT_EQ(Z.Gefunden, 1) << "n = " << n;
        const std::string Zeile = frmGoldbach::Ergebniszeile(n, Z.Summand);
        ASSERT_EQ(Referenz.substr(Stelle, Zeile.size()), Zeile) << "n = " << n;
        Stelle += Zeile.size();
    }
    EXPECT_EQ(Stelle, Referenz.size());
}

TEST(Zerlegung, EinsZaehltAlsPrimUndIstDerLetzteKandidat) {
    // n = 4: the candidate 2 is even, so 1 + 3 is taken.
    EXPECT_EQ(Suche(4).Gefunden, 1);
    EXPECT_EQ(Suche(4).Summand, 1.0);
    // Starting low: p = 1 is still tried, and taken when n - 1 passes.
    EXPECT_EQ(Suche(8, 1.0).Gefunden, 1);
    EXPECT_EQ(Suche(8, 1.0).Summand, 1.0);
    // ... and when n - 1 does not pass either, the search is exhausted below 1.
    EXPECT_EQ(Suche(10, 1.0).Gefunden, 0);
    EXPECT_EQ(Suche(28, 2.0).Gefunden, 0);
    // n = 0 has only the candidate 0, which fails.
    EXPECT_EQ(Suche(0).Gefunden, 0);
}

TEST(Ergebniszeile, FormUndZahlen) {
    // (The lines up to 20000 are compared with the reference's above.)
    EXPECT_EQ(frmGoldbach::Ergebniszeile(2147483646, 1073741789.0),
              " 2147483646 = 1073741789 + 1073741857\r\n");
}
