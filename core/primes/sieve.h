#pragma once

// The sieve of Eratosthenes over a segment of the whole numbers, shared by the operations that
// need to know which of many numbers are prime, and the integer square root that bounds it.

#include <cstdint>
#include <vector>

namespace brindaq {

// The largest r with r * r <= n, for n >= 0.
std::int64_t IntegerSquareRoot(std::int64_t n);

// Which whole numbers from `first` to `last` are prime (0 <= first, and at most a few hundred
// thousand numbers at a time): the multiples of every prime up to the square root of `last` are
// struck out of the segment, and what is left, apart from 0 and 1, is prime. One byte per number.
class PrimeSegment {
 public:
  PrimeSegment(std::int64_t first, std::int64_t last);

  // Whether n is prime, for first <= n <= last.
  bool IsPrime(std::int64_t n) const { return prime_[static_cast<std::size_t>(n - first_)] != 0; }

 private:
  std::int64_t first_;
  std::vector<std::uint8_t> prime_;
};

}  // namespace brindaq
