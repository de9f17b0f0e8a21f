#include "core/modular/modular.h"

#include <cassert>
#include <cstdint>
#include <numeric>
#include <optional>
#include <vector>

#include "core/arithmetic/wide.h"
#include "core/big/big_congruence.h"
#include "core/big/big_factorisation.h"
#include "core/big/natural.h"
#include "core/proof/proven.h"

namespace brindaq {
namespace {

// The candidates of the searches run from 1 through the modulus, the last one standing for the
// residue 0: a residue as the line of the candidate that shows it.
LineWriter CandidateLine(std::uint64_t residue, std::uint64_t modulus, Range range) {
  LineWriter line(range);
  line << "   " << Whole{residue == 0 ? modulus : residue};
  return line;
}

LineWriter CandidateLine(const Natural& residue, const Natural& modulus, Range range) {
  LineWriter line(range);
  line << "   " << (residue.IsZero() ? modulus : residue);
  return line;
}

// The inverse of a modulo m >= 1, as a residue below m; nothing when a and m share a factor.
// Modulo 1 the inverse is the residue 0.
std::optional<Natural> InverseModulo(const Natural& a, const Natural& m) {
  if (m == 1) {
    return Natural();
  }
  Natural inverse;
  if (mpz_invert(inverse.raw(), a.get(), m.get()) == 0) {
    return std::nullopt;
  }
  return inverse;
}

}  // namespace

Ending lines_of::ModularPower(const Operands& operands, Range range, LineSink& lines, Work& work) {
  if (!operands.words) {
    const std::optional<Natural> power =
        PowerModulo(operands.exact[0], operands.exact[1], operands.exact[2], work);
    if (!power) {
      return Ending::kStopped;
    }
    lines.Add(LineWriter(range) << "   " << *power);
    return Ending::kWhole;
  }
  // By squaring and multiplying: the bits of B from the lowest on, each squaring the base and,
  // where the bit is set, multiplying it into the result; every product of two residues is exact
  // in 128 bits. The result starts as 1 reduced modulo C, which is 0 for C = 1.
  const std::uint64_t modulus = operands.c;
  std::uint64_t base = operands.a % modulus;
  std::uint64_t result = 1 % modulus;
  for (std::uint64_t exponent = operands.b; exponent > 0; exponent /= 2) {
    if (exponent % 2 == 1) {
      result = MultiplyModulo(result, base, modulus);
    }
    base = MultiplyModulo(base, base, modulus);
  }
  lines.Add(LineWriter(range) << "   " << Whole{result});
  return Ending::kWhole;
}

Ending lines_of::LinearCongruence(const Operands& operands, Range range, LineSink& lines,
                                  Work& /*work*/) {
  // With g = gcd(A, C), A*X = B (mod C) has solutions exactly when g divides B, and they are
  // X = (B/g) * (A/g)^-1 modulo C/g. The smallest candidate is that residue, or C/g itself
  // for the residue 0; C/g is at most C, so it is always among the candidates 1 to C.
  if (!operands.words) {
    const Natural& a = operands.exact[0];
    const Natural& b = operands.exact[1];
    const Natural common = Gcd(a, operands.exact[2]);
    if (!(b % common).IsZero()) {
      lines.Add("  NO SOLUTION !");
      return Ending::kWhole;
    }
    const Natural modulus = operands.exact[2] / common;
    const Natural solution = b / common * *InverseModulo(a / common, modulus) % modulus;
    lines.Add(CandidateLine(solution, modulus, range));
    return Ending::kWhole;
  }
  const std::uint64_t a = operands.a;
  const std::uint64_t b = operands.b;
  const std::uint64_t c = operands.c;
  const std::uint64_t common = std::gcd(a, c);
  if (b % common != 0) {
    lines.Add("  NO SOLUTION !");
    return Ending::kWhole;
  }
  const std::uint64_t modulus = c / common;
  // A/g and C/g share no factor, so the inverse exists.
  const std::optional<std::uint64_t> inverse = InverseModulo(a / common, modulus);
  assert(inverse.has_value());
  const std::uint64_t solution = MultiplyModulo((b / common) % modulus, *inverse, modulus);
  lines.Add(CandidateLine(solution, modulus, range));
  return Ending::kWhole;
}

Ending lines_of::QuadraticCongruence(const Operands& operands, Range range, LineSink& lines,
                                     Work& work) {
  // Up to C = 100000 every candidate X from 1 through C is tried, the last one standing for the
  // residue 0. A larger C is factored, and the solutions are counted from the roots modulo each
  // prime power before they are listed.
  constexpr std::uint64_t kTriedUpTo = 100000;
  if (!operands.words || operands.c > kTriedUpTo) {
    const Natural a = operands.words ? Natural(operands.a) : operands.exact[0];
    const Natural b = operands.words ? Natural(operands.b) : operands.exact[1];
    const Natural c = operands.words ? Natural(operands.c) : operands.exact[2];
    const BigFactors factors = ProvenFactorisation(c, work);
    if (!factors.complete) {
      return Ending::kStopped;
    }
    const Natural count = CountQuadraticSolutions(a, b, c, factors.primes);
    if (count > kMostSolutions) {
      return Ending::kTooMany;
    }
    if (count.IsZero()) {
      lines.Add("  NO SOLUTION !");
      AddNotYetProven(factors.unproven, range, lines);
      return Ending::kWhole;
    }
    const std::optional<std::vector<Natural>> solutions =
        QuadraticSolutions(a, b, c, factors.primes, work);
    if (!solutions) {
      return Ending::kStopped;
    }
    for (const Natural& x : *solutions) {
      lines.Add(LineWriter(range) << "   " << x);
    }
    AddNotYetProven(factors.unproven, range, lines);
    return Ending::kWhole;
  }
  // A*X^2 modulo C follows from one candidate to the next by adding A*(2X + 1), which itself
  // grows by 2A each time, so no candidate needs a multiplication or a division. C is at most
  // 100000, so every sum of two residues is far inside 64 bits.
  const std::uint64_t c = operands.c;
  const std::uint64_t a = operands.a % c;
  const std::uint64_t target = operands.b % c;
  const std::uint64_t growth = 2 * a % c;
  std::uint64_t residue = a;       // A * 1^2
  std::uint64_t step = 3 * a % c;  // A * (2*1 + 1)
  for (std::uint64_t x = 1; x <= c; ++x) {
    if (residue == target) {
      lines.Add(LineWriter(range) << "   " << Whole{x});
    }
    residue += step;
    residue -= residue >= c ? c : 0;
    step += growth;
    step -= step >= c ? c : 0;
  }
  if (lines.Count() == 0) {
    lines.Add("  NO SOLUTION !");
  }
  return Ending::kWhole;
}

Ending lines_of::ModularInverse(const Operands& operands, Range range, LineSink& lines,
                                Work& /*work*/) {
  if (!operands.words) {
    const std::optional<Natural> inverse = InverseModulo(operands.exact[0], operands.exact[1]);
    if (!inverse) {
      lines.Add("  NO SOLUTION !");
      return Ending::kWhole;
    }
    lines.Add(CandidateLine(*inverse, operands.exact[1], range));
    return Ending::kWhole;
  }
  // Modulo 1 every number is the inverse, and the smallest candidate, 1, stands for the residue 0.
  const std::uint64_t modulus = operands.b;
  const std::optional<std::uint64_t> inverse = InverseModulo(operands.a, modulus);
  if (!inverse) {
    lines.Add("  NO SOLUTION !");
    return Ending::kWhole;
  }
  lines.Add(CandidateLine(*inverse, modulus, range));
  return Ending::kWhole;
}

Outcome ranged::ModularPower(const OperandTexts& texts, Range range) {
  return Answer(texts, kModularPowerRules, range, &lines_of::ModularPower);
}

Outcome ranged::LinearCongruence(const OperandTexts& texts, Range range) {
  return Answer(texts, kLinearCongruenceRules, range, &lines_of::LinearCongruence);
}

Outcome ranged::QuadraticCongruence(const OperandTexts& texts, Range range) {
  return Answer(texts, kQuadraticCongruenceRules, range, &lines_of::QuadraticCongruence);
}

Outcome ranged::ModularInverse(const OperandTexts& texts, Range range) {
  return Answer(texts, kModularInverseRules, range, &lines_of::ModularInverse);
}

Outcome ModularPower(const OperandTexts& texts) {
  return ranged::ModularPower(texts, Range::kWindow);
}

Outcome LinearCongruence(const OperandTexts& texts) {
  return ranged::LinearCongruence(texts, Range::kWindow);
}

Outcome QuadraticCongruence(const OperandTexts& texts) {
  return ranged::QuadraticCongruence(texts, Range::kWindow);
}

Outcome ModularInverse(const OperandTexts& texts) {
  return ranged::ModularInverse(texts, Range::kWindow);
}

}  // namespace brindaq
