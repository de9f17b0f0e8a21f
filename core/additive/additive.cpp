#include "core/additive/additive.h"

namespace brindaq {

Outcome SumOfTwoSquares(const OperandTexts&) {
  return {};
}

Outcome GoldbachDecomposition(const OperandTexts&) {
  return {};
}

Outcome CollatzSequence(const OperandTexts&) {
  return {};
}

Outcome FibonacciNumbers(const OperandTexts&) {
  return {};
}

}  // namespace brindaq
