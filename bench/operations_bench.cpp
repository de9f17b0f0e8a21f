// One click of every operation, at its heaviest accepted input and at a typical small one; where
// the heaviest input depends on the method, the heaviest for each method in use.
//   brindaq_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true

#include <benchmark/benchmark.h>

#include <string>

#include "core/operations.h"

namespace brindaq {
namespace {

struct Click {
  const char* operation;
  const char* input;  // "heaviest", "typical", or what else makes the input heavy
  Operation run;
  OperandTexts texts;
};

// clang-format off
const Click kClicks[] = {
    // The widest intervals at the top of the range, where the sieve needs the most base primes.
    {"PrimesBetween",         "heaviest", &PrimesBetween,         {"9990000", "10000000", ""}},
    {"PrimesBetween",         "typical",  &PrimesBetween,         {"1", "100", ""}},
    // The widest intervals at the bottom, where a sieve has the most primes to list.
    {"PrimesBetween",         "widest-low", &PrimesBetween,       {"1", "10001", ""}},
    {"TwinPrimesBetween",     "heaviest", &TwinPrimesBetween,     {"9990000", "10000000", ""}},
    {"TwinPrimesBetween",     "typical",  &TwinPrimesBetween,     {"1", "100", ""}},
    {"TwinPrimesBetween",     "widest-low", &TwinPrimesBetween,   {"1", "10001", ""}},
    {"PrimeCountBetween",     "heaviest", &PrimeCountBetween,     {"9900000", "10000000", ""}},
    {"PrimeCountBetween",     "typical",  &PrimeCountBetween,     {"1", "1000", ""}},
    {"PrimeCountBetween",     "widest-low", &PrimeCountBetween,   {"1", "100001", ""}},
    // 47326693 starts the longest prime gap below the limit (220): the most candidates to sieve
    // out and test.
    {"NextPrime",             "heaviest", &NextPrime,             {"47326693", "", ""}},
    {"NextPrime",             "typical",  &NextPrime,             {"1000", "", ""}},
    // The largest prime below the limit: after the primes up to 53, the Miller-Rabin test tells
    // it prime.
    {"PrimeFactors",          "heaviest", &PrimeFactors,          {"9999991", "", ""}},
    {"PrimeFactors",          "typical",  &PrimeFactors,          {"360", "", ""}},
    // 2 times the prime 4999999: the cofactor left after the first division is large.
    {"PrimeFactors",          "large-cofactor", &PrimeFactors,    {"9999998", "", ""}},
    // 3137^2, 3137 being the largest prime below the square root of the limit: composite by the
    // Miller-Rabin test, and its factor is the last prime that trial division reaches.
    {"PrimeFactors",          "square-of-root-prime", &PrimeFactors, {"9840769", "", ""}},
    // The largest prime below the limit: the Miller-Rabin test runs all three bases.
    {"PrimalityTest",         "heaviest", &PrimalityTest,         {"99999989", "", ""}},
    {"PrimalityTest",         "typical",  &PrimalityTest,         {"1001", "", ""}},
    // 9973^2: composite by Miller-Rabin, and its smallest factor is the last prime of the table
    // that trial division tries.
    {"PrimalityTest",         "square-of-root-prime", &PrimalityTest, {"99460729", "", ""}},
    // 997^2, 997 being the largest prime below the square root of the limit: composite by the
    // Miller-Rabin test, and its factor is the last prime that trial division reaches.
    {"DivisorCountAndSum",    "heaviest", &DivisorCountAndSum,    {"994009", "", ""}},
    {"DivisorCountAndSum",    "typical",  &DivisorCountAndSum,    {"360", "", ""}},
    // 240 divisors, the most of any A up to the limit (720720 is the smallest such A); and the
    // largest prime.
    {"DivisorCountAndSum",    "most-divisors", &DivisorCountAndSum, {"720720", "", ""}},
    {"DivisorCountAndSum",    "largest-prime", &DivisorCountAndSum, {"999983", "", ""}},
    // The limit, with four lines, and the largest prime below it: one square root per x up to
    // the square root of A / 2.
    {"SumOfTwoSquares",       "heaviest", &SumOfTwoSquares,       {"10000000", "", ""}},
    {"SumOfTwoSquares",       "typical",  &SumOfTwoSquares,       {"325", "", ""}},
    {"SumOfTwoSquares",       "largest-prime", &SumOfTwoSquares,  {"9999991", "", ""}},
    // The A with the most pairs, and so the most lines (2168).
    {"GoldbachDecomposition", "heaviest", &GoldbachDecomposition, {"99330", "", ""}},
    {"GoldbachDecomposition", "typical",  &GoldbachDecomposition, {"100", "", ""}},
    // The limit: the longest sieve, with 810 lines.
    {"GoldbachDecomposition", "limit",    &GoldbachDecomposition, {"100000", "", ""}},
    // The longest walk below the limit (949 lines).
    {"CollatzSequence",       "heaviest", &CollatzSequence,       {"63728127", "", ""}},
    {"CollatzSequence",       "typical",  &CollatzSequence,       {"27", "", ""}},
    {"FibonacciNumbers",      "heaviest", &FibonacciNumbers,      {"73", "", ""}},
    {"FibonacciNumbers",      "typical",  &FibonacciNumbers,      {"12", "", ""}},
    {"ModularPower",          "heaviest", &ModularPower,          {"9999", "10000", "99991"}},
    {"ModularPower",          "typical",  &ModularPower,          {"2", "10", "1000"}},
    // The most steps of Euclid's algorithm: 987 and 1597 are consecutive Fibonacci numbers.
    {"LinearCongruence",      "heaviest", &LinearCongruence,      {"987", "1", "1597"}},
    {"LinearCongruence",      "typical",  &LinearCongruence,      {"3", "4", "7"}},
    // Every candidate up to the modulus is tried, and 2000 of them are listed.
    {"QuadraticCongruence",   "heaviest", &QuadraticCongruence,   {"1000", "1000", "10000"}},
    {"QuadraticCongruence",   "typical",  &QuadraticCongruence,   {"1", "1", "8"}},
    {"ModularInverse",        "heaviest", &ModularInverse,        {"2", "100000", ""}},
    {"ModularInverse",        "typical",  &ModularInverse,        {"3", "7", ""}},
};
// clang-format on

void RunClick(benchmark::State& state, const Click& click) {
  for (auto _ : state) {
    Outcome outcome = click.run(click.texts);
    benchmark::DoNotOptimize(outcome);
  }
  state.SetLabel(click.texts.a + " " + click.texts.b + " " + click.texts.c);
}

const bool kRegistered = [] {
  for (const Click& click : kClicks) {
    benchmark::RegisterBenchmark((std::string(click.operation) + "/" + click.input).c_str(),
                                 RunClick, click)
        ->Unit(benchmark::kMillisecond);
  }
  return true;
}();

}  // namespace
}  // namespace brindaq
