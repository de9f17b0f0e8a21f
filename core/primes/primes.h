#pragma once

// The prime scans: the primes, the twin primes and the number of primes strictly between A and
// B, by a sieve of the interval, and the next prime after A.

#include "core/frame/frame.h"

namespace brindaq {

// True when no whole d with 2 <= d <= sqrt(x) divides x: the verdict of trial division, for any
// x, given by the primality test where x is whole and below 2^30.
bool IsPrimeByTrialDivision(double x);

// A and B of the three interval scans.
inline constexpr OperandLimits kIntervalScanLimits{10000000, 10000000};

// Every prime strictly between A and B, ascending, one line each.
Outcome PrimesBetween(const OperandTexts& texts);

// Every twin-prime pair (p, p + 2) whose smaller member lies strictly between A and B.
Outcome TwinPrimesBetween(const OperandTexts& texts);

// The number of primes strictly between A and B, as one line.
Outcome PrimeCountBetween(const OperandTexts& texts);

// The smallest prime greater than A, as one line.
inline constexpr OperandLimits kNextPrimeLimits{100000000};
Outcome NextPrime(const OperandTexts& texts);

}  // namespace brindaq
