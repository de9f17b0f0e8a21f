#pragma once

// Additive problems and sequences: A as a sum of two squares or of two odd primes, the Collatz
// sequence of A and the first A Fibonacci numbers.

#include "core/frame/frame.h"
#include "core/frame/lines.h"
#include "core/frame/operands.h"
#include "core/work.h"

namespace brindaq {

// Every way of writing A as x^2 + y^2 with 1 <= x <= y, smallest x first.
inline constexpr OperandLimits kSumOfTwoSquaresLimits{10000000};
inline constexpr OperandRules kSumOfTwoSquaresRules{kSumOfTwoSquaresLimits, {kAnySize}};
Outcome SumOfTwoSquares(const OperandTexts& texts);

// Every way of writing an even A as p + q with odd primes p <= q, smallest p first. A is
// refused as odd before its standard check. In the full range, A stops where the lines do:
// 9699690 has 124180 of them.
inline constexpr OperandLimits kGoldbachLimits{100000};
inline constexpr OperandRules kGoldbachRules{kGoldbachLimits, {UpTo(10000000)}, 0, true};
Outcome GoldbachDecomposition(const OperandTexts& texts);

// The values that follow A in its Collatz sequence, down to 1. In the full range A has at most
// 1000 digits, which bounds the lines: the walk from such an A takes some 16000 steps.
inline constexpr OperandLimits kCollatzLimits{100000000};
inline constexpr OperandRules kCollatzRules{kCollatzLimits, {DigitsUpTo(1000)}};
Outcome CollatzSequence(const OperandTexts& texts);

// The first A Fibonacci numbers 1, 1, 2, 3, 5, ... In the full range A stops at 10000, whose
// numbers hold some ten million digits in all.
inline constexpr OperandLimits kFibonacciLimits{73};
inline constexpr OperandRules kFibonacciRules{kFibonacciLimits, {UpTo(10000)}};
Outcome FibonacciNumbers(const OperandTexts& texts);

// The same operations in the range that the caller chooses.
namespace ranged {
Outcome SumOfTwoSquares(const OperandTexts& texts, Range range);
Outcome GoldbachDecomposition(const OperandTexts& texts, Range range);
Outcome CollatzSequence(const OperandTexts& texts, Range range);
Outcome FibonacciNumbers(const OperandTexts& texts, Range range);
}  // namespace ranged

// The lines of each operation, from operands that have passed its checks, and how it ended.
namespace lines_of {
Ending SumOfTwoSquares(const Operands& operands, Range range, LineSink& lines, Work& work);
Ending GoldbachDecomposition(const Operands& operands, Range range, LineSink& lines, Work& work);
Ending CollatzSequence(const Operands& operands, Range range, LineSink& lines, Work& work);
Ending FibonacciNumbers(const Operands& operands, Range range, LineSink& lines, Work& work);
}  // namespace lines_of

}  // namespace brindaq
