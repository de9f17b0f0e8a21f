#pragma once

// Numbers of two words, from 2^64 to 2^128, told prime and split without GMP: the Baillie-PSW
// test and Pollard's rho method on Montgomery128, beside the elliptic curves and p - 1 of
// elliptic_curves.cpp, the curves serving both widths. The factorisation of numbers of any size
// hands every part below 2^128 to these, as it hands every part below 2^64 to the one-word code.

#include <cstdint>
#include <vector>

#include "core/arithmetic/factorisation.h"
#include "core/arithmetic/montgomery128.h"
#include "core/arithmetic/wide.h"
#include "core/tuning.h"

namespace brindaq {

// The strong probable-prime test to the base 2, for an odd n > 2^64.
bool IsStrongProbablePrimeToBase2(const Montgomery128& m);

// The Baillie-PSW test (the strong test to the base 2, then the extra strong Lucas test with
// Baillie's parameters), for an odd n > 2^64 that no prime below 60 divides.
bool PassesBailliePsw(const Montgomery128& m);

// A factor f of the odd composite n with 1 < f < n found by Pollard's rho method in Brent's form
// with x -> x^2 + c within `steps` steps, or 1.
Uint128 RhoFactor(const Montgomery128& m, std::uint64_t c, std::uint64_t steps);

// A factor f of the odd composite n, no perfect power, with 1 < f < n, found by `curves` of the
// elliptic-curve method with the bounds given, on Suyama's curves from the parameter
// first_sigma on; or 1.
Uint128 EllipticCurveFactor(const Montgomery128& m, const tuning::CurveBounds& bounds, int curves,
                            std::uint64_t first_sigma);

// A factor f of the odd composite n with 1 < f < n found by Pollard's p - 1 method with the bounds
// given (bounds.bits unused), or 1: found when some prime p of n has p - 1 made of prime powers up
// to B1 and at most one prime up to B2, and not every prime of n has.
Uint128 PMinusOneFactor(const Montgomery128& m, const tuning::CurveBounds& bounds);

// The odd primes below 10^4 divided out of the odd n, each with its exponent, ascending, into
// `powers`; what is left of n. Each prime is tried by one product with its inverse modulo 2^128
// (n is a multiple of p exactly when n / p (mod 2^128) is at most (2^128 - 1) / p), and a quotient
// is the same product. The division stops early once the rest fits a word, whose own
// factorisation divides by these primes again faster, in one word.
Uint128 DivideOutSmallOddPrimes(Uint128 n, std::vector<PrimePower>& powers);

// n as root^k for the smallest prime k that makes it a perfect power, for n > 2^64 with no prime
// factor below 10^4 (so that k is at most 7); {n, 1} when n is no perfect power.
struct WidePower {
  Uint128 root;
  int exponent;
};
WidePower AsPerfectPower(Uint128 n);

}  // namespace brindaq
