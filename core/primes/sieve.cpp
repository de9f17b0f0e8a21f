#include "core/primes/sieve.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "core/primes/prime_table.h"

namespace brindaq {
namespace {

// Which odd numbers have no factor 3, 5, 7 or 11: the pattern repeats with every 1155 odd
// numbers (3 * 5 * 7 * 11), index j standing for 2j + 1. A segment starts as a copy of it, so
// that the four smallest odd primes, which strike the most numbers, need no striking.
constexpr std::size_t kPatternPeriod = 3 * 5 * 7 * 11;
constexpr std::size_t kPatternPrimes = 4;
constexpr std::array<std::uint8_t, kPatternPeriod> kPattern = [] {
  std::array<std::uint8_t, kPatternPeriod> pattern{};
  for (std::size_t j = 0; j < kPatternPeriod; ++j) {
    const std::size_t n = 2 * j + 1;
    pattern[j] = n % 3 != 0 && n % 5 != 0 && n % 7 != 0 && n % 11 != 0;
  }
  return pattern;
}();
static_assert(kOddPrimes[kPatternPrimes - 1].value == 11);

}  // namespace

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

PrimeSegment::PrimeSegment(std::int64_t first, std::int64_t last)
    : first_odd_(first | 1), has_two_(first <= 2 && 2 <= last) {
  if (last < first_odd_) {
    return;
  }
  odd_prime_.resize(static_cast<std::size_t>((last - first_odd_) / 2 + 1));

  // The pattern, from the place of first_odd_ in it on.
  std::size_t from = static_cast<std::size_t>((first_odd_ - 1) / 2) % kPatternPeriod;
  for (std::size_t i = 0; i < odd_prime_.size();) {
    const std::size_t run = std::min(kPatternPeriod - from, odd_prime_.size() - i);
    std::copy_n(kPattern.begin() + static_cast<std::ptrdiff_t>(from), run,
                odd_prime_.begin() + static_cast<std::ptrdiff_t>(i));
    i += run;
    from = 0;
  }
  // The pattern calls 1 prime and the primes of the pattern not.
  for (std::size_t k = 0; k < kPatternPrimes; ++k) {
    const std::int64_t p = kOddPrimes[k].value;
    if (first_odd_ <= p && p <= last) {
      odd_prime_[static_cast<std::size_t>((p - first_odd_) / 2)] = 1;
    }
  }
  if (first_odd_ == 1) {
    odd_prime_[0] = 0;
  }

  // Strike out the odd multiples of each further prime p from p * p on: a smaller multiple has a
  // smaller prime factor, and p itself stays. They lie 2p apart, p places apart in the segment.
  for (std::size_t k = kPatternPrimes; k < kOddPrimes.size(); ++k) {
    const std::int64_t p = kOddPrimes[k].value;
    if (p * p > last) {
      break;
    }
    std::int64_t multiple = std::max(p * p, (first_odd_ + p - 1) / p * p);
    if (multiple % 2 == 0) {
      multiple += p;
    }
    for (auto i = static_cast<std::size_t>((multiple - first_odd_) / 2); i < odd_prime_.size();
         i += static_cast<std::size_t>(p)) {
      odd_prime_[i] = 0;
    }
  }
}

std::int64_t PrimeSegment::Count() const {
  return (has_two_ ? 1 : 0) + std::count(odd_prime_.begin(), odd_prime_.end(), std::uint8_t{1});
}

}  // namespace brindaq
