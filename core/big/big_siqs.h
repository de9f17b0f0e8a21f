#pragma once

// The self-initialising quadratic sieve, in two files: big_siqs.cpp gathers the relations (the
// multiplier, the factor base, the polynomials and the sieve), big_siqs_matrix.cpp finds the
// products of relations that are squares and turns them into factors. Its entry, SiqsFactor, is
// declared with the other methods in big_split.h; the two steps are declared here, so that each
// can be checked on its own.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "core/big/natural.h"
#include "core/work.h"

namespace brindaq {

// y^2 = (-1)^negative * the product of `primes` (modulo n), the primes with repetition. One
// relation of the matrix is either one that the sieve found whole, or the product of the partial
// relations along a cycle of large primes (big_siqs_cycles.h): each large prime then appears
// twice.
struct SiqsRelation {
  Natural y;
  bool negative = false;
  std::vector<std::uint32_t> primes;
};

// What the sieve gathered for n: the factor base (its primes ascending, 2 first) and at least
// as many relations as it has primes, plus some to spare; of these, how many were combined from
// cycles of partial relations, and how many of those cycles held a relation with two large primes.
struct SiqsRelations {
  std::vector<std::uint32_t> factor_base;
  std::vector<SiqsRelation> relations;
  std::size_t cycles = 0;
  std::size_t cycles_with_two = 0;
};

// How the relations are gathered: the values of the polynomials in two words where they fit (or
// always with GMP), on two streams of polynomials where n is large enough and there are two cores
// (or on one), the values of an interval of one block tested for the primes below it in lanes
// of 16 bits (or of 32). The same relations come in the same order either way on one stream (with
// the primes of each perhaps in another order). Values left with two large primes are kept from
// tuning::kSiqsTwoLargePrimesFromDigits digits on, or at any size.
struct SiqsOptions {
  bool values_in_words = true;
  bool two_streams = true;
  bool narrow_lanes = true;
  bool two_large_primes_always = false;
};

// Gathers relations for an odd composite n with no prime factor below 10^4 that is no perfect
// power; `extra` more than the factor base holds. Empty relations when stopped; a factor base of
// the single prime p when the sieve met a prime factor p of n.
SiqsRelations GatherRelations(const Natural& n, std::size_t extra, Work& work,
                              const SiqsOptions& options = {});

// Sets of relations (indices) whose products are squares: at most 64; none when stopped.
std::vector<std::vector<std::size_t>> SquareProducts(const SiqsRelations& gathered, Work& work);

// X and Y with X^2 = Y^2 (modulo n) for the product of `chosen` relations; none when some prime
// (or the sign) appears an odd number of times, or the congruence fails: the check that every
// product is sound before its gcd is taken.
std::optional<std::pair<Natural, Natural>> SquaresOf(const std::vector<SiqsRelation>& relations,
                                                     const std::vector<std::size_t>& chosen,
                                                     const Natural& n);

}  // namespace brindaq
