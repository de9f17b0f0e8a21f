#pragma once

// Whether single numbers are prime, their smallest prime factor and the next prime: trial
// division by the primes of the table, and the Miller-Rabin test with the bases 2, 7 and 61,
// which tells every prime from every composite below 4759123141 (Jaeschke, 1993).

#include <cstdint>

namespace brindaq {

// Whether n is prime, for n < 2^30, which its arithmetic in Montgomery form needs (every number
// that an operation tests is below 2^27).
bool IsPrime(std::uint32_t n);

// The smallest prime factor of n, for 2 <= n < 10007^2: n itself when it is prime.
std::uint32_t SmallestPrimeFactor(std::uint32_t n);

// The smallest prime greater than n, for n < 10^9.
std::uint32_t FirstPrimeAbove(std::uint32_t n);

}  // namespace brindaq
