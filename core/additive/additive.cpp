#include "core/additive/additive.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/arithmetic/sieve.h"
#include "core/arithmetic/two_squares.h"
#include "core/arithmetic/wide.h"
#include "core/big/big_factorisation.h"
#include "core/big/big_two_squares.h"
#include "core/big/decimal.h"
#include "core/big/natural.h"
#include "core/proof/proven.h"

namespace brindaq {

Ending lines_of::SumOfTwoSquares(const Operands& operands, Range range, LineSink& lines,
                                 Work& work) {
  // Zero is never taken as a square. Below 2^64 there are at most 2048 pairs; past it, they are
  // counted from the factors before any is written.
  if (!operands.words) {
    const Natural& a = operands.exact[0];
    const BigFactors factors = ProvenFactorisation(a, work);
    if (!factors.complete) {
      return Ending::kStopped;
    }
    const Natural count = CountSumsOfTwoSquares(factors.primes);
    if (count > kMostSolutions) {
      return Ending::kTooMany;
    }
    if (count.IsZero()) {
      lines.Add("   NO SOLUTION !");
      AddNotYetProven(factors.unproven, range, lines);
      return Ending::kWhole;
    }
    const std::optional<std::vector<BigSquarePair>> pairs = SumsOfTwoSquares(factors.primes, work);
    if (!pairs) {
      return Ending::kStopped;
    }
    LineWriter start(range);
    start << " " << a << "  =  ";
    for (const BigSquarePair& pair : *pairs) {
      LineWriter line = start;
      line << pair.x << "^2"
           << "  +  " << pair.y << "^2";
      lines.Add(line);
    }
    AddNotYetProven(factors.unproven, range, lines);
    return Ending::kWhole;
  }
  const std::vector<SquarePair> pairs = SumsOfTwoSquares(operands.a);
  if (pairs.empty()) {
    lines.Add("   NO SOLUTION !");
    return Ending::kWhole;
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
  return Ending::kWhole;
}

Ending lines_of::GoldbachDecomposition(const Operands& operands, Range range, LineSink& lines,
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
  return Ending::kWhole;
}

namespace {

// Long lists ask their work whether to stop, and report, once every so many lines: a line of a
// thousand digits takes a microsecond or two.
constexpr std::uint64_t kLinesBetweenAsks = 1024;

bool StopsAt(std::uint64_t line, std::uint64_t lines, std::string_view what, Work& work) {
  if (line % kLinesBetweenAsks != 0) {
    return false;
  }
  work.Report({what, "line", line, lines});
  return work.Stopped();
}

}  // namespace

Ending lines_of::CollatzSequence(const Operands& operands, Range range, LineSink& lines,
                                 Work& work) {
  // The step comes before the test for 1, so A = 1 walks on through 4 and 2. Every value stays
  // below 2^53 for an A of the window's range (2185143829170100 at most), and below 2^128 for an
  // A up to 10^18: there the values are words.
  constexpr std::uint64_t kWordWalksBelow = 1000000000000000000U;
  if (operands.words && operands.a <= kWordWalksBelow) {
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
    return Ending::kWhole;
  }
  // Past it, in decimal: halving and 3n + 1 cost no more than writing the digits out.
  Decimal value = Decimal::FromDigits(operands.words ? std::to_string(operands.a)
                                                     : operands.exact[0].ToDecimal());
  for (std::uint64_t step = 1;; ++step) {
    if (value.IsEven()) {
      value.Halve();
    } else {
      value.TripleAndOne();
    }
    lines.Add(LineWriter(range) << "   " << value);
    if (value.IsOne()) {
      return Ending::kWhole;
    }
    if (StopsAt(step, 0, "Collatz", work)) {
      return Ending::kStopped;
    }
  }
}

Ending lines_of::FibonacciNumbers(const Operands& operands, Range range, LineSink& lines,
                                  Work& work) {
  // Starting from 0 and 1 gives the terms 1, 1, 2, 3, ...; the 93rd is the last below 2^64, and
  // the 73rd, the last of the window's range, has 15 digits. Past the 93rd, in decimal.
  constexpr std::uint64_t kLastWord = 93;
  lines.Reserve(static_cast<std::size_t>(operands.a));
  std::uint64_t previous = 0;
  std::uint64_t current = 1;
  for (std::uint64_t k = 1; k <= std::min(operands.a, kLastWord); ++k) {
    lines.Add(LineWriter(range) << "   " << Whole{current});
    const std::uint64_t next = previous + current;  // wraps after the 93rd, which is never shown
    previous = current;
    current = next;
  }
  Decimal before(7540113804746346429U);   // the 92nd
  Decimal number(12200160415121876738U);  // the 93rd
  for (std::uint64_t k = kLastWord + 1; k <= operands.a; ++k) {
    before.Add(number);
    std::swap(before, number);
    lines.Add(LineWriter(range) << "   " << number);
    if (StopsAt(k, operands.a, "Fibonacci", work)) {
      return k == operands.a ? Ending::kWhole : Ending::kStopped;
    }
  }
  return Ending::kWhole;
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
