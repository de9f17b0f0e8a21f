#include "core/frame/operands.h"

#include <array>
#include <cstdint>
#include <string>
#include <utility>

#include "core/frame/number_text.h"

namespace brindaq {
namespace {

constexpr const char* kTooLarge = "NUMBER TOO LARGE !";
constexpr const char* kTooWide = "INTERVAL TOO LARGE !";
constexpr const char* kNotEven = "A MUST BE EVEN !";

// One operand's standard check in a range, with the parity check before it where the rules ask
// for one: its value when it passes, else its notice in `outcome`. A notice is only made where a
// check fails.
std::optional<std::uint64_t> CheckedValue(std::string_view text, char letter, std::uint64_t limit,
                                          bool even, Range range, Outcome& outcome) {
  const auto refuse = [letter, &outcome](std::optional<std::string>& notice) {
    outcome.notice = std::move(notice);
    outcome.operand = letter;
    return std::nullopt;
  };
  if (range == Range::kWindow) {
    const double read = ReadOperand(text);
    if (std::optional<std::string> notice =
            even && !Divides(2, read) ? kNotEven
                                      : CheckOperand(read, letter, static_cast<double>(limit))) {
      return refuse(notice);
    }
    return static_cast<std::uint64_t>(read);
  }
  const ExactOperand read = ReadExactOperand(text);
  if (std::optional<std::string> notice =
          even && !read.even ? kNotEven : CheckExactOperand(read, letter, limit)) {
    return refuse(notice);
  }
  return read.magnitude;
}

}  // namespace

ExactOperand ReadExactOperand(std::string_view text) {
  const NumberText number = ScanNumber(text);
  ExactOperand operand;
  operand.negative = number.negative;
  // The digits before and after the point as one string S, whose value is S * 10^-(fraction
  // digits), moved by the exponent.
  const std::size_t size = number.whole.size() + number.fraction.size();
  const auto digit = [&number](std::size_t i) {
    const std::size_t whole = number.whole.size();
    return i < whole ? number.whole[i] - '0' : number.fraction[i - whole] - '0';
  };
  std::size_t first = 0;
  while (first < size && digit(first) == 0) {
    ++first;
  }
  if (first == size) {
    return operand;  // zero, whatever its sign and exponent
  }
  std::size_t last = size - 1;
  while (digit(last) == 0) {
    --last;
  }
  // The value is D * 10^shift, D the digits from `first` to `last`, which neither start nor end
  // with 0: so it is whole exactly when shift >= 0, and then even when shift > 0 or D is even.
  const std::int64_t shift = ExponentOf(number.exponent) -
                             static_cast<std::int64_t>(number.fraction.size()) +
                             static_cast<std::int64_t>(size - 1 - last);
  const std::int64_t whole_digits = static_cast<std::int64_t>(last - first + 1) + shift;
  operand.whole = shift >= 0;
  operand.even = operand.whole && (shift > 0 || digit(last) % 2 == 0);
  if (whole_digits > 20) {  // 2^64 has 20 digits
    operand.beyond = true;
    return operand;
  }
  Uint128 magnitude = 0;
  for (std::int64_t i = 0; i < whole_digits; ++i) {
    const std::size_t place = first + static_cast<std::size_t>(i);
    magnitude = magnitude * 10 + static_cast<unsigned>(place <= last ? digit(place) : 0);
  }
  operand.beyond = magnitude > kLargestWhole;
  operand.magnitude = operand.beyond ? 0 : static_cast<std::uint64_t>(magnitude);
  return operand;
}

std::optional<std::string> CheckExactOperand(const ExactOperand& value, char letter,
                                             std::uint64_t limit) {
  const bool above =
      value.beyond || value.magnitude > limit || (value.magnitude == limit && !value.whole);
  if (!value.negative && above) {
    return kTooLarge;
  }
  if (value.negative || !value.whole || value.magnitude < 1) {
    return std::string(1, letter) + " MUST BE INTEGER > 0";
  }
  return std::nullopt;
}

std::optional<Operands> ReadOperands(const OperandTexts& texts, const OperandRules& rules,
                                     Range range, Outcome& outcome) {
  const std::string* const boxes[] = {&texts.a, &texts.b, &texts.c};
  std::array<std::uint64_t, 3> values{};
  for (std::size_t i = 0; i < OperandCount(rules); ++i) {
    const auto value = CheckedValue(*boxes[i], static_cast<char>('A' + i), LimitOf(rules, i, range),
                                    i == 0 && rules.even_a, range, outcome);
    if (!value) {
      return std::nullopt;
    }
    values[i] = *value;
  }
  const Operands operands{values[0], values[1], values[2]};
  // Only B can make the interval too wide: A has already passed.
  if (rules.widest_interval > 0 && operands.b > operands.a &&
      operands.b - operands.a > rules.widest_interval) {
    outcome.notice = kTooWide;
    outcome.operand = 'B';
    return std::nullopt;
  }
  return operands;
}

}  // namespace brindaq
