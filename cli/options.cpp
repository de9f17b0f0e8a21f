#include "cli/options.h"

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

#include "cli/command_line.h"
#include "core/operations.h"
#include "core/window.h"

namespace brindaq::cli {
namespace {

// The name by which the help calls the full range's largest limit, 10^10000 - 1.
constexpr std::string_view kLargestName = "L";

// A limit as the help writes it: "1000", "10^1000 - 1", "L".
std::string LimitName(const OperandRules& rules, std::size_t index, Range range) {
  if (range == Range::kFull) {
    const WholeLimit limit = FullLimitOf(rules, index);
    if (limit == kAnySize) {
      return std::string(kLargestName);
    }
    if (limit.digits > 0) {
      return "10^" + std::to_string(limit.digits) + " - 1";
    }
  }
  return LimitText(rules, index, range);
}

// The limits of the operands that an operation reads, equal ones together:
// "A, B <= 1000, C <= 10000", "A, B, C <= L".
std::string LimitsText(const OperandRules& rules, Range range) {
  std::string text;
  const std::size_t count = OperandCount(rules);
  for (std::size_t i = 0; i < count; ++i) {
    const std::string limit = LimitName(rules, i, range);
    text += i > 0 ? ", " : "";
    text += static_cast<char>('A' + i);
    if (i + 1 < count && LimitName(rules, i + 1, range) == limit) {
      continue;
    }
    text += " <= " + limit;
  }
  return text;
}

// What an operation asks of its operands: in the window's range, in the full range, and in both.
std::string RulesText(const OperandRules& rules) {
  std::string text = rules.even_a ? "A even, " : "";
  text += LimitsText(rules, Range::kWindow) + "; full range: " + LimitsText(rules, Range::kFull);
  if (rules.widest_interval > 0) {
    text += "; B - A <= " + std::to_string(rules.widest_interval);
  }
  return text;
}

std::string Padded(std::string text, std::size_t width) {
  if (text.size() < width) {
    text.append(width - text.size(), ' ');
  }
  return text;
}

}  // namespace

std::optional<Option> OptionNamed(std::string_view argument) {
  constexpr std::pair<std::string_view, Option> kOptions[] = {
      {"--raw", Option::kRaw},
      {"--json", Option::kJson},
      {window::kFullRangeOption, Option::kFullRange},
      {"--certificate", Option::kCertificate},
      {"--time-limit", Option::kTimeLimit},
      {"--help", Option::kHelp},
      {"-h", Option::kHelp},
      {"--version", Option::kVersion},
      {"-v", Option::kVersion},
      {"--", Option::kEnd},
  };
  for (const auto& [name, option] : kOptions) {
    if (name == argument || (option == Option::kTimeLimit && argument.starts_with(name) &&
                             argument.substr(name.size()).starts_with('='))) {
      return option;
    }
  }
  return std::nullopt;
}

std::optional<double> SecondsOf(std::string_view text) {
  // Digits with at most one point among them: no sign, no exponent, nothing after.
  const bool well_formed = !text.empty() &&
                           text.find_first_not_of("0123456789.") == std::string_view::npos &&
                           text.find('.') == text.rfind('.') && text != ".";
  if (!well_formed) {
    return std::nullopt;
  }
  double seconds = 0;
  double scale = 1;
  bool fraction = false;
  for (const char c : text) {
    if (c == '.') {
      fraction = true;
    } else if (fraction) {
      scale /= 10;
      seconds += (c - '0') * scale;
    } else {
      seconds = seconds * 10 + (c - '0');
    }
  }
  // A year is far more than any question is meant to run; a longer limit is no limit.
  constexpr double kLongest = 365.0 * 24 * 3600;
  if (seconds <= 0) {
    return std::nullopt;
  }
  return std::min(seconds, kLongest);
}

std::string HelpText() {
  std::string text =
      "Usage: brindaq-cli [OPTIONS] OPERATION [A [B [C]]]\n"
      "  or:  brindaq-cli [OPTIONS] -\n"
      "Runs one operation of QUARVEL, the calculator for elementary number theory, on\n"
      "the operands A, B and C, and prints its result lines one to a line, without the\n"
      "blanks that align them in the window's list. Each operand is read like the text\n"
      "of its box in the window: \"12abc\" reads as 12, and an operand that is not given\n"
      "is an empty box, which reads as 0. With \"-\" as OPERATION, the questions come\n"
      "from standard input, one to a line: an operation and its operands, separated by\n"
      "blanks or tabs (\"factors 360\").\n"
      "\n"
      "Operations, with the window's button, and the limits of their operands in the\n"
      "window's range and in the full range (L = 10^10000 - 1: at most 10000 digits).\n"
      "Every operand must be a whole number from 1 to its limit. An interval B - A\n"
      "wider than its limit is refused once A and B have passed (a B below A passes),\n"
      "and an odd A where A must be even is refused before its limit is checked:\n";
  constexpr std::size_t kColumn = 28;
  for (const OperationRow& operation : kOperations) {
    std::string usage(operation.command);
    for (std::size_t i = 0; i < OperandCount(operation.rules); ++i) {
      usage += ' ';
      usage += static_cast<char>('A' + i);
    }
    text += "  " + Padded(std::move(usage), kColumn) +
            std::string(window::ButtonOf(operation.command)->text) + "\n";
    text += "      " + RulesText(operation.rules) + "\n";
  }
  text +=
      "\n"
      "Options, recognised only before OPERATION (\"--\" ends them):\n"
      "  --full-range   answer in the full range: whole numbers of up to 10000 digits,\n"
      "                 read exactly (\"1E100\" too) and written in full digits (the\n"
      "                 window's range is the default); an operand may be an integer\n"
      "                 expression there, with + - * / ^, ! and # (primorial) and\n"
      "                 parentheses: \"2^67-1\", \"(10^21+1)/7\", \"97#\"\n"
      "  --certificate  with --full-range, is-prime follows the verdict on a prime\n"
      "                 with the certificate of its proof, one line in the form\n"
      "                 that PARI/GP reads: primecertisvalid(CERTIFICATE) checks it\n"
      "  --time-limit SECONDS\n"
      "                 stop a question that runs longer than SECONDS (\"0.5\", \"60\"):\n"
      "                 its answer is the lines found so far, then the line\n"
      "                 \"CALCULATION STOPPED !\"; with \"-\", the next question goes on\n"
      "  --raw          print the lines exactly as the window's list shows them\n"
      "  --json         print each answer as one JSON object on one line, the notice,\n"
      "                 if any, in \"notice\" instead of on standard error:\n"
      "                 {\"operation\":\"goldbach\",\"range\":\"window\",\"operands\":[\"10\"],\n"
      "                 \"lines\":[\"10  =   3  +   7\",\"10  =   5  +   5\"],\"notice\":null}\n"
      "  -h, --help     print this help and exit\n"
      "  -v, --version  print the version and exit\n"
      "\n"
      "Questions on standard input (OPERATION \"-\"):\n"
      "  Empty lines and lines that start with \"#\" are skipped; a byte-order mark at\n"
      "  the start and a carriage return before a newline are ignored. Each answer is\n"
      "  its lines followed by one empty line, so the Nth empty line ends the answer\n"
      "  to the Nth question. A notice is the line \"notice: \" and the notice. A line\n"
      "  that is not a question (an unknown operation, more operands than it reads,\n"
      "  more than 32768 bytes) is answered with \"error: line N: \" and the problem,\n"
      "  and the lines after it are still answered. With --json, each answer is one\n"
      "  object that begins with \"line\":N, the number of its question's line, and a\n"
      "  line that is not a question gives {\"line\":N,\"error\":\"...\"}.\n"
      "\n"
      "Exit status (with \"-\", the highest that any question gave):\n"
      "  0  the operation answered, also with a line such as \"NO SOLUTION !\"\n"
      "  1  an operand was refused (its notice is on standard error, or in the answer\n"
      "     with --json or \"-\"), or the input could not be read or the output written\n"
      "  2  the command line is wrong: no operation, an unknown operation or option,\n"
      "     or more operands than the operation reads; with \"-\", a line that is not\n"
      "     a question\n"
      "  124  --time-limit stopped a question\n"
      "  130  Ctrl+C stopped a question (its lines so far are printed; with \"-\",\n"
      "       no question after it is answered)\n"
      "\n"
      "On a terminal, a question that runs for more than half a second shows what it\n"
      "is doing on standard error, on one line that goes when the answer comes.\n";
  return text;
}

}  // namespace brindaq::cli
