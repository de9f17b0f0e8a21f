#pragma once

// Modular arithmetic: power by squaring and multiplying, the linear congruence and the inverse by
// the extended Euclidean algorithm, the quadratic congruence by trying every candidate.

#include "core/frame/frame.h"
#include "core/frame/lines.h"
#include "core/frame/operands.h"
#include "core/work.h"

namespace brindaq {

// A to the power B modulo C.
inline constexpr OperandLimits kModularPowerLimits{10000, 10000, 100000};
inline constexpr OperandRules kModularPowerRules{kModularPowerLimits,
                                                 {kAnySize, kAnySize, kAnySize}};
Outcome ModularPower(const OperandTexts& texts);

// The smallest X with A*X = B (mod C).
inline constexpr OperandLimits kLinearCongruenceLimits{1000, 1000, 10000};
inline constexpr OperandRules kLinearCongruenceRules{kLinearCongruenceLimits,
                                                     {kAnySize, kAnySize, kAnySize}};
Outcome LinearCongruence(const OperandTexts& texts);

// Every X from 1 to C with A*X^2 = B (mod C), smallest first; more than kMostSolutions of them
// are refused before any line is written.
inline constexpr OperandLimits kQuadraticCongruenceLimits{1000, 1000, 10000};
inline constexpr OperandRules kQuadraticCongruenceRules{kQuadraticCongruenceLimits,
                                                        {kAnySize, kAnySize, kAnySize}};
Outcome QuadraticCongruence(const OperandTexts& texts);

// The inverse of A modulo B.
inline constexpr OperandLimits kModularInverseLimits{10000, 100000};
inline constexpr OperandRules kModularInverseRules{kModularInverseLimits, {kAnySize, kAnySize}};
Outcome ModularInverse(const OperandTexts& texts);

// The same operations in the range that the caller chooses.
namespace ranged {
Outcome ModularPower(const OperandTexts& texts, Range range);
Outcome LinearCongruence(const OperandTexts& texts, Range range);
Outcome QuadraticCongruence(const OperandTexts& texts, Range range);
Outcome ModularInverse(const OperandTexts& texts, Range range);
}  // namespace ranged

// The lines of each operation, from operands that have passed its checks, and how it ended.
namespace lines_of {
Ending ModularPower(const Operands& operands, Range range, LineSink& lines, Work& work);
Ending LinearCongruence(const Operands& operands, Range range, LineSink& lines, Work& work);
Ending QuadraticCongruence(const Operands& operands, Range range, LineSink& lines, Work& work);
Ending ModularInverse(const Operands& operands, Range range, LineSink& lines, Work& work);
}  // namespace lines_of

}  // namespace brindaq
