#pragma once

// Complex numbers on GMP's floating point (mpf_t) at a precision chosen per use, for the values of
// the modular function j that make the class polynomials (class_polynomial.cpp): the four
// operations, the exponential by its Taylor series after halving the argument (and squaring the
// sum back), and pi by Machin's formula pi = 16 arctan(1/5) - 4 arctan(1/239). GMP's mpf has no
// transcendental functions of its own.

#include <gmp.h>

#include <cstddef>
#include <vector>

namespace brindaq {

class Complex {
 public:
  explicit Complex(std::size_t bits) {
    mpf_init2(re_, bits);
    mpf_init2(im_, bits);
  }
  Complex(const Complex& other) : Complex(mpf_get_prec(other.re_)) {
    mpf_set(re_, other.re_);
    mpf_set(im_, other.im_);
  }
  Complex& operator=(const Complex& other) {
    mpf_set(re_, other.re_);
    mpf_set(im_, other.im_);
    return *this;
  }
  ~Complex() {
    mpf_clear(re_);
    mpf_clear(im_);
  }

  mpf_ptr re() { return re_; }
  mpf_ptr im() { return im_; }
  mpf_srcptr re() const { return re_; }
  mpf_srcptr im() const { return im_; }
  std::size_t Bits() const { return mpf_get_prec(re_); }

  Complex& operator+=(const Complex& b) {
    mpf_add(re_, re_, b.re_);
    mpf_add(im_, im_, b.im_);
    return *this;
  }
  Complex& operator-=(const Complex& b) {
    mpf_sub(re_, re_, b.re_);
    mpf_sub(im_, im_, b.im_);
    return *this;
  }
  Complex& operator*=(const Complex& b);
  Complex& operator/=(const Complex& b);
  void MultiplyByWord(unsigned long k) {
    mpf_mul_ui(re_, re_, k);
    mpf_mul_ui(im_, im_, k);
  }

 private:
  mpf_t re_;
  mpf_t im_;
};

// pi at `bits` bits, into `out` (of that precision).
void Pi(mpf_ptr out, std::size_t bits);

// e^z, at the precision of z.
Complex Exp(const Complex& z);

// The polynomial `product` (its coefficients, constant first) times (x - root).
void MultiplyByLinear(std::vector<Complex>& product, const Complex& root);

}  // namespace brindaq
