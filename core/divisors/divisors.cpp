#include "core/divisors/divisors.h"

#include <cmath>
#include <string>
#include <string_view>

namespace brindaq {
namespace {

// The line of the prime factors that calls A prime or not: one blank, A, then the verdict.
std::string NumberVerdict(double a, std::string_view verdict) {
  return " " + FormatValue(a) + std::string(verdict);
}

constexpr const char* kNotPrimeLine = " A IS NOT A PRIME NUMBER";

// The verdict of the primality test on a composite A, with its smallest prime factor.
Outcome CompositeVerdict(double factor) {
  return Outcome{{kNotPrimeLine, " FACTOR = " + FormatValue(factor)}, std::nullopt};
}

}  // namespace

Outcome PrimeFactors(const OperandTexts& texts) {
  Outcome outcome;
  const auto a = ReadCheckedOperand(texts.a, 'A', 10000000, outcome);
  if (!a) {
    return outcome;
  }
  // 1 has no prime factor and is not a prime number either.
  if (*a == 1) {
    outcome.lines.push_back(NumberVerdict(*a, "   IS NOT A PRIME NUMBER !"));
    return outcome;
  }
  // Every prime factor of a composite A is at most A / 2; by the time a composite i is reached,
  // its own prime factors have already been divided out of the working value.
  double rest = *a;
  const double end = *a / 2;
  for (double i = 2; i <= end; ++i) {
    while (Divides(i, rest)) {
      rest /= i;
      outcome.lines.push_back(ValueLine(i));
    }
  }
  if (outcome.lines.empty()) {
    outcome.lines.push_back(NumberVerdict(*a, "   IS A PRIME NUMBER !"));
  }
  return outcome;
}

Outcome PrimalityTest(const OperandTexts& texts) {
  Outcome outcome;
  const auto a = ReadCheckedOperand(texts.a, 'A', 100000000, outcome);
  if (!a) {
    return outcome;
  }
  // 1 is not a prime number, and it has no prime factor to show.
  if (*a == 1) {
    outcome.lines.push_back(kNotPrimeLine);
    return outcome;
  }
  if (Divides(2, *a) && *a > 2) {
    return CompositeVerdict(2);
  }
  // The first odd divisor from 3 upward is the smallest prime factor of an odd A.
  const double root = std::sqrt(*a);
  for (double i = 3; i <= root; i += 2) {
    if (Divides(i, *a)) {
      return CompositeVerdict(i);
    }
  }
  outcome.lines.push_back(" A IS A PRIME NUMBER!");
  return outcome;
}

Outcome DivisorCountAndSum(const OperandTexts& texts) {
  Outcome outcome;
  const auto a = ReadCheckedOperand(texts.a, 'A', 1000000, outcome);
  if (!a) {
    return outcome;
  }
  // Every divisor of A other than A itself is at most A / 2.
  double count = 0;
  double sum = 0;
  const double end = *a / 2;
  for (double i = 1; i <= end; ++i) {
    if (Divides(i, *a)) {
      ++count;
      sum += i;
    }
  }
  outcome.lines.push_back(" NUMBER OF DIVISORS = " + FormatValue(count));
  outcome.lines.push_back(" SUM OF DIVISORS = " + FormatValue(sum));
  return outcome;
}

}  // namespace brindaq
