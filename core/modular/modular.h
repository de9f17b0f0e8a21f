#pragma once

// Modular arithmetic by iteration: power, linear and quadratic congruence, inverse.

#include "core/frame/frame.h"

namespace brindaq {

// A to the power B modulo C, by exactly B multiplications.
Outcome ModularPower(const OperandTexts& texts);

// The smallest X with A*X = B (mod C).
Outcome LinearCongruence(const OperandTexts& texts);

// Every X with A*X^2 = B (mod C), smallest first.
Outcome QuadraticCongruence(const OperandTexts& texts);

// The inverse of A modulo B.
Outcome ModularInverse(const OperandTexts& texts);

}  // namespace brindaq
