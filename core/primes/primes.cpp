#include "core/primes/primes.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "core/primes/primality.h"
#include "core/primes/sieve.h"

namespace brindaq {
namespace {

// The widest interval B - A that the listing scans accept, and the wider one of the count.
constexpr double kListedWidthLimit = 10000;
constexpr double kCountedWidthLimit = 100000;

// The candidates of an interval scan: the whole numbers strictly between A and B, from `first`
// to `last` inclusive. There are none when first > last.
struct Candidates {
  std::int64_t first;
  std::int64_t last;
};

// Reads A, then B, then checks the width B - A of the interval; a negative width passes. On the
// first failure leaves its notice in `outcome` and returns nothing.
std::optional<Candidates> ReadInterval(const OperandTexts& texts, double width_limit,
                                       Outcome& outcome) {
  const auto operands = ReadCheckedOperands(texts, kIntervalScanLimits, outcome);
  if (!operands) {
    return std::nullopt;
  }
  if (operands->b - operands->a > width_limit) {
    outcome.notice = "INTERVAL TOO LARGE !";
    return std::nullopt;
  }
  // Both operands are whole and at most ten million, so they are exact as integers.
  return Candidates{static_cast<std::int64_t>(operands->a) + 1,
                    static_cast<std::int64_t>(operands->b) - 1};
}

}  // namespace

bool IsPrimeByTrialDivision(double x) {
  // Only a whole x of 4 or more has a whole divisor from 2 up to its square root.
  if (!(x >= 4) || std::floor(x) != x) {
    return true;
  }
  if (x < 1073741824) {
    return IsPrime(static_cast<std::uint32_t>(x));
  }
  const double root = std::sqrt(x);
  for (double d = 2; d <= root; ++d) {
    if (Divides(d, x)) {
      return false;
    }
  }
  return true;
}

Outcome PrimesBetween(const OperandTexts& texts) {
  Outcome outcome;
  const auto candidates = ReadInterval(texts, kListedWidthLimit, outcome);
  if (!candidates) {
    return outcome;
  }
  const PrimeSegment primes(candidates->first, candidates->last);
  outcome.lines.reserve(static_cast<std::size_t>(primes.Count()));
  primes.ForEachPrime(
      [&](std::int64_t p) { outcome.lines.push_back(ValueLine(static_cast<double>(p))); });
  return outcome;
}

Outcome TwinPrimesBetween(const OperandTexts& texts) {
  Outcome outcome;
  const auto candidates = ReadInterval(texts, kListedWidthLimit, outcome);
  if (!candidates) {
    return outcome;
  }
  // Only the smaller member is bounded by the interval; its partner may lie beyond B, up to B + 1.
  const PrimeSegment primes(candidates->first, candidates->last + 2);
  primes.ForEachPrime([&](std::int64_t p) {
    if (p <= candidates->last && primes.IsPrime(p + 2)) {
      outcome.lines.push_back((LineWriter() << "   " << static_cast<double>(p) << "      "
                                            << static_cast<double>(p + 2))
                                  .Line());
    }
  });
  if (outcome.lines.empty()) {
    outcome.lines.push_back("   NO TWIN PRIMES");
    outcome.lines.push_back("   IN THIS INTERVAL !");
  }
  return outcome;
}

Outcome PrimeCountBetween(const OperandTexts& texts) {
  Outcome outcome;
  const auto candidates = ReadInterval(texts, kCountedWidthLimit, outcome);
  if (!candidates) {
    return outcome;
  }
  const PrimeSegment primes(candidates->first, candidates->last);
  outcome.lines.push_back(ValueLine(static_cast<double>(primes.Count())));
  return outcome;
}

Outcome NextPrime(const OperandTexts& texts) {
  Outcome outcome;
  const auto a = ReadCheckedOperand(texts.a, 'A', kNextPrimeLimits.a, outcome);
  if (!a) {
    return outcome;
  }
  // A prime always lies above A and not beyond 2A + 1 (Bertrand), so one line always follows.
  outcome.lines.push_back(
      ValueLine(static_cast<double>(FirstPrimeAbove(static_cast<std::uint32_t>(*a)))));
  return outcome;
}

}  // namespace brindaq
