#include <benchmark/benchmark.h>

#include "core/operations.h"

namespace brindaq {
namespace {

// Repeated clicks on one operation with the same operand A.
void Clicks(benchmark::State& state, Operation operation, const char* a) {
  const OperandTexts texts{a, "", ""};
  for (auto _ : state) {
    Outcome outcome = operation(texts);
    benchmark::DoNotOptimize(outcome);
  }
}

void BM_PrimeFactors(benchmark::State& state, const char* a) {
  Clicks(state, &PrimeFactors, a);
}

void BM_PrimalityTest(benchmark::State& state, const char* a) {
  Clicks(state, &PrimalityTest, a);
}

void BM_DivisorCountAndSum(benchmark::State& state, const char* a) {
  Clicks(state, &DivisorCountAndSum, a);
}

// The heaviest inputs are the largest primes within each limit: their scans run to the end.
BENCHMARK_CAPTURE(BM_PrimeFactors, largest_prime, "9999991")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PrimeFactors, typical, "360")->Unit(benchmark::kMillisecond);

BENCHMARK_CAPTURE(BM_PrimalityTest, largest_prime, "99999989")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PrimalityTest, typical, "1001")->Unit(benchmark::kMillisecond);

BENCHMARK_CAPTURE(BM_DivisorCountAndSum, at_limit, "1000000")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_DivisorCountAndSum, typical, "360")->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace brindaq
