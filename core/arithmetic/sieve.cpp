// The sieve of a segment: striking out the multiples of the primes of the table a block at a
// time, then testing what is left where the table's primes are not enough.

#include "core/arithmetic/sieve.h"

#include <algorithm>
#include <array>

#include "core/arithmetic/primality.h"
#include "core/arithmetic/prime_table.h"
#include "core/tuning.h"

namespace brindaq {
namespace {

// Which odd numbers have no factor among the first odd primes (3, 5, 7 and 11): the pattern
// repeats with every odd number that is their product (1155), index j standing for 2j + 1. A
// segment starts as a copy of it, so that the smallest odd primes, which strike the most
// numbers, need no striking.
constexpr std::size_t kPatternPrimes = tuning::kPatternPrimes;
constexpr std::size_t kPatternPeriod = [] {
  std::size_t period = 1;
  for (std::size_t k = 0; k < kPatternPrimes; ++k) {
    period *= kOddPrimes[k].value;
  }
  return period;
}();
constexpr std::array<std::uint8_t, kPatternPeriod> kPattern = [] {
  std::array<std::uint8_t, kPatternPeriod> pattern{};
  for (std::size_t j = 0; j < kPatternPeriod; ++j) {
    pattern[j] = 1;
    for (std::size_t k = 0; k < kPatternPrimes; ++k) {
      if ((2 * j + 1) % kOddPrimes[k].value == 0) {
        pattern[j] = 0;
      }
    }
  }
  return pattern;
}();

}  // namespace

PrimeSegment::PrimeSegment(std::uint64_t first, std::uint64_t last)
    : first_odd_(first | 1), has_two_(first <= 2 && 2 <= last) {
  if (last < first_odd_) {
    return;
  }
  odd_prime_.resize(static_cast<std::size_t>((last - first_odd_) / 2 + 1));

  // The pattern, from the place of first_odd_ in it on.
  std::size_t from = static_cast<std::size_t>((first_odd_ - 1) / 2 % kPatternPeriod);
  for (std::size_t i = 0; i < odd_prime_.size();) {
    const std::size_t run = std::min(kPatternPeriod - from, odd_prime_.size() - i);
    std::copy_n(kPattern.begin() + static_cast<std::ptrdiff_t>(from), run,
                odd_prime_.begin() + static_cast<std::ptrdiff_t>(i));
    i += run;
    from = 0;
  }
  // The pattern calls 1 prime and the primes of the pattern not.
  for (std::size_t k = 0; k < kPatternPrimes; ++k) {
    const std::uint64_t p = kOddPrimes[k].value;
    if (first_odd_ <= p && p <= last) {
      odd_prime_[static_cast<std::size_t>((p - first_odd_) / 2)] = 1;
    }
  }
  if (first_odd_ == 1) {
    odd_prime_[0] = 0;
  }

  // Strike out the odd multiples of each further prime p from p * p on: a smaller multiple has a
  // smaller prime factor, and p itself stays. They lie 2p apart, p places apart in the segment.
  // The segment is struck a block at a time, each block by every prime while it stays in the
  // cache; next[k] is the place of the next multiple of the k-th prime.
  std::array<std::size_t, kOddPrimeCount> next;  // set below for the primes that strike
  std::size_t striking = kPatternPrimes;
  for (; striking < kOddPrimes.size(); ++striking) {
    const std::uint64_t p = kOddPrimes[striking].value;
    if (p * p > last) {
      break;
    }
    // The place of the first odd multiple of p from max(first_odd_, p * p) on.
    std::uint64_t place = 0;
    if (first_odd_ <= p * p) {
      place = (p * p - first_odd_) / 2;
    } else {
      const std::uint64_t ahead = (p - first_odd_ % p) % p;  // first_odd_ + ahead is a multiple
      place = ahead % 2 == 0 ? ahead / 2 : (ahead + p) / 2;
    }
    next[striking] = static_cast<std::size_t>(std::min<std::uint64_t>(place, odd_prime_.size()));
  }
  constexpr std::size_t kBlock = tuning::kSieveBlock;
  for (std::size_t begin = 0; begin < odd_prime_.size(); begin += kBlock) {
    const std::size_t end = std::min(begin + kBlock, odd_prime_.size());
    for (std::size_t k = kPatternPrimes; k < striking; ++k) {
      const std::size_t step = kOddPrimes[k].value;
      std::size_t i = next[k];
      for (; i < end; i += step) {
        odd_prime_[i] = 0;
      }
      next[k] = i;
    }
  }

  // Above 10007^2 a number left may still have a larger factor: those are tested, four at a
  // time. A short last batch repeats its last number.
  if (last >= kPrimeBelow) {
    std::array<std::size_t, 4> places{};
    std::size_t count = 0;
    const auto test = [&] {
      std::array<std::uint64_t, 4> batch{};
      for (std::size_t k = 0; k < 4; ++k) {
        batch[k] = first_odd_ + 2 * static_cast<std::uint64_t>(places[std::min(k, count - 1)]);
      }
      const std::array<bool, 4> prime = ArePrime(batch);
      for (std::size_t k = 0; k < count; ++k) {
        odd_prime_[places[k]] = prime[k] ? 1 : 0;
      }
      count = 0;
    };
    for (std::size_t i = 0; i < odd_prime_.size(); ++i) {
      if (odd_prime_[i] != 0 && first_odd_ + 2 * static_cast<std::uint64_t>(i) >= kPrimeBelow) {
        places[count++] = i;
        if (count == places.size()) {
          test();
        }
      }
    }
    if (count > 0) {
      test();
    }
  }
}

std::size_t PrimeSegment::Count() const {
  return (has_two_ ? 1 : 0) + static_cast<std::size_t>(std::count(
                                  odd_prime_.begin(), odd_prime_.end(), std::uint8_t{1}));
}

}  // namespace brindaq
