#pragma once

// Operations on the divisors of A alone: its prime factors, a primality test, and the number and
// sum of its divisors other than A itself.

#include "core/frame/frame.h"

namespace brindaq {

// The prime factors of A, with repetition, smallest first; or one line that calls A prime.
Outcome PrimeFactors(const OperandTexts& texts);

// The verdict on A and, for a composite A, its smallest prime factor.
Outcome PrimalityTest(const OperandTexts& texts);

// The number and the sum of the divisors of A other than A itself, as two lines.
Outcome DivisorCountAndSum(const OperandTexts& texts);

}  // namespace brindaq
