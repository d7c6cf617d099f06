// Primtest on primes near 10^3, 10^5, 10^7 and 10^9, beside a bare loop of the same divisions
// over the same numbers: what the processor's divider allows. Both report the time per division.
#include "frmGoldbach.h"

#include <benchmark/benchmark.h>

#include <cstdint>

namespace {

// The primes the two take: an odd prime x costs Primtest x - 3 trial divisions.
constexpr std::int64_t Primzahlen[] = {1009, 100003, 10000019, 1000000007};

// The same divisions x % 3 ... x % (x - 1), nothing else: no early exit, only a sum of the
// remainders that are 0, so that none of them can be left out.
[[gnu::noinline]] std::int32_t Nackte_Divisionen(std::int32_t x) {
    std::int32_t Teilbar = 0;
    for (std::int32_t i = 3; i < x; ++i) {
        Teilbar += (x % i == 0);
    }
    return Teilbar;
}

void Je_Division(benchmark::State& state, std::int32_t x) {
    state.counters["Divisionen"] = x - 3;
    state.counters["je_Division"] = benchmark::Counter(
        x - 3, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_Primtest(benchmark::State& state) {
    std::int32_t x = static_cast<std::int32_t>(state.range(0));
    for (auto _ : state) {
        benchmark::DoNotOptimize(x);
        std::int32_t Ergebnis = 0;
        frmGoldbach::Primtest(x, Ergebnis);
        benchmark::DoNotOptimize(Ergebnis);
    }
    Je_Division(state, x);
}

void BM_NackteDivisionen(benchmark::State& state) {
    std::int32_t x = static_cast<std::int32_t>(state.range(0));
    for (auto _ : state) {
        benchmark::DoNotOptimize(x);
        benchmark::DoNotOptimize(Nackte_Divisionen(x));
    }
    Je_Division(state, x);
}

void Primzahlen_eintragen(benchmark::internal::Benchmark* b) {
    for (const auto x : Primzahlen) {
        b->Arg(x);
    }
    b->Unit(benchmark::kMicrosecond);
}

} // namespace

BENCHMARK(BM_Primtest)->Apply(Primzahlen_eintragen);
BENCHMARK(BM_NackteDivisionen)->Apply(Primzahlen_eintragen);
