#include "core/additive/additive.h"

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/arithmetic/sieve.h"
#include "core/arithmetic/two_squares.h"
#include "core/arithmetic/wide.h"

namespace brindaq {

bool lines_of::SumOfTwoSquares(const Operands& operands, Range range, LineSink& lines,
                               Work& /*work*/) {
  // Zero is never taken as a square.
  const std::vector<SquarePair> pairs = SumsOfTwoSquares(operands.a);
  if (pairs.empty()) {
    lines.Add("   NO SOLUTION !");
    return true;
  }
  lines.Reserve(pairs.size());
  LineWriter line(range);
  line << " " << Whole{operands.a} << "  =  ";
  const std::size_t start = line.Size();
  for (const SquarePair& pair : pairs) {
    line.Truncate(start);
    line << Whole{pair.x} << "^2"
         << "  +  " << Whole{pair.y} << "^2";
    lines.Add(line);
  }
  return true;
}

bool lines_of::GoldbachDecomposition(const Operands& operands, Range range, LineSink& lines,
                                     Work& /*work*/) {
  // A is even, so p and q = A - p are odd together, and both are at least 3: the prime 2 never
  // takes part. One sieve up to A answers for both.
  const std::uint64_t a = operands.a;
  const PrimeSegment primes(0, a);
  // The smaller primes of the pairs are gathered first, so that room for the lines is made once;
  // A is at most 10^7, so each fits 32 bits.
  std::vector<std::uint32_t> smaller;
  primes.ForEachOddPrimePair(
      a, [&smaller](std::uint64_t p) { smaller.push_back(static_cast<std::uint32_t>(p)); });
  lines.Reserve(smaller.size());
  LineWriter line(range);
  line << " " << Whole{a} << "  =  ";
  const std::size_t start = line.Size();
  for (const std::uint32_t p : smaller) {
    line.Truncate(start);
    line << Whole{p} << "  +  " << Whole{a - p};
    lines.Add(line);
  }
  return true;
}

bool lines_of::CollatzSequence(const Operands& operands, Range range, LineSink& lines,
                               Work& /*work*/) {
  // The step comes before the test for 1, so A = 1 walks on through 4 and 2. Every value stays
  // below 2^53 for an A of the window's range (2185143829170100 at most), and below 2^128 for an
  // A up to 10^18.
  const auto walk = [start = Uint128{operands.a}](auto visit) {
    Uint128 value = start;
    do {
      value = value % 2 == 0 ? value / 2 : 3 * value + 1;
      visit(value);
    } while (value != 1);
  };
  // The steps are counted first, so that room for the lines is made once.
  std::size_t steps = 0;
  walk([&steps](Uint128) { ++steps; });
  lines.Reserve(steps);
  walk([&](Uint128 value) { lines.Add(LineWriter(range) << "   " << Whole{value}); });
  return true;
}

bool lines_of::FibonacciNumbers(const Operands& operands, Range range, LineSink& lines,
                                Work& /*work*/) {
  // Starting from 0 and 1 gives the terms 1, 1, 2, 3, ...; the 93rd is the last below 2^64, and
  // the 73rd, the last of the window's range, has 15 digits.
  lines.Reserve(static_cast<std::size_t>(operands.a));
  std::uint64_t previous = 0;
  std::uint64_t current = 1;
  for (std::uint64_t k = 1; k <= operands.a; ++k) {
    lines.Add(LineWriter(range) << "   " << Whole{current});
    const std::uint64_t next = previous + current;  // wraps after the 93rd, which is never shown
    previous = current;
    current = next;
  }
  return true;
}

Outcome ranged::SumOfTwoSquares(const OperandTexts& texts, Range range) {
  return Answer(texts, kSumOfTwoSquaresRules, range, &lines_of::SumOfTwoSquares);
}

Outcome ranged::GoldbachDecomposition(const OperandTexts& texts, Range range) {
  return Answer(texts, kGoldbachRules, range, &lines_of::GoldbachDecomposition);
}

Outcome ranged::CollatzSequence(const OperandTexts& texts, Range range) {
  return Answer(texts, kCollatzRules, range, &lines_of::CollatzSequence);
}

Outcome ranged::FibonacciNumbers(const OperandTexts& texts, Range range) {
  return Answer(texts, kFibonacciRules, range, &lines_of::FibonacciNumbers);
}

Outcome SumOfTwoSquares(const OperandTexts& texts) {
  return ranged::SumOfTwoSquares(texts, Range::kWindow);
}

Outcome GoldbachDecomposition(const OperandTexts& texts) {
  return ranged::GoldbachDecomposition(texts, Range::kWindow);
}

Outcome CollatzSequence(const OperandTexts& texts) {
  return ranged::CollatzSequence(texts, Range::kWindow);
}

Outcome FibonacciNumbers(const OperandTexts& texts) {
  return ranged::FibonacciNumbers(texts, Range::kWindow);
}

}  // namespace brindaq
