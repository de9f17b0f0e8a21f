#pragma once

// Whether numbers are prime, and the next prime: trial division by the first primes, then the
// strong probable-prime (Miller-Rabin) test to the bases 2, 7 and 61 below 4759123141, and above
// it the Baillie-PSW test (the strong test to the base 2 and the extra strong Lucas test), which
// tells every prime from every composite below 2^64.

#include <array>
#include <cstdint>

namespace brindaq {

// Whether n is prime, for every n < 2^64.
bool IsPrime(std::uint64_t n);

// Which of four odd numbers above 61 with no prime factor up to 53 are prime: where all are above
// 2^30, the strong test to the base 2 for the four at once, whose powers are raised side by
// side, and the other bases for those that pass. For many numbers that are mostly composite,
// this is quicker than IsPrime one by one.
std::array<bool, 4> ArePrime(const std::array<std::uint64_t, 4>& ns);

// The smallest prime greater than n, for n < 18446744073709551557, the largest prime below 2^64.
std::uint64_t FirstPrimeAbove(std::uint64_t n);

}  // namespace brindaq
