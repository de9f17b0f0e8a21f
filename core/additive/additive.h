#pragma once

// Additive problems and sequences: A as a sum of two squares or of two odd primes, the Collatz
// sequence of A and the first A Fibonacci numbers.

#include "core/frame/frame.h"

namespace brindaq {

// Every way of writing A as x^2 + y^2 with 1 <= x <= y, smallest x first.
inline constexpr OperandLimits kSumOfTwoSquaresLimits{10000000};
Outcome SumOfTwoSquares(const OperandTexts& texts);

// Every way of writing an even A as p + q with odd primes p <= q, smallest p first.
inline constexpr OperandLimits kGoldbachLimits{100000};
Outcome GoldbachDecomposition(const OperandTexts& texts);

// The values that follow A in its Collatz sequence, down to 1.
inline constexpr OperandLimits kCollatzLimits{100000000};
Outcome CollatzSequence(const OperandTexts& texts);

// The first A Fibonacci numbers 1, 1, 2, 3, 5, ...
inline constexpr OperandLimits kFibonacciLimits{73};
Outcome FibonacciNumbers(const OperandTexts& texts);

}  // namespace brindaq
