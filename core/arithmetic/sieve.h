#pragma once

// The sieve of Eratosthenes over a segment of the whole numbers, shared by the operations that
// need to know which of many numbers are prime.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace brindaq {

// The bytes of `word` in the opposite order.
constexpr std::uint64_t ByteReversed(std::uint64_t word) {
  std::uint64_t reversed = 0;
  for (int k = 0; k < 8; ++k) {
    reversed = reversed << 8 | (word >> (8 * k) & 0xFF);
  }
  return reversed;
}

// Which whole numbers from `first` to `last` are prime, for any segment below 2^64 of at most a
// few million numbers: the multiples of the odd primes of the table up to the square root of
// `last` are struck out of the odd numbers of the segment. Below 10007^2 these are all the primes
// that can divide, and what is left, apart from 1, is prime; above it, what is left is told by
// the primality test. Of the even numbers only 2 is prime. One byte per odd number.
class PrimeSegment {
 public:
  PrimeSegment(std::uint64_t first, std::uint64_t last);

  // Whether n is prime, for first <= n <= last.
  bool IsPrime(std::uint64_t n) const {
    return n % 2 == 0 ? n == 2 : odd_prime_[static_cast<std::size_t>((n - first_odd_) / 2)] != 0;
  }

  // Calls `visit` with every prime of the segment, ascending.
  template <typename Visit>
  void ForEachPrime(Visit visit) const {
    if (has_two_) {
      visit(std::uint64_t{2});
    }
    for (std::size_t i = 0; i < odd_prime_.size(); ++i) {
      if (odd_prime_[i] != 0) {
        visit(first_odd_ + 2 * static_cast<std::uint64_t>(i));
      }
    }
  }

  // The number of primes in the segment.
  std::size_t Count() const;

  // Calls `visit` with every odd prime p, ascending, for which sum - p is an odd prime too and
  // p <= sum - p, for an even `sum` and a segment that starts at 0 or 1 and reaches sum - 3.
  template <typename Visit>
  void ForEachOddPrimePair(std::uint64_t sum, Visit visit) const;

 private:
  std::uint64_t first_odd_;
  bool has_two_;
  // Index i stands for the odd number first_odd_ + 2i.
  std::vector<std::uint8_t> odd_prime_;
};

template <typename Visit>
void PrimeSegment::ForEachOddPrimePair(std::uint64_t sum, Visit visit) const {
  // p = 2i + 1 and q = sum - p = 2j + 1 stand at places i and j = last - i: eight places i are
  // taken at a time, together with the eight places j that mirror them, reversed, so that a
  // byte of the one faces its partner in the other. Both ends are odd primes where both bytes
  // are 1.
  const std::uint64_t last = sum / 2 - 1;
  const std::uint64_t end = last / 2;  // p <= q
  const std::uint8_t* const flags = odd_prime_.data();
  std::uint64_t i = 1;  // p = 3
  for (; i + 7 <= end; i += 8) {
    std::uint64_t low = 0;
    std::uint64_t high = 0;
    std::memcpy(&low, flags + i, sizeof low);
    std::memcpy(&high, flags + (last - i - 7), sizeof high);
    for (std::uint64_t both = low & ByteReversed(high); both != 0; both &= both - 1) {
      visit(2 * (i + static_cast<std::uint64_t>(std::countr_zero(both)) / 8) + 1);
    }
  }
  for (; i <= end; ++i) {
    if (flags[i] & flags[last - i]) {
      visit(2 * i + 1);
    }
  }
}

}  // namespace brindaq
