#pragma once

// The parts made of small primes of many numbers at once, for the orders of the curves that the
// elliptic-curve proof (ecpp.h) tries: instead of a division of each order by each prime below
// the bound, the product of those primes (made once for each bound) is reduced modulo the
// product of the orders, and that remainder down a tree to each order; r = P mod m squared e
// times, 2^e >= the bits of m, has with m the greatest common divisor that is m's part below the
// bound, powers included (D. J. Bernstein, "How to find smooth parts of integers", 2004).

#include <cstdint>
#include <vector>

#include "core/big/natural.h"

namespace brindaq {

// For each number > 0, its largest divisor whose primes are all at most `bound` (<= 2^20).
std::vector<Natural> SmoothParts(const std::vector<Natural>& numbers, std::uint32_t bound);

}  // namespace brindaq
