#include "cli/answers.h"

#include <string>

namespace brindaq::cli {
namespace {

// "A", "A and B", "A, B and C".
std::string_view OperandLetters(std::size_t count) {
  constexpr std::string_view kLetters[] = {"", "A", "A and B", "A, B and C"};
  return kLetters[count];
}

}  // namespace

// A result line as it is printed: without its leading blanks unless --raw was given.
std::string_view Printed(const std::string& line, const Format& format) {
  return format.raw ? std::string_view(line) : CopiedLine(line);
}

std::string Problem(const OperationButton* operation, std::string_view command,
                    std::size_t operands) {
  if (operation == nullptr) {
    return "unknown operation " + QuotedName(command);
  }
  const std::size_t read = OperandCount(operation->rules);
  if (operands > read) {
    return "too many operands: " + QuotedName(command) + " reads " +
           std::string(OperandLetters(read)) + " only";
  }
  return {};
}

Outcome Ask(const OperationButton& operation, std::span<const std::string_view> operands,
            const Format& format) {
  OperandTexts texts;
  std::string* boxes[] = {&texts.a, &texts.b, &texts.c};
  for (std::size_t i = 0; i < operands.size(); ++i) {
    boxes[i]->assign(operands[i]);
  }
  return operation.run_in(texts, format.range);
}

void AppendLines(const Outcome& outcome, const Format& format, std::string& output) {
  for (const std::string& line : outcome.lines) {
    output += Printed(line, format);
    output += '\n';
  }
}

}  // namespace brindaq::cli
