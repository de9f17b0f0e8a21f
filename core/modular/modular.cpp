#include "core/modular/modular.h"

#include <cmath>
#include <cstdint>
#include <optional>
#include <utility>

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
  // By squaring and multiplying: the bits of B from the lowest on, each squaring the base and,
  // where the bit is set, multiplying it into the result. Every product of two residues is below
  // C^2 <= 10^10, exact in 64 bits. The result starts as 1 reduced modulo C, which is 0 for C = 1.
  const auto modulus = static_cast<std::int64_t>(operands->c);
  std::int64_t base = static_cast<std::int64_t>(operands->a) % modulus;
  std::int64_t result = 1 % modulus;
  for (auto exponent = static_cast<std::int64_t>(operands->b); exponent > 0; exponent /= 2) {
    if (exponent % 2 == 1) {
      result = result * base % modulus;
    }
    base = base * base % modulus;
  }
  outcome.lines.push_back(ValueLine(static_cast<double>(result)));
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
  // The extended Euclidean algorithm on B and A: each remainder r_i is kept together with the s_i
  // for which r_i = s_i * A (mod B). When the last remainder that is not 0 is 1, its s is the
  // inverse; otherwise A and B share a factor and there is none. Modulo 1 every number is the
  // inverse, and the smallest candidate, 1, is the one shown.
  const auto modulus = static_cast<std::int64_t>(*b);
  if (modulus == 1) {
    outcome.lines.push_back(ValueLine(1));
    return outcome;
  }
  std::int64_t remainder = modulus;
  std::int64_t next_remainder = static_cast<std::int64_t>(*a) % modulus;
  std::int64_t factor = 0;
  std::int64_t next_factor = 1;
  while (next_remainder != 0) {
    const std::int64_t quotient = remainder / next_remainder;
    remainder = std::exchange(next_remainder, remainder - quotient * next_remainder);
    factor = std::exchange(next_factor, factor - quotient * next_factor);
  }
  if (remainder != 1) {
    outcome.lines.push_back("  NO SOLUTION !");
    return outcome;
  }
  // The factor lies strictly between -B and B; its residue from 1 to B - 1 is the inverse.
  outcome.lines.push_back(ValueLine(static_cast<double>(factor < 0 ? factor + modulus : factor)));
  return outcome;
}

}  // namespace brindaq
