#pragma once

// Every operation of the calculator, and the table of them that every front-end binds: the name
// by which the command line and scripts call it, what it asks of its operands, and what it
// computes. How a window shows an operation (its button, caption and font) is in core/window.h.

#include <array>
#include <string_view>

#include "core/additive/additive.h"
#include "core/divisors/divisors.h"
#include "core/frame/frame.h"
#include "core/frame/lines.h"
#include "core/frame/operands.h"
#include "core/modular/modular.h"
#include "core/primes/primes.h"

namespace brindaq {

// An operation in the window's range, and in the range that the caller chooses.
using Operation = Outcome (*)(const OperandTexts&);
using RangedOperation = Outcome (*)(const OperandTexts&, Range);

// One row of the table: the operation's fixed name, what it asks of its operands, and the lines
// it writes from their values once they have passed.
struct OperationRow {
  std::string_view command;
  OperandRules rules;
  LinesWriter write;
};

// The fifteen operations, in the window's tab order.
// clang-format off
inline constexpr std::array<OperationRow, 15> kOperations{{
    {"primes",               kPrimesBetweenRules,        &lines_of::PrimesBetween},
    {"twin-primes",          kTwinPrimesBetweenRules,    &lines_of::TwinPrimesBetween},
    {"prime-count",          kPrimeCountBetweenRules,    &lines_of::PrimeCountBetween},
    {"next-prime",           kNextPrimeRules,            &lines_of::NextPrime},
    {"two-squares",          kSumOfTwoSquaresRules,      &lines_of::SumOfTwoSquares},
    {"goldbach",             kGoldbachRules,             &lines_of::GoldbachDecomposition},
    {"collatz",              kCollatzRules,              &lines_of::CollatzSequence},
    {"factors",              kPrimeFactorsRules,         &lines_of::PrimeFactors},
    {"is-prime",             kPrimalityTestRules,        &lines_of::PrimalityTest},
    {"power-mod",            kModularPowerRules,         &lines_of::ModularPower},
    {"fibonacci",            kFibonacciRules,            &lines_of::FibonacciNumbers},
    {"linear-congruence",    kLinearCongruenceRules,     &lines_of::LinearCongruence},
    {"quadratic-congruence", kQuadraticCongruenceRules,  &lines_of::QuadraticCongruence},
    {"inverse",              kModularInverseRules,       &lines_of::ModularInverse},
    {"divisors",             kDivisorCountAndSumRules,   &lines_of::DivisorCountAndSum},
}};
// clang-format on

// Each operation reads the same operands in both ranges.
static_assert([] {
  for (const OperationRow& operation : kOperations) {
    if (OperandCount(operation.rules.full) != OperandCount(operation.rules.window)) {
      return false;
    }
  }
  return true;
}());

// The operation on the operand texts, in `range`: its lines gathered into the outcome.
Outcome RunOperation(const OperationRow& operation, const OperandTexts& texts, Range range);

// The same, with each line handed to `lines` as it is made, and the work stopped when `work` says
// so; the outcome holds the notice, if there is one, whether the answer was stopped, and no lines.
Outcome RunOperation(const OperationRow& operation, const OperandTexts& texts, Range range, LineSink& lines,
            Work& work);

// The operation that the command line and scripts call `command`; nothing for an unknown name.
const OperationRow* FindCommand(std::string_view command);

}  // namespace brindaq
