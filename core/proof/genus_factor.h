#pragma once

// The factor of the Hilbert class polynomial H_D that belongs to one genus, for the roots that
// the elliptic-curve proof (ecpp.h) takes modulo N: of degree h / 2^(g - 1) instead of h, where D
// is the product of g prime discriminants f_1, ..., f_g. The classes of one genus are those on
// which the genus characters (f_i / m), m a number that a form represents, all agree; the
// product F_c of the x - j over the classes of the genus c has its coefficients in the genus
// field Q(sqrt f_1, ..., sqrt f_g), and the F_c are its conjugates, the sign of sqrt f_i taken as
// the character f_i on c (the genus theory of Gauss; Atkin and Morain, "Elliptic curves and
// primality proving", Math. Comp. 61 (1993), 7; F. Morain, "Implementing the asymptotically fast
// version of the elliptic curve primality proving algorithm", Math. Comp. 76 (2007), 3). Each
// coefficient is sum over subsets S of a_S sqrt(prod of f_i in S), and a sum of the F_c with
// the signs of a character gives the two a_S whose products of f_i make D together: the one
// real, the other imaginary. The a_S times 2^(g + 3) are whole numbers.
//
// A prime N that is a norm in the principal order of discriminant D splits completely in the
// genus field: with any square roots r_i of f_i modulo N, the sum of the a_S times the products
// of the r_i is a factor of H_D modulo N, which splits into linear factors as H_D does.

#include <cstdint>
#include <vector>

#include "core/big/natural.h"
#include "core/proof/class_polynomial.h"
#include "core/work.h"

namespace brindaq {

struct GenusFactor {
  std::vector<std::int32_t> prime_discriminants;  // f_1, ..., f_g as PrimeDiscriminants gives
  // For each subset S of the f_i (bit i for f_(i+1)), the coefficients a_S 2^(g + 3), the
  // constant first, up to the degree.
  std::vector<std::vector<SignedCoefficient>> parts;
};

// The genus factor of discriminant D < -4; nothing when stopped (or its classes fall into
// genera of unequal sizes, which would be a fault). Kept once made.
const GenusFactor* GenusClassFactor(std::int32_t d, Work& work);

// The factor modulo the prime n, given a square root modulo n of each prime discriminant: its
// coefficients, the constant first, the leading 1 last.
std::vector<Natural> GenusFactorModulo(const GenusFactor& factor, const std::vector<Natural>& roots,
                                       const Natural& n);

}  // namespace brindaq
