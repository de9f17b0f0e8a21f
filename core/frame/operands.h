#pragma once

// The operands: their texts read by the one number scanner, through a double in the window's
// range and exactly in the full range, where a text may also be an integer expression
// (expression.h); what each operation asks of them in each range; the checks and their notices;
// and the frame of one operation, which reads and checks its operands in the order A, B, C and
// lets the operation write its lines from their values.

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/arithmetic/wide.h"
#include "core/big/natural.h"
#include "core/frame/frame.h"
#include "core/frame/lines.h"
#include "core/frame/number_text.h"
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

// The largest number of digits that an operand of the full range may have: every whole number up
// to L = 10^10000 - 1.
inline constexpr unsigned kLongestOperand = 10000;

// A number text read exactly, by the same prefix rule as ReadOperand: what the checks of the full
// range need to know of its value, found from its digits alone. Its value itself is made only once
// it has passed them (ValueOf), so that "1E1000000000" costs nothing.
struct ExactOperand {
  bool negative = false;
  bool whole = true;  // it has no fractional part
  bool even = true;   // it is whole and even; 0 is even
  // The digits of its whole part without leading zeros (0 for a value below 1), saturated at
  // 2^40, and whether they are all nines.
  std::int64_t digits = 0;
  bool all_nines = false;
  bool fits_word = true;   // its whole part is at most 2^64 - 1
  std::uint64_t word = 0;  // the whole part, when it fits a word
  // Its value as D * 10^shift, D the digits from `first` to `last` of the digits before and
  // after the point (`number`), which neither start nor end with 0.
  NumberText number;
  std::size_t first = 0;
  std::size_t last = 0;
  std::int64_t shift = 0;
};
ExactOperand ReadExactOperand(std::string_view text);

// The whole part of an operand that was read exactly, as a number of any size; for an operand of
// at most kLongestOperand digits.
Natural ValueOf(const ExactOperand& operand);

// The inclusive limit of each operand that an operation reads in the window's range; 0 for an
// operand it never reads.
struct OperandLimits {
  double a = 0;
  double b = 0;
  double c = 0;
};

// An inclusive limit of an operand in the full range: every whole number of at most `digits`
// digits (10^digits - 1), or with no digits given, `word`. Neither is set for an operand that the
// operation does not read.
struct WholeLimit {
  std::uint64_t word = 0;
  unsigned digits = 0;

  constexpr bool Reads() const { return word > 0 || digits > 0; }
  friend constexpr bool operator==(const WholeLimit&, const WholeLimit&) = default;
};
constexpr WholeLimit UpTo(std::uint64_t word) {
  return {word, 0};
}
constexpr WholeLimit DigitsUpTo(unsigned digits) {
  return {0, digits};
}
// L = 10^10000 - 1: every whole number of at most 10000 digits.
inline constexpr WholeLimit kAnySize = DigitsUpTo(kLongestOperand);

// The limits of the operands in the full range.
struct WholeLimits {
  WholeLimit a = {};
  WholeLimit b = {};
  WholeLimit c = {};
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
  return limits.c.Reads() ? 3 : limits.b.Reads() ? 2 : limits.a.Reads() ? 1 : 0;
}
constexpr std::size_t OperandCount(const OperandRules& rules) {
  return OperandCount(rules.window);
}

// The inclusive limit of operand `index` (0 for A) in the full range.
constexpr WholeLimit FullLimitOf(const OperandRules& rules, std::size_t index) {
  return index == 0 ? rules.full.a : index == 1 ? rules.full.b : rules.full.c;
}

// The inclusive limit of operand `index` in a range, in decimal digits.
std::string LimitText(const OperandRules& rules, std::size_t index, Range range);

// The values of the operands that passed; those that the operation does not read stay 0. Where
// every one of them fits a word (`words`), a, b and c are their values, as they always are in the
// window's range; otherwise `exact` holds the value of every operand read, a, b and c those of the
// ones that fit a word.
struct Operands {
  std::uint64_t a = 0;
  std::uint64_t b = 0;
  std::uint64_t c = 0;
  bool words = true;
  std::vector<Natural> exact;  // empty where every operand fits a word
};

// Reads and checks the operands that `rules` names, from `texts`, in `range`. Returns their
// values when all pass; otherwise leaves the notice of the first check that failed in `outcome`,
// with the operand it is about, and returns nothing.
std::optional<Operands> ReadOperands(const OperandTexts& texts, const OperandRules& rules,
                                     Range range, Outcome& outcome);

// The value of each operand that `rules` names as `range` reads it, in full digits, to be shown
// beside its text: nothing for the operand that a check refused (the one its notice is about) and
// for those after it, which are not read.
std::vector<std::optional<std::string>> ValuesAsRead(const OperandTexts& texts,
                                                     const OperandRules& rules, Range range);

// How a writer of lines ended.
enum class Ending {
  kWhole,    // every line of the answer is written
  kStopped,  // its work was stopped: the lines so far are what it had established
  kTooMany,  // refused before any line: the answer would hold more than kMostSolutions lines
};

// The most solutions that an answer lists.
inline constexpr std::size_t kMostSolutions = 100000;

// What an operation computes once its operands have passed: its lines, from their values, in the
// range asked for. Long work asks `work` whether to stop, and tells it how far it has come.
using LinesWriter = Ending (*)(const Operands& operands, Range range, LineSink& lines, Work& work);

// The frame of one operation: reads and checks the operands by `rules`, and when all pass, lets
// `write` hand its lines to `lines`; an answer stopped before its end gets kStoppedLine last, and
// one with too many lines is the notice "TOO MANY SOLUTIONS !" about the last operand, whose size
// makes them so many. The outcome it returns holds the notice, if there is one, whether the answer
// was stopped, and no lines.
Outcome Answer(const OperandTexts& texts, const OperandRules& rules, Range range, LinesWriter write,
               LineSink& lines, Work& work);

// The same, with the lines gathered into the outcome, for work that is never stopped.
Outcome Answer(const OperandTexts& texts, const OperandRules& rules, Range range,
               LinesWriter write);

}  // namespace brindaq
