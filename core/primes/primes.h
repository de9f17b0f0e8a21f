#pragma once

// The prime scans: the primes, the twin primes and the number of primes strictly between A and
// B, by a sieve of the interval, and the next prime after A, by trial division.

#include "core/frame/frame.h"

namespace brindaq {

// True when no whole d with 2 <= d <= sqrt(x) divides x. The next prime calls it with x >= 2 only.
bool IsPrimeByTrialDivision(double x);

// Every prime strictly between A and B, ascending, one line each.
Outcome PrimesBetween(const OperandTexts& texts);

// Every twin-prime pair (p, p + 2) whose smaller member lies strictly between A and B.
Outcome TwinPrimesBetween(const OperandTexts& texts);

// The number of primes strictly between A and B, as one line.
Outcome PrimeCountBetween(const OperandTexts& texts);

// The smallest prime greater than A, as one line.
Outcome NextPrime(const OperandTexts& texts);

}  // namespace brindaq
