#pragma once

// The result lines: numbers written as each range writes them, lines put together from fixed
// texts and numbers, the place an operation hands its lines to, and lines as they are copied.

#include <array>
#include <cstddef>
#include <cstring>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/arithmetic/wide.h"
#include "core/big/decimal.h"
#include "core/big/natural.h"
#include "core/frame/frame.h"

namespace brindaq {

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

// A result line put together from fixed texts and numbers in one buffer: a line costs no
// allocation until it is kept as a string, and then one at most. A double is written as
// FormatValue writes it, a Whole as the writer's range writes it. A line longer than the buffer
// goes on in a string of its own.
class LineWriter {
 public:
  explicit LineWriter(Range range = Range::kWindow) : range_(range) {}

  // Written here, so that a fixed text of a few characters is copied without a call.
  LineWriter& operator<<(std::string_view text) {
    if (overflow_.empty() && text.size() <= buffer_.size() - size_) {
      std::memcpy(buffer_.data() + size_, text.data(), text.size());
      size_ += text.size();
    } else {
      Append(text.data(), text.size());
    }
    return *this;
  }
  LineWriter& operator<<(double value);
  LineWriter& operator<<(Whole value);
  // A number of any size, in full digits after the blank for its sign: only the full range has
  // them.
  LineWriter& operator<<(const Natural& value);
  LineWriter& operator<<(const Decimal& value);

  std::string_view View() const {
    return overflow_.empty() ? std::string_view(buffer_.data(), size_) : overflow_;
  }
  std::string Line() const { return std::string(View()); }

  // How long the line is so far, and the line cut back to its first `size` characters, so that
  // lines with the same start can be written one after the other from it.
  std::size_t Size() const { return View().size(); }
  void Truncate(std::size_t size);

 private:
  void Append(const char* text, std::size_t size);
  // The line so far in `overflow_`, where a long number is written.
  std::string& Overflow();

  Range range_;
  // Room for every line of the window's range, and most of the full range's.
  std::array<char, 80> buffer_;
  std::size_t size_ = 0;
  std::string overflow_;  // the whole line, once it has outgrown the buffer
};

// Where an operation puts its result lines, one at a time, as it makes them. An Outcome gathers
// them as strings; the command line writes each straight into its output, and makes no string of
// it at all.
class LineSink {
 public:
  virtual ~LineSink() = default;

  // Room for `count` more lines, where the operation knows how many are coming.
  virtual void Reserve(std::size_t count) = 0;

  void Add(std::string_view line) {
    ++count_;
    Take(line);
  }
  void Add(const LineWriter& line) { Add(line.View()); }

  // The lines given so far.
  std::size_t Count() const { return count_; }

 private:
  virtual void Take(std::string_view line) = 0;

  std::size_t count_ = 0;
};

// One line for each prime of `primes` that an answer rests on but has not proven, after
// kNotYetProvenPrime.
void AddNotYetProven(const std::vector<Natural>& primes, Range range, LineSink& lines);

// The lines gathered into a list of strings, as an Outcome holds them.
class GatheredLines final : public LineSink {
 public:
  explicit GatheredLines(std::vector<std::string>& lines) : lines_(lines) {}

  void Reserve(std::size_t count) override { lines_.reserve(lines_.size() + count); }

 private:
  void Take(std::string_view line) override { lines_.emplace_back(line); }

  std::vector<std::string>& lines_;
};

// A result line as "Copy" puts it on the clipboard and the command line prints it: without its
// leading blanks, which only align the numbers in the list.
std::string_view CopiedLine(std::string_view line);

// Result lines as copied, joined by "\n" (no newline after the last one).
std::string CopiedText(std::span<const std::string> lines);

}  // namespace brindaq
