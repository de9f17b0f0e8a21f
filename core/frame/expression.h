#pragma once

// An operand text of the full range read as an integer expression, so that a number is written as
// it is thought of: "2^67-1", "(10^21+1)/7", "97#". The same prefix rule as for one number frames
// it: the value is that of the longest start of the text that is a complete expression, and a text
// that is one number alone is left to the number's own reading (ReadExactOperand). Every step is
// bounded by the size of its result before it is computed, so that no text costs time or memory
// in proportion to a huge number.
//
// The grammar, from the loosest binding to the tightest; blanks may stand between any two tokens:
//
//   expression := term { ("+" | "-") term }                     left to right
//   term       := signed { ("*" | "×" | "·" | "/") signed }     left to right; "/" is exact only
//   signed     := [ "+" | "-" ] power                           one sign, where a number may start
//   power      := postfix [ "^" signed ]                        right to left: 2^3^2 = 2^9
//   postfix    := primary { "!" | "#" }                         3!! = (3!)!, 2^3! = 2^6
//   primary    := number | "(" expression ")"
//
// A number is what ScanNumber takes after its sign ("1E100", "1.5E1", "000012"). An opening
// parenthesis or a "^" deeper than kDeepestNesting levels does not continue the expression.

#include <optional>
#include <string_view>

#include "core/big/natural.h"

namespace brindaq {

// The most digits of any value on the way to an operand's value, whatever its sign: that of the
// largest operand of the full range, L = 10^10000 - 1. A step whose result would have more is too
// large, and is refused before it is computed wherever its size tells so.
inline constexpr unsigned kLongestStep = 10000;

// The deepest nesting of parentheses and exponents ("2^(3^(4...": each "(" and each "^" one
// level), which bounds the reader's recursion and the values it holds at once.
inline constexpr int kDeepestNesting = 100;

// The value of an expression, or why it has none that the full range can take.
struct ExpressionValue {
  enum class Kind {
    kWhole,     // its value is `negative` and `magnitude`
    kNotWhole,  // a number or a quotient that is not whole, a division by 0, a negative power
                // of a number other than 1 and -1, the factorial or primorial of a negative one
    kTooLarge,  // a value on the way would have more than kLongestStep digits
  };
  Kind kind = Kind::kWhole;
  bool negative = false;  // never for 0
  Natural magnitude;
};

// The value of the expression at the start of `text`; nothing where that start is one number
// alone, with its sign if any, or where no start is a complete expression: ReadExactOperand then
// reads the text as it always did ("12abc", "-3", "2^" and "(2+3" among them).
std::optional<ExpressionValue> ReadExpression(std::string_view text);

}  // namespace brindaq
