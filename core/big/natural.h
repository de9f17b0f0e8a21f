#pragma once

// Whole numbers of any size (the full range reads up to 10000 digits), as a value type around
// GMP's mpz_t: copied, moved and destroyed like an int. Every value is >= 0; a difference a - b
// is only asked for b <= a. GMP's functions that take an `unsigned long` see only 32 bits of it
// on Windows and in WebAssembly, so a 64-bit word reaches GMP through Set() below, never through
// an *_ui function unless it fits 32 bits.

#include <gmp.h>

#include <compare>
#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>

#include "core/arithmetic/wide.h"

namespace brindaq {

class Natural {
 public:
  Natural() { mpz_init(value_); }
  Natural(std::uint64_t n);  // NOLINT: a word is a Natural
  static Natural FromWide(Uint128 n);
  // The number that a text of decimal digits (nothing else, any length) stands for.
  static Natural FromDecimal(std::string_view digits);
  static Natural TenToThe(unsigned n);
  static Natural TwoToThe(unsigned n);

  Natural(const Natural& other) { mpz_init_set(value_, other.value_); }
  Natural(Natural&& other) noexcept {
    mpz_init(value_);  // allocates nothing
    mpz_swap(value_, other.value_);
  }
  Natural& operator=(const Natural& other) {
    mpz_set(value_, other.value_);
    return *this;
  }
  Natural& operator=(Natural&& other) noexcept {
    mpz_swap(value_, other.value_);
    return *this;
  }
  ~Natural() { mpz_clear(value_); }

  std::string ToDecimal() const;
  // Appends the digits to `text`, written in place.
  void AppendDecimal(std::string& text) const;

  bool FitsWord() const { return mpz_sizeinbase(value_, 2) <= 64; }
  // The value, for a number that fits a word.
  std::uint64_t Word() const;
  bool FitsTwoWords() const { return mpz_sizeinbase(value_, 2) <= 128; }
  // The value, for a number that fits two words.
  Uint128 TwoWords() const;
  // The number of bits (0 for 0), and of decimal digits (1 for 0).
  std::size_t Bits() const { return mpz_sgn(value_) == 0 ? 0 : mpz_sizeinbase(value_, 2); }
  std::size_t DecimalDigits() const;
  bool IsZero() const { return mpz_sgn(value_) == 0; }
  bool IsOdd() const { return mpz_odd_p(value_) != 0; }
  // The remainder modulo a nonzero m < 2^32.
  std::uint32_t Modulo(std::uint32_t m) const;

  mpz_srcptr get() const { return value_; }
  // For the layer's own code that works on the value with GMP directly.
  mpz_ptr raw() { return value_; }

  Natural& operator+=(const Natural& b);
  Natural& operator-=(const Natural& b);
  Natural& operator*=(const Natural& b);
  Natural& operator/=(const Natural& b);  // the quotient, rounded down
  Natural& operator%=(const Natural& b);
  Natural& operator<<=(unsigned bits);
  Natural& operator>>=(unsigned bits);

  friend bool operator==(const Natural& a, const Natural& b) {
    return mpz_cmp(a.value_, b.value_) == 0;
  }
  friend std::strong_ordering operator<=>(const Natural& a, const Natural& b) {
    return mpz_cmp(a.value_, b.value_) <=> 0;
  }
  friend bool operator==(const Natural& a, std::uint64_t b) { return Compare(a, b) == 0; }
  friend std::strong_ordering operator<=>(const Natural& a, std::uint64_t b) {
    return Compare(a, b) <=> 0;
  }

 private:
  static int Compare(const Natural& a, std::uint64_t b);

  mpz_t value_;
};

inline Natural operator+(Natural a, const Natural& b) {
  return a += b;
}
inline Natural operator-(Natural a, const Natural& b) {
  return a -= b;
}
inline Natural operator*(Natural a, const Natural& b) {
  return a *= b;
}
inline Natural operator/(Natural a, const Natural& b) {
  return a /= b;
}
inline Natural operator%(Natural a, const Natural& b) {
  return a %= b;
}
inline Natural operator<<(Natural a, unsigned bits) {
  return a <<= bits;
}
inline Natural operator>>(Natural a, unsigned bits) {
  return a >>= bits;
}

std::ostream& operator<<(std::ostream& out, const Natural& n);

// Sets an mpz_t to a 64-bit word on every target, whatever the width of `unsigned long`.
void Set(mpz_ptr z, std::uint64_t n);

// The largest r with r * r <= n, and the same for k-th roots; whether n is a square.
Natural SquareRootFloor(const Natural& n);
bool IsSquare(const Natural& n);
// The greatest common divisor (gcd(0, b) = b).
Natural Gcd(const Natural& a, const Natural& b);
// The first number at most `limit` in the sequence a, b, a mod b, ... of Euclid's algorithm on
// a >= b, which Cornacchia's algorithm wants.
Natural FirstRemainderAtMost(Natural a, Natural b, const Natural& limit);
// base^exponent modulo m >= 1.
Natural PowerModulo(const Natural& base, const Natural& exponent, const Natural& m);
// base^exponent, exactly.
Natural Power(const Natural& base, unsigned exponent);

}  // namespace brindaq
