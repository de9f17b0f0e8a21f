#pragma once

// What an operation asks of its operands in each range, and the reading and checking of them all
// in one call: every operation states its rules once, next to its declaration, and the operation,
// the table of buttons and the command line take them from there.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/arithmetic/wide.h"
#include "core/frame/frame.h"

namespace brindaq {

// The inclusive limit of each operand that an operation reads in the full range; 0 for an operand
// it never reads.
struct WholeLimits {
  std::uint64_t a = 0;
  std::uint64_t b = 0;
  std::uint64_t c = 0;
};

// Everything that an operation checks of its operands before it computes. The operands with a
// limit are read, in the order A, B, C, each only after the one before it has passed.
struct OperandRules {
  OperandLimits window;
  WholeLimits full;
  // The widest interval B - A that the operation accepts, checked once A and B have passed (a B
  // below A passes); 0 for an operation without an interval.
  std::uint64_t widest_interval = 0;
  // Whether A must be even. This is checked before the standard check of A, so that an odd A is
  // refused as odd however large it is.
  bool even_a = false;
};

// How many operands an operation reads, A first: those with a limit. An operand is read only
// when every one before it is, so a count says which ones.
constexpr std::size_t OperandCount(const OperandLimits& limits) {
  return limits.c > 0 ? 3 : limits.b > 0 ? 2 : limits.a > 0 ? 1 : 0;
}
constexpr std::size_t OperandCount(const OperandRules& rules) {
  return OperandCount(rules.window);
}

// The inclusive limit of operand `index` (0 for A) in a range, as a whole number.
constexpr std::uint64_t LimitOf(const OperandRules& rules, std::size_t index, Range range) {
  if (range == Range::kFull) {
    return index == 0 ? rules.full.a : index == 1 ? rules.full.b : rules.full.c;
  }
  const double limit = index == 0 ? rules.window.a : index == 1 ? rules.window.b : rules.window.c;
  return static_cast<std::uint64_t>(limit);
}

// The values of the operands that passed; those that the operation does not read stay 0.
struct Operands {
  std::uint64_t a = 0;
  std::uint64_t b = 0;
  std::uint64_t c = 0;
};

// Reads and checks the operands that `rules` names, from `texts`, in `range`. Returns their
// values when all pass; otherwise leaves the notice of the first check that failed in `outcome`,
// with the operand it is about, and returns nothing.
std::optional<Operands> ReadOperands(const OperandTexts& texts, const OperandRules& rules,
                                     Range range, Outcome& outcome);

// The frame of one operation: reads and checks the operands by `rules`, and when all pass, lets
// `compute` write the result lines from their values, as compute(operands, lines).
template <typename Compute>
Outcome Answer(const OperandTexts& texts, const OperandRules& rules, Range range, Compute compute) {
  Outcome outcome;
  if (const std::optional<Operands> operands = ReadOperands(texts, rules, range, outcome)) {
    compute(*operands, outcome.lines);
  }
  return outcome;
}

// A number text read exactly, by the same prefix rule as ReadOperand (leading blanks, a sign,
// digits, a "." with further digits, an exponent): what the checks need to know of its value.
struct ExactOperand {
  bool negative = false;
  bool whole = true;            // it has no fractional part
  bool even = true;             // it is whole and even; 0 is even
  bool beyond = false;          // its magnitude is above kLargestWhole
  std::uint64_t magnitude = 0;  // the whole part of its magnitude, when not beyond
};
ExactOperand ReadExactOperand(std::string_view text);

// The standard operand check on an exactly read operand, as CheckOperand: too large above the
// inclusive limit, else refused by letter when below 1 or not whole.
std::optional<std::string> CheckExactOperand(const ExactOperand& value, char letter,
                                             std::uint64_t limit);

}  // namespace brindaq
