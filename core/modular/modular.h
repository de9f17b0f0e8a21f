#pragma once

// Modular arithmetic: power by squaring and multiplying, linear and quadratic congruence by trying
// every candidate, inverse by the extended Euclidean algorithm.

#include "core/frame/frame.h"

namespace brindaq {

// A to the power B modulo C.
Outcome ModularPower(const OperandTexts& texts);

// The smallest X with A*X = B (mod C).
Outcome LinearCongruence(const OperandTexts& texts);

// Every X with A*X^2 = B (mod C), smallest first.
Outcome QuadraticCongruence(const OperandTexts& texts);

// The inverse of A modulo B.
Outcome ModularInverse(const OperandTexts& texts);

}  // namespace brindaq
