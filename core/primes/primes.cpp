#include "core/primes/primes.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "core/arithmetic/primality.h"
#include "core/arithmetic/sieve.h"
#include "core/big/natural.h"
#include "core/proof/proven.h"

namespace brindaq {
namespace {

// The candidates of an interval scan: the whole numbers strictly between A and B, from `first`
// to `last` inclusive. There are none when first > last.
struct Candidates {
  std::uint64_t first;
  std::uint64_t last;
};

// The candidates between A and B. A at the top of the full range leaves none above it; B is at
// least 1, so B - 1 does not wrap.
Candidates CandidatesBetween(const Operands& operands) {
  if (operands.a == kLargestWhole) {
    return {1, 0};
  }
  return {operands.a + 1, operands.b - 1};
}

}  // namespace

bool IsPrimeByTrialDivision(double x) {
  // Only a whole x of 4 or more has a whole divisor from 2 up to its square root.
  if (!(x >= 4) || std::floor(x) != x) {
    return true;
  }
  if (x < 18446744073709551616.0) {  // 2^64
    return IsPrime(static_cast<std::uint64_t>(x));
  }
  const double root = std::sqrt(x);
  for (double d = 2; d <= root; ++d) {
    if (Divides(d, x)) {
      return false;
    }
  }
  return true;
}

namespace {

// Past 2^64, the same scans by the sieve of an interval of any size, each prime handed on as soon
// as it is established, and proven. The candidates run from A + 1 to `last`.
bool ForEachPrimeAbove(const Operands& operands, const Natural& last, Work& work,
                       const std::function<void(const Natural&, bool)>& visit) {
  const Natural first = operands.exact[0] + Natural(1);
  return first > last || ForEachProvenPrimeBetween(first, last, work, visit);
}

Ending Ended(bool whole) {
  return whole ? Ending::kWhole : Ending::kStopped;
}

// A prime in a list: in full, or after kNotYetProvenPrime when its proof was stopped or not
// tried.
LineWriter PrimeLine(const Natural& p, bool proven, Range range) {
  LineWriter line(range);
  line << (proven ? "   " : kNotYetProvenPrime) << p;
  return line;
}

}  // namespace

Ending lines_of::PrimesBetween(const Operands& operands, Range range, LineSink& lines, Work& work) {
  if (!operands.words) {
    return Ended(ForEachPrimeAbove(
        operands, operands.exact[1] - Natural(1), work,
        [&](const Natural& p, bool proven) { lines.Add(PrimeLine(p, proven, range)); }));
  }
  const Candidates candidates = CandidatesBetween(operands);
  const PrimeSegment primes(candidates.first, candidates.last);
  lines.Reserve(primes.Count());
  primes.ForEachPrime([&](std::uint64_t p) { lines.Add(LineWriter(range) << "   " << Whole{p}); });
  return Ending::kWhole;
}

Ending lines_of::TwinPrimesBetween(const Operands& operands, Range range, LineSink& lines,
                                   Work& work) {
  const auto none = [&lines] {
    if (lines.Count() == 0) {
      lines.Add("   NO TWIN PRIMES");
      lines.Add("   IN THIS INTERVAL !");
    }
  };
  // Only the smaller member is bounded by the interval; its partner may lie beyond B, up to
  // B + 1.
  if (!operands.words) {
    // A pair of which a member is not proven is followed by that member's line.
    const Natural last = operands.exact[1] - Natural(1);
    std::optional<Natural> before;
    bool before_proven = true;
    const bool whole = ForEachPrimeAbove(
        operands, operands.exact[1] + Natural(1), work, [&](const Natural& p, bool proven) {
          if (before && *before + Natural(2) == p && *before <= last) {
            lines.Add(LineWriter(range) << "   " << *before << "      " << p);
            if (!before_proven) {
              lines.Add(PrimeLine(*before, false, range));
            }
            if (!proven) {
              lines.Add(PrimeLine(p, false, range));
            }
          }
          before = p;
          before_proven = proven;
        });
    if (!whole) {
      return Ending::kStopped;
    }
    none();
    return Ending::kWhole;
  }
  // Below 2^64 the partner never passes 2^64 - 1: the largest prime below 2^64 is 2^64 - 59.
  const Candidates candidates = CandidatesBetween(operands);
  const std::uint64_t partners_end =
      candidates.last > kLargestWhole - 2 ? kLargestWhole : candidates.last + 2;
  const PrimeSegment primes(candidates.first, partners_end);
  primes.ForEachPrime([&](std::uint64_t p) {
    if (p <= candidates.last && p + 2 <= partners_end && primes.IsPrime(p + 2)) {
      lines.Add(LineWriter(range) << "   " << Whole{p} << "      " << Whole{p + 2});
    }
  });
  none();
  return Ending::kWhole;
}

Ending lines_of::PrimeCountBetween(const Operands& operands, Range range, LineSink& lines,
                                   Work& work) {
  if (!operands.words) {
    std::uint64_t count = 0;
    std::vector<Natural> unproven;
    if (!ForEachPrimeAbove(operands, operands.exact[1] - Natural(1), work,
                           [&](const Natural& p, bool proven) {
                             ++count;
                             if (!proven) {
                               unproven.push_back(p);
                             }
                           })) {
      return Ending::kStopped;
    }
    lines.Add(LineWriter(range) << "   " << Whole{count});
    AddNotYetProven(unproven, range, lines);
    return Ending::kWhole;
  }
  const Candidates candidates = CandidatesBetween(operands);
  lines.Add(LineWriter(range) << "   "
                              << Whole{PrimeSegment(candidates.first, candidates.last).Count()});
  return Ending::kWhole;
}

Ending lines_of::NextPrime(const Operands& operands, Range range, LineSink& lines, Work& work) {
  // A prime always lies above A and not beyond 2A + 1 (Bertrand), so one line always follows. The
  // last prime below 2^64 is 18446744073709551557: from it on, the next one lies past 2^64.
  constexpr std::uint64_t kLastWordPrime = 18446744073709551557U;
  if (!operands.words || operands.a >= kLastWordPrime) {
    const std::optional<FoundPrime> next =
        ProvenNextPrime(operands.words ? Natural(operands.a) : operands.exact[0], work);
    if (!next) {
      return Ending::kStopped;
    }
    lines.Add(PrimeLine(next->prime, next->proven, range));
    return Ended(next->proven || !work.Stopped());
  }
  lines.Add(LineWriter(range) << "   " << Whole{FirstPrimeAbove(operands.a)});
  return Ending::kWhole;
}

Outcome ranged::PrimesBetween(const OperandTexts& texts, Range range) {
  return Answer(texts, kPrimesBetweenRules, range, &lines_of::PrimesBetween);
}

Outcome ranged::TwinPrimesBetween(const OperandTexts& texts, Range range) {
  return Answer(texts, kTwinPrimesBetweenRules, range, &lines_of::TwinPrimesBetween);
}

Outcome ranged::PrimeCountBetween(const OperandTexts& texts, Range range) {
  return Answer(texts, kPrimeCountBetweenRules, range, &lines_of::PrimeCountBetween);
}

Outcome ranged::NextPrime(const OperandTexts& texts, Range range) {
  return Answer(texts, kNextPrimeRules, range, &lines_of::NextPrime);
}

Outcome PrimesBetween(const OperandTexts& texts) {
  return ranged::PrimesBetween(texts, Range::kWindow);
}

Outcome TwinPrimesBetween(const OperandTexts& texts) {
  return ranged::TwinPrimesBetween(texts, Range::kWindow);
}

Outcome PrimeCountBetween(const OperandTexts& texts) {
  return ranged::PrimeCountBetween(texts, Range::kWindow);
}

Outcome NextPrime(const OperandTexts& texts) {
  return ranged::NextPrime(texts, Range::kWindow);
}

}  // namespace brindaq
