#pragma once

// Every operation of the calculator, and the table that binds each one to its button.

#include <array>
#include <string_view>

#include "core/additive/additive.h"
#include "core/divisors/divisors.h"
#include "core/frame/frame.h"
#include "core/modular/modular.h"
#include "core/primes/primes.h"

namespace brindaq {

// The font of a button caption, in points.
struct CaptionFont {
  double points;
  bool bold;
};

// The window's default font, and the larger one of two captions.
inline constexpr CaptionFont kDefaultCaptionFont{8.0, false};
inline constexpr CaptionFont kLargeCaptionFont{12.0, false};

using Operation = Outcome (*)(const OperandTexts&);

// One operation button: its control name, its caption, the caption's font and the operation
// that a click runs.
struct OperationButton {
  std::string_view name;
  std::string_view caption;
  CaptionFont font;
  Operation run;
};

// The fifteen operation buttons, in the window's tab order.
inline constexpr std::array<OperationButton, 15> kOperationButtons{{
    {"Command3", "PRIME NUMBERS BETWEEN A AND B", kDefaultCaptionFont, &PrimesBetween},
    {"Command4", "TWIN PRIMES BETWEEN A AND B", kDefaultCaptionFont, &TwinPrimesBetween},
    {"Command5", "NUMBER OF PRIMES BETWEEN A AND B", kDefaultCaptionFont, &PrimeCountBetween},
    {"Command6", "NEXTPRIME(A)", kDefaultCaptionFont, &NextPrime},
    {"Command7", "A = x^2 + y^2", kLargeCaptionFont, &SumOfTwoSquares},
    {"Command8", "GOLDBACH (A)", kDefaultCaptionFont, &GoldbachDecomposition},
    {"Command9", "COLLATZ (A)", kDefaultCaptionFont, &CollatzSequence},
    {"Command10", "PRIME FACTORS OF A", kDefaultCaptionFont, &PrimeFactors},
    {"Command11", "TEST IF A IS A PRIME NUMBER", kDefaultCaptionFont, &PrimalityTest},
    {"Command12", "A^B MOD. C", kLargeCaptionFont, &ModularPower},
    {"Command13", "THE FIRST A FIBONACCI NUMBERS", kDefaultCaptionFont, &FibonacciNumbers},
    {"Command14", "AX CONG: B MOD C", kDefaultCaptionFont, &LinearCongruence},
    {"Command15", "AX^2 CONG: B MOD C", kDefaultCaptionFont, &QuadraticCongruence},
    {"Command16", "INVERSE OF A MOD. B", kDefaultCaptionFont, &ModularInverse},
    {"Command17", "SUM AND NUMBER OF DIVISORS OF A", kDefaultCaptionFont, &DivisorCountAndSum},
}};

}  // namespace brindaq
