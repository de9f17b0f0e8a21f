#pragma once

// The primes of an interval, and the next prime, for whole numbers of any size. Below 2^64 the
// word-sized sieve (sieve.h) and FirstPrimeAbove answer. Above it, the odd numbers of the
// interval are sieved by the sieve of Eratosthenes with the odd primes up to a bound chosen for
// the size of the numbers: each prime costs its remainder of the interval's start (one pass over
// the start's limbs for several primes at once), each survivor that it strikes out saves a
// strong test to the base 2, and the bound is the one for which the two costs balance (a cost
// model, its constants measured on x86-64). The survivors are then told by the Baillie-PSW test
// (big_primality.h), smallest first, and each probable prime is handed on as soon as it is known.

#include <functional>
#include <optional>

#include "core/big/natural.h"
#include "core/work.h"

namespace brindaq {

// Calls `visit` with every probable prime p with first <= p <= last, ascending, each as soon as
// it is established (exactly prime below 2^64). Meant for intervals up to some 10^5 wide; the
// interval may straddle 2^64. Returns false when the work was stopped (the primes visited so far
// are all those up to the last one visited).
bool ForEachPrimeBetween(const Natural& first, const Natural& last, Work& work,
                         const std::function<void(const Natural&)>& visit);

// The smallest probable prime greater than n (exactly the next prime below 2^64); nothing when
// the work was stopped.
std::optional<Natural> NextPrime(const Natural& n, Work& work);

}  // namespace brindaq
