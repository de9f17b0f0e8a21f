#pragma once

// Modular arithmetic: power by squaring and multiplying, the linear congruence and the inverse by
// the extended Euclidean algorithm, the quadratic congruence by trying every candidate.

#include "core/frame/frame.h"

namespace brindaq {

// A to the power B modulo C.
inline constexpr OperandLimits kModularPowerLimits{10000, 10000, 100000};
Outcome ModularPower(const OperandTexts& texts);

// The smallest X with A*X = B (mod C).
inline constexpr OperandLimits kLinearCongruenceLimits{1000, 1000, 10000};
Outcome LinearCongruence(const OperandTexts& texts);

// Every X with A*X^2 = B (mod C), smallest first.
inline constexpr OperandLimits kQuadraticCongruenceLimits{1000, 1000, 10000};
Outcome QuadraticCongruence(const OperandTexts& texts);

// The inverse of A modulo B.
inline constexpr OperandLimits kModularInverseLimits{10000, 100000};
Outcome ModularInverse(const OperandTexts& texts);

}  // namespace brindaq
