#pragma once

// The small primes that the big-number code divides by or sieves with: a table of the primes
// below 2^20, made once by the sieve of Eratosthenes, the primes below any larger bound made on
// request, and the search for a factor among the primes below 10^4 (those of prime_table.h).
// A number of many limbs is divided not by each prime but by products of primes that fill an
// `unsigned long` (one pass over its limbs for several primes, as GMP's own mpz_probab_prime_p
// does with its primorials), and the remainder by each prime of the product then costs a word
// division.

#include <cstdint>
#include <vector>

#include "core/big/natural.h"

namespace brindaq {

// The odd primes below `bound` (3, 5, 7, ...), ascending.
std::vector<std::uint32_t> OddPrimesBelow(std::uint32_t bound);

// The same below 2^20, made once.
const std::vector<std::uint32_t>& OddPrimesBelow2To20();

// The smallest odd prime below 10^4 that divides n, or 0 if none does (n itself when n is such a
// prime); and all of them, ascending.
std::uint32_t SmallOddPrimeFactor(const Natural& n);
std::vector<std::uint32_t> SmallOddPrimeFactors(const Natural& n);

// Calls `visit(p, n mod p)` for each odd prime p of `primes` from index `begin` to `end`, the
// remainders found through products of primes that fill an `unsigned long`.
template <typename Visit>
void ForEachRemainder(const Natural& n, const std::vector<std::uint32_t>& primes, std::size_t begin,
                      std::size_t end, Visit visit);

}  // namespace brindaq

#include <climits>

namespace brindaq {

template <typename Visit>
void ForEachRemainder(const Natural& n, const std::vector<std::uint32_t>& primes, std::size_t begin,
                      std::size_t end, Visit visit) {
  std::size_t i = begin;
  while (i < end) {
    // As many primes as their product fits an unsigned long.
    unsigned long product = primes[i];
    std::size_t j = i + 1;
    for (; j < end && product <= ULONG_MAX / primes[j]; ++j) {
      product *= primes[j];
    }
    const unsigned long remainder = mpz_fdiv_ui(n.get(), product);
    for (; i < j; ++i) {
      visit(primes[i], static_cast<std::uint32_t>(remainder % primes[i]));
    }
  }
}

}  // namespace brindaq
