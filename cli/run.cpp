// One command line: its options, then one question, or "-" for a batch.

#include <algorithm>
#include <string>
#include <utility>

#include "cli/answers.h"
#include "cli/command_line.h"
#include "cli/options.h"
#include "core/text/text.h"

namespace brindaq::cli {
namespace {

constexpr std::string_view kSeeHelp = "; see 'brindaq-cli --help'\n";

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

}  // namespace

Response Run(std::span<const std::string_view> arguments, QuestionWork& work) {
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
    switch (*option) {
      case Option::kEnd:
        options_ended = true;
        break;
      case Option::kHelp:
        return Answered(HelpText());
      case Option::kVersion:
        return Answered(std::string(kProgram) + " " + BRINDAQ_VERSION + "\n");
      case Option::kRaw:
        format.raw = true;
        break;
      case Option::kJson:
        format.json = true;
        break;
      case Option::kFullRange:
        format.range = Range::kFull;
        break;
      case Option::kCertificate:
        format.certificate = true;
        break;
      case Option::kTimeLimit: {
        const std::size_t equals = argument.find('=');
        if (equals == std::string_view::npos && next + 1 == arguments.size()) {
          return Misused("option '--time-limit' needs a number of seconds");
        }
        const std::string_view value =
            equals == std::string_view::npos ? arguments[++next] : argument.substr(equals + 1);
        format.time_limit = SecondsOf(value);
        if (!format.time_limit) {
          return Misused("invalid time limit " + QuotedName(value) +
                         ": a number of seconds above 0 is needed");
        }
        break;
      }
    }
    if (options_ended) {
      ++next;
      break;
    }
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
  const OperationRow* operation = FindCommand(command);
  if (const std::string problem = Problem(operation, command, operands.size()); !problem.empty()) {
    Response response = Misused(problem);
    if (!options_ended) {
      AppendHint(operands, response.error);
    }
    return response;
  }

  Response response;
  OperandTexts texts;
  if (format.json) {
    AppendJsonStart(std::nullopt, *operation, operands, format, response.output);
    JsonLines lines(format, response.output);
    const Outcome outcome = Ask(*operation, operands, format, texts, lines, work);
    AppendJsonEnd(outcome, response.output);
    response.status = outcome.notice ? kRefused : kAnswered;
    response.status = outcome.stopped ? work.StoppedStatus() : response.status;
  } else {
    PrintedLines lines(format, response.output);
    const Outcome outcome = Ask(*operation, operands, format, texts, lines, work);
    if (outcome.notice) {
      response.status = kRefused;
      response.error = std::string(kProgram) + ": " + *outcome.notice + "\n";
    }
    response.status = outcome.stopped ? work.StoppedStatus() : response.status;
  }
  if (!options_ended) {
    AppendHint(operands, response.error);
  }
  return response;
}

}  // namespace brindaq::cli
