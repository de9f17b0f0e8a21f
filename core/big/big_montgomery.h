#pragma once

// Arithmetic modulo one odd number of any size in Montgomery form (P. L. Montgomery, "Modular
// multiplication without trial division", Math. Comp. 44, 1985): x stands for x * R mod n with
// R = 2^(limb bits * limbs of n), so that a product is reduced by multiplications and shifts, never
// a division. Built on GMP's public mpn functions: the product by mpn_mul_n or mpn_sqr, the
// reduction row by row for small moduli (as in GMP's own redc_1, reduction_rows.h), and for large
// ones by two whole products, q = T * (-1/n) mod R and (T + q * n) / R. The probable-prime tests,
// rho and the elliptic curves all raise powers or step points this way, thousands of times over
// one modulus, where mpz_mul and mpz_mod would divide each time.
//
// A form keeps scratch space for its products: one form serves one thread.

#include <gmp.h>

#include <cstddef>
#include <vector>

#include "core/big/natural.h"

namespace brindaq {

// A residue in the form: exactly as many limbs as the modulus, its value below the modulus.
using Residue = std::vector<mp_limb_t>;

class BigMontgomery {
 public:
  // For an odd n > 1.
  explicit BigMontgomery(const Natural& n);

  const Natural& Modulus() const { return n_; }
  std::size_t Limbs() const { return size_; }

  Residue Zero() const { return Residue(size_, 0); }
  const Residue& One() const { return one_; }
  // The form of any whole x, and the whole number below n that a form stands for.
  Residue Of(const Natural& x) const;
  Natural ValueOf(const Residue& x) const;
  // The residue's limbs as a number (x * R mod n itself), e.g. for a gcd with n: the form keeps
  // every common factor of x and n.
  Natural RawValue(const Residue& x) const;

  // out = x * y / R, out = x^2 / R; out may be x or y.
  void Multiply(Residue& out, const Residue& x, const Residue& y) const;
  void Square(Residue& out, const Residue& x) const;
  // out = x * c (no division by R: the form is kept); out may be x.
  void MultiplyBy(Residue& out, const Residue& x, mp_limb_t c) const;
  // The form of base^exponent for a base of one limb: a square at each bit and, where the bit is
  // 1, a product by the base of one limb, some 10 % quicker than mpz_powm at 3000 bits.
  Residue PowerOf(mp_limb_t base, const Natural& exponent) const;
  void Add(Residue& out, const Residue& x, const Residue& y) const;
  void Subtract(Residue& out, const Residue& x, const Residue& y) const;
  bool IsZero(const Residue& x) const;

 private:
  // out = t / R modulo n, for t < n * R in the first 2 * size_ limbs of product_.
  void Reduce(mp_limb_t* out) const;

  Natural n_;
  std::size_t size_;
  std::vector<mp_limb_t> limbs_;             // n's limbs
  mp_limb_t minus_inverse_;                  // -1/n modulo the limb base
  std::vector<mp_limb_t> minus_inverse_r_;   // -1/n modulo R, for large moduli
  Residue one_;                              // R mod n
  Residue r_squared_;                        // R^2 mod n, in plain limbs
  mutable std::vector<mp_limb_t> product_;   // 2 * size_ + 1 limbs
  bool whole_products_;                      // reduced by two whole products, not row by row
  mutable std::vector<mp_limb_t> quotient_;  // for large moduli: q and q * n
};

}  // namespace brindaq
