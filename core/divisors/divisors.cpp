#include "core/divisors/divisors.h"

#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

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

// One prime of a factorisation, with the number of times it divides.
struct PrimePower {
  std::int64_t prime;
  int exponent;
};

// The prime factorisation of n >= 1, smallest prime first. Each divisor is divided out as often
// as it goes, smallest first, so every divisor that divides what is left is prime; once d * d
// exceeds what is left, that rest has no divisor but itself.
std::vector<PrimePower> Factorisation(std::int64_t n) {
  std::vector<PrimePower> powers;
  for (std::int64_t d = 2; d * d <= n; ++d) {
    if (n % d == 0) {
      powers.push_back({d, 0});
      for (; n % d == 0; n /= d) {
        ++powers.back().exponent;
      }
    }
  }
  if (n > 1) {
    powers.push_back({n, 1});
  }
  return powers;
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
  // A prime A is its own one factor, and keeps its one verdict line instead.
  const std::vector<PrimePower> powers = Factorisation(static_cast<std::int64_t>(*a));
  if (powers.size() == 1 && powers.front().exponent == 1) {
    outcome.lines.push_back(NumberVerdict(*a, "   IS A PRIME NUMBER !"));
    return outcome;
  }
  for (const PrimePower& power : powers) {
    for (int k = 0; k < power.exponent; ++k) {
      outcome.lines.push_back(ValueLine(static_cast<double>(power.prime)));
    }
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
  // From A = p^k * ...: the divisors of A number (k + 1) * ... and add up to
  // (1 + p + ... + p^k) * ...; A itself is then taken away from both.
  const std::int64_t whole = static_cast<std::int64_t>(*a);
  std::int64_t count = 1;
  std::int64_t sum = 1;
  for (const PrimePower& power : Factorisation(whole)) {
    std::int64_t term = 1;
    std::int64_t power_sum = 1;
    for (int k = 0; k < power.exponent; ++k) {
      term *= power.prime;
      power_sum += term;
    }
    count *= power.exponent + 1;
    sum *= power_sum;
  }
  outcome.lines.push_back(" NUMBER OF DIVISORS = " + FormatValue(static_cast<double>(count - 1)));
  outcome.lines.push_back(" SUM OF DIVISORS = " + FormatValue(static_cast<double>(sum - whole)));
  return outcome;
}

}  // namespace brindaq
