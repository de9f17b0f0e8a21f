#pragma once

// Operations on the divisors of A alone: its prime factors, a primality test, and the number and
// sum of its divisors other than A itself.

#include "core/frame/frame.h"
#include "core/frame/lines.h"
#include "core/frame/operands.h"
#include "core/work.h"

namespace brindaq {

// The prime factors of A, with repetition, smallest first; or one line that calls A prime.
inline constexpr OperandLimits kPrimeFactorsLimits{10000000};
inline constexpr OperandRules kPrimeFactorsRules{kPrimeFactorsLimits, {kAnySize}};
Outcome PrimeFactors(const OperandTexts& texts);

// The verdict on A and, for a composite A, its smallest prime factor.
inline constexpr OperandLimits kPrimalityTestLimits{100000000};
inline constexpr OperandRules kPrimalityTestRules{kPrimalityTestLimits, {kAnySize}};
Outcome PrimalityTest(const OperandTexts& texts);

// The number and the sum of the divisors of A other than A itself, as two lines.
inline constexpr OperandLimits kDivisorCountAndSumLimits{1000000};
inline constexpr OperandRules kDivisorCountAndSumRules{kDivisorCountAndSumLimits, {kAnySize}};
Outcome DivisorCountAndSum(const OperandTexts& texts);

// The same operations in the range that the caller chooses.
namespace ranged {
Outcome PrimeFactors(const OperandTexts& texts, Range range);
Outcome PrimalityTest(const OperandTexts& texts, Range range);
Outcome DivisorCountAndSum(const OperandTexts& texts, Range range);
}  // namespace ranged

// The lines of each operation, from operands that have passed its checks, and how it ended.
namespace lines_of {
Ending PrimeFactors(const Operands& operands, Range range, LineSink& lines, Work& work);
Ending PrimalityTest(const Operands& operands, Range range, LineSink& lines, Work& work);
Ending DivisorCountAndSum(const Operands& operands, Range range, LineSink& lines, Work& work);
}  // namespace lines_of

}  // namespace brindaq
