#pragma once

// What a single question and a batch share: asking the core, and writing an answer as text or
// as JSON, each line straight into the output as the operation makes it.

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "cli/command_line.h"
#include "core/operations.h"

namespace brindaq::cli {

inline constexpr std::string_view kProgram = "brindaq-cli";

// Why a question cannot be asked: `operation` is what `command` names (null for no operation),
// given `operands` operands. Empty when it can.
std::string Problem(const OperationRow* operation, std::string_view command, std::size_t operands);

// The operation on the operand texts, in the range of `format`, each line handed to `lines`, the
// work as `work` lets it run; a missing operand is an empty box. `texts` keeps its room from one
// question to the next.
Outcome Ask(const OperationRow& operation, std::span<const std::string_view> operands,
            const Format& format, OperandTexts& texts, LineSink& lines, QuestionWork& work);

// A result line as it is printed: without its leading blanks unless --raw was given.
std::string_view Printed(std::string_view line, const Format& format);

// The result lines appended to `output` as they are printed, one to a line.
class PrintedLines final : public LineSink {
 public:
  PrintedLines(const Format& format, std::string& output) : format_(format), output_(output) {}

  void Reserve(std::size_t) override {}

 private:
  void Take(std::string_view line) override {
    output_ += Printed(line, format_);
    output_ += '\n';
  }

  const Format& format_;
  std::string& output_;
};

// `text` as a JSON string, valid UTF-8 whatever its bytes.
void AppendJsonString(std::string_view text, std::string& output);

// The result lines appended to `output` as the strings of a JSON array, without its brackets.
class JsonLines final : public LineSink {
 public:
  JsonLines(const Format& format, std::string& output) : format_(format), output_(output) {}

  void Reserve(std::size_t) override {}

 private:
  void Take(std::string_view line) override {
    if (Count() > 1) {
      output_ += ',';
    }
    AppendJsonString(Printed(line, format_), output_);
  }

  const Format& format_;
  std::string& output_;
};

// One answer as one line of JSON, with the number of its line in a batch:
// {"line":3,"operation":"factors","range":"window","operands":["360"],"lines":["2",...],
// "notice":null}, and "stopped":true last for an answer that was stopped before its end. In the
// full range, "values" follows "operands": the value of each operand as read, in full digits, or
// null for one that was refused or not read. The start, up to the opening bracket of the lines, is
// written before the operation is asked, so that its lines can follow as they come (JsonLines);
// the end after it.
void AppendJsonStart(std::optional<std::size_t> line, const OperationRow& operation,
                     std::span<const std::string_view> operands, const Format& format,
                     std::string& output);
void AppendJsonEnd(const Outcome& outcome, std::string& output);

}  // namespace brindaq::cli
