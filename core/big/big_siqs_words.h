#pragma once

// Word arithmetic for the quadratic sieve's primes, so that the work done for each polynomial and
// each value tried needs no GMP call while the numbers fit: a prime of the factor base with its
// reciprocal (Barrett's method: a remainder by one multiplication, a subtraction and at most one
// correction, where the 64-bit division takes some dozens of cycles), a remainder of a GMP
// integer of any size folded limb by limb, and the exact division of a number of two words by an
// odd prime through its inverse modulo 2^128 (T. Granlund and P. L. Montgomery, "Division by
// invariant integers using multiplication", 1994: q = v p^-1 modulo 2^128 is v / p exactly when
// q <= (2^128 - 1) / p).

#include <gmp.h>

#include <cstdint>

#include "core/arithmetic/wide.h"

namespace brindaq {

// The low 128 bits of |z|, whatever the width of GMP's limbs.
inline Uint128 LowTwoWords(mpz_srcptr z) {
  constexpr std::size_t kLimbs = 128 / GMP_NUMB_BITS;
  const std::size_t size = mpz_size(z) < kLimbs ? mpz_size(z) : kLimbs;
  const mp_limb_t* const limbs = mpz_limbs_read(z);
  Uint128 value = 0;
  for (std::size_t i = size; i-- > 0;) {
    value = value << GMP_NUMB_BITS | limbs[i];
  }
  return value;
}

class PrimeModulus {
 public:
  PrimeModulus() = default;
  explicit PrimeModulus(std::uint32_t p) : p_(p), reciprocal_(~std::uint64_t{0} / p) {
    // The limb base modulo p: 2^64 on x86-64, 2^32 where GMP's limbs are of 32 bits (WebAssembly).
    if constexpr (GMP_NUMB_BITS >= 64) {
      word_ = Reduce(~std::uint64_t{0}) + 1;
      if (word_ == p_) {
        word_ = 0;
      }
    } else {
      word_ = Reduce(std::uint64_t{1} << GMP_NUMB_BITS);
    }
  }

  std::uint32_t p() const { return p_; }

  // x modulo p.
  std::uint32_t Reduce(std::uint64_t x) const {
    const auto q = static_cast<std::uint64_t>((Uint128{x} * reciprocal_) >> 64);
    const std::uint64_t r = x - q * p_;
    return static_cast<std::uint32_t>(r >= p_ ? r - p_ : r);
  }

  // a b modulo p, for a, b < p.
  std::uint32_t Multiply(std::uint32_t a, std::uint32_t b) const {
    return Reduce(std::uint64_t{a} * b);
  }

  // |z| modulo p.
  std::uint32_t Of(mpz_srcptr z) const {
    const mp_limb_t* const limbs = mpz_limbs_read(z);
    std::uint32_t r = 0;
    for (std::size_t i = mpz_size(z); i-- > 0;) {
      const std::uint64_t t = std::uint64_t{Multiply(r, word_)} + Reduce(limbs[i]);
      r = static_cast<std::uint32_t>(t >= p_ ? t - p_ : t);
    }
    return r;
  }

  // base^exponent modulo p.
  std::uint32_t Power(std::uint32_t base, std::uint64_t exponent) const {
    std::uint32_t result = 1;
    base = Reduce(base);
    for (; exponent != 0; exponent >>= 1) {
      if ((exponent & 1) != 0) {
        result = Multiply(result, base);
      }
      base = Multiply(base, base);
    }
    return result;
  }

 private:
  std::uint32_t p_ = 1;
  std::uint64_t reciprocal_ = 0;  // floor((2^64 - 1) / p)
  std::uint32_t word_ = 0;        // 2^64 modulo p
};

// Exact division by an odd prime p, for numbers of one or two words.
struct ExactDivisor {
  std::uint64_t inverse64 = 0;  // p^-1 modulo 2^64
  std::uint64_t limit64 = 0;    // (2^64 - 1) / p
  Uint128 inverse128 = 0;       // p^-1 modulo 2^128
  Uint128 limit128 = 0;         // (2^128 - 1) / p

  ExactDivisor() = default;
  explicit ExactDivisor(std::uint32_t p) {
    std::uint64_t inverse = p;  // correct to 3 bits, each step doubles them
    for (int step = 0; step < 5; ++step) {
      inverse *= 2 - p * inverse;
    }
    inverse64 = inverse;
    limit64 = ~std::uint64_t{0} / p;
    inverse128 = Uint128{inverse} * (2 - Uint128{p} * inverse);
    limit128 = ~Uint128{0} / p;
  }

  // Whether p divides v; if so v becomes v / p.
  bool Divide(Uint128& v) const {
    if ((v >> 64) == 0) {
      const std::uint64_t q = static_cast<std::uint64_t>(v) * inverse64;
      if (q > limit64) {
        return false;
      }
      v = q;
      return true;
    }
    const Uint128 q = v * inverse128;
    if (q > limit128) {
      return false;
    }
    v = q;
    return true;
  }
};

}  // namespace brindaq
