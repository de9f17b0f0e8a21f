// The questions on standard input, one to a line, and their answers.

#include <algorithm>
#include <array>
#include <chrono>
#include <string>
#include <utility>

#include "cli/answers.h"
#include "cli/command_line.h"

namespace brindaq::cli {
namespace {

// Editors on Windows often start a UTF-8 file with it.
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// The blanks between the words of a question; a carriage return before the newline is one.
bool SeparatesWords(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

}  // namespace

std::size_t Batch::Read(std::string_view text, std::string& output) {
  std::size_t used = 0;
  flush_ = false;
  while (output.size() < kOutputBlock && !flush_ && !work_.Interrupted()) {
    const std::string_view rest = text.substr(used);
    const std::size_t end = rest.find('\n');
    const std::string_view piece = rest.substr(0, end);
    if (!too_long_ && partial_.size() + piece.size() > kLongestQuestion) {
      too_long_ = true;
      partial_.clear();
    }
    if (end == std::string_view::npos) {
      if (!too_long_) {
        partial_ += piece;
      }
      return text.size();
    }
    if (partial_.empty()) {
      Answer(piece, output);
    } else {
      partial_ += piece;
      Answer(partial_, output);
      partial_.clear();
    }
    used += end + 1;
  }
  return used;
}

void Batch::End(std::string& output) {
  if ((!partial_.empty() || too_long_) && !work_.Interrupted()) {
    Answer(partial_, output);
    partial_.clear();
  }
}

void Batch::Answer(std::string_view line, std::string& output) {
  const std::size_t number = line_number_++;
  const bool too_long = std::exchange(too_long_, false);
  if (number == 1 && line.starts_with(kByteOrderMark)) {
    line.remove_prefix(kByteOrderMark.size());
  }
  // The operation and at most four operands: one more than any operation reads.
  std::array<std::string_view, 5> words;
  std::size_t count = 0;
  for (std::size_t i = 0; i < line.size();) {
    if (SeparatesWords(line[i])) {
      ++i;
      continue;
    }
    const std::size_t start = i;
    while (i < line.size() && !SeparatesWords(line[i])) {
      ++i;
    }
    if (count < words.size()) {
      words[count] = line.substr(start, i - start);
    }
    ++count;
  }
  if (!too_long && (count == 0 || words[0].front() == '#')) {
    return;  // an empty line or a comment
  }

  const std::string_view command = words[0];
  const OperationRow* operation = too_long ? nullptr : FindCommand(command);
  const std::string problem = too_long
                                  ? "longer than " + std::to_string(kLongestQuestion) + " bytes"
                                  : Problem(operation, command, count - 1);
  if (!problem.empty()) {
    status_ = kMisused;
    if (format_.json) {
      output += "{\"line\":" + std::to_string(number) + ",\"error\":";
      AppendJsonString(problem, output);
      output += "}\n";
    } else {
      output += "error: line " + std::to_string(number) + ": " + problem + "\n\n";
    }
    return;
  }

  const std::span<const std::string_view> operands(words.data() + 1, count - 1);
  if (format_.json) {
    AppendJsonStart(number, *operation, operands, format_, output);
    JsonLines lines(format_, output);
    const Outcome outcome = Ask(*operation, operands, format_, texts_, lines, work_);
    AppendJsonEnd(outcome, output);
    Settle(outcome);
    return;
  }
  PrintedLines lines(format_, output);
  const Outcome outcome = Ask(*operation, operands, format_, texts_, lines, work_);
  if (outcome.notice) {
    output += "notice: " + *outcome.notice + "\n";
  }
  output += '\n';
  Settle(outcome);
}

void Batch::Settle(const Outcome& outcome) {
  if (outcome.notice) {
    status_ = std::max(status_, kRefused);
  }
  if (outcome.stopped) {
    status_ = std::max(status_, work_.StoppedStatus());
  }
  // An answer that took a while is worth seeing at once.
  constexpr auto kLong = std::chrono::milliseconds(200);
  flush_ = flush_ || Work::Clock::now() - work_.Started() >= kLong;
}

}  // namespace brindaq::cli
