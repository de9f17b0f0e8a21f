#include "core/frame/frame.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <limits>
#include <system_error>
#include <utility>

#include "core/frame/number_text.h"
#include "core/frame/operands.h"

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

// The blanks that may stand before the number of an operand text.
bool IsBlankBeforeNumber(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// The position after the digits that start at `pos`.
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
    magnitude += ExponentOf(number.substr(exponent_mark + 1));
  }
  return magnitude > 0 ? std::numeric_limits<double>::infinity() : 0.0;
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
  while (pos < text.size() && IsBlankBeforeNumber(text[pos])) {
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

double ReadOperand(std::string_view text) {
  // Whole digits and nothing that continues the number, as operands mostly are: up to 15 digits
  // the value is exact, and no conversion of a general number text is needed.
  std::size_t pos = 0;
  while (pos < text.size() && IsBlankBeforeNumber(text[pos])) {
    ++pos;
  }
  const bool negative = pos < text.size() && text[pos] == '-';
  pos += pos < text.size() && (text[pos] == '+' || text[pos] == '-') ? 1 : 0;
  const std::size_t start = pos;
  pos = SkipDigits(text, pos);
  const bool goes_on =
      pos < text.size() && (text[pos] == '.' || text[pos] == 'e' || text[pos] == 'E');
  if (pos > start && !goes_on && pos - start <= 15) {
    std::int64_t whole = 0;
    for (std::size_t i = start; i < pos; ++i) {
      whole = whole * 10 + (text[i] - '0');
    }
    const auto value = static_cast<double>(whole);
    return negative ? -value : value;
  }
  const NumberText scanned = ScanNumber(text);
  if (!scanned.HasDigits()) {
    return 0.0;
  }
  const std::string_view number = scanned.number;
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

// The room that writing one number needs: a sign, and the 39 digits of the widest whole number,
// or 15 digits, a point and an exponent; and the two characters after its end that writing
// may overwrite.
constexpr std::size_t kValueRoom = 42;

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

// Writes the decimal digits of n from `first` on and returns their end: 19 digits at a time,
// each part a 64-bit number.
char* WriteWideDigits(char* first, Uint128 n) {
  if (n <= UINT64_MAX) {
    return WriteWholeDigits(first, static_cast<std::uint64_t>(n));
  }
  constexpr std::uint64_t kPart = 10000000000000000000U;  // 10^19
  first = WriteWideDigits(first, n / kPart);
  std::uint64_t low = static_cast<std::uint64_t>(n % kPart);
  char* const end = first + 19;
  for (char* digit = end; digit != first; low /= 10) {
    *--digit = static_cast<char>('0' + low % 10);
  }
  return end;
}

// Writes a whole number as `range` writes it, from `first` on, and returns the end of what it
// wrote: in the window's range as FormatValue writes it (every whole number of that range is
// exact as a double), in the full range as the blank for the sign and the digits.
char* WriteWhole(char* first, Uint128 n, Range range) {
  if (range == Range::kWindow && n >= 1000000000000000U) {
    return WriteValue(first, static_cast<double>(n));
  }
  *first++ = ' ';
  return WriteWideDigits(first, n);
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

std::string ValueLine(Whole x, Range range) {
  std::array<char, kValueRoom + 3> buffer{' ', ' ', ' '};
  return {buffer.data(), WriteWhole(buffer.data() + 3, x.value, range)};
}

void LineWriter::Append(const char* text, std::size_t size) {
  if (overflow_.empty() && size <= buffer_.size() - size_) {
    std::memcpy(buffer_.data() + size_, text, size);
    size_ += size;
    return;
  }
  if (overflow_.empty()) {
    overflow_.assign(buffer_.data(), size_);
  }
  overflow_.append(text, size);
}

void LineWriter::Truncate(std::size_t size) {
  if (overflow_.empty()) {
    size_ = std::min(size_, size);
  } else if (size <= buffer_.size()) {
    size_ = std::min(overflow_.size(), size);
    overflow_.copy(buffer_.data(), size_);
    overflow_.clear();
  } else {
    overflow_.resize(std::min(overflow_.size(), size));
  }
}

LineWriter& LineWriter::operator<<(std::string_view text) {
  Append(text.data(), text.size());
  return *this;
}

LineWriter& LineWriter::operator<<(double value) {
  if (overflow_.empty() && buffer_.size() - size_ >= kValueRoom) {
    size_ = static_cast<std::size_t>(WriteValue(buffer_.data() + size_, value) - buffer_.data());
  } else {
    std::array<char, kValueRoom> number;
    Append(number.data(),
           static_cast<std::size_t>(WriteValue(number.data(), value) - number.data()));
  }
  return *this;
}

LineWriter& LineWriter::operator<<(Whole value) {
  if (overflow_.empty() && buffer_.size() - size_ >= kValueRoom) {
    size_ = static_cast<std::size_t>(WriteWhole(buffer_.data() + size_, value.value, range_) -
                                     buffer_.data());
  } else {
    std::array<char, kValueRoom> number;
    Append(number.data(), static_cast<std::size_t>(WriteWhole(number.data(), value.value, range_) -
                                                   number.data()));
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
    outcome.operand = letter;
    return std::nullopt;
  }
  return value;
}

std::optional<OperandValues> ReadCheckedOperands(const OperandTexts& texts,
                                                 const OperandLimits& limits, Outcome& outcome) {
  const std::string* const boxes[] = {&texts.a, &texts.b, &texts.c};
  const double limit[] = {limits.a, limits.b, limits.c};
  std::array<double, 3> values{};
  for (std::size_t i = 0; i < OperandCount(limits); ++i) {
    const auto value = ReadCheckedOperand(*boxes[i], static_cast<char>('A' + i), limit[i], outcome);
    if (!value) {
      return std::nullopt;
    }
    values[i] = *value;
  }
  return OperandValues{values[0], values[1], values[2]};
}

}  // namespace brindaq
