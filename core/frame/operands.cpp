// Reading and checking the operands. Both ranges find the number by ScanNumber; the window's
// range then takes its value as a double, the full range exactly. Every notice about an operand
// is written here, once.

#include "core/frame/operands.h"

#include <array>
#include <charconv>
#include <cstdint>
#include <limits>
#include <string>
#include <system_error>
#include <utility>

#include "core/frame/number_text.h"

// Where the standard library reads doubles itself (libstdc++), it does so without the locale.
// Where it cannot (the libc++ that builds the WebAssembly edition), the C library serves: its
// decimal point is always "." there, whatever the locale.
#if !defined(__cpp_lib_to_chars)
#include <cerrno>
#include <cstdlib>
#endif

namespace brindaq {
namespace {

constexpr const char* kTooLarge = "NUMBER TOO LARGE !";
constexpr const char* kTooWide = "INTERVAL TOO LARGE !";
constexpr const char* kNotEven = "A MUST BE EVEN !";

// The notice of the standard check, in either range: too large above the limit, else refused by
// letter unless the operand is a whole number above 0.
std::optional<std::string> StandardNotice(bool too_large, bool whole_above_zero, char letter) {
  if (too_large) {
    return kTooLarge;
  }
  if (!whole_above_zero) {
    return std::string(1, letter) + " MUST BE INTEGER > 0";
  }
  return std::nullopt;
}

// The value of a well-formed number text that lies beyond the range of a double: infinity when
// its magnitude is huge, zero when it is tiny.
double OutOfRangeValue(const NumberText& number) {
  const std::size_t first_nonzero = number.whole.find_first_of("123456789");
  std::int64_t magnitude = 0;  // the decimal exponent of the leading digit, before the written one
  if (first_nonzero != std::string_view::npos) {
    magnitude = static_cast<std::int64_t>(number.whole.size() - first_nonzero) - 1;
  } else if (const std::size_t in_fraction = number.fraction.find_first_of("123456789");
             in_fraction != std::string_view::npos) {
    magnitude = -static_cast<std::int64_t>(in_fraction) - 1;
  } else {
    return 0.0;
  }
  magnitude += ExponentOf(number.exponent);
  return magnitude > 0 ? std::numeric_limits<double>::infinity() : 0.0;
}

// The magnitude of a number text as a double, the nearest one to its value.
double MagnitudeOf(const NumberText& number) {
  // Whole digits alone, as operands mostly are: up to 15 digits the value is exact as an integer,
  // and no conversion of a general number text is needed.
  if (!number.point && number.exponent.empty() && number.whole.size() <= 15) {
    std::int64_t whole = 0;
    for (const char digit : number.whole) {
      whole = whole * 10 + (digit - '0');
    }
    return static_cast<double>(whole);
  }
  const std::string_view text = number.number;
  double value = 0.0;
#if defined(__cpp_lib_to_chars)
  const auto [end, error] =
      std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
  if (error == std::errc::result_out_of_range) {
    return OutOfRangeValue(number);
  }
  if (error != std::errc{} || end != text.data() + text.size()) {
    return 0.0;  // cannot happen for a scanned number; never guess one
  }
#else
  const std::string copy(text);
  char* end = nullptr;
  errno = 0;
  value = std::strtod(copy.c_str(), &end);
  if (errno == ERANGE) {
    return OutOfRangeValue(number);
  }
  if (end != copy.c_str() + copy.size()) {
    return 0.0;  // cannot happen for a scanned number; never guess one
  }
#endif
  return value;
}

// One operand's standard check in a range, with the parity check before it where the rules ask
// for one: its value when it passes, else its notice in `outcome`.
std::optional<std::uint64_t> CheckedValue(std::string_view text, char letter, std::uint64_t limit,
                                          bool even, Range range, Outcome& outcome) {
  std::optional<std::string> notice;
  std::uint64_t value = 0;
  if (range == Range::kWindow) {
    const double read = ReadOperand(text);
    notice = even && !Divides(2, read) ? kNotEven
                                       : CheckOperand(read, letter, static_cast<double>(limit));
    value = notice ? 0 : static_cast<std::uint64_t>(read);
  } else {
    const ExactOperand read = ReadExactOperand(text);
    const bool above =
        read.beyond || read.magnitude > limit || (read.magnitude == limit && !read.whole);
    notice = even && !read.even
                 ? kNotEven
                 : StandardNotice(!read.negative && above,
                                  !read.negative && read.whole && read.magnitude >= 1, letter);
    value = read.magnitude;
  }
  if (notice) {
    outcome.notice = std::move(notice);
    outcome.operand = letter;
    return std::nullopt;
  }
  return value;
}

}  // namespace

double ReadOperand(std::string_view text) {
  const NumberText number = ScanNumber(text);
  if (!number.HasDigits()) {
    return 0.0;
  }
  const double magnitude = MagnitudeOf(number);
  return number.negative ? -magnitude : magnitude;
}

std::optional<std::string> CheckOperand(double value, char letter, double limit) {
  return StandardNotice(value > limit, value >= 1 && std::floor(value) == value, letter);
}

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

Outcome Answer(const OperandTexts& texts, const OperandRules& rules, Range range, LinesWriter write,
               LineSink& lines, Work& work) {
  Outcome outcome;
  if (const std::optional<Operands> operands = ReadOperands(texts, rules, range, outcome)) {
    if (!write(*operands, range, lines, work)) {
      outcome.stopped = true;
      lines.Add(kStoppedLine);
    }
  }
  return outcome;
}

Outcome Answer(const OperandTexts& texts, const OperandRules& rules, Range range,
               LinesWriter write) {
  std::vector<std::string> gathered;
  GatheredLines lines(gathered);
  Work work;
  Outcome outcome = Answer(texts, rules, range, write, lines, work);
  outcome.lines = std::move(gathered);
  return outcome;
}

}  // namespace brindaq
