#pragma once

// Arithmetic modulo an odd number of up to two words (below 2^128) in Montgomery form, R = 2^128,
// every value below n: the numbers from 2^64 to 2^128 are split and tested here without GMP,
// whose calls, allocations and loops over limbs cost more than the few word products that a
// two-word product needs. The interface is Montgomery64's, so that the methods written over it
// (the elliptic curves, rho, the probable-prime tests) serve both widths.

#include <cstdint>

#include "core/arithmetic/wide.h"

namespace brindaq {

// The 256-bit product of two 128-bit numbers, as its high and low halves.
struct Product256 {
  Uint128 high;
  Uint128 low;
};

inline Product256 MultiplyWide(Uint128 a, Uint128 b) {
  const auto a0 = static_cast<std::uint64_t>(a);
  const auto a1 = static_cast<std::uint64_t>(a >> 64);
  const auto b0 = static_cast<std::uint64_t>(b);
  const auto b1 = static_cast<std::uint64_t>(b >> 64);
  const Uint128 low = Uint128{a0} * b0;
  const Uint128 cross1 = Uint128{a0} * b1;
  const Uint128 cross2 = Uint128{a1} * b0;
  const Uint128 high = Uint128{a1} * b1;
  // The middle column: below 3 * 2^64, so it fits.
  const Uint128 middle =
      (low >> 64) + static_cast<std::uint64_t>(cross1) + static_cast<std::uint64_t>(cross2);
  return {high + (cross1 >> 64) + (cross2 >> 64) + (middle >> 64),
          (middle << 64) | static_cast<std::uint64_t>(low)};
}

class Montgomery128 {
 public:
  // For an odd n >= 3. R^2 modulo n, which turns a number into its form by one product, is made
  // here once, as the form of 2^128: 2R doubled, then squared seven times in the form, (2^k)R
  // squared being (2^2k)R. The modulus is then only read, and may be shared between threads.
  explicit Montgomery128(Uint128 n)
      : n_(n),
        inverse_(Inverse(n)),
        one_((0 - n) % n),
        low_(static_cast<std::uint64_t>(n)),
        high_(static_cast<std::uint64_t>(n >> 64)),
        minus_inverse_(0 - static_cast<std::uint64_t>(inverse_)),
        narrow_((n >> 127) == 0) {
    r_squared_ = Add(one_, one_);
    for (int i = 0; i < 7; ++i) {
      r_squared_ = Square(r_squared_);
    }
  }

  Uint128 Modulus() const { return n_; }
  Uint128 One() const { return one_; }
  Uint128 MinusOne() const { return n_ - one_; }

  // The form of any whole number c, and the number that a form stands for.
  Uint128 Of(Uint128 c) const { return Multiply(c % n_, r_squared_); }
  Uint128 ValueOf(Uint128 x) const { return Multiply(x, 1); }

  // x * y / R modulo n, for x, y < n.
  Uint128 Multiply(Uint128 x, Uint128 y) const {
    if (narrow_) {
      const auto x0 = static_cast<std::uint64_t>(x);
      const auto x1 = static_cast<std::uint64_t>(x >> 64);
      const auto y0 = static_cast<std::uint64_t>(y);
      const auto y1 = static_cast<std::uint64_t>(y >> 64);
      return ReduceNarrow(Uint128{x0} * y0, Uint128{x0} * y1, Uint128{x1} * y0, Uint128{x1} * y1);
    }
    return MultiplyAnyWidth(x, y);
  }

  // x * x / R modulo n, for x < n: the two cross products are one.
  Uint128 Square(Uint128 x) const {
    if (narrow_) {
      const auto x0 = static_cast<std::uint64_t>(x);
      const auto x1 = static_cast<std::uint64_t>(x >> 64);
      const Uint128 cross = Uint128{x0} * x1;
      return ReduceNarrow(Uint128{x0} * x0, cross, cross, Uint128{x1} * x1);
    }
    return MultiplyAnyWidth(x, x);
  }

  Uint128 Add(Uint128 x, Uint128 y) const {
    const Uint128 rest = n_ - y;
    return x >= rest ? x - rest : x + y;
  }

  Uint128 Subtract(Uint128 x, Uint128 y) const { return x >= y ? x - y : x - y + n_; }

  // x^e in the form.
  Uint128 Power(Uint128 x, Uint128 e) const {
    Uint128 result = one_;
    for (; e > 0; e >>= 1) {
      if ((e & 1) != 0) {
        result = Multiply(result, x);
      }
      x = Square(x);
    }
    return result;
  }

 private:
  // x * y / R modulo n for any n below 2^128, on whole halves: the low halves of x * y and of
  // m * n agree, so the difference of the high halves is the reduction, plus n when it comes out
  // negative.
  Uint128 MultiplyAnyWidth(Uint128 x, Uint128 y) const {
    const Product256 product = MultiplyWide(x, y);
    const Uint128 m = product.low * inverse_;
    const Uint128 subtracted = MultiplyWide(m, n_).high;
    return product.high >= subtracted ? product.high - subtracted : product.high - subtracted + n_;
  }

  // x * y / R modulo n < 2^127 from the four word products x0 y0, x0 y1, x1 y0 and x1 y1, reduced
  // a word at a time (Montgomery's reduction by words, as in Koc, Acar and Kaliski's "Analyzing
  // and comparing Montgomery multiplication algorithms", in operand-scanning form): the first
  // word of x times y plus m0 n, with m0 chosen to clear its lowest word, is divided by 2^64; it
  // is below y + n < 2n < 2^128, so that it holds in two words with no carry past them. The second
  // word of x does the same, and the result, below 2n, needs at most one subtraction of n. Two
  // word products with -1 / n modulo 2^64 replace the product of two words with the inverse
  // modulo 2^128, and the low half of m * n is never formed.
  Uint128 ReduceNarrow(Uint128 p00, Uint128 p01, Uint128 p10, Uint128 p11) const {
    // (x0 y + m0 n) / 2^64.
    const auto m0 = static_cast<std::uint64_t>(p00) * minus_inverse_;
    const Uint128 low0 = Uint128{m0} * low_ + static_cast<std::uint64_t>(p00);  // low word 0
    const Uint128 middle0 = p01 + (p00 >> 64);
    const Uint128 high0 = Uint128{m0} * high_ + (low0 >> 64) + static_cast<std::uint64_t>(middle0);
    const Uint128 first = high0 + ((middle0 >> 64) << 64);
    // (x1 y + first + m1 n) / 2^64.
    const Uint128 low1 = p10 + static_cast<std::uint64_t>(first);
    const auto m1 = static_cast<std::uint64_t>(low1) * minus_inverse_;
    const Uint128 cleared = Uint128{m1} * low_ + static_cast<std::uint64_t>(low1);  // low word 0
    const Uint128 middle1 = p11 + (low1 >> 64) + (first >> 64);
    const Uint128 high1 =
        Uint128{m1} * high_ + (cleared >> 64) + static_cast<std::uint64_t>(middle1);
    const Uint128 result = high1 + ((middle1 >> 64) << 64);
    return result >= n_ ? result - n_ : result;
  }

  // 1 / n modulo 2^128 by Newton's iteration, which doubles the correct low bits at each step.
  static Uint128 Inverse(Uint128 n) {
    Uint128 inverse = n;  // right to 3 bits: n * n = 1 (mod 8)
    for (int i = 0; i < 6; ++i) {
      inverse *= 2 - n * inverse;
    }
    return inverse;
  }

  Uint128 n_;
  Uint128 inverse_;    // 1 / n modulo 2^128
  Uint128 one_;        // R modulo n
  std::uint64_t low_;  // the words of n
  std::uint64_t high_;
  std::uint64_t minus_inverse_;  // -1 / n modulo 2^64
  bool narrow_;                  // n < 2^127
  Uint128 r_squared_ = 0;
};

}  // namespace brindaq
