#pragma once

// The prime factorisation of a whole number of any size, in the order of coreutils' factor and of
// GMP-ECM's advice: trial division by the primes below 10^4; a perfect power r^k by its root;
// Pollard's rho method in Brent's form for a short while (it finds factors up to some 10^8 at
// once); then Lenstra's elliptic-curve method on Montgomery's curves with Suyama's
// parametrisation, its bound B1 and number of curves rising by the size of the factor sought
// (big_ecm.cpp). Each part found is told prime by the Baillie-PSW test (big_primality.h) or split
// again; a part below 2^64 goes at once to the word-sized Factorisation. Long work can be stopped:
// the parts not yet split are then kept apart, and nothing composite is called prime.

#include <optional>
#include <vector>

#include "core/big/natural.h"
#include "core/work.h"

namespace brindaq {

struct BigPrimePower {
  Natural prime;
  int exponent;
};

struct BigFactors {
  // Probable primes (exact below 2^64), ascending, each once.
  std::vector<BigPrimePower> primes;
  // Composite parts not split when the work was stopped, with the power to which each divides;
  // empty when the factorisation is complete.
  std::vector<BigPrimePower> unsplit;
  bool complete = true;
  // The primes of `primes` past 2^64 that are not proven, ascending: filled only by
  // ProvenFactorisation (core/proof/proven.h), with those whose proof was stopped or not tried.
  std::vector<Natural> unproven;
};

// The factorisation of n >= 1 (no primes for 1): n is the product of every prime and unsplit
// part to its exponent.
BigFactors Factorise(const Natural& n, Work& work);

// The smallest prime factor of n >= 2 (n itself when n is a probable prime); nothing when the
// work was stopped before it was certain.
std::optional<Natural> SmallestPrimeFactor(const Natural& n, Work& work);

}  // namespace brindaq
