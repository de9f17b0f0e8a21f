#include "core/divisors/divisors.h"

namespace brindaq {

Outcome PrimeFactors(const OperandTexts& texts) {
  Outcome outcome;
  const auto a = ReadCheckedOperand(texts.a, 'A', 10000000, outcome);
  if (!a) {
    return outcome;
  }
  // 1 has no prime factor and is not a prime number either.
  if (*a == 1) {
    outcome.lines.push_back(" " + FormatValue(*a) + "   IS NOT A PRIME NUMBER !");
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
    outcome.lines.push_back(" " + FormatValue(*a) + "   IS A PRIME NUMBER !");
  }
  return outcome;
}

Outcome PrimalityTest(const OperandTexts&) {
  return {};
}

Outcome DivisorCountAndSum(const OperandTexts&) {
  return {};
}

}  // namespace brindaq
