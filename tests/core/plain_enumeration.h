#pragma once

// The operations as they were first written: plain enumeration in double arithmetic, trial
// division by every candidate, exhaustive search over every pair and every candidate, and
// repeated multiplication.
// Slow but plainly right, they are the reference that the faster methods of the core must agree
// with line for line and notice for notice, for accepted and refused operands alike. Only the
// tests and the fuzz target include this header; the program never links it.
//
// The operand frame (reading, checking and formatting) is the core's own: it is shared, not
// rewritten, so these functions differ from the core's only in how they compute.

#include <cmath>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "core/frame/frame.h"
#include "core/frame/lines.h"
#include "core/frame/operands.h"

namespace brindaq::plain_enumeration {

// Reads one operand and applies the standard check to it: its value when it passes, else the
// notice in `outcome`, about `letter`.
inline std::optional<double> ReadCheckedOperand(std::string_view text, char letter, double limit,
                                                Outcome& outcome) {
  const double value = ReadOperand(text);
  if (std::optional<std::string> notice = CheckOperand(value, letter, limit)) {
    outcome.notice = std::move(notice);
    outcome.operand = letter;
    return std::nullopt;
  }
  return value;
}

// True when no whole d with 2 <= d <= sqrt(x) divides x.
inline bool IsPrimeByTrialDivision(double x) {
  const double root = std::sqrt(x);
  for (double d = 2; d <= root; ++d) {
    if (Divides(d, x)) {
      return false;
    }
  }
  return true;
}

// The candidates of an interval scan, from `first` to `last` inclusive; none when first > last.
struct Candidates {
  double first;
  double last;
};

// Reads A, then B (both up to ten million), then checks the width B - A.
inline std::optional<Candidates> ReadInterval(const OperandTexts& texts, double width_limit,
                                              Outcome& outcome) {
  const auto a = ReadCheckedOperand(texts.a, 'A', 10000000, outcome);
  if (!a) {
    return std::nullopt;
  }
  const auto b = ReadCheckedOperand(texts.b, 'B', 10000000, outcome);
  if (!b) {
    return std::nullopt;
  }
  if (*b - *a > width_limit) {
    outcome.notice = "INTERVAL TOO LARGE !";
    return std::nullopt;
  }
  return Candidates{*a + 1, *b - 1};
}

// The scans take the primality test as a parameter, so that a sweep over many intervals can ask
// trial division once per number and look the answers up; the enumeration stays the same.
template <typename IsPrime>
Outcome PrimesBetween(const OperandTexts& texts, IsPrime is_prime) {
  Outcome outcome;
  const auto candidates = ReadInterval(texts, 10000, outcome);
  if (!candidates) {
    return outcome;
  }
  for (double i = candidates->first; i <= candidates->last; ++i) {
    if (is_prime(i)) {
      outcome.lines.push_back(ValueLine(i));
    }
  }
  return outcome;
}

template <typename IsPrime>
Outcome TwinPrimesBetween(const OperandTexts& texts, IsPrime is_prime) {
  Outcome outcome;
  const auto candidates = ReadInterval(texts, 10000, outcome);
  if (!candidates) {
    return outcome;
  }
  for (double i = candidates->first; i <= candidates->last; ++i) {
    if (is_prime(i) && is_prime(i + 2)) {
      outcome.lines.push_back(ValueLine(i) + "      " + FormatValue(i + 2));
    }
  }
  if (outcome.lines.empty()) {
    outcome.lines.push_back("   NO TWIN PRIMES");
    outcome.lines.push_back("   IN THIS INTERVAL !");
  }
  return outcome;
}

template <typename IsPrime>
Outcome PrimeCountBetween(const OperandTexts& texts, IsPrime is_prime) {
  Outcome outcome;
  const auto candidates = ReadInterval(texts, 100000, outcome);
  if (!candidates) {
    return outcome;
  }
  double count = 0;
  for (double i = candidates->first; i <= candidates->last; ++i) {
    if (is_prime(i)) {
      ++count;
    }
  }
  outcome.lines.push_back(ValueLine(count));
  return outcome;
}

inline Outcome PrimesBetween(const OperandTexts& texts) {
  return PrimesBetween(texts, &IsPrimeByTrialDivision);
}

inline Outcome TwinPrimesBetween(const OperandTexts& texts) {
  return TwinPrimesBetween(texts, &IsPrimeByTrialDivision);
}

inline Outcome PrimeCountBetween(const OperandTexts& texts) {
  return PrimeCountBetween(texts, &IsPrimeByTrialDivision);
}

// Every i from A + 1 to 2A + 1 in turn, until one is prime.
template <typename IsPrime>
Outcome NextPrime(const OperandTexts& texts, IsPrime is_prime) {
  Outcome outcome;
  const auto a = ReadCheckedOperand(texts.a, 'A', 100000000, outcome);
  if (!a) {
    return outcome;
  }
  const double first = *a + 1;
  const double last = 2 * *a + 1;
  for (double i = first; i <= last; ++i) {
    if (is_prime(i)) {
      outcome.lines.push_back(ValueLine(i));
      break;
    }
  }
  return outcome;
}

inline Outcome NextPrime(const OperandTexts& texts) {
  return NextPrime(texts, &IsPrimeByTrialDivision);
}

// Trial division by every i up to A / 2; 1 is not a prime number.
inline Outcome PrimeFactors(const OperandTexts& texts) {
  Outcome outcome;
  const auto a = ReadCheckedOperand(texts.a, 'A', 10000000, outcome);
  if (!a) {
    return outcome;
  }
  if (*a == 1) {
    outcome.lines.push_back(" " + FormatValue(*a) + "   IS NOT A PRIME NUMBER !");
    return outcome;
  }
  double rest = *a;
  const double end = *a / 2;
  for (double i = 2; i <= end; ++i) {
    while (Divides(i, rest)) {
      rest /= i;
      outcome.lines.push_back(ValueLine(i));
    }
  }
  if (outcome.lines.empty()) {
    outcome.lines.push_back(" " + FormatValue(*a) + "   IS A PRIME NUMBER !");
  }
  return outcome;
}

// Trial division by 2 and then by every odd i up to the square root of A; the first divisor is
// the smallest prime factor. 1 is not a prime number.
inline Outcome PrimalityTest(const OperandTexts& texts) {
  Outcome outcome;
  const auto a = ReadCheckedOperand(texts.a, 'A', 100000000, outcome);
  if (!a) {
    return outcome;
  }
  const auto composite = [](double factor) {
    return Outcome{{" A IS NOT A PRIME NUMBER", " FACTOR = " + FormatValue(factor)}, std::nullopt};
  };
  if (*a == 1) {
    outcome.lines.push_back(" A IS NOT A PRIME NUMBER");
    return outcome;
  }
  if (Divides(2, *a) && *a > 2) {
    return composite(2);
  }
  const double root = std::sqrt(*a);
  for (double i = 3; i <= root; i += 2) {
    if (Divides(i, *a)) {
      return composite(i);
    }
  }
  outcome.lines.push_back(" A IS A PRIME NUMBER!");
  return outcome;
}

// Every i up to A / 2 that divides A is counted and added.
inline Outcome DivisorCountAndSum(const OperandTexts& texts) {
  Outcome outcome;
  const auto a = ReadCheckedOperand(texts.a, 'A', 1000000, outcome);
  if (!a) {
    return outcome;
  }
  double count = 0;
  double sum = 0;
  const double end = *a / 2;
  for (double i = 1; i <= end; ++i) {
    if (Divides(i, *a)) {
      ++count;
      sum += i;
    }
  }
  outcome.lines.push_back(" NUMBER OF DIVISORS = " + FormatValue(count));
  outcome.lines.push_back(" SUM OF DIVISORS = " + FormatValue(sum));
  return outcome;
}

inline std::string Join(std::initializer_list<std::string_view> pieces) {
  std::string line;
  for (const std::string_view piece : pieces) {
    line += piece;
  }
  return line;
}

// Every pair 1 <= x <= y <= sqrt(A) is tried.
inline Outcome SumOfTwoSquares(const OperandTexts& texts) {
  Outcome outcome;
  const auto a = ReadCheckedOperand(texts.a, 'A', 10000000, outcome);
  if (!a) {
    return outcome;
  }
  const double root = std::sqrt(*a);
  for (double x = 1; x <= root; ++x) {
    for (double y = x; y <= root; ++y) {
      if (x * x + y * y == *a) {
        outcome.lines.push_back(Join(
            {" ", FormatValue(*a), "  =  ", FormatValue(x), "^2", "  +  ", FormatValue(y), "^2"}));
      }
    }
  }
  if (outcome.lines.empty()) {
    outcome.lines.push_back("   NO SOLUTION !");
  }
  return outcome;
}

// Whether no odd d from 3 up to sqrt(n) divides n.
inline bool HasNoOddDivisor(double n) {
  const double root = std::sqrt(n);
  for (double d = 3; d <= root; d += 2) {
    if (Divides(d, n)) {
      return false;
    }
  }
  return true;
}

// Every odd p up to A / 2, and A - p with it, by odd trial division; parity before size.
template <typename IsOddPrime>
Outcome GoldbachDecomposition(const OperandTexts& texts, IsOddPrime is_odd_prime) {
  Outcome outcome;
  const double a = ReadOperand(texts.a);
  if (!Divides(2, a)) {
    outcome.notice = "A MUST BE EVEN !";
    return outcome;
  }
  if (auto notice = CheckOperand(a, 'A', 100000)) {
    outcome.notice = std::move(notice);
    return outcome;
  }
  const double half = a / 2;
  for (double p = 3; p <= half; p += 2) {
    if (is_odd_prime(p) && is_odd_prime(a - p)) {
      outcome.lines.push_back(
          Join({" ", FormatValue(a), "  =  ", FormatValue(p), "  +  ", FormatValue(a - p)}));
    }
  }
  return outcome;
}

inline Outcome GoldbachDecomposition(const OperandTexts& texts) {
  return GoldbachDecomposition(texts, &HasNoOddDivisor);
}

// Halving an even value, 3v + 1 for an odd one, in doubles, until the value 1; A = 1 walks on.
inline Outcome CollatzSequence(const OperandTexts& texts) {
  Outcome outcome;
  const auto a = ReadCheckedOperand(texts.a, 'A', 100000000, outcome);
  if (!a) {
    return outcome;
  }
  double value = *a;
  do {
    value = Divides(2, value) ? value / 2 : 3 * value + 1;
    outcome.lines.push_back(ValueLine(value));
  } while (value != 1);
  return outcome;
}

// Reads A, B and C in turn against their limits; nothing after the first that fails.
inline bool ReadThree(const OperandTexts& texts, double limit_a, double limit_b, double limit_c,
                      double (&values)[3], Outcome& outcome) {
  const auto a = ReadCheckedOperand(texts.a, 'A', limit_a, outcome);
  if (!a) {
    return false;
  }
  const auto b = ReadCheckedOperand(texts.b, 'B', limit_b, outcome);
  if (!b) {
    return false;
  }
  const auto c = ReadCheckedOperand(texts.c, 'C', limit_c, outcome);
  if (!c) {
    return false;
  }
  values[0] = *a;
  values[1] = *b;
  values[2] = *c;
  return true;
}

// Exactly B multiplications by A, each followed by the remainder on division by C.
inline Outcome ModularPower(const OperandTexts& texts) {
  Outcome outcome;
  double values[3] = {};
  if (!ReadThree(texts, 10000, 10000, 100000, values, outcome)) {
    return outcome;
  }
  const double a = values[0];
  const double b = values[1];
  const double c = values[2];
  double residue = 1;
  for (double k = 1; k <= b; ++k) {
    const double product = residue * a;
    residue = product - c * std::floor(product / c);
  }
  outcome.lines.push_back(ValueLine(residue));
  return outcome;
}

// The first X from 1 through C with C dividing A * X - B; X = C stands for the residue 0.
inline Outcome LinearCongruence(const OperandTexts& texts) {
  Outcome outcome;
  double values[3] = {};
  if (!ReadThree(texts, 1000, 1000, 10000, values, outcome)) {
    return outcome;
  }
  const double a = values[0];
  const double b = values[1];
  const double c = values[2];
  for (double x = 1; x <= c; ++x) {
    if (Divides(c, a * x - b)) {
      outcome.lines.push_back(ValueLine(x));
      return outcome;
    }
  }
  outcome.lines.push_back("  NO SOLUTION !");
  return outcome;
}

// Every X from 1 through C with C dividing A * X * X - B.
inline Outcome QuadraticCongruence(const OperandTexts& texts) {
  Outcome outcome;
  double values[3] = {};
  if (!ReadThree(texts, 1000, 1000, 10000, values, outcome)) {
    return outcome;
  }
  const double a = values[0];
  const double b = values[1];
  const double c = values[2];
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

// The first X from 1 through B with B dividing A * X - 1; X = B stands for the residue 0, which
// is the inverse modulo 1.
inline Outcome ModularInverse(const OperandTexts& texts) {
  Outcome outcome;
  const auto a = ReadCheckedOperand(texts.a, 'A', 10000, outcome);
  if (!a) {
    return outcome;
  }
  const auto b = ReadCheckedOperand(texts.b, 'B', 100000, outcome);
  if (!b) {
    return outcome;
  }
  for (double x = 1; x <= *b; ++x) {
    if (Divides(*b, *a * x - 1)) {
      outcome.lines.push_back(ValueLine(x));
      return outcome;
    }
  }
  outcome.lines.push_back("  NO SOLUTION !");
  return outcome;
}

}  // namespace brindaq::plain_enumeration
