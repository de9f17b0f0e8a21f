#pragma once

// The frame that every operation shares: the operand texts it takes, the outcome it returns,
// the reading and checking of an operand, and the conversion of a number to text.

#include <cmath>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace brindaq {

// The texts of the three operand boxes A, B and C, as they stood when the button was clicked.
struct OperandTexts {
  std::string a, b, c;
};

// What one operation gives back: its result lines, in order, and at most one notice.
struct Outcome {
  std::vector<std::string> lines;
  std::optional<std::string> notice;
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

// Whether d divides x, tested on doubles as floor(x / d) = x / d; exact for whole values below
// 2^53.
inline bool Divides(double d, double x) {
  const double quotient = x / d;
  return std::floor(quotient) == quotient;
}

}  // namespace brindaq
