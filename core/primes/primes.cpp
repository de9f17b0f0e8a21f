#include "core/primes/primes.h"

namespace brindaq {

bool IsPrimeByTrialDivision(double) {
  return false;
}

Outcome PrimesBetween(const OperandTexts&) {
  return {};
}

Outcome TwinPrimesBetween(const OperandTexts&) {
  return {};
}

Outcome PrimeCountBetween(const OperandTexts&) {
  return {};
}

Outcome NextPrime(const OperandTexts&) {
  return {};
}

}  // namespace brindaq
