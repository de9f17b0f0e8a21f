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

}  // namespace brindaq
