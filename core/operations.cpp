#include "core/operations.h"

namespace brindaq {

const OperationButton* FindCommand(std::string_view command) {
  for (const OperationButton& operation : kOperationButtons) {
    if (operation.command == command) {
      return &operation;
    }
  }
  return nullptr;
}

std::optional<char> NoticeOperand(const OperationButton& operation, const OperandTexts& texts,
                                  std::string_view notice) {
  // "A MUST BE INTEGER > 0", "B MUST BE ...", "A MUST BE EVEN !" name their operand.
  if (notice.size() > 2 && notice[1] == ' ' && notice.substr(2).starts_with("MUST BE") &&
      (notice[0] == 'A' || notice[0] == 'B' || notice[0] == 'C')) {
    return notice[0];
  }
  // Only B can make an interval wider than allowed: A has already passed.
  if (notice == "INTERVAL TOO LARGE !") {
    return 'B';
  }
  // The operands are checked in order, so the first one above its limit is the one.
  if (notice == "NUMBER TOO LARGE !") {
    const OperandLimits& limits = operation.limits;
    if (limits.a > 0 && ReadOperand(texts.a) > limits.a) {
      return 'A';
    }
    if (limits.b > 0 && ReadOperand(texts.b) > limits.b) {
      return 'B';
    }
    if (limits.c > 0 && ReadOperand(texts.c) > limits.c) {
      return 'C';
    }
  }
  return std::nullopt;
}

}  // namespace brindaq
