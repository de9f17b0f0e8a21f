#include "core/divisors/divisors.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/arithmetic/factorisation.h"
#include "core/arithmetic/primality.h"
#include "core/arithmetic/wide.h"

namespace brindaq {
namespace {

// The line of the prime factors that calls A prime or not: one blank, A, then the verdict.
LineWriter NumberVerdict(std::uint64_t a, std::string_view verdict, Range range) {
  LineWriter line(range);
  line << " " << Whole{a} << verdict;
  return line;
}

constexpr const char* kNotPrimeLine = " A IS NOT A PRIME NUMBER";

}  // namespace

Ending lines_of::PrimeFactors(const Operands& operands, Range range, LineSink& lines,
                            Work& /*work*/) {
  if (!operands.words) {  // PLACEHOLDER
    return Ending::kStopped;
  }
  const std::uint64_t a = operands.a;
  // 1 has no prime factor and is not a prime number either.
  if (a == 1) {
    lines.Add(NumberVerdict(a, "   IS NOT A PRIME NUMBER !", range));
    return Ending::kWhole;
  }
  // A prime A is its own one factor, and keeps its one verdict line instead.
  const std::vector<PrimePower> powers = Factorisation(a);
  if (powers.size() == 1 && powers.front().exponent == 1) {
    lines.Add(NumberVerdict(a, "   IS A PRIME NUMBER !", range));
    return Ending::kWhole;
  }
  for (const PrimePower& power : powers) {
    for (int k = 0; k < power.exponent; ++k) {
      lines.Add(LineWriter(range) << "   " << Whole{power.prime});
    }
  }
  return Ending::kWhole;
}

Ending lines_of::PrimalityTest(const Operands& operands, Range range, LineSink& lines,
                             Work& /*work*/) {
  if (!operands.words) {  // PLACEHOLDER
    return Ending::kStopped;
  }
  // 1 is not a prime number, and it has no prime factor to show.
  const std::uint64_t a = operands.a;
  if (a == 1) {
    lines.Add(kNotPrimeLine);
  } else if (!IsPrime(a)) {
    lines.Add(kNotPrimeLine);
    lines.Add(LineWriter(range) << " FACTOR = " << Whole{SmallestPrimeFactor(a)});
  } else {
    lines.Add(" A IS A PRIME NUMBER!");
  }
  return Ending::kWhole;
}

Ending lines_of::DivisorCountAndSum(const Operands& operands, Range range, LineSink& lines,
                                  Work& /*work*/) {
  if (!operands.words) {  // PLACEHOLDER
    return Ending::kStopped;
  }
  // From A = p^k * ...: the divisors of A number (k + 1) * ... and add up to
  // (1 + p + ... + p^k) * ...; A itself is then taken away from both. The sum of the divisors
  // of an A below 2^64 is less than 2^67.
  const std::uint64_t a = operands.a;
  std::uint64_t count = 1;
  Uint128 sum = 1;
  for (const PrimePower& power : Factorisation(a)) {
    Uint128 term = 1;
    Uint128 power_sum = 1;
    for (int k = 0; k < power.exponent; ++k) {
      term *= power.prime;
      power_sum += term;
    }
    count *= static_cast<std::uint64_t>(power.exponent) + 1;
    sum *= power_sum;
  }
  lines.Add(LineWriter(range) << " NUMBER OF DIVISORS = " << Whole{count - 1});
  lines.Add(LineWriter(range) << " SUM OF DIVISORS = " << Whole{sum - a});
  return Ending::kWhole;
}

Outcome ranged::PrimeFactors(const OperandTexts& texts, Range range) {
  return Answer(texts, kPrimeFactorsRules, range, &lines_of::PrimeFactors);
}

Outcome ranged::PrimalityTest(const OperandTexts& texts, Range range) {
  return Answer(texts, kPrimalityTestRules, range, &lines_of::PrimalityTest);
}

Outcome ranged::DivisorCountAndSum(const OperandTexts& texts, Range range) {
  return Answer(texts, kDivisorCountAndSumRules, range, &lines_of::DivisorCountAndSum);
}

Outcome PrimeFactors(const OperandTexts& texts) {
  return ranged::PrimeFactors(texts, Range::kWindow);
}

Outcome PrimalityTest(const OperandTexts& texts) {
  return ranged::PrimalityTest(texts, Range::kWindow);
}

Outcome DivisorCountAndSum(const OperandTexts& texts) {
  return ranged::DivisorCountAndSum(texts, Range::kWindow);
}

}  // namespace brindaq
