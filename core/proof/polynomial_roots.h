#pragma once

// A root modulo a prime N of a polynomial that splits into distinct linear factors there, as a
// Hilbert class polynomial does modulo a prime that is a norm in its order (Atkin and Morain,
// 1993, 8.2). Cantor and Zassenhaus's equal-degree splitting (H. Cohen, "A Course in Computational
// Algebraic Number Theory", 3.4.4): gcd(f, (x + r)^((N - 1)/2) - 1) holds about half the roots
// for a random r; the smaller side is split again down to degree 1. The powers are raised modulo
// f with products by Kronecker's substitution (the coefficients side by side in one GMP number,
// one multiplication of those), reduced by f's leading terms. A quadratic is solved by its
// formula, with one square root.

#include <optional>
#include <vector>

#include "core/big/natural.h"
#include "core/work.h"

namespace brindaq {

// A root of f (coefficients modulo n, the constant first, degree >= 1, f monic) modulo n. Nothing
// when the work was stopped, or when no split was found (n is then no prime, or f does not split).
std::optional<Natural> RootModulo(const std::vector<Natural>& f, const Natural& n, Work& work);

}  // namespace brindaq
