#include "cli/command_line.h"

#include <charconv>
#include <cstddef>
#include <system_error>

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

Response Printed(std::string text) {
  Response response;
  response.output = std::move(text);
  return response;
}

}  // namespace

std::string HelpText() {
  std::string text =
      "Usage: brindaq-cli [OPTIONS] OPERATION [A [B [C]]]\n"
      "Runs one operation of QUARVEL, the calculator for elementary number theory, on the\n"
      "operands A, B and C, and prints its result lines one per line, without the blanks that\n"
      "align them in the window's list.\n"
      "Each operand is read like the text of its box in the window: \"12abc\" reads as 12, and\n"
      "an operand that is not given is an empty box, which reads as 0.\n"
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
      "  --raw      print the lines exactly as the window's list shows them, blanks included\n"
      "  --help     print this help and exit\n"
      "  --version  print the version and exit\n"
      "\n"
      "Exit status:\n"
      "  0  the operation answered, also with a line such as \"NO SOLUTION !\"\n"
      "  1  an operand was refused (its notice is on standard error), or the output could\n"
      "     not be written\n"
      "  2  the command line is wrong: no operation, an unknown operation or option, or more\n"
      "     operands than the operation reads\n";
  return text;
}

Response Run(std::span<const std::string_view> arguments) {
  bool raw = false;
  std::size_t next = 0;
  for (; next < arguments.size(); ++next) {
    const std::string_view argument = arguments[next];
    if (argument == "--") {
      ++next;
      break;
    }
    if (argument.size() < 2 || argument.front() != '-') {
      break;  // the operation's name: options end here
    }
    if (argument == "--raw") {
      raw = true;
    } else if (argument == "--help") {
      return Printed(HelpText());
    } else if (argument == "--version") {
      return Printed(std::string(kProgram) + " " + BRINDAQ_VERSION + "\n");
    } else {
      return Misused("unknown option '" + std::string(argument) + "'");
    }
  }
  if (next == arguments.size()) {
    return Misused("missing operation");
  }
  const std::string_view command = arguments[next++];
  const OperationButton* operation = FindCommand(command);
  if (operation == nullptr) {
    return Misused("unknown operation '" + std::string(command) + "'");
  }
  const std::span<const std::string_view> operands = arguments.subspan(next);
  const std::size_t read = OperandsRead(*operation);
  if (operands.size() > read) {
    return Misused("too many operands: '" + std::string(command) + "' reads " +
                   OperandLetters(read) + " only");
  }

  OperandTexts texts;
  std::string* boxes[] = {&texts.a, &texts.b, &texts.c};
  for (std::size_t i = 0; i < operands.size(); ++i) {
    boxes[i]->assign(operands[i]);
  }
  const Outcome outcome = operation->run(texts);
  Response response;
  if (outcome.notice) {
    response.error = std::string(kProgram) + ": " + *outcome.notice + "\n";
    response.status = kRefused;
    return response;
  }
  for (const std::string& line : outcome.lines) {
    response.output += raw ? std::string_view(line) : CopiedLine(line);
    response.output += '\n';
  }
  return response;
}

}  // namespace brindaq::cli
