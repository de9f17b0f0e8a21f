#include "core/modular/modular.h"

#include <cmath>
#include <optional>

namespace brindaq {
namespace {

struct Operands {
  double a, b, c;
};

// Reads A, B and C in turn, each against its limit and only after the one before it has passed.
// On the first failure leaves its notice in `outcome` and returns nothing.
std::optional<Operands> ReadOperands(const OperandTexts& texts, Operands limits, Outcome& outcome) {
  const auto a = ReadCheckedOperand(texts.a, 'A', limits.a, outcome);
  if (!a) {
    return std::nullopt;
  }
  const auto b = ReadCheckedOperand(texts.b, 'B', limits.b, outcome);
  if (!b) {
    return std::nullopt;
  }
  const auto c = ReadCheckedOperand(texts.c, 'C', limits.c, outcome);
  if (!c) {
    return std::nullopt;
  }
  return Operands{*a, *b, *c};
}

}  // namespace

Outcome ModularPower(const OperandTexts& texts) {
  Outcome outcome;
  const auto operands = ReadOperands(texts, {10000, 10000, 100000}, outcome);
  if (!operands) {
    return outcome;
  }
  const auto [a, b, c] = *operands;
  // One multiplication by A per unit of B, each followed by the remainder on division by C. A is
  // not reduced beforehand: B >= 1, so the residue is reduced at least once. The largest product
  // is below 10^9, so every step is exact.
  double residue = 1;
  for (double k = 1; k <= b; ++k) {
    const double product = residue * a;
    residue = product - c * std::floor(product / c);
  }
  outcome.lines.push_back(ValueLine(residue));
  return outcome;
}

Outcome LinearCongruence(const OperandTexts& texts) {
  Outcome outcome;
  const auto operands = ReadOperands(texts, {1000, 1000, 10000}, outcome);
  if (!operands) {
    return outcome;
  }
  const auto [a, b, c] = *operands;
  // The candidates run from 1 through C, the last one standing for the residue 0; only the
  // smallest solution is listed.
  for (double x = 1; x <= c; ++x) {
    if (Divides(c, a * x - b)) {
      outcome.lines.push_back(ValueLine(x));
      return outcome;
    }
  }
  outcome.lines.push_back("  NO SOLUTION !");
  return outcome;
}

Outcome QuadraticCongruence(const OperandTexts& texts) {
  Outcome outcome;
  const auto operands = ReadOperands(texts, {1000, 1000, 10000}, outcome);
  if (!operands) {
    return outcome;
  }
  const auto [a, b, c] = *operands;
  // The candidates run from 1 through C, the last one standing for the residue 0; every solution
  // is listed. A * X * X stays below 2^53, so the test is exact.
  for (double x = 1; x <= c; ++x) {
    if (Divides(c, a * x * x - b)) {
      outcome.lines.push_back(ValueLine(x));
    }
  }
  if (outcome.lines.empty()) {
    outcome.lines.push_back("  NO SOLUTION !");
  }
  return outcome;
}

Outcome ModularInverse(const OperandTexts& texts) {
  Outcome outcome;
  const auto a = ReadCheckedOperand(texts.a, 'A', 10000, outcome);
  if (!a) {
    return outcome;
  }
  const auto b = ReadCheckedOperand(texts.b, 'B', 100000, outcome);
  if (!b) {
    return outcome;
  }
  // The candidates run from 1 through B, the last one standing for the residue 0 (the inverse
  // modulo 1). A is not reduced beforehand.
  for (double x = 1; x <= *b; ++x) {
    if (Divides(*b, *a * x - 1)) {
      outcome.lines.push_back(ValueLine(x));
      return outcome;
    }
  }
  outcome.lines.push_back("  NO SOLUTION !");
  return outcome;
}

}  // namespace brindaq
