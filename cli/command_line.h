#pragma once

// The command line of brindaq-cli: which operation it runs on which operand texts, and what it
// prints. Nothing here touches a stream, so a whole call can be run and looked at in memory, as
// the tests of tests/cli do.

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "core/frame/frame.h"
#include "core/work.h"

namespace brindaq::cli {

// The exit statuses of the program.
inline constexpr int kAnswered = 0;       // the result lines, also "NO SOLUTION !" and the like
inline constexpr int kRefused = 1;        // a notice, or output that could not be written
inline constexpr int kMisused = 2;        // the command line itself is wrong
inline constexpr int kTimedOut = 124;     // a question ran past --time-limit and was stopped
inline constexpr int kInterrupted = 130;  // the user stopped a question (Ctrl+C)

// How questions are answered: in the window's range or the full one (`range`), each stopped
// after `time_limit` seconds if one is given; and how answers are written: the lines as the
// window's list shows them (`raw`) or without their leading blanks, as text or as one JSON object
// each (`json`), a proven prime followed by the certificate of its proof (`certificate`).
struct Format {
  bool raw = false;
  bool json = false;
  bool certificate = false;
  Range range = Range::kWindow;
  std::optional<double> time_limit;
};

// The work of the questions of one call: each may be stopped by its time limit, and the user may
// stop the one that runs, which also ends the call. The program's own draws the progress of a
// long question on a terminal; a plain one shows nothing.
class QuestionWork : public Work {
 public:
  // The next question starts: it may run for `time_limit` seconds, if one is given.
  void Begin(std::optional<double> time_limit);
  // The question has been answered, or stopped.
  void End() {
    busy_.store(false, std::memory_order_relaxed);
    Ended();
  }
  // Whether a question is running.
  bool Busy() const noexcept { return busy_.load(std::memory_order_relaxed); }

  // Stops the question that runs and every later one; from a signal handler or another thread.
  void Interrupt() noexcept {
    interrupted_.store(true, std::memory_order_relaxed);
    Stop();
  }
  bool Interrupted() const noexcept { return interrupted_.load(std::memory_order_relaxed); }

  // The exit status of a stopped answer.
  int StoppedStatus() const noexcept { return Interrupted() ? kInterrupted : kTimedOut; }

  // When the question that runs began.
  Clock::time_point Started() const noexcept { return started_; }

  // Whether the questions ask for the certificates of their proofs; the certificate of the last
  // question, taken once (empty when it gave none).
  void WantCertificate(bool wanted) { wants_certificate_ = wanted; }
  bool WantsCertificate() const override { return wants_certificate_; }
  void TakeCertificate(std::string text) override { certificate_ = std::move(text); }
  std::string TakenCertificate() { return std::exchange(certificate_, {}); }

 private:
  // What the program shows once a question has ended: a progress line it drew goes.
  virtual void Ended() {}

  std::atomic<bool> interrupted_{false};
  std::atomic<bool> busy_{false};
  bool wants_certificate_ = false;
  std::string certificate_;
  Clock::time_point started_ = Clock::now();
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
// [OPTIONS] OPERATION [A [B [C]]], or [OPTIONS] -. The question runs as `work` lets it.
Response Run(std::span<const std::string_view> arguments, QuestionWork& work);

// The longest question line that a batch reads: an operation and three operands of the full
// range's largest size, with room to spare. A longer one is answered as a bad line.
inline constexpr std::size_t kLongestQuestion = 32768;

// The answers of a batch are written in blocks of about this size.
inline constexpr std::size_t kOutputBlock = 1 << 16;

// The answers to questions read one to a line, "OPERATION [A [B [C]]]", as their text arrives
// in blocks of any size. Each answer is written as soon as its line is complete. A byte-order
// mark at the start of the input is skipped, and a carriage return before a newline is a blank.
class Batch {
 public:
  Batch(Format format, QuestionWork& work) : format_(format), work_(work) {}

  // Appends to `output` the answer to each line that `text` completes, and returns how much of
  // `text` it used: all of it, unless `output` reached kOutputBlock bytes first, so that the
  // caller can write them out before it reads on. The start of a line whose newline has not
  // come yet waits for the next block.
  std::size_t Read(std::string_view text, std::string& output);

  // The end of the input: answers a last line that has no newline.
  void End(std::string& output);

  // The worst exit status so far: kInterrupted once the user stopped a question, kTimedOut after
  // a question stopped by its time limit, kMisused after a bad line, kRefused after a notice.
  int status() const { return status_; }

  // Whether the user stopped a question: no question after it is answered.
  bool Interrupted() const { return work_.Interrupted(); }

  // Whether an answer of the last Read took long, so that it should be written out now rather
  // than with the next block; Read stops after it.
  bool TakeFlush() { return std::exchange(flush_, false); }

 private:
  void Answer(std::string_view line, std::string& output);
  void Settle(const Outcome& outcome);

  Format format_;
  QuestionWork& work_;
  bool flush_ = false;
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
