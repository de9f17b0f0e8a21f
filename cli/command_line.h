#pragma once

// The command line of brindaq-cli: which operation it runs on which operand texts, and what it
// prints. Nothing here touches a stream, so a whole call can be run and looked at in memory, as
// the tests of tests/cli do.

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/frame/frame.h"

namespace brindaq::cli {

// The exit statuses of the program.
inline constexpr int kAnswered = 0;  // the result lines, also "NO SOLUTION !" and the like
inline constexpr int kRefused = 1;   // a notice, or output that could not be written
inline constexpr int kMisused = 2;   // the command line itself is wrong

// How questions are answered: in the window's range or the full one (`range`); and how answers
// are written: the lines as the window's list shows them (`raw`) or without their leading blanks,
// as text or as one JSON object each (`json`).
struct Format {
  bool raw = false;
  bool json = false;
  Range range = Range::kWindow;
};

// What one call prints on standard output and standard error, and its exit status.
struct Response {
  std::string output;
  std::string error;
  int status = kAnswered;
  // Set when the operation is "-": the questions then come from standard input, for a Batch
  // in this format.
  std::optional<Format> batch;
};

// Runs the command line `arguments`, the program's name left out:
// [OPTIONS] OPERATION [A [B [C]]], or [OPTIONS] -.
Response Run(std::span<const std::string_view> arguments);

// The longest question line that a batch reads; a longer one is answered as a bad line.
inline constexpr std::size_t kLongestQuestion = 4096;

// The answers of a batch are written in blocks of about this size.
inline constexpr std::size_t kOutputBlock = 1 << 16;

// The answers to questions read one to a line, "OPERATION [A [B [C]]]", as their text arrives
// in blocks of any size. Each answer is written as soon as its line is complete. A byte-order
// mark at the start of the input is skipped, and a carriage return before a newline is a blank.
class Batch {
 public:
  explicit Batch(Format format) : format_(format) {}

  // Appends to `output` the answer to each line that `text` completes, and returns how much of
  // `text` it used: all of it, unless `output` reached kOutputBlock bytes first, so that the
  // caller can write them out before it reads on. The start of a line whose newline has not
  // come yet waits for the next block.
  std::size_t Read(std::string_view text, std::string& output);

  // The end of the input: answers a last line that has no newline.
  void End(std::string& output);

  // The worst exit status so far: kMisused after a bad line, else kRefused after a notice.
  int status() const { return status_; }

 private:
  void Answer(std::string_view line, std::string& output);
  void Refused(const Outcome& outcome);

  Format format_;
  OperandTexts texts_;           // the operands of the question being answered
  std::string partial_;          // the start of the line being read
  std::size_t line_number_ = 1;  // of the line being read
  bool too_long_ = false;        // the line being read is longer than kLongestQuestion
  int status_ = kAnswered;
};

// The text of --help: the synopsis, every operation of the table with its caption and what it
// asks of its operands in each range, the options, the form of a batch's answers and the exit
// statuses; no line wider than 79 columns.
std::string HelpText();

}  // namespace brindaq::cli
