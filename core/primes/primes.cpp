#include "core/primes/primes.h"

#include <cmath>
#include <cstdint>
#include <optional>

#include "core/primes/sieve.h"

namespace brindaq {
namespace {

// A and B of the interval scans may reach ten million; the next prime takes A up to a hundred
// million.
constexpr double kIntervalOperandLimit = 10000000;
constexpr double kNextPrimeLimit = 100000000;

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
  const auto a = ReadCheckedOperand(texts.a, 'A', kIntervalOperandLimit, outcome);
  if (!a) {
    return std::nullopt;
  }
  const auto b = ReadCheckedOperand(texts.b, 'B', kIntervalOperandLimit, outcome);
  if (!b) {
    return std::nullopt;
  }
  if (*b - *a > width_limit) {
    outcome.notice = "INTERVAL TOO LARGE !";
    return std::nullopt;
  }
  // Both operands are whole and at most ten million, so they are exact as integers.
  return Candidates{static_cast<std::int64_t>(*a) + 1, static_cast<std::int64_t>(*b) - 1};
}

}  // namespace

bool IsPrimeByTrialDivision(double x) {
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
  for (std::int64_t i = candidates->first; i <= candidates->last; ++i) {
    if (primes.IsPrime(i)) {
      outcome.lines.push_back(ValueLine(static_cast<double>(i)));
    }
  }
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
  for (std::int64_t i = candidates->first; i <= candidates->last; ++i) {
    if (primes.IsPrime(i) && primes.IsPrime(i + 2)) {
      outcome.lines.push_back(ValueLine(static_cast<double>(i)) + "      " +
                              FormatValue(static_cast<double>(i + 2)));
    }
  }
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
  std::int64_t count = 0;
  for (std::int64_t i = candidates->first; i <= candidates->last; ++i) {
    if (primes.IsPrime(i)) {
      ++count;
    }
  }
  outcome.lines.push_back(ValueLine(static_cast<double>(count)));
  return outcome;
}

Outcome NextPrime(const OperandTexts& texts) {
  Outcome outcome;
  const auto a = ReadCheckedOperand(texts.a, 'A', kNextPrimeLimit, outcome);
  if (!a) {
    return outcome;
  }
  // A prime always lies above A and not beyond 2A + 1 (Bertrand), so one line always follows.
  const double first = *a + 1;
  const double last = 2 * *a + 1;
  for (double i = first; i <= last; ++i) {
    if (IsPrimeByTrialDivision(i)) {
      outcome.lines.push_back(ValueLine(i));
      break;
    }
  }
  return outcome;
}

}  // namespace brindaq
