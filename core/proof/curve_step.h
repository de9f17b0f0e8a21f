#pragma once

// One step of an elliptic-curve primality proof, checked: the theorem of S. Goldwasser and J.
// Kilian ("Almost all primes can be quickly certified", 1986) in the form of Atkin and Morain
// (1993, theorem 3.1): let N > 1 be prime to 6, E: y^2 = x^3 + a x + b with 4a^3 + 27b^2 prime to
// N, m = s q with q a prime > (N^(1/4) + 1)^2, and P a point of E modulo N with s P != O and
// q (s P) = O modulo every prime factor of N. Then N is prime.
//
// The multiples are made in Jacobian coordinates (X : Y : Z) = (X/Z^2, Y/Z^3) in Montgomery
// form, with the doubling and the mixed addition of the Explicit-Formulas Database (D. J.
// Bernstein and T. Lange: dbl-2007-bl, madd-2007-bl). Both make the new Z a multiple of the old
// one, and 0 modulo a prime p exactly where the sum is O there or the formula meets its exception
// (equal points): when the last Z is a unit modulo N, every step was sound modulo every p and the
// point is right there. So s P != O is shown by a last Z that is a unit, and q (s P) = O by
// (q - 1)(s P) = -(s P) with a last Z that is a unit; nothing rests on N being prime.

#include <optional>

#include "core/big/natural.h"

namespace brindaq {

// A point (x, y) modulo N, and the curve's a; b is y^2 - x^3 - a x.
struct CurvePoint {
  Natural a;
  Natural x;
  Natural y;
};

enum class StepCheck {
  kHolds,     // N is prime if q is
  kFails,     // s P = O, or q (s P) != O, or the curve is singular: nothing shown
  kComposite  // a common factor of N and a denominator was found
};

// Checks s P != O and q (s P) = O on the curve through `point` modulo an odd N > 3 prime to 3,
// for s >= 1 and q >= 3. The size of q is not checked here.
StepCheck CheckCurveStep(const Natural& n, const CurvePoint& point, const Natural& s,
                         const Natural& q);

// Whether q > (N^(1/4) + 1)^2, exactly.
bool ExceedsBound(const Natural& q, const Natural& n);

}  // namespace brindaq
