#include "core/additive/additive.h"

#include <cstddef>
#include <cstdint>
#include <utility>

#include "core/primes/sieve.h"

namespace brindaq {

Outcome SumOfTwoSquares(const OperandTexts& texts) {
  Outcome outcome;
  const auto a = ReadCheckedOperand(texts.a, 'A', kSumOfTwoSquaresLimits.a, outcome);
  if (!a) {
    return outcome;
  }
  // For each x from 1 on, the only y that can make x^2 + y^2 = A is the integer square root of
  // A - x^2; x stops where y would fall below it. Zero is never taken as a square.
  const auto whole = static_cast<std::int64_t>(*a);
  for (std::int64_t x = 1; 2 * x * x <= whole; ++x) {
    const std::int64_t y = IntegerSquareRoot(whole - x * x);
    if (x * x + y * y == whole) {
      outcome.lines.push_back((LineWriter()
                               << " " << *a << "  =  " << static_cast<double>(x) << "^2"
                               << "  +  " << static_cast<double>(y) << "^2")
                                  .Line());
    }
  }
  if (outcome.lines.empty()) {
    outcome.lines.push_back("   NO SOLUTION !");
  }
  return outcome;
}

Outcome GoldbachDecomposition(const OperandTexts& texts) {
  Outcome outcome;
  const double a = ReadOperand(texts.a);
  // Parity comes before size, so an odd A is refused as odd however large it is.
  if (!Divides(2, a)) {
    outcome.notice = "A MUST BE EVEN !";
    return outcome;
  }
  if (auto notice = CheckOperand(a, 'A', kGoldbachLimits.a)) {
    outcome.notice = std::move(notice);
    return outcome;
  }
  // A is even, so p and q = A - p are odd together, and both are at least 3: the prime 2 never
  // takes part. One sieve up to A answers for both.
  const auto whole = static_cast<std::int64_t>(a);
  const PrimeSegment primes(0, whole);
  // The pairs are counted first, so that the lines go straight into their place.
  std::size_t pairs = 0;
  primes.ForEachOddPrimePair(whole, [&pairs](std::int64_t) { ++pairs; });
  outcome.lines.reserve(pairs);
  LineWriter start;
  start << " " << a << "  =  ";
  primes.ForEachOddPrimePair(whole, [&](std::int64_t p) {
    LineWriter line = start;
    line << static_cast<double>(p) << "  +  " << static_cast<double>(whole - p);
    outcome.lines.push_back(line.Line());
  });
  return outcome;
}

Outcome CollatzSequence(const OperandTexts& texts) {
  Outcome outcome;
  const auto a = ReadCheckedOperand(texts.a, 'A', kCollatzLimits.a, outcome);
  if (!a) {
    return outcome;
  }
  // The step comes before the test for 1, so A = 1 walks on through 4 and 2. Every value stays
  // below 2^53 for an accepted A (2185143829170100 at most), so it is exact as a double too.
  const auto walk = [start = static_cast<std::uint64_t>(*a)](auto visit) {
    auto value = start;
    do {
      value = value % 2 == 0 ? value / 2 : 3 * value + 1;
      visit(value);
    } while (value != 1);
  };
  // The steps are counted first, so that the lines go straight into their place.
  std::size_t steps = 0;
  walk([&steps](std::uint64_t) { ++steps; });
  outcome.lines.reserve(steps);
  walk([&outcome](std::uint64_t value) {
    outcome.lines.push_back(ValueLine(static_cast<double>(value)));
  });
  return outcome;
}

Outcome FibonacciNumbers(const OperandTexts& texts) {
  Outcome outcome;
  const auto a = ReadCheckedOperand(texts.a, 'A', kFibonacciLimits.a, outcome);
  if (!a) {
    return outcome;
  }
  // Starting from 0 and 1 gives the terms 1, 1, 2, 3, ...; the 73rd has 15 digits, so every
  // term is exact and shown in plain digits.
  outcome.lines.reserve(static_cast<std::size_t>(*a));
  double previous = 0;
  double current = 1;
  for (double k = 1; k <= *a; ++k) {
    outcome.lines.push_back(ValueLine(current));
    const double next = previous + current;
    previous = current;
    current = next;
  }
  return outcome;
}

}  // namespace brindaq
