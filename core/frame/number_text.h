#pragma once

// The number at the start of an operand text, found by the prefix rule that both ranges read
// by: leading blanks are skipped, then an optional sign, digits, an optional "." with further
// digits and an optional exponent are taken, and the number ends at the first character that
// cannot continue it.

#include <cstdint>
#include <string_view>

namespace brindaq {

struct NumberText {
  bool negative = false;
  std::string_view whole;     // the digits before the point
  std::string_view fraction;  // the digits after it
  bool point = false;         // whether a "." follows the whole digits
  std::string_view exponent;  // after the "E": its sign, if any, and digits; empty without one
  std::string_view number;    // the number without its sign, from its first digit or point on

  // Whether the text starts with a number at all: it has a digit before or after the point.
  bool HasDigits() const { return !whole.empty() || !fraction.empty(); }
};

NumberText ScanNumber(std::string_view text);

// The blanks that may stand before the number of an operand text, and between the tokens of an
// expression in the full range.
constexpr bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// The exponent of a number text (NumberText::exponent) as a number, saturated at 2^40 either way:
// far beyond any that can matter, since it only has to tell how many places the point moves.
std::int64_t ExponentOf(std::string_view exponent);

}  // namespace brindaq
