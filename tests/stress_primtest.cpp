// Primtest over its whole range of use and beyond, against a sieve: every x from -100 000 to
// 1 000 000. An odd prime x costs x - 3 trial divisions, some 4 * 10^10 in all, so the range is
// shared among the processor's cores.
#include "Pruefdaten.h"
#include "frmGoldbach.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <thread>
#include <vector>

namespace {

constexpr std::int32_t Von = -100000;
constexpr std::int32_t Bis = 1000000;

std::int32_t Erwartet(const std::vector<char>& Prim, std::int32_t x) {
    if (x < 0) {
        return (-x) % 2 == 1 ? 1 : 0;
    }
    return Prim[x];
}

} // namespace

TEST(PrimtestStress, JedesXVonMinusHunderttausendBisEineMillion) {
    const std::vector<char> Prim = Pruefdaten::Primzahlsieb(Bis);
    ASSERT_EQ(std::count(Prim.begin(), Prim.end(), 1), 78498 - 1 + 1); // less 2, plus 1

    const unsigned Faeden = std::max(1u, std::thread::hardware_concurrency());
    struct Befund {
        long long Fehler = 0;
        long long Geprueft = 0;
        std::vector<std::int32_t> Beispiele;
    };
    std::vector<Befund> Befunde(Faeden);
    {
        std::vector<std::jthread> Arbeiter;
        for (unsigned f = 0; f < Faeden; ++f) {
            Arbeiter.emplace_back([&, f] {
                // Blocks of 1000 dealt out in turn, so that every core gets its share of the
                // expensive large primes.
                Befund& B = Befunde[f];
                for (std::int64_t Block = Von + 1000LL * f; Block <= Bis;
                     Block += 1000LL * Faeden) {
                    const auto Ende =
                        static_cast<std::int32_t>(std::min<std::int64_t>(Block + 999, Bis));
                    for (auto x = static_cast<std::int32_t>(Block); x <= Ende; ++x) {
                        std::int32_t Ergebnis = -1;
                        frmGoldbach::Primtest(x, Ergebnis);
                        ++B.Geprueft;
                        if (Ergebnis != Erwartet(Prim, x) && ++B.Fehler <= 5) {
                            B.Beispiele.push_back(x);
                        }
                    }
                }
            });
        }
    }
    long long Fehler = 0;
    long long Geprueft = 0;
    for (const auto& B : Befunde) {
        Fehler += B.Fehler;
        Geprueft += B.Geprueft;
        for (const std::int32_t x : B.Beispiele) {
            ADD_FAILURE() << "x = " << x << " should give " << Erwartet(Prim, x);
        }
    }
    EXPECT_EQ(Geprueft, static_cast<long long>(Bis) - Von + 1);
    EXPECT_EQ(Fehler, 0);
}
