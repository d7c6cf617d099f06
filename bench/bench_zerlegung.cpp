// The search for n near 10^4, 10^6, 10^8 and for 2147483646, the last number a run decomposes,
// with the number of candidates it tried and the trial divisions Primtest made for them.
#include "frmGoldbach.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>

namespace {

// How many trial divisions Primtest makes for x: none for an even x, else one for each
// divisor from 3 up to the smallest that divides x, or up to x - 1 when none does.
std::int64_t Divisionen(std::int32_t x) {
    if (x % 2 == 0 || x - 1 < 3) {
        return 0;
    }
    for (std::int64_t d = 3; d * d <= x; d += 2) {
        if (x % d == 0) {
            return d - 2;
        }
    }
    return static_cast<std::int64_t>(x) - 3;
}

void BM_Zerlegung(benchmark::State& state) {
    const auto n = static_cast<std::int32_t>(state.range(0));
    double Summand = 0.0;
    for (auto _ : state) {
        Summand = std::floor(n / 2.0);
        std::int32_t Gefunden = 0;
        frmGoldbach::Zerlegung_Suchen(n, Summand, Gefunden);
        benchmark::DoNotOptimize(Gefunden);
    }
    std::int64_t Kandidaten = 0;
    std::int64_t Summe = 0;
    for (auto p = static_cast<std::int32_t>(n / 2); p >= static_cast<std::int32_t>(Summand); --p) {
        ++Kandidaten;
        Summe += Divisionen(p) + Divisionen(n - p);
    }
    state.counters["p"] = Summand;
    state.counters["Kandidaten"] = static_cast<double>(Kandidaten);
    state.counters["Divisionen"] = static_cast<double>(Summe);
}

} // namespace

BENCHMARK(BM_Zerlegung)->Arg(10000)->Arg(1000000)->Arg(100000000)->Unit(benchmark::kMillisecond);
// About ten seconds a search: once is enough.
BENCHMARK(BM_Zerlegung)->Arg(2147483646)->Iterations(1)->Unit(benchmark::kMillisecond);
