#pragma once

// Arithmetic modulo an odd number in Montgomery form: x stands for x * R mod n, R a power of two,
// so that a product is reduced by multiplications and a shift instead of a division. One class
// for moduli below 2^30, whose values are kept below 2n, and one for every odd modulus below
// 2^64, whose values are kept below n.

#include <cstdint>

#include "core/arithmetic/wide.h"

namespace brindaq {

// The inverse of an odd n modulo 2^64 (and so modulo 2^32), by Newton's iteration: each step
// doubles the correct low bits, and n * n = 1 (mod 8) gives the first three.
constexpr std::uint64_t InverseModuloTwoToThe64(std::uint64_t n) {
  std::uint64_t inverse = n;
  for (int i = 0; i < 5; ++i) {
    inverse *= 2 - n * inverse;
  }
  return inverse;
}

// Modulo an odd n < 2^30, R = 2^32.
class Montgomery32 {
 public:
  // Every modulus lies below this, so that a product of two values below 2n is below n * 2^32.
  static constexpr std::uint32_t kModulusBelow = std::uint32_t{1} << 30;

  explicit Montgomery32(std::uint32_t n)
      : n_(n),
        minus_inverse_(0 - static_cast<std::uint32_t>(InverseModuloTwoToThe64(n))),
        one_(static_cast<std::uint32_t>((std::uint64_t{1} << 32) % n)) {}

  std::uint32_t One() const { return one_; }
  std::uint32_t MinusOne() const { return n_ - one_; }

  // The form of a whole number c < 2^32.
  std::uint32_t Of(std::uint32_t c) const {
    return static_cast<std::uint32_t>(std::uint64_t{one_} * c % n_);
  }

  // x * y: below 4n^2 < n * 2^32 before the reduction, so below 2n after it.
  std::uint32_t Multiply(std::uint32_t x, std::uint32_t y) const {
    const std::uint64_t product = std::uint64_t{x} * y;
    const std::uint32_t m = static_cast<std::uint32_t>(product) * minus_inverse_;
    return static_cast<std::uint32_t>((product + std::uint64_t{m} * n_) >> 32);
  }

  std::uint32_t Double(std::uint32_t x) const {
    const std::uint32_t twice = 2 * x;
    return twice >= 2 * n_ ? twice - 2 * n_ : twice;
  }

  // The value below n that x stands for, in the same form.
  std::uint32_t Reduced(std::uint32_t x) const { return x >= n_ ? x - n_ : x; }

 private:
  std::uint32_t n_;
  std::uint32_t minus_inverse_;
  std::uint32_t one_;
};

// Modulo an odd n < 2^64, R = 2^64. Every value is below n.
class Montgomery64 {
 public:
  explicit Montgomery64(std::uint64_t n)
      : n_(n), inverse_(InverseModuloTwoToThe64(n)), one_((0 - n) % n) {}

  std::uint64_t Modulus() const { return n_; }
  std::uint64_t One() const { return one_; }
  std::uint64_t MinusOne() const { return n_ - one_; }

  // The form of any whole number c < 2^64, c * R modulo n, by one division; and the number that
  // a form stands for. The form is not made from R^2 modulo n kept with the modulus: working that
  // out for every modulus would cost the many that never need it (the strong test to the base 2
  // makes its few forms by doubling), and keeping it for later would make a shared modulus
  // something that threads write to.
  std::uint64_t Of(std::uint64_t c) const {
    return static_cast<std::uint64_t>((Uint128{c} << 64) % n_);
  }
  std::uint64_t ValueOf(std::uint64_t x) const { return Reduce(x); }

  // x * y / R modulo n, for x * y < n * R (as when both are below n). The low halves of x * y and
  // of m * n agree, so the difference of the high halves is the reduction, plus n when it comes out
  // negative; nothing can overflow.
  std::uint64_t Multiply(std::uint64_t x, std::uint64_t y) const {
    const Uint128 product = Uint128{x} * y;
    const std::uint64_t m = static_cast<std::uint64_t>(product) * inverse_;
    const auto high = static_cast<std::uint64_t>(product >> 64);
    const auto subtracted = static_cast<std::uint64_t>((Uint128{m} * n_) >> 64);
    return high >= subtracted ? high - subtracted : high - subtracted + n_;
  }

  std::uint64_t Square(std::uint64_t x) const { return Multiply(x, x); }

  std::uint64_t Add(std::uint64_t x, std::uint64_t y) const {
    const std::uint64_t rest = n_ - y;
    return x >= rest ? x - rest : x + y;
  }

  std::uint64_t Subtract(std::uint64_t x, std::uint64_t y) const {
    return x >= y ? x - y : x - y + n_;
  }

  // x^e in the form, for any whole e.
  std::uint64_t Power(std::uint64_t x, std::uint64_t e) const {
    std::uint64_t result = one_;
    for (; e > 0; e >>= 1) {
      if (e & 1) {
        result = Multiply(result, x);
      }
      x = Square(x);
    }
    return result;
  }

 private:
  std::uint64_t Reduce(std::uint64_t x) const {
    const std::uint64_t m = x * inverse_;
    const auto subtracted = static_cast<std::uint64_t>((Uint128{m} * n_) >> 64);
    return subtracted == 0 ? 0 : n_ - subtracted;
  }

  std::uint64_t n_;
  std::uint64_t inverse_;  // 1 / n modulo 2^64
  std::uint64_t one_;      // R modulo n
};

}  // namespace brindaq
