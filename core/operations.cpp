#include "core/operations.h"

namespace brindaq {

Outcome RunOperation(const OperationRow& operation, const OperandTexts& texts, Range range) {
  return Answer(texts, operation.rules, range, operation.write);
}

Outcome RunOperation(const OperationRow& operation, const OperandTexts& texts, Range range, LineSink& lines,
            Work& work) {
  return Answer(texts, operation.rules, range, operation.write, lines, work);
}

const OperationRow* FindCommand(std::string_view command) {
  for (const OperationRow& operation : kOperations) {
    if (operation.command == command) {
      return &operation;
    }
  }
  return nullptr;
}

}  // namespace brindaq
