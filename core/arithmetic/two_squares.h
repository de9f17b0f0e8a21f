#pragma once

// Every way of writing a whole number below 2^64 as a sum of two squares, from the primes that
// divide it: each prime p = 1 (mod 4) is a product of two conjugate Gaussian primes a + bi and
// a - bi with a^2 + b^2 = p, found from a square root of -1 modulo p by Euclid's algorithm
// (Hermite and Serret); 2 is (1 + i)(1 - i) up to a unit; a prime q = 3 (mod 4) stays prime and
// must divide an even number of times. Every Gaussian integer x + yi of norm n is then a product
// of these, one choice of conjugates for each power, and gives n = x^2 + y^2. A small number is
// quicker by trying every x.

#include <cstdint>
#include <vector>

namespace brindaq {

struct SquarePair {
  std::uint64_t x;
  std::uint64_t y;
};

// Every pair 1 <= x <= y with x^2 + y^2 = n, smallest x first.
std::vector<SquarePair> SumsOfTwoSquares(std::uint64_t n);

}  // namespace brindaq
