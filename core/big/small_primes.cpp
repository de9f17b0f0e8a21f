#include "core/big/small_primes.h"

#include <cstddef>

#include "core/arithmetic/prime_table.h"

namespace brindaq {

std::vector<std::uint32_t> OddPrimesBelow(std::uint32_t bound) {
  // One byte per odd number 2i + 1 below the bound.
  std::vector<std::uint32_t> primes;
  const std::size_t half = bound / 2;
  std::vector<bool> composite(half, false);
  for (std::size_t i = 1; i < half; ++i) {
    if (composite[i]) {
      continue;
    }
    const std::size_t p = 2 * i + 1;
    primes.push_back(static_cast<std::uint32_t>(p));
    for (std::size_t j = (p * p) / 2; j < half; j += p) {
      composite[j] = true;
    }
  }
  return primes;
}

const std::vector<std::uint32_t>& OddPrimesBelow2To20() {
  static const std::vector<std::uint32_t> primes = OddPrimesBelow(1 << 20);
  return primes;
}

std::vector<std::uint32_t> SmallOddPrimeFactors(const Natural& n) {
  static const std::vector<std::uint32_t> table = [] {
    std::vector<std::uint32_t> primes;
    for (const OddPrime& p : kOddPrimes) {
      primes.push_back(p.value);
    }
    return primes;
  }();
  std::vector<std::uint32_t> factors;
  ForEachRemainder(n, table, 0, table.size(), [&factors](std::uint32_t p, std::uint32_t r) {
    if (r == 0) {
      factors.push_back(p);
    }
  });
  return factors;
}

std::uint32_t SmallOddPrimeFactor(const Natural& n) {
  const std::vector<std::uint32_t> factors = SmallOddPrimeFactors(n);
  return factors.empty() ? 0 : factors.front();
}

}  // namespace brindaq
