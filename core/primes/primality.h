#pragma once

// Whether single numbers are prime, their smallest prime factor and the next prime: trial
// division by the primes of the table, and the Miller-Rabin test with the bases 2, 7 and 61,
// which tells every prime from every composite below 4759123141 (Jaeschke, 1993).

#include <cstdint>

namespace brindaq {

// The largest number these functions take: their arithmetic in Montgomery form needs n < 2^30.
inline constexpr std::uint32_t kLargestTested = (1u << 30) - 1024;

// Whether n is prime, for n <= kLargestTested.
bool IsPrime(std::uint32_t n);

// The smallest prime factor of n, for 2 <= n < kTrialDivisionBound: n itself when it is prime.
std::uint32_t SmallestPrimeFactor(std::uint32_t n);

// The smallest prime greater than n, for n < kLargestTested.
std::uint32_t FirstPrimeAbove(std::uint32_t n);

}  // namespace brindaq
