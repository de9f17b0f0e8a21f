#pragma once

// Powers, square roots and quadratic congruences modulo big numbers. A square root modulo an odd
// prime by the Tonelli-Shanks algorithm (D. Shanks, "Five number-theoretic algorithms", 1973);
// lifted to a prime power by Newton's (Hensel's) iteration, which doubles the exponent of the
// modulus at each step; for the powers of 2, the same iteration on x -> x - (x^2 - u) / 2x, which
// gains one bit less each time. A X^2 = B (mod C) is solved modulo each prime power of C, after the
// powers of p that divide A and B are taken out, and the solutions are put together by the Chinese
// remainder theorem; their number is the product of the numbers modulo each prime power, known
// without listing them: modulo an odd p^k a unit has 2 square roots or none, modulo 2^k it has 1,
// 2 or 4 as k is 1, 2 or more, and p^e u (u a unit, e < k) has p^(e/2) times as many as u modulo
// p^(k - e) when e is even, none when it is odd.

#include <optional>
#include <vector>

#include "core/big/big_factorisation.h"
#include "core/big/natural.h"
#include "core/work.h"

namespace brindaq {

// base^exponent modulo m >= 1. An odd m is worked in Montgomery form, by windows of 4 bits,
// asking the work whether to stop; an even one by mpz_powm. Nothing when the work was stopped.
std::optional<Natural> PowerModulo(const Natural& base, const Natural& exponent, const Natural& m,
                                   Work& work);

// A square root r < p of a modulo an odd prime p: nothing when a is no square modulo p, or when
// the work was stopped (work.Stopped() tells which).
std::optional<Natural> SquareRootModuloPrime(const Natural& a, const Natural& p, Work& work);

// The number of X with 1 <= X <= C and A X^2 = B (mod C), for C >= 1 with its complete prime
// factorisation (no primes for C = 1): at most C.
Natural CountQuadraticSolutions(const Natural& a, const Natural& b, const Natural& c,
                                const std::vector<BigPrimePower>& factors_of_c);

// Every such X, ascending (the residue 0 written as C itself), for a count that is small enough
// to list (some 10^5); nothing when the work was stopped.
std::optional<std::vector<Natural>> QuadraticSolutions(
    const Natural& a, const Natural& b, const Natural& c,
    const std::vector<BigPrimePower>& factors_of_c, Work& work);

}  // namespace brindaq
