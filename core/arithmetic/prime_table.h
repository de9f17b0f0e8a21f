#pragma once

// The odd primes below 10000, found by the compiler with a sieve of Eratosthenes: a constant of
// the program, not something a click computes or keeps. A number below 10007^2 (10007 is the next
// prime) that neither 2 nor any of them divides is prime, and every number that an operation
// factors or tests lies below it, so these are all the trial divisors it can need.

#include <array>
#include <cstddef>
#include <cstdint>

#include "core/arithmetic/montgomery.h"

namespace brindaq {

struct OddPrime {
  std::uint32_t value;
  // The inverse of the prime modulo 2^32, and the largest quotient of a 32-bit number by it.
  // Multiplying by the inverse maps the multiples 0, p, 2p, ... onto 0, 1, 2, ... and every other
  // number above them, so n is a multiple of p exactly when n * inverse (mod 2^32) is at most
  // that quotient: one multiplication instead of a division.
  std::uint32_t inverse;
  std::uint32_t max_quotient;

  constexpr bool Divides(std::uint32_t n) const { return n * inverse <= max_quotient; }
};

inline constexpr std::size_t kOddPrimeCount = 1228;

inline constexpr std::array<OddPrime, kOddPrimeCount> kOddPrimes = [] {
  constexpr std::uint32_t kEnd = 10000;
  std::array<bool, kEnd> composite{};
  std::array<OddPrime, kOddPrimeCount> primes{};
  std::size_t count = 0;
  for (std::uint32_t n = 3; n < kEnd; n += 2) {
    if (composite[n]) {
      continue;
    }
    for (std::uint32_t multiple = n * n; multiple < kEnd; multiple += 2 * n) {
      composite[multiple] = true;
    }
    primes[count++] = {n, static_cast<std::uint32_t>(InverseModuloTwoToThe64(n)), UINT32_MAX / n};
  }
  return primes;
}();

static_assert(kOddPrimes.front().value == 3 && kOddPrimes.back().value == 9973);
static_assert(kOddPrimes.back().value * kOddPrimes.back().inverse == 1);

// Past every prime of the table, a number with no factor among them is prime below this.
inline constexpr std::uint64_t kPrimeBelow = std::uint64_t{10007} * 10007;

// The same primes with their inverses modulo 2^64, for numbers of 32 bits and more: n is a
// multiple of p exactly when n * inverse (mod 2^64) is at most (2^64 - 1) / p.
struct WideOddPrime {
  std::uint64_t value;
  std::uint64_t inverse;
  std::uint64_t max_quotient;

  constexpr bool Divides(std::uint64_t n) const { return n * inverse <= max_quotient; }
};

inline constexpr std::array<WideOddPrime, kOddPrimeCount> kWideOddPrimes = [] {
  std::array<WideOddPrime, kOddPrimeCount> primes{};
  for (std::size_t k = 0; k < kOddPrimeCount; ++k) {
    const std::uint64_t p = kOddPrimes[k].value;
    primes[k] = {p, InverseModuloTwoToThe64(p), UINT64_MAX / p};
  }
  return primes;
}();

}  // namespace brindaq
