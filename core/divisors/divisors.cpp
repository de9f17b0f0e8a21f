#include "core/divisors/divisors.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/primes/primality.h"
#include "core/primes/prime_table.h"

namespace brindaq {
namespace {

// The line of the prime factors that calls A prime or not: one blank, A, then the verdict.
std::string NumberVerdict(double a, std::string_view verdict) {
  return (LineWriter() << " " << a << verdict).Line();
}

constexpr const char* kNotPrimeLine = " A IS NOT A PRIME NUMBER";

// The verdict of the primality test on a composite A, with its smallest prime factor.
Outcome CompositeVerdict(std::uint32_t factor) {
  return Outcome{
      {kNotPrimeLine, (LineWriter() << " FACTOR = " << static_cast<double>(factor)).Line()},
      std::nullopt};
}

// One prime of a factorisation, with the number of times it divides.
struct PrimePower {
  std::uint32_t prime;
  int exponent;
};

// The prime factorisation of 1 <= n < 10007^2, smallest prime first: 2 and then the
// primes of the table are divided out as often as they go, until the square of the next one
// exceeds what is left; that rest, if not 1, has no divisor but itself. Once the primes up to 53
// are out, a rest that is prime is told at once by the primality test, rather than by trying
// every prime up to its square root.
std::vector<PrimePower> Factorisation(std::uint32_t n) {
  std::vector<PrimePower> powers;
  if (n % 2 == 0) {
    powers.push_back({2, 0});
    for (; n % 2 == 0; n /= 2) {
      ++powers.back().exponent;
    }
  }
  for (const OddPrime& p : kOddPrimes) {
    if (p.value * p.value > n) {
      break;
    }
    if (p.Divides(n)) {
      powers.push_back({p.value, 0});
      for (; p.Divides(n); n /= p.value) {
        ++powers.back().exponent;
      }
    }
    if (p.value == 53 && IsPrime(n)) {
      break;
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
  const auto a = ReadCheckedOperand(texts.a, 'A', kPrimeFactorsLimits.a, outcome);
  if (!a) {
    return outcome;
  }
  // 1 has no prime factor and is not a prime number either.
  if (*a == 1) {
    outcome.lines.push_back(NumberVerdict(*a, "   IS NOT A PRIME NUMBER !"));
    return outcome;
  }
  // A prime A is its own one factor, and keeps its one verdict line instead.
  const std::vector<PrimePower> powers = Factorisation(static_cast<std::uint32_t>(*a));
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
  const auto a = ReadCheckedOperand(texts.a, 'A', kPrimalityTestLimits.a, outcome);
  if (!a) {
    return outcome;
  }
  // 1 is not a prime number, and it has no prime factor to show.
  const auto n = static_cast<std::uint32_t>(*a);
  if (n == 1) {
    outcome.lines.push_back(kNotPrimeLine);
    return outcome;
  }
  if (!IsPrime(n)) {
    return CompositeVerdict(SmallestPrimeFactor(n));
  }
  outcome.lines.push_back(" A IS A PRIME NUMBER!");
  return outcome;
}

Outcome DivisorCountAndSum(const OperandTexts& texts) {
  Outcome outcome;
  const auto a = ReadCheckedOperand(texts.a, 'A', kDivisorCountAndSumLimits.a, outcome);
  if (!a) {
    return outcome;
  }
  // From A = p^k * ...: the divisors of A number (k + 1) * ... and add up to
  // (1 + p + ... + p^k) * ...; A itself is then taken away from both.
  const auto whole = static_cast<std::int64_t>(*a);
  std::int64_t count = 1;
  std::int64_t sum = 1;
  for (const PrimePower& power : Factorisation(static_cast<std::uint32_t>(whole))) {
    std::int64_t term = 1;
    std::int64_t power_sum = 1;
    for (int k = 0; k < power.exponent; ++k) {
      term *= power.prime;
      power_sum += term;
    }
    count *= power.exponent + 1;
    sum *= power_sum;
  }
  outcome.lines.push_back(
      (LineWriter() << " NUMBER OF DIVISORS = " << static_cast<double>(count - 1)).Line());
  outcome.lines.push_back(
      (LineWriter() << " SUM OF DIVISORS = " << static_cast<double>(sum - whole)).Line());
  return outcome;
}

}  // namespace brindaq
