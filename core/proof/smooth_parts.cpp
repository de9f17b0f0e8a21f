#include "core/proof/smooth_parts.h"

#include <cstddef>
#include <map>
#include <mutex>
#include <utility>

#include "core/big/small_primes.h"

namespace brindaq {
namespace {

// The product of the numbers from `begin` to `end`, by halves (products of like sizes).
Natural ProductOf(const std::vector<std::uint32_t>& primes, std::size_t begin, std::size_t end) {
  if (end - begin <= 16) {
    Natural product(1);
    for (std::size_t i = begin; i < end; ++i) {
      mpz_mul_ui(product.raw(), product.get(), primes[i]);
    }
    return product;
  }
  const std::size_t middle = begin + (end - begin) / 2;
  Natural product = ProductOf(primes, begin, middle);
  product *= ProductOf(primes, middle, end);
  return product;
}

// 2 times the product of the odd primes up to `bound`, made once for each bound.
const Natural& PrimeProduct(std::uint32_t bound) {
  static std::mutex mutex;
  static std::map<std::uint32_t, Natural> made;
  const std::lock_guard<std::mutex> lock(mutex);
  auto found = made.find(bound);
  if (found == made.end()) {
    // A bound below 2^20 sieves only as far as it needs.
    const std::vector<std::uint32_t> below =
        bound < (1U << 20) ? OddPrimesBelow(bound + 1) : std::vector<std::uint32_t>{};
    const std::vector<std::uint32_t>& primes = bound < (1U << 20) ? below : OddPrimesBelow2To20();
    std::size_t end = 0;
    while (end < primes.size() && primes[end] <= bound) {
      ++end;
    }
    Natural product = ProductOf(primes, 0, end);
    product <<= 1;
    found = made.emplace(bound, std::move(product)).first;
  }
  return found->second;
}

}  // namespace

std::vector<Natural> SmoothParts(const std::vector<Natural>& numbers, std::uint32_t bound) {
  if (numbers.empty()) {
    return {};
  }
  // The product tree: level 0 the numbers, each level above the products of pairs.
  std::vector<std::vector<Natural>> tree{numbers};
  while (tree.back().size() > 1) {
    const std::vector<Natural>& below = tree.back();
    std::vector<Natural> above;
    for (std::size_t i = 0; i < below.size(); i += 2) {
      above.push_back(i + 1 < below.size() ? below[i] * below[i + 1] : below[i]);
    }
    tree.push_back(std::move(above));
  }
  // The remainders down the tree.
  std::vector<Natural> remainders{PrimeProduct(bound) % tree.back()[0]};
  for (std::size_t level = tree.size() - 1; level-- > 0;) {
    std::vector<Natural> next;
    for (std::size_t i = 0; i < tree[level].size(); ++i) {
      next.push_back(remainders[i / 2] % tree[level][i]);
    }
    remainders = std::move(next);
  }
  std::vector<Natural> parts;
  for (std::size_t i = 0; i < numbers.size(); ++i) {
    const Natural& m = numbers[i];
    Natural& r = remainders[i];
    for (std::size_t power = 1; power < m.Bits(); power *= 2) {
      mpz_mul(r.raw(), r.get(), r.get());
      mpz_mod(r.raw(), r.get(), m.get());
    }
    parts.push_back(r.IsZero() ? m : Gcd(r, m));
  }
  return parts;
}

}  // namespace brindaq
