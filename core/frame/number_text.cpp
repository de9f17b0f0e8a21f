// The one scanner of a number text: both ranges find the number at the start of an operand text
// here, and differ only in what they make of its digits.

#include "core/frame/number_text.h"

#include <algorithm>
#include <cstddef>

namespace brindaq {
namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// The position after the digits that start at `pos`.
std::size_t SkipDigits(std::string_view text, std::size_t pos) {
  while (pos < text.size() && IsDigit(text[pos])) {
    ++pos;
  }
  return pos;
}

}  // namespace

std::int64_t ExponentOf(std::string_view exponent) {
  constexpr std::int64_t kCap = std::int64_t{1} << 40;
  const bool negative = !exponent.empty() && exponent.front() == '-';
  if (!exponent.empty() && (exponent.front() == '-' || exponent.front() == '+')) {
    exponent.remove_prefix(1);
  }
  std::int64_t value = 0;
  for (const char digit : exponent) {
    value = std::min(kCap, value * 10 + (digit - '0'));
  }
  return negative ? -value : value;
}

NumberText ScanNumber(std::string_view text) {
  NumberText number;
  std::size_t pos = 0;
  while (pos < text.size() && IsBlank(text[pos])) {
    ++pos;
  }
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
    number.negative = text[pos] == '-';
    ++pos;
  }
  const std::size_t start = pos;
  pos = SkipDigits(text, pos);
  number.whole = text.substr(start, pos - start);
  if (pos < text.size() && text[pos] == '.') {
    const std::size_t fraction_end = SkipDigits(text, pos + 1);
    number.point = true;
    number.fraction = text.substr(pos + 1, fraction_end - pos - 1);
    pos = fraction_end;
  }
  if (!number.HasDigits()) {
    return NumberText{};  // no leading number: ".", "-", "abc", "inf", "" and the like
  }
  if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
    std::size_t exponent = pos + 1;
    if (exponent < text.size() && (text[exponent] == '+' || text[exponent] == '-')) {
      ++exponent;
    }
    const std::size_t exponent_end = SkipDigits(text, exponent);
    if (exponent_end > exponent) {  // an "E" without digits does not belong to the number
      number.exponent = text.substr(pos + 1, exponent_end - pos - 1);
      pos = exponent_end;
    }
  }
  number.number = text.substr(start, pos - start);
  return number;
}

}  // namespace brindaq
