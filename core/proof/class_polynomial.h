#pragma once

// Hilbert class polynomials H_D(x), whose roots are the j-invariants of the elliptic curves with
// complex multiplication by the order of discriminant D < 0, for the elliptic-curve primality
// proof (ecpp.h). Made at run time from the reduced forms (a, b, c) of discriminant D, one for
// each class (H. Cohen, "A Course in Computational Algebraic Number Theory", 5.3 and 7.6): j(tau)
// at tau = (-b + sqrt(D)) / 2a from the q-series of Dedekind's eta, j = (256 f + 1)^3 / f with
// f = Delta(2 tau) / Delta(tau) (A. O. L. Atkin and F. Morain, "Elliptic curves and primality
// proving", Math. Comp. 61, 1993, 6.2), in floating point of GMP's mpf_t; then the product of the
// x - j(tau) rounded to integers. The precision is the size of the largest coefficient, about
// pi sqrt|D| (sum of 1/a) / ln 2 bits, with a margin; a rounding that is not clear is made again
// at twice the precision.

#include <algorithm>
#include <compare>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/tuning.h"

#include "core/big/natural.h"
#include "core/proof/complex_float.h"
#include "core/work.h"

namespace brindaq {

// A reduced form a x^2 + b xy + c y^2 of discriminant b^2 - 4ac < 0: |b| <= a <= c, and b >= 0
// when |b| = a or a = c.
struct ReducedForm {
  std::int64_t a;
  std::int64_t b;
  std::int64_t c;
};

// A fundamental discriminant D < 0, its class number, and the prime discriminants whose product
// it is (-4, 8, -8 and p* = (-1)^((p-1)/2) p for the odd primes p dividing D). N > 2 is a norm of
// the order only if (f / N) = 1 for each of them (genus theory: Cohen, 5.6), and then sqrt(D) is
// the product of their square roots modulo N.
struct Discriminant {
  std::int32_t d;
  int class_number;
  int degree;  // of a genus's factor of H_D: class_number / 2^(g - 1), g prime discriminants
  std::vector<std::int32_t> prime_discriminants;
};

// A list of discriminants: |D| up to `bound` and class numbers up to `largest_class`, and those of
// class numbers up to `cheap_largest_class` whose genus factors are of degree `cheap_degree` or
// less, for their roots cost little more than those of the small classes.
struct DiscriminantList {
  std::int32_t bound = 0;
  int largest_class = 0;
  int cheap_largest_class = 0;
  int cheap_degree = tuning::kProofCheapDegree;
  std::int32_t cheap_bound = 0;  // |D| up to this for the cheap classes, when above `bound`

  std::int32_t Largest() const { return std::max(bound, cheap_bound); }
  bool Admits(std::int32_t d, int h, int degree) const {
    return (-d <= bound && h <= largest_class) ||
           (-d <= Largest() && h <= cheap_largest_class && degree <= cheap_degree);
  }
  auto operator<=>(const DiscriminantList&) const = default;
};

// The fundamental discriminants D < 0 that `list` admits, by the degree of their genus factors
// (an N in the principal genus is a norm of a principal ideal for one D in h / 2^(g - 1), and
// that is the degree of the polynomial whose root the curve takes: genus_factor.h), then by their
// largest prime discriminant. Made once for each list.
const std::vector<Discriminant>& DiscriminantsByClassNumber(const DiscriminantList& list);

// The prime discriminants whose product is the fundamental discriminant d < 0, odd ones by size,
// then -4, 8 or -8.
std::vector<std::int32_t> PrimeDiscriminants(std::int64_t d);

// j((-b + sqrt(D)) / 2a) at `bits` bits, given pi and sqrt|D| at that precision.
Complex ModularJ(const ReducedForm& form, mpf_srcptr pi, mpf_srcptr root, std::size_t bits);

// The reduced forms of discriminant D < 0, one for each class.
std::vector<ReducedForm> ReducedForms(std::int32_t d);

// H_D: its integer coefficients, the constant term first, the leading 1 last. Kept once made.
struct SignedCoefficient {
  Natural magnitude;
  bool negative = false;
};
const std::vector<SignedCoefficient>* HilbertClassPolynomial(std::int32_t d, Work& work);

// `out` set to x rounded to the nearest whole number; false when x is more than 1/4 away from it,
// for then the precision did not suffice.
bool RoundToCoefficient(mpf_srcptr x, SignedCoefficient& out);

}  // namespace brindaq
