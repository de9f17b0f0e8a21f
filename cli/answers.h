#pragma once

// What a single question and a batch share: asking the core, and writing an answer as text or
// as JSON.

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
std::string Problem(const OperationButton* operation, std::string_view command,
                    std::size_t operands);

// The operation on the operand texts, in the range of `format`; a missing operand is an empty box.
Outcome Ask(const OperationButton& operation, std::span<const std::string_view> operands,
            const Format& format);

// A result line as it is printed: without its leading blanks unless --raw was given.
std::string_view Printed(const std::string& line, const Format& format);

// The result lines of `outcome`, one to a line.
void AppendLines(const Outcome& outcome, const Format& format, std::string& output);

// `text` as a JSON string, valid UTF-8 whatever its bytes.
void AppendJsonString(std::string_view text, std::string& output);

// One answer as one line of JSON, with the number of its line in a batch:
// {"line":3,"operation":"factors","range":"window","operands":["360"],"lines":["2",...],
// "notice":null}.
void AppendJson(std::optional<std::size_t> line, std::string_view command,
                std::span<const std::string_view> operands, const Outcome& outcome,
                const Format& format, std::string& output);

}  // namespace brindaq::cli
