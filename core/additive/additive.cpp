#include "core/additive/additive.h"

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

#include "core/primes/sieve.h"

namespace brindaq {
namespace {

// A result line made of its pieces, without separators.
std::string Join(std::initializer_list<std::string_view> pieces) {
  std::size_t size = 0;
  for (const std::string_view piece : pieces) {
    size += piece.size();
  }
  std::string line;
  line.reserve(size);
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
  // For each x from 1 on, the only y that can make x^2 + y^2 = A is the integer square root of
  // A - x^2; x stops where y would fall below it. Zero is never taken as a square.
  const std::int64_t whole = static_cast<std::int64_t>(*a);
  for (std::int64_t x = 1; 2 * x * x <= whole; ++x) {
    const std::int64_t y = IntegerSquareRoot(whole - x * x);
    if (x * x + y * y == whole) {
      outcome.lines.push_back(
          Join({" ", FormatValue(*a), "  =  ", FormatValue(static_cast<double>(x)), "^2", "  +  ",
                FormatValue(static_cast<double>(y)), "^2"}));
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
  // A is even, so p and q = A - p are odd together, and both are at least 3: the prime 2 never
  // takes part. One sieve up to A answers for both.
  const std::int64_t whole = static_cast<std::int64_t>(a);
  const PrimeSegment primes(0, whole);
  for (std::int64_t p = 3; 2 * p <= whole; p += 2) {
    if (primes.IsPrime(p) && primes.IsPrime(whole - p)) {
      outcome.lines.push_back(
          Join({" ", FormatValue(a), "  =  ", FormatValue(static_cast<double>(p)), "  +  ",
                FormatValue(static_cast<double>(whole - p))}));
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
