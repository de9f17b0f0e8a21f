#include <benchmark/benchmark.h>

#include "core/operations.h"

namespace brindaq {
namespace {

void RunModular(benchmark::State& state, Operation run, const OperandTexts& texts) {
  for (auto _ : state) {
    benchmark::DoNotOptimize(run(texts));
  }
}

// Each heavy input runs every candidate or step the limits allow.
BENCHMARK_CAPTURE(RunModular, ModularPower_9999_10000_99991, &ModularPower,
                  OperandTexts{"9999", "10000", "99991"})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunModular, ModularPower_2_10_1000, &ModularPower,
                  OperandTexts{"2", "10", "1000"})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunModular, LinearCongruence_2_1_10000, &LinearCongruence,
                  OperandTexts{"2", "1", "10000"})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunModular, LinearCongruence_3_4_7, &LinearCongruence,
                  OperandTexts{"3", "4", "7"})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunModular, QuadraticCongruence_1000_1000_10000, &QuadraticCongruence,
                  OperandTexts{"1000", "1000", "10000"})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunModular, QuadraticCongruence_1_1_8, &QuadraticCongruence,
                  OperandTexts{"1", "1", "8"})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunModular, ModularInverse_2_100000, &ModularInverse,
                  OperandTexts{"2", "100000", ""})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunModular, ModularInverse_3_7, &ModularInverse, OperandTexts{"3", "7", ""})
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace brindaq
