#pragma once

// The operands: their texts read by the one number scanner, through a double in the window's
// range and exactly in the full range; what each operation asks of them in each range; the
// checks and their notices; and the frame of one operation, which reads and checks its operands
// in the order A, B, C and lets the operation write its lines from their values.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/arithmetic/wide.h"
#include "core/frame/frame.h"
#include "core/frame/lines.h"
#include "core/work.h"

namespace brindaq {

// The value of the number at the start of `text`: leading blanks are skipped, then an optional
// sign, digits, an optional "." with further digits and an optional exponent are taken, and
// reading stops at the first character that cannot continue the number. The decimal separator
// is always ".", whatever the locale. Text with no leading number reads as 0; a number beyond
// the range of a double reads as plus or minus infinity. Never returns NaN.
double ReadOperand(std::string_view text);

// The standard operand check: no text when `value` passes, else the notice. A value above the
// (inclusive) limit is too large; otherwise a value below 1 or not whole is refused by letter.
std::optional<std::string> CheckOperand(double value, char letter, double limit);

// Whether d divides x, tested on doubles as floor(x / d) = x / d; exact for whole values below
// 2^53.
inline bool Divides(double d, double x) {
  const double quotient = x / d;
  return std::floor(quotient) == quotient;
}

// A number text read exactly, by the same prefix rule as ReadOperand: what the checks of the full
// range need to know of its value.
struct ExactOperand {
  bool negative = false;
  bool whole = true;            // it has no fractional part
  bool even = true;             // it is whole and even; 0 is even
  bool beyond = false;          // its magnitude is above kLargestWhole
  std::uint64_t magnitude = 0;  // the whole part of its magnitude, when not beyond
};
ExactOperand ReadExactOperand(std::string_view text);

// The inclusive limit of each operand that an operation reads in the window's range; 0 for an
// operand it never reads.
struct OperandLimits {
  double a = 0;
  double b = 0;
  double c = 0;
};

// The same in the full range.
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
constexpr std::size_t OperandCount(const WholeLimits& limits) {
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

// What an operation computes once its operands have passed: its lines, from their values, in the
// range asked for. Long work asks `work` whether to stop, and tells it how far it has come; the
// writer returns whether its answer is whole, false when it stopped before the end.
using LinesWriter = bool (*)(const Operands& operands, Range range, LineSink& lines, Work& work);

// The frame of one operation: reads and checks the operands by `rules`, and when all pass, lets
// `write` hand its lines to `lines`; an answer stopped before its end gets kStoppedLine last. The
// outcome it returns holds the notice, if there is one, whether the answer was stopped, and no
// lines.
Outcome Answer(const OperandTexts& texts, const OperandRules& rules, Range range, LinesWriter write,
               LineSink& lines, Work& work);

// The same, with the lines gathered into the outcome, for work that is never stopped.
Outcome Answer(const OperandTexts& texts, const OperandRules& rules, Range range,
               LinesWriter write);

}  // namespace brindaq
