// Numbers written as the result lines show them, without the locale, and the lines made of them.

#include "core/frame/lines.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

// Where the standard library converts doubles itself (libstdc++), it does so without the locale.
// Where it cannot (the libc++ that builds the WebAssembly edition), the C library serves: its
// decimal point is always "." there, whatever the locale.
#if !defined(__cpp_lib_to_chars)
#include <cstdio>
#endif

namespace brindaq {
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

std::string& LineWriter::Overflow() {
  if (overflow_.empty()) {
    overflow_.assign(buffer_.data(), size_);
  }
  return overflow_;
}

LineWriter& LineWriter::operator<<(const Natural& value) {
  if (value.FitsWord()) {
    return *this << Whole{value.Word()};
  }
  std::string& line = Overflow();
  line += ' ';
  value.AppendDecimal(line);
  return *this;
}

LineWriter& LineWriter::operator<<(const Decimal& value) {
  std::string& line = Overflow();
  line += ' ';
  value.AppendDigits(line);
  return *this;
}

std::string_view CopiedLine(std::string_view line) {
  std::size_t first = 0;
  while (first < line.size() && line[first] == ' ') {
    ++first;
  }
  return line.substr(first);
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

void AddNotYetProven(const std::vector<Natural>& primes, Range range, LineSink& lines) {
  for (const Natural& p : primes) {
    lines.Add(LineWriter(range) << kNotYetProvenPrime << p);
  }
}

}  // namespace brindaq
