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
inline constexpr OperandRules kSumOfTwoSquaresRules{kSumOfTwoSquaresLimits, {kLargestWhole}};
Outcome SumOfTwoSquares(const OperandTexts& texts);

// Every way of writing an even A as p + q with odd primes p <= q, smallest p first. A is
// refused as odd before its standard check. In the full range, A stops where the lines do:
// 9699690 has 124180 of them.
inline constexpr OperandLimits kGoldbachLimits{100000};
inline constexpr OperandRules kGoldbachRules{kGoldbachLimits, {10000000}, 0, true};
Outcome GoldbachDecomposition(const OperandTexts& texts);

// The values that follow A in its Collatz sequence, down to 1. In the full range every walk from
// an A up to 10^18 stays below 2^128.
inline constexpr OperandLimits kCollatzLimits{100000000};
inline constexpr OperandRules kCollatzRules{kCollatzLimits, {1000000000000000000U}};
Outcome CollatzSequence(const OperandTexts& texts);

// The first A Fibonacci numbers 1, 1, 2, 3, 5, ... In the full range the 93rd,
// 12200160415121876738, is the last below 2^64.
inline constexpr OperandLimits kFibonacciLimits{73};
inline constexpr OperandRules kFibonacciRules{kFibonacciLimits, {93}};
Outcome FibonacciNumbers(const OperandTexts& texts);

// The same operations in the range that the caller chooses.
namespace ranged {
Outcome SumOfTwoSquares(const OperandTexts& texts, Range range);
Outcome GoldbachDecomposition(const OperandTexts& texts, Range range);
Outcome CollatzSequence(const OperandTexts& texts, Range range);
Outcome FibonacciNumbers(const OperandTexts& texts, Range range);
}  // namespace ranged

// The lines of each operation, from operands that have passed its checks: whether the answer is
// whole, or was stopped before its end.
namespace lines_of {
bool SumOfTwoSquares(const Operands& operands, Range range, LineSink& lines, Work& work);
bool GoldbachDecomposition(const Operands& operands, Range range, LineSink& lines, Work& work);
bool CollatzSequence(const Operands& operands, Range range, LineSink& lines, Work& work);
bool FibonacciNumbers(const Operands& operands, Range range, LineSink& lines, Work& work);
}  // namespace lines_of

}  // namespace brindaq
