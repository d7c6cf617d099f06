#include "Pruefdaten.h"
#include "frmGoldbach.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <type_traits>
#include <vector>

namespace {

std::int32_t Prim(std::int32_t x) {
    std::int32_t Ergebnis = 42;
    frmGoldbach::Primtest(x, Ergebnis);
    return Ergebnis;
}

} // namespace

TEST(Primtest, Einzelwerte) {
    struct Fall {
        std::int32_t x;
        std::int32_t Erwartet;
    };
    const std::vector<Fall> Faelle = {
        {1, 1},  {2, 0},  {3, 1},  {4, 0},  {5, 1},  {7, 1},  {9, 0},  {11, 1},
        {13, 1}, {15, 0}, {21, 0}, {25, 0}, {49, 0}, {97, 1}, {0, 0},  {6, 0},
        {-7, 1}, {-1, 1}, {-3, 1}, {-9, 1}, {-2, 0}, {-4, 0}, {91, 0}, {2147483645, 0},
    };
    for (const auto& Fall : Faelle) {
        EXPECT_EQ(Prim(Fall.x), Fall.Erwartet) << "x = " << Fall.x;
    }
}

// x is only read: the compiler holds Primtest to that.
static_assert(
    std::is_same_v<decltype(&frmGoldbach::Primtest), void (*)(const std::int32_t&, std::int32_t&)>);

TEST(Primtest, SchreibtErgebnisAufJedemWeg) {
    for (std::int32_t x : {-8, -7, 0, 1, 2, 9, 97, 100}) {
        std::int32_t Ergebnis = -5;
        frmGoldbach::Primtest(x, Ergebnis);
        EXPECT_TRUE(Ergebnis == 0 || Ergebnis == 1) << "x = " << x << ": " << Ergebnis;
    }
}

TEST(Primtest, GleichtEinemSiebBis100000) {
    // The program's rule differs from the usual one only in 1 (prime) and 2 (not prime, being
    // even).
    constexpr std::int32_t Grenze = 100000;
    const std::vector<char> Sieb = Pruefdaten::Primzahlsieb(Grenze);
    int Fehler = 0;
    for (std::int32_t x = 1; x <= Grenze; ++x) {
        const std::int32_t Erwartet = Sieb[x];
        if (Prim(x) != Erwartet && ++Fehler <= 5) {
            ADD_FAILURE() << "x = " << x << " gives " << Prim(x) << ", expected " << Erwartet;
        }
    }
    EXPECT_EQ(Fehler, 0);
}

TEST(Primtest, NegativeZahlenUngeradeJaGeradeNein) {
    for (std::int32_t x = -1; x >= -10001; --x) {
        ASSERT_EQ(Prim(x), (x % 2 == 0) ? 0 : 1) << "x = " << x;
    }
    EXPECT_EQ(Prim(std::numeric_limits<std::int32_t>::min()), 0);
    EXPECT_EQ(Prim(std::numeric_limits<std::int32_t>::min() + 1), 1);
}
