#include <benchmark/benchmark.h>

#include "core/operations.h"

namespace brindaq {
namespace {

// Repeated clicks on one operation with the same operand texts.
void Clicks(benchmark::State& state, Operation operation, const OperandTexts& texts) {
  for (auto _ : state) {
    Outcome outcome = operation(texts);
    benchmark::DoNotOptimize(outcome);
  }
}

void BM_PrimesBetween(benchmark::State& state, const char* a, const char* b) {
  Clicks(state, &PrimesBetween, {a, b, ""});
}

void BM_TwinPrimesBetween(benchmark::State& state, const char* a, const char* b) {
  Clicks(state, &TwinPrimesBetween, {a, b, ""});
}

void BM_PrimeCountBetween(benchmark::State& state, const char* a, const char* b) {
  Clicks(state, &PrimeCountBetween, {a, b, ""});
}

void BM_NextPrime(benchmark::State& state, const char* a) {
  Clicks(state, &NextPrime, {a, "", ""});
}

// The widest accepted intervals end at the operand limit, where each prime costs the most
// trial divisions.
BENCHMARK_CAPTURE(BM_PrimesBetween, widest_at_limit, "9990000", "10000000")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PrimesBetween, typical, "1", "100")->Unit(benchmark::kMillisecond);

BENCHMARK_CAPTURE(BM_TwinPrimesBetween, widest_at_limit, "9990000", "10000000")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_TwinPrimesBetween, typical, "1", "100")->Unit(benchmark::kMillisecond);

BENCHMARK_CAPTURE(BM_PrimeCountBetween, widest_at_limit, "9900000", "10000000")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PrimeCountBetween, typical, "1", "1000")->Unit(benchmark::kMillisecond);

// 47326693 is followed by the longest prime gap below the limit (220).
BENCHMARK_CAPTURE(BM_NextPrime, at_limit, "100000000")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_NextPrime, longest_gap, "47326693")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_NextPrime, typical, "1000")->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace brindaq
