#pragma once

// Whether single numbers are prime, and the next prime: trial division by the first primes, and
// the strong probable-prime (Miller-Rabin) test to bases that tell every prime from every
// composite below 2^64.

#include <cstdint>

namespace brindaq {

// Whether n is prime, for every n < 2^64.
bool IsPrime(std::uint64_t n);

// The smallest prime greater than n, for n < 18446744073709551557, the largest prime below 2^64.
std::uint64_t FirstPrimeAbove(std::uint64_t n);

}  // namespace brindaq
