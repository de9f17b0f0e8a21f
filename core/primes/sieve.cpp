#include "core/primes/sieve.h"

#include <algorithm>
#include <cmath>

namespace brindaq {

std::int64_t IntegerSquareRoot(std::int64_t n) {
  // The double root is within one of the true root for every n of the operations; the two loops
  // settle it exactly.
  auto root = static_cast<std::int64_t>(std::sqrt(static_cast<double>(n)));
  while (root > 0 && root * root > n) {
    --root;
  }
  while ((root + 1) * (root + 1) <= n) {
    ++root;
  }
  return root;
}

PrimeSegment::PrimeSegment(std::int64_t first, std::int64_t last) : first_(first) {
  if (last < first) {
    return;
  }
  prime_.assign(static_cast<std::size_t>(last - first + 1), 1);
  for (std::int64_t n = first; n <= std::min<std::int64_t>(last, 1); ++n) {
    prime_[static_cast<std::size_t>(n - first)] = 0;
  }

  // The primes up to the square root of `last`, by a small sieve of their own.
  const std::int64_t root = IntegerSquareRoot(last);
  std::vector<std::uint8_t> small_prime(static_cast<std::size_t>(root + 1), 1);
  for (std::int64_t p = 2; p <= root; ++p) {
    if (small_prime[static_cast<std::size_t>(p)] == 0) {
      continue;
    }
    for (std::int64_t multiple = p * p; multiple <= root; multiple += p) {
      small_prime[static_cast<std::size_t>(multiple)] = 0;
    }
    // Strike out the multiples of p in the segment from p * p on: a smaller multiple has a
    // smaller prime factor, and p itself stays.
    const std::int64_t first_multiple = std::max(p * p, (first + p - 1) / p * p);
    for (std::int64_t multiple = first_multiple; multiple <= last; multiple += p) {
      prime_[static_cast<std::size_t>(multiple - first)] = 0;
    }
  }
}

}  // namespace brindaq
