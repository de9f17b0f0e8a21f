#include "cli/command_line.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstddef>
#include <optional>
#include <string>
#include <system_error>
#include <utility>

#include "core/operations.h"

namespace brindaq::cli {
namespace {

constexpr std::string_view kProgram = "brindaq-cli";
constexpr std::string_view kSeeHelp = "; see 'brindaq-cli --help'\n";

// The operands an operation reads, in order: those with a limit.
std::size_t OperandsRead(const OperationButton& operation) {
  if (operation.limits.c > 0) {
    return 3;
  }
  if (operation.limits.b > 0) {
    return 2;
  }
  return operation.limits.a > 0 ? 1 : 0;
}

// "A", "A and B", "A, B and C".
std::string OperandLetters(std::size_t count) {
  constexpr std::string_view kLetters[] = {"", "A", "A and B", "A, B and C"};
  return std::string(kLetters[count]);
}

// A limit as the whole number it is: 10000000, not 1E+07.
std::string WholeNumber(double value) {
  char digits[24];
  const auto result = std::to_chars(digits, digits + sizeof digits, static_cast<long long>(value));
  return std::string(digits, result.ptr);
}

// "A <= 10000, B <= 100000".
std::string LimitsText(const OperationButton& operation) {
  const double limits[] = {operation.limits.a, operation.limits.b, operation.limits.c};
  std::string text;
  for (std::size_t i = 0; i < OperandsRead(operation); ++i) {
    if (i > 0) {
      text += ", ";
    }
    text += static_cast<char>('A' + i);
    text += " <= ";
    text += WholeNumber(limits[i]);
  }
  return text;
}

std::string Padded(std::string text, std::size_t width) {
  if (text.size() < width) {
    text.append(width - text.size(), ' ');
  }
  return text;
}

Response Misused(std::string problem) {
  Response response;
  response.error = std::string(kProgram) + ": " + std::move(problem) + std::string(kSeeHelp);
  response.status = kMisused;
  return response;
}

Response Answered(std::string text) {
  Response response;
  response.output = std::move(text);
  return response;
}

enum class Option { kRaw, kJson, kHelp, kVersion, kEnd };

// The option that `argument` names, if it names one.
std::optional<Option> OptionNamed(std::string_view argument) {
  constexpr std::pair<std::string_view, Option> kOptions[] = {
      {"--raw", Option::kRaw}, {"--json", Option::kJson},       {"--help", Option::kHelp},
      {"-h", Option::kHelp},   {"--version", Option::kVersion}, {"--", Option::kEnd},
  };
  for (const auto& [name, option] : kOptions) {
    if (name == argument) {
      return option;
    }
  }
  return std::nullopt;
}

// Why a question cannot be asked: `operation` is what `command` names (null for no operation),
// given `operands` operands. Empty when it can.
std::string Problem(const OperationButton* operation, std::string_view command,
                    std::size_t operands) {
  if (operation == nullptr) {
    return "unknown operation " + QuotedName(command);
  }
  const std::size_t read = OperandsRead(*operation);
  if (operands > read) {
    return "too many operands: " + QuotedName(command) + " reads " + OperandLetters(read) + " only";
  }
  return {};
}

Outcome Ask(const OperationButton& operation, std::span<const std::string_view> operands) {
  OperandTexts texts;
  std::string* boxes[] = {&texts.a, &texts.b, &texts.c};
  for (std::size_t i = 0; i < operands.size(); ++i) {
    boxes[i]->assign(operands[i]);
  }
  return operation.run(texts);
}

// A result line as it is printed: without its leading blanks unless --raw was given.
std::string_view Printed(const std::string& line, const Format& format) {
  return format.raw ? std::string_view(line) : CopiedLine(line);
}

void AppendLines(const Outcome& outcome, const Format& format, std::string& output) {
  for (const std::string& line : outcome.lines) {
    output += Printed(line, format);
    output += '\n';
  }
}

// `text` as a JSON string, valid UTF-8 whatever its bytes: a byte that is not UTF-8 becomes
// U+FFFD, and every control character (C0, DEL, C1) is written \u00XX.
void AppendJsonString(std::string_view text, std::string& output) {
  constexpr std::string_view kDigits = "0123456789abcdef";
  const auto escape = [&output, kDigits](unsigned char code) {
    output += "\\u00";
    output += kDigits[code >> 4];
    output += kDigits[code & 0xF];
  };
  const auto plain = [](char c) { return c >= 0x20 && c < 0x7F && c != '"' && c != '\\'; };
  output += '"';
  for (std::size_t i = 0; i < text.size();) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (plain(text[i])) {
      const std::size_t start = i;
      while (i < text.size() && plain(text[i])) {
        ++i;
      }
      output.append(text, start, i - start);
    } else if (byte == '"' || byte == '\\') {
      output += '\\';
      output += static_cast<char>(byte);
      ++i;
    } else if (byte < 0x80) {
      escape(byte);
      ++i;
    } else if (const std::size_t size = Utf8CharacterSize(text.substr(i)); size == 0) {
      output += "\xEF\xBF\xBD";
      ++i;
    } else if (byte == 0xC2 && static_cast<unsigned char>(text[i + 1]) < 0xA0) {
      escape(static_cast<unsigned char>(text[i + 1]));  // U+0080 to U+009F
      i += 2;
    } else {
      output += text.substr(i, size);
      i += size;
    }
  }
  output += '"';
}

// One answer as one line of JSON:
// {"operation":"factors","operands":["360"],"lines":["2",...],"notice":null}.
void AppendJson(std::string_view command, std::span<const std::string_view> operands,
                const Outcome& outcome, const Format& format, std::string& output) {
  output += "{\"operation\":";
  AppendJsonString(command, output);
  output += ",\"operands\":[";
  for (std::size_t i = 0; i < operands.size(); ++i) {
    output += i > 0 ? "," : "";
    AppendJsonString(operands[i], output);
  }
  output += "],\"lines\":[";
  for (std::size_t i = 0; i < outcome.lines.size(); ++i) {
    output += i > 0 ? "," : "";
    AppendJsonString(Printed(outcome.lines[i], format), output);
  }
  output += "],\"notice\":";
  if (outcome.notice) {
    AppendJsonString(*outcome.notice, output);
  } else {
    output += "null";
  }
  output += "}\n";
}

// After a notice or a wrong command line: one hint when an operand is one of the options, which
// would have had to come before the operation.
void AppendHint(std::span<const std::string_view> operands, std::string& error) {
  const auto option = std::find_if(operands.begin(), operands.end(), [](std::string_view operand) {
    return OptionNamed(operand).has_value();
  });
  if (option != operands.end()) {
    error += std::string(kProgram) + ": " + QuotedName(*option) +
             " was read as an operand; options go before the operation\n";
  }
}

// The blanks between the words of a question; a carriage return before the newline is one.
bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

}  // namespace

std::string HelpText() {
  std::string text =
      "Usage: brindaq-cli [OPTIONS] OPERATION [A [B [C]]]\n"
      "  or:  brindaq-cli [OPTIONS] -\n"
      "Runs one operation of QUARVEL, the calculator for elementary number theory, on the\n"
      "operands A, B and C, and prints its result lines one per line, without the blanks that\n"
      "align them in the window's list.\n"
      "Each operand is read like the text of its box in the window: \"12abc\" reads as 12, and\n"
      "an operand that is not given is an empty box, which reads as 0.\n"
      "With \"-\" as OPERATION, it answers the questions on standard input instead, one to a\n"
      "line: an operation and its operands, separated by blanks or tabs (\"factors 360\").\n"
      "\n"
      "Operations (name and operands, the window's button, the limits of the operands):\n";
  constexpr std::size_t kColumn = 28;
  for (const OperationButton& operation : kOperationButtons) {
    std::string usage(operation.command);
    for (std::size_t i = 0; i < OperandsRead(operation); ++i) {
      usage += ' ';
      usage += static_cast<char>('A' + i);
    }
    text += "  " + Padded(std::move(usage), kColumn) + std::string(operation.caption) + "\n";
    text += "  " + std::string(kColumn, ' ') + LimitsText(operation) + "\n";
  }
  text +=
      "\n"
      "Options, recognised only before OPERATION (\"--\" ends them):\n"
      "  --raw        print the lines exactly as the window's list shows them, blanks included\n"
      "  --json       print each answer as one JSON object on one line:\n"
      "               {\"operation\":\"goldbach\",\"operands\":[\"10\"],\n"
      "                \"lines\":[\"10  =   3  +   7\",\"10  =   5  +   5\"],\"notice\":null}\n"
      "               with the notice, if any, in \"notice\" instead of on standard error\n"
      "  -h, --help   print this help and exit\n"
      "  --version    print the version and exit\n"
      "\n"
      "Questions on standard input (OPERATION \"-\"):\n"
      "  Empty lines and lines that start with \"#\" are skipped. Each answer is its lines\n"
      "  followed by one empty line. A notice is the line \"notice: \" and the notice. A line\n"
      "  that is not a question (an unknown operation, more operands than the operation\n"
      "  reads, more than 4096 bytes) is answered with \"error: line N: \" and the problem, and\n"
      "  the lines after it are still answered. With --json, each answer is one object, and a\n"
      "  line that is not a question gives {\"line\":N,\"error\":\"...\"}.\n"
      "\n"
      "Exit status (with \"-\", the highest that any question gave):\n"
      "  0  the operation answered, also with a line such as \"NO SOLUTION !\"\n"
      "  1  an operand was refused (its notice is on standard error, or in the answer with\n"
      "     --json or \"-\"), or the input could not be read or the output written\n"
      "  2  the command line is wrong: no operation, an unknown operation or option, or more\n"
      "     operands than the operation reads; with \"-\", a line that is not a question\n";
  return text;
}

Response Run(std::span<const std::string_view> arguments) {
  Format format;
  bool options_ended = false;  // by "--", after which the user means every word as it stands
  std::size_t next = 0;
  for (; next < arguments.size(); ++next) {
    const std::string_view argument = arguments[next];
    if (argument.size() < 2 || argument.front() != '-') {
      break;  // the operation's name, or "-": options end here
    }
    const std::optional<Option> option = OptionNamed(argument);
    if (!option) {
      return Misused("unknown option " + QuotedName(argument));
    }
    if (*option == Option::kEnd) {
      options_ended = true;
      ++next;
      break;
    }
    if (*option == Option::kHelp) {
      return Answered(HelpText());
    }
    if (*option == Option::kVersion) {
      return Answered(std::string(kProgram) + " " + BRINDAQ_VERSION + "\n");
    }
    format.raw = format.raw || *option == Option::kRaw;
    format.json = format.json || *option == Option::kJson;
  }
  if (next == arguments.size()) {
    return Misused("missing operation");
  }
  const std::string_view command = arguments[next++];
  const std::span<const std::string_view> operands = arguments.subspan(next);
  if (command == "-") {
    if (!operands.empty()) {
      return Misused("too many operands: '-' reads standard input only");
    }
    Response response;
    response.batch = format;
    return response;
  }
  const OperationButton* operation = FindCommand(command);
  if (const std::string problem = Problem(operation, command, operands.size()); !problem.empty()) {
    Response response = Misused(problem);
    if (!options_ended) {
      AppendHint(operands, response.error);
    }
    return response;
  }

  const Outcome outcome = Ask(*operation, operands);
  Response response;
  if (outcome.notice) {
    response.status = kRefused;
  }
  if (format.json) {
    AppendJson(command, operands, outcome, format, response.output);
  } else if (outcome.notice) {
    response.error = std::string(kProgram) + ": " + *outcome.notice + "\n";
  } else {
    AppendLines(outcome, format, response.output);
  }
  if (!options_ended) {
    AppendHint(operands, response.error);
  }
  return response;
}

std::size_t Batch::Read(std::string_view text, std::string& output) {
  std::size_t used = 0;
  while (output.size() < kOutputBlock) {
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
  if (!partial_.empty() || too_long_) {
    Answer(partial_, output);
    partial_.clear();
  }
}

void Batch::Answer(std::string_view line, std::string& output) {
  const std::size_t number = line_number_++;
  const bool too_long = std::exchange(too_long_, false);
  // The operation and at most four operands: one more than any operation reads.
  std::array<std::string_view, 5> words;
  std::size_t count = 0;
  for (std::size_t i = 0; i < line.size();) {
    if (IsBlank(line[i])) {
      ++i;
      continue;
    }
    const std::size_t start = i;
    while (i < line.size() && !IsBlank(line[i])) {
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
  const OperationButton* operation = too_long ? nullptr : FindCommand(command);
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
  const Outcome outcome = Ask(*operation, operands);
  if (outcome.notice) {
    status_ = std::max(status_, kRefused);
  }
  if (format_.json) {
    AppendJson(command, operands, outcome, format_, output);
    return;
  }
  AppendLines(outcome, format_, output);
  if (outcome.notice) {
    output += "notice: " + *outcome.notice + "\n";
  }
  output += '\n';
}

}  // namespace brindaq::cli
