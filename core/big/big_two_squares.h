#pragma once

// Every way of writing a whole number of any size as a sum of two squares, from its prime
// factorisation, by the method of core/arithmetic/two_squares.cpp in 64 bits: each prime
// p = 1 (mod 4) is (a + bi)(a - bi) with a^2 + b^2 = p, a found from a square root t of -1 modulo
// p as the first remainder below sqrt(p) of Euclid's algorithm on p and t (Hermite and Serret;
// J. Brillhart, "Note on representing a prime as a sum of two squares", Math. Comp. 26, 1972);
// 2 is (1 + i)(1 - i) up to a unit; a prime q = 3 (mod 4) must divide to an even power. Every
// Gaussian integer x + yi of norm n is a product of one choice of conjugates for each power.
// Their number is known without listing them: the number of x > 0, y >= 0 is the product of
// e + 1 over the primes 1 (mod 4) (Jacobi's two-square theorem).

#include <optional>
#include <vector>

#include "core/big/big_factorisation.h"
#include "core/big/natural.h"
#include "core/work.h"

namespace brindaq {

struct BigSquarePair {
  Natural x;
  Natural y;
};

// The number of pairs 1 <= x <= y with x^2 + y^2 = n, for n >= 1 given by its complete prime
// factorisation.
Natural CountSumsOfTwoSquares(const std::vector<BigPrimePower>& factors);

// Every such pair, smallest x first, for a count small enough to list; nothing when the work was
// stopped.
std::optional<std::vector<BigSquarePair>> SumsOfTwoSquares(
    const std::vector<BigPrimePower>& factors, Work& work);

}  // namespace brindaq
