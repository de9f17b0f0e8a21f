#include <benchmark/benchmark.h>

#include "core/operations.h"

namespace brindaq {
namespace {

void RunAdditive(benchmark::State& state, Operation run, const OperandTexts& texts) {
  for (auto _ : state) {
    benchmark::DoNotOptimize(run(texts));
  }
}

// Every A up to the limit tries the same five million pairs; the limit is among the heaviest.
BENCHMARK_CAPTURE(RunAdditive, SumOfTwoSquares_10000000, &SumOfTwoSquares,
                  OperandTexts{"10000000", "", ""})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunAdditive, SumOfTwoSquares_325, &SumOfTwoSquares, OperandTexts{"325", "", ""})
    ->Unit(benchmark::kMillisecond);
// The A with the most pairs, and so the most lines.
BENCHMARK_CAPTURE(RunAdditive, Goldbach_99330, &GoldbachDecomposition,
                  OperandTexts{"99330", "", ""})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunAdditive, Goldbach_100, &GoldbachDecomposition, OperandTexts{"100", "", ""})
    ->Unit(benchmark::kMillisecond);
// The longest walk below the limit.
BENCHMARK_CAPTURE(RunAdditive, Collatz_63728127, &CollatzSequence, OperandTexts{"63728127", "", ""})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunAdditive, Collatz_27, &CollatzSequence, OperandTexts{"27", "", ""})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunAdditive, Fibonacci_73, &FibonacciNumbers, OperandTexts{"73", "", ""})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunAdditive, Fibonacci_12, &FibonacciNumbers, OperandTexts{"12", "", ""})
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace brindaq
