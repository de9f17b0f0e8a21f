#include "core/modular/modular.h"

namespace brindaq {

Outcome ModularPower(const OperandTexts&) {
  return {};
}

Outcome LinearCongruence(const OperandTexts&) {
  return {};
}

Outcome QuadraticCongruence(const OperandTexts&) {
  return {};
}

Outcome ModularInverse(const OperandTexts&) {
  return {};
}

}  // namespace brindaq
