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
                                                 {kLargestWhole, kLargestWhole, kLargestWhole}};
Outcome ModularPower(const OperandTexts& texts);

// The smallest X with A*X = B (mod C).
inline constexpr OperandLimits kLinearCongruenceLimits{1000, 1000, 10000};
inline constexpr OperandRules kLinearCongruenceRules{kLinearCongruenceLimits,
                                                     {kLargestWhole, kLargestWhole, kLargestWhole}};
Outcome LinearCongruence(const OperandTexts& texts);

// Every X with A*X^2 = B (mod C), smallest first. In the full range C bounds the lines: every
// candidate 1 to C may solve it.
inline constexpr OperandLimits kQuadraticCongruenceLimits{1000, 1000, 10000};
inline constexpr OperandRules kQuadraticCongruenceRules{kQuadraticCongruenceLimits,
                                                        {kLargestWhole, kLargestWhole, 100000}};
Outcome QuadraticCongruence(const OperandTexts& texts);

// The inverse of A modulo B.
inline constexpr OperandLimits kModularInverseLimits{10000, 100000};
inline constexpr OperandRules kModularInverseRules{kModularInverseLimits,
                                                   {kLargestWhole, kLargestWhole}};
Outcome ModularInverse(const OperandTexts& texts);

// The same operations in the range that the caller chooses.
namespace ranged {
Outcome ModularPower(const OperandTexts& texts, Range range);
Outcome LinearCongruence(const OperandTexts& texts, Range range);
Outcome QuadraticCongruence(const OperandTexts& texts, Range range);
Outcome ModularInverse(const OperandTexts& texts, Range range);
}  // namespace ranged

// The lines of each operation, from operands that have passed its checks: whether the answer is
// whole, or was stopped before its end.
namespace lines_of {
bool ModularPower(const Operands& operands, Range range, LineSink& lines, Work& work);
bool LinearCongruence(const Operands& operands, Range range, LineSink& lines, Work& work);
bool QuadraticCongruence(const Operands& operands, Range range, LineSink& lines, Work& work);
bool ModularInverse(const Operands& operands, Range range, LineSink& lines, Work& work);
}  // namespace lines_of

}  // namespace brindaq
