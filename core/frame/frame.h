#pragma once

// The frame that every operation shares: the operand texts it takes, the outcome it returns,
// the reading and checking of an operand, and the conversion of a number to text.

#include <array>
#include <cmath>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/arithmetic/wide.h"

namespace brindaq {

// The texts of the three operand boxes A, B and C, as they stood when the button was clicked.
struct OperandTexts {
  std::string a, b, c;
};

// What one operation gives back: its result lines, in order, and at most one notice, with the
// operand that the notice is about, 'A', 'B' or 'C', so that the user can be taken back to its box.
// The operand is set by the check that failed; it is empty when there is no notice, or for a
// notice that names no operand.
struct Outcome {
  std::vector<std::string> lines;
  std::optional<std::string> notice;
  std::optional<char> operand = std::nullopt;
};

// The two ranges of the operations. The window's range takes the operands through a double,
// within the limits that keep the window's double arithmetic exact, and writes a number of 1E15
// or more in the exponent form. The full range reads every operand exactly, as a whole number up
// to 2^64 - 1, within wider limits, and writes every number in full digits.
enum class Range { kWindow, kFull };

// The inclusive limit of each operand that an operation reads in the window's range; 0 for an
// operand it never reads.
struct OperandLimits {
  double a = 0;
  double b = 0;
  double c = 0;
};

// The values of the operands A, B and C; those that an operation does not read stay 0.
struct OperandValues {
  double a = 0;
  double b = 0;
  double c = 0;
};

// The value of the number at the start of `text`: leading blanks are skipped, then an optional
// sign, digits, an optional "." with further digits and an optional exponent are taken, and
// reading stops at the first character that cannot continue the number. The decimal separator
// is always ".", whatever the locale. Text with no leading number reads as 0; a number beyond
// the range of a double reads as plus or minus infinity. Never returns NaN.
double ReadOperand(std::string_view text);

// The standard operand check: no text when `value` passes, else the notice. A value above the
// (inclusive) limit is too large; otherwise a value below 1 or not whole is refused by letter.
std::optional<std::string> CheckOperand(double value, char letter, double limit);

// A number as the result lines show it: one blank before a value >= 0 ("-" before a negative
// one), plain digits for whole values, at most 15 significant digits, and the exponent form
// from 1E15 on (" 1E+15").
std::string FormatValue(double x);

// The most common result line: three blanks and the value, so a positive value stands after
// four blanks.
std::string ValueLine(double x);

// A whole number for a result line, written as its range writes numbers: in the window's range
// as FormatValue writes it, in the full range in full digits, after the same blank for the sign.
struct Whole {
  Uint128 value;
};

// The most common result line in either range: three blanks and the number.
std::string ValueLine(Whole x, Range range);

// A result line put together from fixed texts and numbers in one buffer, and made a string once:
// a line costs one allocation at most, and none when it is short enough to live inside the
// string. A double is written as FormatValue writes it, a Whole as the writer's range writes it.
// A line longer than the buffer goes on in a string of its own.
class LineWriter {
 public:
  explicit LineWriter(Range range = Range::kWindow) : range_(range) {}

  LineWriter& operator<<(std::string_view text);
  LineWriter& operator<<(double value);
  LineWriter& operator<<(Whole value);

  std::string Line() const {
    return overflow_.empty() ? std::string(buffer_.data(), size_) : overflow_;
  }

  // How long the line is so far, and the line cut back to its first `size` characters, so that
  // lines with the same start can be written one after the other from it.
  std::size_t Size() const { return overflow_.empty() ? size_ : overflow_.size(); }
  void Truncate(std::size_t size);

 private:
  void Append(const char* text, std::size_t size);

  Range range_;
  // Room for every line of the window's range, and most of the full range's.
  std::array<char, 80> buffer_;
  std::size_t size_ = 0;
  std::string overflow_;  // the whole line, once it has outgrown the buffer
};

// A result line as "Copy" puts it on the clipboard and the command line prints it: without its
// leading blanks, which only align the numbers in the list.
std::string_view CopiedLine(std::string_view line);

// Result lines as copied, joined by "\n" (no newline after the last one).
std::string CopiedText(std::span<const std::string> lines);

// Reads one operand and applies the standard check to it. Returns its value when it passes;
// otherwise leaves the notice in `outcome` and returns nothing, so that the caller can end the
// operation. Each operand is read only after the one before it has passed.
std::optional<double> ReadCheckedOperand(std::string_view text, char letter, double limit,
                                         Outcome& outcome);

// Reads and checks every operand that has a limit, in the order A, B, C, each only after the one
// before it has passed. On the first failure leaves its notice in `outcome` and returns nothing.
std::optional<OperandValues> ReadCheckedOperands(const OperandTexts& texts,
                                                 const OperandLimits& limits, Outcome& outcome);

// Whether d divides x, tested on doubles as floor(x / d) = x / d; exact for whole values below
// 2^53.
inline bool Divides(double d, double x) {
  const double quotient = x / d;
  return std::floor(quotient) == quotient;
}

}  // namespace brindaq
