// The big-number layer at its heaviest everyday questions: the factorisations, next primes and
// interval of primes that it must answer in milliseconds, and the raising of powers at 1000, 3000
// and 10000 digits by our loop in Montgomery form beside mpz_powm, with how soon a test of 10000
// digits stops when told to. The same questions in PARI/GP, for comparison:
//   brindaq_bench --benchmark_filter=Big --benchmark_repetitions=5
//                 --benchmark_report_aggregates_only=true

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <optional>
#include <random>
#include <vector>

#include "core/big/big_factorisation.h"
#include "core/big/big_primality.h"
#include "core/big/big_primes.h"
#include "core/big/natural.h"

namespace brindaq {
namespace {

Natural Factorial(int n) {
  Natural product(1);
  for (int k = 2; k <= n; ++k) {
    product *= Natural(static_cast<std::uint64_t>(k));
  }
  return product;
}

Natural FactorisationCase(int which) {
  switch (which) {
    case 0:
      return Natural::TwoToThe(67) - Natural(1);
    case 1:
      return Natural::TwoToThe(128) + Natural(1);
    case 2:
      return Factorial(100);
    default:  // a prime near 10^14 times a prime of 60 digits
      return Natural::FromDecimal("100000000000031") *
             Natural::FromDecimal("100000000000000000000000000000000000000000000000000000000019");
  }
}

void BigFactorise(benchmark::State& state) {
  const Natural n = FactorisationCase(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    Work work;
    BigFactors factors = Factorise(n, work);
    benchmark::DoNotOptimize(factors);
  }
}
BENCHMARK(BigFactorise)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

// 1000 random numbers of 128 bits from std::mt19937_64 seeded with 128 (the top bit set, the
// high word drawn first; bench/pari-side-by-side.sh draws the same in gp), each factorised alone:
// the counters give the median and the 90th percentile of one number's time, which the mean would
// hide behind the few products of two large primes.
void BigFactoriseRandom128(benchmark::State& state) {
  std::mt19937_64 random(128);
  std::vector<Natural> numbers;
  for (int i = 0; i < 1000; ++i) {
    const std::uint64_t high = random() | std::uint64_t{1} << 63;
    numbers.push_back(Natural::FromWide(Uint128{high} << 64 | random()));
  }
  std::vector<double> micros;
  for (auto _ : state) {
    micros.clear();
    for (const Natural& n : numbers) {
      Work work;
      const auto start = std::chrono::steady_clock::now();
      BigFactors factors = Factorise(n, work);
      benchmark::DoNotOptimize(factors);
      micros.push_back(
          std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
              .count());
    }
  }
  std::sort(micros.begin(), micros.end());
  state.counters["median_us"] = micros[micros.size() / 2];
  state.counters["p90_us"] = micros[micros.size() * 9 / 10];
}
BENCHMARK(BigFactoriseRandom128)->Iterations(1)->Unit(benchmark::kMillisecond);

// After 10^100, after the 300-digit 3 * 10^299 + 12345, after 10^300.
void BigNextPrime(benchmark::State& state) {
  const Natural n = state.range(0) == 0   ? Natural::TenToThe(100)
                    : state.range(0) == 1 ? Natural::TenToThe(299) * Natural(3) + Natural(12345)
                                          : Natural::TenToThe(300);
  for (auto _ : state) {
    Work work;
    std::optional<Natural> p = NextPrime(n, work);
    benchmark::DoNotOptimize(p);
  }
}
BENCHMARK(BigNextPrime)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

// After each of 16 numbers of 300 digits, 10^299 (k + 1) + 12345678901 k for k = 1 to 16, one
// after the other: the mean over gaps long and short.
void BigNextPrimeAfter300Digits(benchmark::State& state) {
  for (auto _ : state) {
    for (std::uint64_t k = 1; k <= 16; ++k) {
      Work work;
      const Natural n = Natural::TenToThe(299) * Natural(k + 1) + Natural(12345678901 * k);
      std::optional<Natural> p = NextPrime(n, work);
      benchmark::DoNotOptimize(p);
    }
  }
}
BENCHMARK(BigNextPrimeAfter300Digits)->Unit(benchmark::kMillisecond);

// The primes from 10^50 to 10^50 + 10^4.
void BigPrimesBetween(benchmark::State& state) {
  const Natural first = Natural::TenToThe(50);
  const Natural last = first + Natural(10000);
  for (auto _ : state) {
    Work work;
    int count = 0;
    ForEachPrimeBetween(first, last, work, [&count](const Natural&) { ++count; });
    benchmark::DoNotOptimize(count);
  }
}
BENCHMARK(BigPrimesBetween)->Unit(benchmark::kMillisecond);

// An odd number of `digits` digits, 10^(digits - 1) + 1, which the strong test, asked directly,
// raises to the whole power n - 1 (it is composite).
Natural OddNumberOf(std::int64_t digits) {
  return Natural::TenToThe(static_cast<unsigned>(digits - 1)) + Natural(1);
}

// 2^(n - 1) mod n: our strong test to the base 2 (Montgomery form, stoppable) beside one
// mpz_powm, which cannot be stopped.
void BigPowerOwnLoop(benchmark::State& state) {
  const Natural n = OddNumberOf(state.range(0));
  for (auto _ : state) {
    Work work;
    benchmark::DoNotOptimize(IsStrongProbablePrimeToBase2(n, work));
  }
}
BENCHMARK(BigPowerOwnLoop)->Arg(1000)->Arg(3000)->Arg(10000)->Unit(benchmark::kMillisecond);

void BigPowerMpzPowm(benchmark::State& state) {
  const Natural n = OddNumberOf(state.range(0));
  const Natural exponent = n - Natural(1);
  for (auto _ : state) {
    benchmark::DoNotOptimize(PowerModulo(Natural(2), exponent, n));
  }
}
BENCHMARK(BigPowerMpzPowm)->Arg(1000)->Arg(3000)->Arg(10000)->Unit(benchmark::kMillisecond);

// How long a Baillie-PSW test of 10000 digits goes on after its deadline: the counter
// "latency_ms" (the time is the deadline, 20 ms, plus it).
void BigStopLatency(benchmark::State& state) {
  const Natural n = Natural::TwoToThe(33219) - Natural(1);  // 10000 digits, no factor below 10^4
  double worst = 0;
  for (auto _ : state) {
    Work work;
    const auto deadline = Work::Clock::now() + std::chrono::milliseconds(20);
    work.StopAt(deadline);
    benchmark::DoNotOptimize(PassesBailliePsw(n, work));
    const std::chrono::duration<double, std::milli> late = Work::Clock::now() - deadline;
    worst = std::max(worst, late.count());
  }
  state.counters["latency_ms"] = worst;
}
BENCHMARK(BigStopLatency)->Iterations(20)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace brindaq
