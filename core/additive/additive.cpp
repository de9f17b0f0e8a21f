#include "core/additive/additive.h"

#include <cmath>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

namespace brindaq {
namespace {

// Whether no odd divisor from 3 up to the square root of n divides n. For an odd n >= 3 this
// says that n is prime; even divisors need no trying, since n is odd.
bool HasNoOddDivisor(double n) {
  const double root = std::sqrt(n);
  for (double d = 3; d <= root; d += 2) {
    if (Divides(d, n)) {
      return false;
    }
  }
  return true;
}

// A result line made of its pieces, without separators.
std::string Join(std::initializer_list<std::string_view> pieces) {
  std::string line;
  for (const std::string_view piece : pieces) {
    line += piece;
  }
  return line;
}

}  // namespace

Outcome SumOfTwoSquares(const OperandTexts& texts) {
  Outcome outcome;
  const auto a = ReadCheckedOperand(texts.a, 'A', 10000000, outcome);
  if (!a) {
    return outcome;
  }
  // Every pair 1 <= x <= y <= sqrt(A) is tried; zero is never taken as a square.
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

Outcome GoldbachDecomposition(const OperandTexts& texts) {
  Outcome outcome;
  const double a = ReadOperand(texts.a);
  // Parity comes before size, so an odd A is refused as odd however large it is.
  if (!Divides(2, a)) {
    outcome.notice = "A MUST BE EVEN !";
    return outcome;
  }
  if (auto notice = CheckOperand(a, 'A', 100000)) {
    outcome.notice = std::move(notice);
    return outcome;
  }
  // A is even, so p and q = A - p are odd together and odd trial division settles both.
  const double half = a / 2;
  for (double p = 3; p <= half; p += 2) {
    if (HasNoOddDivisor(p) && HasNoOddDivisor(a - p)) {
      outcome.lines.push_back(
          Join({" ", FormatValue(a), "  =  ", FormatValue(p), "  +  ", FormatValue(a - p)}));
    }
  }
  return outcome;
}

Outcome CollatzSequence(const OperandTexts& texts) {
  Outcome outcome;
  const auto a = ReadCheckedOperand(texts.a, 'A', 100000000, outcome);
  if (!a) {
    return outcome;
  }
  // The step comes before the test for 1, so A = 1 walks on through 4 and 2. Every value stays
  // below 2^53 for an accepted A, so halving and 3v + 1 are exact.
  double value = *a;
  do {
    value = Divides(2, value) ? value / 2 : 3 * value + 1;
    outcome.lines.push_back(ValueLine(value));
  } while (value != 1);
  return outcome;
}

Outcome FibonacciNumbers(const OperandTexts& texts) {
  Outcome outcome;
  const auto a = ReadCheckedOperand(texts.a, 'A', 73, outcome);
  if (!a) {
    return outcome;
  }
  // Starting from 0 and 1 gives the terms 1, 1, 2, 3, ...; the 73rd has 15 digits, so every
  // term is exact and shown in plain digits.
  double previous = 0;
  double current = 1;
  for (double k = 1; k <= *a; ++k) {
    outcome.lines.push_back(ValueLine(current));
    const double next = previous + current;
    previous = current;
    current = next;
  }
  return outcome;
}

}  // namespace brindaq
