#pragma once

// Every operation of the calculator, and the table that binds each one to its button.

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "core/additive/additive.h"
#include "core/divisors/divisors.h"
#include "core/frame/frame.h"
#include "core/frame/operands.h"
#include "core/modular/modular.h"
#include "core/primes/primes.h"
#include "core/text/text.h"

namespace brindaq {

// The font of a control's text, in points.
struct TextFont {
  double points;
  bool bold;
};
using CaptionFont = TextFont;  // the name it was first given

// The window's default font, and the larger one of two captions.
inline constexpr TextFont kDefaultCaptionFont{8.0, false};
inline constexpr TextFont kLargeCaptionFont{12.0, false};

// An operation in the window's range, and in the range that the caller chooses.
using Operation = Outcome (*)(const OperandTexts&);
using RangedOperation = Outcome (*)(const OperandTexts&, Range);

// One operation button: its control name, the fixed name by which the command line and scripts
// call it, its caption, the caption's font, the operation that a click runs (in the window's
// range, and in either range), and what the operation asks of its operands, which are the
// operation's own: `limits` are those of the window's range, as `rules` give them.
struct OperationButton {
  std::string_view name;
  std::string_view command;
  std::string_view caption;
  TextFont font;
  Operation run;
  OperandLimits limits;
  RangedOperation run_in;
  OperandRules rules;
};

// The fifteen operation buttons, in the window's tab order.
// clang-format off
inline constexpr std::array<OperationButton, 15> kOperationButtons{{
    {"Command3",  "primes",               "PRIME NUMBERS BETWEEN A AND B",    kDefaultCaptionFont, &PrimesBetween,         kPrimesBetweenRules.window,         &ranged::PrimesBetween,         kPrimesBetweenRules},
    {"Command4",  "twin-primes",          "TWIN PRIMES BETWEEN A AND B",      kDefaultCaptionFont, &TwinPrimesBetween,     kTwinPrimesBetweenRules.window,     &ranged::TwinPrimesBetween,     kTwinPrimesBetweenRules},
    {"Command5",  "prime-count",          "NUMBER OF PRIMES BETWEEN A AND B", kDefaultCaptionFont, &PrimeCountBetween,     kPrimeCountBetweenRules.window,     &ranged::PrimeCountBetween,     kPrimeCountBetweenRules},
    {"Command6",  "next-prime",           "NEXTPRIME(A)",                     kDefaultCaptionFont, &NextPrime,             kNextPrimeRules.window,             &ranged::NextPrime,             kNextPrimeRules},
    {"Command7",  "two-squares",          "A = x^2 + y^2",                    kLargeCaptionFont,   &SumOfTwoSquares,       kSumOfTwoSquaresRules.window,       &ranged::SumOfTwoSquares,       kSumOfTwoSquaresRules},
    {"Command8",  "goldbach",             "GOLDBACH (A)",                     kDefaultCaptionFont, &GoldbachDecomposition, kGoldbachRules.window,              &ranged::GoldbachDecomposition, kGoldbachRules},
    {"Command9",  "collatz",              "COLLATZ (A)",                      kDefaultCaptionFont, &CollatzSequence,       kCollatzRules.window,               &ranged::CollatzSequence,       kCollatzRules},
    {"Command10", "factors",              "PRIME FACTORS OF A",               kDefaultCaptionFont, &PrimeFactors,          kPrimeFactorsRules.window,          &ranged::PrimeFactors,          kPrimeFactorsRules},
    {"Command11", "is-prime",             "TEST IF A IS A PRIME NUMBER",      kDefaultCaptionFont, &PrimalityTest,         kPrimalityTestRules.window,         &ranged::PrimalityTest,         kPrimalityTestRules},
    {"Command12", "power-mod",            "A^B MOD. C",                       kLargeCaptionFont,   &ModularPower,          kModularPowerRules.window,          &ranged::ModularPower,          kModularPowerRules},
    {"Command13", "fibonacci",            "THE FIRST A FIBONACCI NUMBERS",    kDefaultCaptionFont, &FibonacciNumbers,      kFibonacciRules.window,             &ranged::FibonacciNumbers,      kFibonacciRules},
    {"Command14", "linear-congruence",    "AX CONG: B MOD C",                 kDefaultCaptionFont, &LinearCongruence,      kLinearCongruenceRules.window,      &ranged::LinearCongruence,      kLinearCongruenceRules},
    {"Command15", "quadratic-congruence", "AX^2 CONG: B MOD C",               kDefaultCaptionFont, &QuadraticCongruence,   kQuadraticCongruenceRules.window,   &ranged::QuadraticCongruence,   kQuadraticCongruenceRules},
    {"Command16", "inverse",              "INVERSE OF A MOD. B",              kDefaultCaptionFont, &ModularInverse,        kModularInverseRules.window,        &ranged::ModularInverse,        kModularInverseRules},
    {"Command17", "divisors",             "SUM AND NUMBER OF DIVISORS OF A",  kDefaultCaptionFont, &DivisorCountAndSum,    kDivisorCountAndSumRules.window,    &ranged::DivisorCountAndSum,    kDivisorCountAndSumRules},
}};
// clang-format on

// Each operation reads the same operands in both ranges.
static_assert([] {
  for (const OperationButton& operation : kOperationButtons) {
    const WholeLimits& full = operation.rules.full;
    const std::size_t count = full.c > 0 ? 3 : full.b > 0 ? 2 : full.a > 0 ? 1 : 0;
    if (count != OperandCount(operation.rules)) {
      return false;
    }
  }
  return true;
}());

// The operation that the command line and scripts call `command`; nothing for an unknown name.
const OperationButton* FindCommand(std::string_view command);

}  // namespace brindaq
