#pragma once

// Numbers of two words, from 2^64 to 2^128, told prime and split without GMP: the Baillie-PSW
// test and Pollard's rho method on Montgomery128, beside the elliptic curves of
// elliptic_curves.cpp, which serve both widths. The factorisation of numbers of any size hands
// every part below 2^128 to these, as it hands every part below 2^64 to the one-word code.

#include <cstdint>

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

}  // namespace brindaq
