#include "core/primes/primes.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "core/arithmetic/primality.h"
#include "core/arithmetic/sieve.h"

namespace brindaq {
namespace {

// The candidates of an interval scan: the whole numbers strictly between A and B, from `first`
// to `last` inclusive. There are none when first > last.
struct Candidates {
  std::uint64_t first;
  std::uint64_t last;
};

// Reads A, then B, then checks the width B - A of the interval. On the first failure leaves its
// notice in `outcome` and returns nothing.
std::optional<Candidates> ReadInterval(const OperandTexts& texts, const OperandRules& rules,
                                       Range range, Outcome& outcome) {
  const auto operands = ReadOperands(texts, rules, range, outcome);
  if (!operands) {
    return std::nullopt;
  }
  // A at the top of the full range leaves no candidate above it; B at least 1 leaves B - 1.
  if (operands->a == kLargestWhole) {
    return Candidates{1, 0};
  }
  return Candidates{operands->a + 1, operands->b - 1};
}

}  // namespace

bool IsPrimeByTrialDivision(double x) {
  // Only a whole x of 4 or more has a whole divisor from 2 up to its square root.
  if (!(x >= 4) || std::floor(x) != x) {
    return true;
  }
  if (x < 18446744073709551616.0) {  // 2^64
    return IsPrime(static_cast<std::uint64_t>(x));
  }
  const double root = std::sqrt(x);
  for (double d = 2; d <= root; ++d) {
    if (Divides(d, x)) {
      return false;
    }
  }
  return true;
}

Outcome ranged::PrimesBetween(const OperandTexts& texts, Range range) {
  Outcome outcome;
  const auto candidates = ReadInterval(texts, kPrimesBetweenRules, range, outcome);
  if (!candidates) {
    return outcome;
  }
  const PrimeSegment primes(candidates->first, candidates->last);
  outcome.lines.reserve(primes.Count());
  primes.ForEachPrime(
      [&](std::uint64_t p) { outcome.lines.push_back(ValueLine(Whole{p}, range)); });
  return outcome;
}

Outcome ranged::TwinPrimesBetween(const OperandTexts& texts, Range range) {
  Outcome outcome;
  const auto candidates = ReadInterval(texts, kTwinPrimesBetweenRules, range, outcome);
  if (!candidates) {
    return outcome;
  }
  // Only the smaller member is bounded by the interval; its partner may lie beyond B, up to B + 1
  // (and never beyond 2^64 - 1: the largest prime below 2^64 is 2^64 - 59).
  const std::uint64_t partners_end =
      candidates->last > kLargestWhole - 2 ? kLargestWhole : candidates->last + 2;
  const PrimeSegment primes(candidates->first, partners_end);
  primes.ForEachPrime([&](std::uint64_t p) {
    if (p <= candidates->last && p + 2 <= partners_end && primes.IsPrime(p + 2)) {
      outcome.lines.push_back(
          (LineWriter(range) << "   " << Whole{p} << "      " << Whole{p + 2}).Line());
    }
  });
  if (outcome.lines.empty()) {
    outcome.lines.push_back("   NO TWIN PRIMES");
    outcome.lines.push_back("   IN THIS INTERVAL !");
  }
  return outcome;
}

Outcome ranged::PrimeCountBetween(const OperandTexts& texts, Range range) {
  Outcome outcome;
  const auto candidates = ReadInterval(texts, kPrimeCountBetweenRules, range, outcome);
  if (!candidates) {
    return outcome;
  }
  const PrimeSegment primes(candidates->first, candidates->last);
  outcome.lines.push_back(ValueLine(Whole{primes.Count()}, range));
  return outcome;
}

Outcome ranged::NextPrime(const OperandTexts& texts, Range range) {
  Outcome outcome;
  const auto operands = ReadOperands(texts, kNextPrimeRules, range, outcome);
  if (!operands) {
    return outcome;
  }
  // A prime always lies above A and not beyond 2A + 1 (Bertrand), so one line always follows.
  outcome.lines.push_back(ValueLine(Whole{FirstPrimeAbove(operands->a)}, range));
  return outcome;
}

Outcome PrimesBetween(const OperandTexts& texts) {
  return ranged::PrimesBetween(texts, Range::kWindow);
}

Outcome TwinPrimesBetween(const OperandTexts& texts) {
  return ranged::TwinPrimesBetween(texts, Range::kWindow);
}

Outcome PrimeCountBetween(const OperandTexts& texts) {
  return ranged::PrimeCountBetween(texts, Range::kWindow);
}

Outcome NextPrime(const OperandTexts& texts) {
  return ranged::NextPrime(texts, Range::kWindow);
}

}  // namespace brindaq
