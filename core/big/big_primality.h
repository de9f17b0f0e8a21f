#pragma once

// Whether a whole number of any size is a probable prime: trial division by the primes below
// 10^4, then the Baillie-PSW test (R. Baillie and S. S. Wagstaff, "Lucas pseudoprimes", Math.
// Comp. 35, 1980), in the form of R. Baillie, A. Fiori and S. S. Wagstaff, "Strengthening the
// Baillie-PSW primality test", Math. Comp. 90, 2021: the strong probable-prime test to the base 2
// and the extra strong Lucas test with Q = 1 and the first P = 3, 4, 5, ... for which
// (P^2 - 4 / n) = -1. No composite is known to pass both; below 2^64 none does, and there the
// word-sized test answers exactly.
//
// Both tests raise powers in Montgomery form (big_montgomery.h), asking the work whether to stop
// every millisecond or so: at 10000 digits one test takes seconds.

#include <optional>

#include "core/big/natural.h"
#include "core/work.h"

namespace brindaq {

// Whether n is a probable prime (exactly, for n < 2^64); nothing when the work was stopped.
std::optional<bool> IsProbablePrime(const Natural& n, Work& work);

// The Baillie-PSW test alone, for an odd n > 2^64 that no prime below 10^4 divides (as the
// survivors of a sieve are); nothing when the work was stopped.
std::optional<bool> PassesBailliePsw(const Natural& n, Work& work);

// The strong probable-prime test to the base 2 alone, for an odd n > 2^64: most composites fail
// it, and a sieve asks it first. Nothing when the work was stopped.
std::optional<bool> IsStrongProbablePrimeToBase2(const Natural& n, Work& work);

}  // namespace brindaq
