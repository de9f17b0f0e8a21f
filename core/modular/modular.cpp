#include "core/modular/modular.h"

#include <cstdint>
#include <numeric>
#include <optional>
#include <utility>

namespace brindaq {
namespace {

// The inverse of `a` modulo `modulus` >= 1 as a residue from 0 to modulus - 1, by the extended
// Euclidean algorithm on the modulus and `a`: each remainder r_i is kept together with the s_i
// for which r_i = s_i * a (mod modulus). When the last remainder that is not 0 is 1, its s is the
// inverse; otherwise the two share a factor and there is none. Only modulo 1 is the residue 0.
std::optional<std::int64_t> InverseModulo(std::int64_t a, std::int64_t modulus) {
  std::int64_t remainder = modulus;
  std::int64_t next_remainder = a % modulus;
  std::int64_t factor = 0;
  std::int64_t next_factor = 1;
  while (next_remainder != 0) {
    const std::int64_t quotient = remainder / next_remainder;
    remainder = std::exchange(next_remainder, remainder - quotient * next_remainder);
    factor = std::exchange(next_factor, factor - quotient * next_factor);
  }
  if (remainder != 1) {
    return std::nullopt;
  }
  // The factor lies strictly between -modulus and modulus.
  return factor < 0 ? factor + modulus : factor;
}

// The candidates of the searches run from 1 through the modulus, the last one standing for the
// residue 0: a residue as the candidate that shows it.
double Candidate(std::int64_t residue, std::int64_t modulus) {
  return static_cast<double>(residue == 0 ? modulus : residue);
}

}  // namespace

Outcome ModularPower(const OperandTexts& texts) {
  Outcome outcome;
  const auto operands = ReadCheckedOperands(texts, kModularPowerLimits, outcome);
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
  const auto operands = ReadCheckedOperands(texts, kLinearCongruenceLimits, outcome);
  if (!operands) {
    return outcome;
  }
  // With g = gcd(A, C), A*X = B (mod C) has solutions exactly when g divides B, and they are
  // X = (B/g) * (A/g)^-1 modulo C/g. The smallest candidate is that residue, or C/g itself for
  // the residue 0; C/g is at most C, so it is always among the candidates 1 to C.
  const auto a = static_cast<std::int64_t>(operands->a);
  const auto b = static_cast<std::int64_t>(operands->b);
  const auto c = static_cast<std::int64_t>(operands->c);
  const std::int64_t common = std::gcd(a, c);
  if (b % common != 0) {
    outcome.lines.push_back("  NO SOLUTION !");
    return outcome;
  }
  const std::int64_t modulus = c / common;
  // A/g and C/g share no factor, so the inverse exists.
  const std::int64_t inverse = InverseModulo(a / common, modulus).value_or(0);
  const std::int64_t solution = (b / common) % modulus * inverse % modulus;
  outcome.lines.push_back(ValueLine(Candidate(solution, modulus)));
  return outcome;
}

Outcome QuadraticCongruence(const OperandTexts& texts) {
  Outcome outcome;
  const auto operands = ReadCheckedOperands(texts, kQuadraticCongruenceLimits, outcome);
  if (!operands) {
    return outcome;
  }
  // Every candidate X from 1 through C, the last one standing for the residue 0; every solution
  // is listed. A*X^2 modulo C follows from one candidate to the next by adding A*(2X + 1), which
  // itself grows by 2A each time, so no candidate needs a multiplication or a division.
  const auto a = static_cast<std::int64_t>(operands->a);
  const auto c = static_cast<std::int64_t>(operands->c);
  const std::int64_t target = static_cast<std::int64_t>(operands->b) % c;
  const std::int64_t growth = 2 * a % c;
  std::int64_t residue = a % c;   // A * 1^2
  std::int64_t step = 3 * a % c;  // A * (2*1 + 1)
  for (std::int64_t x = 1; x <= c; ++x) {
    if (residue == target) {
      outcome.lines.push_back(ValueLine(static_cast<double>(x)));
    }
    residue += step;
    residue -= residue >= c ? c : 0;
    step += growth;
    step -= step >= c ? c : 0;
  }
  if (outcome.lines.empty()) {
    outcome.lines.push_back("  NO SOLUTION !");
  }
  return outcome;
}

Outcome ModularInverse(const OperandTexts& texts) {
  Outcome outcome;
  const auto operands = ReadCheckedOperands(texts, kModularInverseLimits, outcome);
  if (!operands) {
    return outcome;
  }
  // Modulo 1 every number is the inverse, and the smallest candidate, 1, stands for the residue 0.
  const auto modulus = static_cast<std::int64_t>(operands->b);
  const auto inverse = InverseModulo(static_cast<std::int64_t>(operands->a), modulus);
  if (!inverse) {
    outcome.lines.push_back("  NO SOLUTION !");
    return outcome;
  }
  outcome.lines.push_back(ValueLine(Candidate(*inverse, modulus)));
  return outcome;
}

}  // namespace brindaq
