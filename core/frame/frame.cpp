#include "core/frame/frame.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <limits>
#include <system_error>
#include <utility>

// Where the standard library converts doubles itself (libstdc++), it does so without the locale.
// Where it cannot (the libc++ that builds the WebAssembly edition), the C library serves: its
// decimal point is always "." there, whatever the locale.
#if !defined(__cpp_lib_to_chars)
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#endif

namespace brindaq {
namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// Counts the digits from `pos` on and returns the position after them.
std::size_t SkipDigits(std::string_view text, std::size_t pos) {
  while (pos < text.size() && IsDigit(text[pos])) {
    ++pos;
  }
  return pos;
}

// The value of a well-formed number text that lies beyond the range of a double: infinity when
// its magnitude is huge, zero when it is tiny. `number` has digits, an optional "." and an
// optional exponent, and no sign.
double OutOfRangeValue(std::string_view number) {
  const std::size_t exponent_mark = number.find_first_of("eE");
  const std::string_view mantissa = number.substr(0, exponent_mark);
  const std::size_t point = std::min(mantissa.find('.'), mantissa.size());
  const std::size_t first_nonzero = mantissa.find_first_of("123456789");
  if (first_nonzero == std::string_view::npos) {
    return 0.0;
  }
  // Decimal exponent of the leading digit, before the written exponent is added.
  std::int64_t magnitude = first_nonzero < point
                               ? static_cast<std::int64_t>(point - first_nonzero) - 1
                               : -static_cast<std::int64_t>(first_nonzero - point);
  if (exponent_mark != std::string_view::npos) {
    std::string_view exponent = number.substr(exponent_mark + 1);
    const bool negative = !exponent.empty() && exponent.front() == '-';
    if (!exponent.empty() && (exponent.front() == '-' || exponent.front() == '+')) {
      exponent.remove_prefix(1);
    }
    // Saturate: an exponent of any length only has to decide between huge and tiny.
    constexpr std::int64_t kCap = std::int64_t{1} << 40;
    std::int64_t value = 0;
    for (const char digit : exponent) {
      value = std::min(kCap, value * 10 + (digit - '0'));
    }
    magnitude += negative ? -value : value;
  }
  return magnitude > 0 ? std::numeric_limits<double>::infinity() : 0.0;
}

}  // namespace

double ReadOperand(std::string_view text) {
  std::size_t pos = 0;
  while (pos < text.size() && IsBlank(text[pos])) {
    ++pos;
  }
  bool negative = false;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
    negative = text[pos] == '-';
    ++pos;
  }
  const std::size_t start = pos;
  pos = SkipDigits(text, pos);
  bool has_digits = pos > start;
  // Whole digits and nothing that continues the number, as operands mostly are: up to 15 digits
  // the value is exact, and no conversion of a general number text is needed.
  const bool goes_on =
      pos < text.size() && (text[pos] == '.' || text[pos] == 'e' || text[pos] == 'E');
  if (has_digits && !goes_on && pos - start <= 15) {
    std::int64_t whole = 0;
    for (std::size_t i = start; i < pos; ++i) {
      whole = whole * 10 + (text[i] - '0');
    }
    const auto value = static_cast<double>(whole);
    return negative ? -value : value;
  }
  if (pos < text.size() && text[pos] == '.') {
    const std::size_t fraction_end = SkipDigits(text, pos + 1);
    has_digits = has_digits || fraction_end > pos + 1;
    pos = fraction_end;
  }
  if (!has_digits) {
    return 0.0;  // no leading number: ".", "-", "abc", "inf", "" and the like
  }
  if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
    std::size_t exponent = pos + 1;
    if (exponent < text.size() && (text[exponent] == '+' || text[exponent] == '-')) {
      ++exponent;
    }
    const std::size_t exponent_end = SkipDigits(text, exponent);
    if (exponent_end > exponent) {
      pos = exponent_end;  // an "E" without digits does not belong to the number
    }
  }
  const std::string_view number = text.substr(start, pos - start);
  double value = 0.0;
#if defined(__cpp_lib_to_chars)
  const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value,
                                            std::chars_format::general);
  if (error == std::errc::result_out_of_range) {
    value = OutOfRangeValue(number);
  } else if (error != std::errc{} || end != number.data() + number.size()) {
    value = 0.0;  // cannot happen for the text checked above; never guess a number
  }
#else
  const std::string copy(number);
  char* end = nullptr;
  errno = 0;
  value = std::strtod(copy.c_str(), &end);
  if (errno == ERANGE) {
    value = OutOfRangeValue(number);
  } else if (end != copy.c_str() + copy.size()) {
    value = 0.0;  // cannot happen for the text checked above; never guess a number
  }
#endif
  return negative ? -value : value;
}

std::optional<std::string> CheckOperand(double value, char letter, double limit) {
  if (value > limit) {
    return "NUMBER TOO LARGE !";
  }
  if (value < 1 || std::floor(value) != value) {
    return std::string(1, letter) + " MUST BE INTEGER > 0";
  }
  return std::nullopt;
}

namespace {

// The most characters that WriteValue writes: a sign, 15 digits, a point and an exponent.
constexpr std::size_t kValueRoom = 40;

// The numbers below 1000 as three digits each, with leading zeros ("007"), one after the other;
// and how many digits each has without those zeros.
constexpr std::array<char, 3000> kDigitTriples = [] {
  std::array<char, 3000> triples{};
  for (std::size_t n = 0; n < 1000; ++n) {
    triples[3 * n] = static_cast<char>('0' + n / 100);
    triples[3 * n + 1] = static_cast<char>('0' + n / 10 % 10);
    triples[3 * n + 2] = static_cast<char>('0' + n % 10);
  }
  return triples;
}();
constexpr std::array<std::uint8_t, 1000> kDigitCounts = [] {
  std::array<std::uint8_t, 1000> counts{};
  for (std::size_t n = 0; n < 1000; ++n) {
    counts[n] = n >= 100 ? 3 : n >= 10 ? 2 : 1;
  }
  return counts;
}();

// Writes the decimal digits of n from `first` on and returns their end: below 10^9 by groups of
// three digits from the table, one division per group instead of one per digit. Up to two
// characters after the end may be overwritten.
char* WriteWholeDigits(char* first, std::uint64_t n) {
  if (n >= 1000000000) {
    return std::to_chars(first, first + kValueRoom - 1, n).ptr;
  }
  std::array<std::uint32_t, 3> groups{};
  std::size_t count = 0;
  for (auto rest = static_cast<std::uint32_t>(n); count == 0 || rest > 0; rest /= 1000) {
    groups[count++] = rest % 1000;
  }
  // The leading group without its zeros: the three characters that end with its last digit are
  // copied, and only its own digits kept. (The triple of 999, the last, has no zeros to skip.)
  const std::uint32_t leading = groups[--count];
  std::memcpy(first, kDigitTriples.data() + 3 * leading + 3 - kDigitCounts[leading], 3);
  first += kDigitCounts[leading];
  while (count > 0) {
    std::memcpy(first, kDigitTriples.data() + 3 * groups[--count], 3);
    first += 3;
  }
  return first;
}

// Writes `x` as FormatValue gives it from `first` on, and returns the end of what it wrote. There
// is room for kValueRoom characters.
char* WriteValue(char* first, double x) {
  // A whole value below 1E15 is its plain digits, as under the general rule below, and far
  // quicker to write as an integer. The magnitude is tested first, so that the conversion to an
  // integer is defined; -0 becomes 0.
  if (std::fabs(x) < 1e15) {
    const auto whole = static_cast<std::int64_t>(x);
    if (static_cast<double>(whole) == x) {
      *first++ = whole < 0 ? '-' : ' ';
      return WriteWholeDigits(first, static_cast<std::uint64_t>(whole < 0 ? -whole : whole));
    }
  }
  // Shortest text with at most 15 significant digits, in exponent form from 1E15 on: the
  // "%.15G" rule, written without the locale.
  if (x > 0) {
    *first++ = ' ';
  }
  char* const last = first + kValueRoom - 1;
#if defined(__cpp_lib_to_chars)
  char* const end = std::to_chars(first, last, x, std::chars_format::general, 15).ptr;
#else
  char* const end =
      first + std::max(std::snprintf(first, static_cast<std::size_t>(last - first), "%.15G", x), 0);
#endif
  std::transform(first, end, first, [](char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
  });
  return end;
}

}  // namespace

std::string FormatValue(double x) {
  std::array<char, kValueRoom> buffer;
  return {buffer.data(), WriteValue(buffer.data(), x)};
}

// Written in one piece, so that a line costs one allocation at most.
std::string ValueLine(double x) {
  std::array<char, kValueRoom + 3> buffer{' ', ' ', ' '};
  return {buffer.data(), WriteValue(buffer.data() + 3, x)};
}

LineWriter& LineWriter::operator<<(std::string_view text) {
  size_ += text.copy(buffer_.data() + size_, buffer_.size() - size_);
  return *this;
}

LineWriter& LineWriter::operator<<(double value) {
  if (buffer_.size() - size_ >= kValueRoom) {
    size_ = static_cast<std::size_t>(WriteValue(buffer_.data() + size_, value) - buffer_.data());
  }
  return *this;
}

std::string_view CopiedLine(std::string_view line) {
  const std::size_t first = line.find_first_not_of(' ');
  return first == std::string_view::npos ? std::string_view{} : line.substr(first);
}

std::string CopiedText(std::span<const std::string> lines) {
  std::string text;
  for (const std::string& line : lines) {
    if (&line != lines.data()) {
      text += '\n';
    }
    text += CopiedLine(line);
  }
  return text;
}

std::optional<double> ReadCheckedOperand(std::string_view text, char letter, double limit,
                                         Outcome& outcome) {
  const double value = ReadOperand(text);
  if (auto notice = CheckOperand(value, letter, limit)) {
    outcome.notice = std::move(notice);
    return std::nullopt;
  }
  return value;
}

std::optional<OperandValues> ReadCheckedOperands(const OperandTexts& texts,
                                                 const OperandLimits& limits, Outcome& outcome) {
  // An operand without a limit is not read and passes.
  const auto read = [&outcome](const std::string& text, char letter, double limit, double& value) {
    if (limit == 0) {
      return true;
    }
    const auto checked = ReadCheckedOperand(text, letter, limit, outcome);
    value = checked.value_or(0);
    return checked.has_value();
  };
  OperandValues values;
  if (read(texts.a, 'A', limits.a, values.a) && read(texts.b, 'B', limits.b, values.b) &&
      read(texts.c, 'C', limits.c, values.c)) {
    return values;
  }
  return std::nullopt;
}

}  // namespace brindaq
