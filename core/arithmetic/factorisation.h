#pragma once

// The prime factorisation of any whole number below 2^64.
//
// The primes below 10^4 are tried first, 2 and then those of the table, each by one
// multiplication (see prime_table.h); a number left below 10007^2 after them is prime. A larger
// rest is told prime or not by the primality test, and a composite rest, whose factors all lie
// above 10^4, is split: a square or a cube by its root, anything else by the elliptic-curve method
// (Lenstra), with Pollard's rho method in Brent's form behind it should the curves all fail. Each
// part is again tested and split, until only primes are left. A rest below 2^64 with no factor
// below 10^4 has at most four prime factors.

#include <cstdint>
#include <vector>

namespace brindaq {

// One prime of a factorisation, with the number of times it divides.
struct PrimePower {
  std::uint64_t prime;
  int exponent;
};

// The prime factorisation of n >= 1, smallest prime first; empty for 1.
std::vector<PrimePower> Factorisation(std::uint64_t n);

// The smallest prime factor of n >= 2: n itself when it is prime.
std::uint64_t SmallestPrimeFactor(std::uint64_t n);

// A factor of a composite n that is neither 1 nor n, for an odd n with no prime factor below
// 10^4 that is not a prime power: by the elliptic-curve method, then by Pollard's rho method.
std::uint64_t SplitComposite(std::uint64_t n);

// A factor of n other than 1 and n found by the elliptic-curve method within `curves` curves, or
// 0 when none is found; for an odd n > 2^20 that is neither prime nor a prime power.
std::uint64_t EllipticCurveFactor(std::uint64_t n, int curves);

// A factor of n found by Pollard's rho method with the map x^2 + c: 1 < factor <= n (n itself
// when this c fails), for an odd composite n.
std::uint64_t RhoFactor(std::uint64_t n, std::uint64_t c);

}  // namespace brindaq
