// The operations compute by sieves, trial division by primes, the Miller-Rabin test, a square
// root per x, integer walks and residues, squaring and Euclid; plain enumeration
// (plain_enumeration.h) is what they must reproduce. Each one is held
// against it outcome for outcome, lines and notice, over refused operands and over sweeps at both
// ends of its range. Where plain enumeration is too slow to ask for every A up to 100000, the
// sweep asks the independent integer references instead, and plain enumeration a sample.

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "core/operations.h"
#include "tests/core/outcome_cases.h"
#include "tests/core/plain_enumeration.h"
#include "tests/core/reference.h"

namespace brindaq {
namespace {

namespace plain = plain_enumeration;
namespace ref = testing_reference;
using namespace testing_cases;

// An outcome as one text, its lines and then its notice.
std::string Rendered(const Outcome& outcome) {
  std::string text;
  for (const std::string& line : outcome.lines) {
    text += "[" + line + "]\n";
  }
  return text + (outcome.notice ? "notice [" + *outcome.notice + "]\n" : "no notice\n");
}

testing::AssertionResult SameOutcome(const Outcome& actual, const Outcome& expected) {
  if (actual.lines == expected.lines && actual.notice == expected.notice) {
    return testing::AssertionSuccess();
  }
  return testing::AssertionFailure() << "gives\n"
                                     << Rendered(actual) << "where the reference gives\n"
                                     << Rendered(expected);
}

std::string Texts(const OperandTexts& texts) {
  return "A = \"" + texts.a + "\", B = \"" + texts.b + "\", C = \"" + texts.c + "\"";
}

struct Pair {
  const char* name;
  Operation fast;
  Operation plain;
};

// clang-format off
const Pair kOneOperand[] = {
    {"NextPrime",             &NextPrime,             &plain::NextPrime},
    {"PrimeFactors",          &PrimeFactors,          &plain::PrimeFactors},
    {"PrimalityTest",         &PrimalityTest,         &plain::PrimalityTest},
    {"DivisorCountAndSum",    &DivisorCountAndSum,    &plain::DivisorCountAndSum},
    {"SumOfTwoSquares",       &SumOfTwoSquares,       &plain::SumOfTwoSquares},
    {"GoldbachDecomposition", &GoldbachDecomposition, &plain::GoldbachDecomposition},
    {"CollatzSequence",       &CollatzSequence,       &plain::CollatzSequence},
};
const Pair kTwoOperands[] = {
    {"PrimesBetween",     &PrimesBetween,     &plain::PrimesBetween},
    {"TwinPrimesBetween", &TwinPrimesBetween, &plain::TwinPrimesBetween},
    {"PrimeCountBetween", &PrimeCountBetween, &plain::PrimeCountBetween},
    {"ModularInverse",    &ModularInverse,    &plain::ModularInverse},
};
const Pair kThreeOperands[] = {
    {"ModularPower",        &ModularPower,        &plain::ModularPower},
    {"LinearCongruence",    &LinearCongruence,    &plain::LinearCongruence},
    {"QuadraticCongruence", &QuadraticCongruence, &plain::QuadraticCongruence},
};
// clang-format on

// Texts around every limit and every check: empty, zero, negative, odd and even, not whole,
// numeric prefixes, exponents, and the limits of the operations with their neighbours.
const std::vector<std::string> kEdgeTexts{
    "",         "abc",       "0",        "-4",      "-3",       "1",        "2",
    "3",        "4",         "2.5",      " 7",      "12abc",    "1e3",      "9999",
    "10000",    "10001",     "99991",    "99999",   "100000",   "100001",   "100002",
    "999983",   "1000000",   "1000001",  "9999991", "9999998",  "10000000", "1E7",
    "10000001", "9999999.5", "99999989", "1E8",     "100000001"};

TEST(SameAnswers, OneOperandAtTheEdgesOfItsChecks) {
  for (const Pair& pair : kOneOperand) {
    for (const std::string& a : kEdgeTexts) {
      // B and C hold texts that would fail any check: none of these operations reads them.
      const OperandTexts texts{a, "-1", "x"};
      ASSERT_TRUE(SameOutcome(pair.fast(texts), pair.plain(texts)))
          << pair.name << " " << Texts(texts);
    }
  }
}

TEST(SameAnswers, TwoOperandsAtTheEdgesOfTheirChecks) {
  for (const Pair& pair : kTwoOperands) {
    for (const std::string& a : kEdgeTexts) {
      for (const std::string& b : kEdgeTexts) {
        const OperandTexts texts{a, b, "x"};
        ASSERT_TRUE(SameOutcome(pair.fast(texts), pair.plain(texts)))
            << pair.name << " " << Texts(texts);
      }
    }
  }
}

TEST(SameAnswers, ThreeOperandsAtTheEdgesOfTheirChecks) {
  const std::vector<std::string> texts{"",    "0",     "-1",    "1",    "2",     "2.5",
                                       "7",   "999",   "1000",  "1001", "9999",  "10000",
                                       "1e4", "10001", "99991", "1e5",  "100001"};
  for (const Pair& pair : kThreeOperands) {
    for (const std::string& a : texts) {
      for (const std::string& b : texts) {
        for (const std::string& c : texts) {
          const OperandTexts operands{a, b, c};
          ASSERT_TRUE(SameOutcome(pair.fast(operands), pair.plain(operands)))
              << pair.name << " " << Texts(operands);
        }
      }
    }
  }
}

// Trial division asked once for every number of a range, so that many overlapping intervals can
// be scanned by plain enumeration at the price of one.
class TrialDivisionTable {
 public:
  TrialDivisionTable(std::int64_t first, std::int64_t last) : first_(first) {
    for (std::int64_t n = first; n <= last; ++n) {
      prime_.push_back(plain::IsPrimeByTrialDivision(static_cast<double>(n)));
    }
  }

  bool operator()(double x) const {
    const auto n = static_cast<std::int64_t>(x);
    if (n < first_ || n - first_ >= static_cast<std::int64_t>(prime_.size())) {
      return plain::IsPrimeByTrialDivision(x);
    }
    return prime_[static_cast<std::size_t>(n - first_)];
  }

 private:
  std::int64_t first_;
  std::vector<bool> prime_;
};

struct Interval {
  std::int64_t a, b;
};

// Intervals whose A (at the low end) or B (at the high end) lies within `reach` of the end of the
// range: the widest accepted, the first refused, empty and reversed ones, and random widths.
std::vector<Interval> IntervalsAtBothEnds(std::uint32_t seed, int count, std::int64_t widest,
                                          std::int64_t reach) {
  constexpr std::int64_t kTop = 10000000;
  std::mt19937_64 random(seed);
  std::uniform_int_distribution<std::int64_t> offset(0, reach);
  std::uniform_int_distribution<std::int64_t> any_width(-20, widest);
  std::vector<Interval> intervals;
  for (int i = 0; i < count; ++i) {
    const std::int64_t kinds[] = {widest, widest - 1, widest + 1, 0, 1, 2, 3, -1};
    const std::int64_t width = i % 4 == 0 ? kinds[(i / 4) % 8] : any_width(random);
    const std::int64_t a = 1 + offset(random);
    intervals.push_back({a, std::max<std::int64_t>(a + width, 1)});
    const std::int64_t b = kTop - offset(random);
    intervals.push_back({std::max<std::int64_t>(b - width, 1), b});
  }
  return intervals;
}

TEST(IntervalScans, SameAsPlainEnumerationAtBothEndsOfTheRange) {
  // Every number that any interval below may test, its partner B + 1 included.
  const TrialDivisionTable low(1, 100000 + 2200);
  const TrialDivisionTable high(10000000 - 100000 - 2200, 10000001);
  const auto is_prime = [&](double x) { return x < 5000000 ? low(x) : high(x); };

  for (const Interval& i : IntervalsAtBothEnds(11, 400, 10000, 2000)) {
    const OperandTexts texts{std::to_string(i.a), std::to_string(i.b), ""};
    ASSERT_TRUE(SameOutcome(PrimesBetween(texts), plain::PrimesBetween(texts, is_prime)))
        << "primes " << Texts(texts);
    ASSERT_TRUE(SameOutcome(TwinPrimesBetween(texts), plain::TwinPrimesBetween(texts, is_prime)))
        << "twin primes " << Texts(texts);
  }
  for (const Interval& i : IntervalsAtBothEnds(12, 400, 100000, 2000)) {
    const OperandTexts texts{std::to_string(i.a), std::to_string(i.b), ""};
    ASSERT_TRUE(SameOutcome(PrimeCountBetween(texts), plain::PrimeCountBetween(texts, is_prime)))
        << "count " << Texts(texts);
  }
}

// Operands spread over the whole range, and the largest ones, where each plain click is slowest.
std::vector<std::int64_t> Sample(std::uint32_t seed, int count, std::int64_t lowest,
                                 std::int64_t highest) {
  std::mt19937_64 random(seed);
  std::uniform_int_distribution<std::int64_t> any(lowest, highest);
  std::vector<std::int64_t> sample;
  for (int i = 0; i < count; ++i) {
    sample.push_back(any(random));
  }
  return sample;
}

void ExpectSameAsPlain(Operation fast, Operation slow, const std::vector<std::int64_t>& as) {
  for (const std::int64_t a : as) {
    const OperandTexts texts{std::to_string(a), "", ""};
    ASSERT_TRUE(SameOutcome(fast(texts), slow(texts))) << Texts(texts);
  }
}

TEST(PrimeFactors, SameAsTheReferenceFactorisationForEveryAUpTo100000) {
  for (std::int64_t a = 1; a <= 100000; ++a) {
    Outcome expected;
    const std::vector<std::uint64_t> factors = ref::Factorise(static_cast<std::uint64_t>(a));
    if (a == 1) {
      expected.lines = {"  1   IS NOT A PRIME NUMBER !"};
    } else if (factors.size() == 1) {
      expected.lines = {"  " + std::to_string(a) + "   IS A PRIME NUMBER !"};
    } else {
      for (const std::uint64_t p : factors) {
        expected.lines.push_back(Shown(static_cast<std::int64_t>(p)));
      }
    }
    ASSERT_TRUE(SameOutcome(PrimeFactors({std::to_string(a), "", ""}), expected)) << "A = " << a;
  }
}

TEST(PrimeFactors, SameAsPlainEnumerationOnASample) {
  std::vector<std::int64_t> as = Sample(21, 12, 1, 10000000);
  for (std::int64_t a = 1; a <= 2000; ++a) {
    as.push_back(a);
  }
  // Large prime cofactors, the square of the largest prime below the square root of the limit,
  // a product of two primes near it, and the largest prime.
  for (const std::int64_t a :
       {9999998, 7 * 1428571, 3 * 3333331, 3137 * 3137, 3137 * 3187, 4999999, 9999991}) {
    as.push_back(a);
  }
  ExpectSameAsPlain(&PrimeFactors, &plain::PrimeFactors, as);
}

TEST(DivisorCountAndSum, SameAsTheDivisorSieveForEveryAUpTo100000) {
  const std::vector<ref::DivisorTotals> totals = ref::DivisorTotalsUpTo(100000);
  for (std::int64_t a = 1; a <= 100000; ++a) {
    // A itself is neither counted nor added.
    const Outcome expected{
        {" NUMBER OF DIVISORS =  " + std::to_string(totals[a].count - 1),
         " SUM OF DIVISORS =  " + std::to_string(totals[a].sum - static_cast<std::uint64_t>(a))},
        std::nullopt};
    ASSERT_TRUE(SameOutcome(DivisorCountAndSum({std::to_string(a), "", ""}), expected))
        << "A = " << a;
  }
}

TEST(DivisorCountAndSum, SameAsPlainEnumerationOnASample) {
  std::vector<std::int64_t> as = Sample(22, 30, 100000, 1000000);
  for (const std::int64_t a : {720720, 831600, 942480, 982800, 997920, 999983, 999999, 1000000}) {
    as.push_back(a);
  }
  ExpectSameAsPlain(&DivisorCountAndSum, &plain::DivisorCountAndSum, as);
}

TEST(SumOfTwoSquares, SameAsEveryPairOfSquaresForEveryAUpTo100000) {
  constexpr std::int64_t kLast = 100000;
  std::vector<Lines> lines(kLast + 1);
  for (std::int64_t x = 1; 2 * x * x <= kLast; ++x) {
    for (std::int64_t y = x; x * x + y * y <= kLast; ++y) {
      const std::int64_t a = x * x + y * y;
      lines[a].push_back("  " + std::to_string(a) + "  =   " + std::to_string(x) + "^2  +   " +
                         std::to_string(y) + "^2");
    }
  }
  for (std::int64_t a = 1; a <= kLast; ++a) {
    const Outcome expected{lines[a].empty() ? Lines{"   NO SOLUTION !"} : lines[a], std::nullopt};
    ASSERT_TRUE(SameOutcome(SumOfTwoSquares({std::to_string(a), "", ""}), expected)) << "A = " << a;
  }
}

TEST(SumOfTwoSquares, SameAsPlainEnumerationOnASample) {
  std::vector<std::int64_t> as = Sample(23, 12, 100000, 10000000);
  for (const std::int64_t a : {5928325, 9998244, 9999850, 9999991, 9999997, 10000000}) {
    as.push_back(a);
  }
  ExpectSameAsPlain(&SumOfTwoSquares, &plain::SumOfTwoSquares, as);
}

void ExpectGoldbachSameAsPlain(const std::vector<std::int64_t>& as) {
  // Odd trial division asked once for every number up to the limit.
  std::vector<bool> no_odd_divisor(100001);
  for (std::size_t n = 1; n < no_odd_divisor.size(); ++n) {
    no_odd_divisor[n] = plain::HasNoOddDivisor(static_cast<double>(n));
  }
  const auto is_odd_prime = [&](double x) { return no_odd_divisor[static_cast<std::size_t>(x)]; };
  for (const std::int64_t a : as) {
    const OperandTexts texts{std::to_string(a), "", ""};
    ASSERT_TRUE(SameOutcome(GoldbachDecomposition(texts),
                            plain::GoldbachDecomposition(texts, is_odd_prime)))
        << Texts(texts);
  }
}

TEST(GoldbachDecomposition, SameAsPlainEnumerationForEvenAAtBothEnds) {
  std::vector<std::int64_t> as;
  for (std::int64_t a = 2; a <= 6000; a += 2) {
    as.push_back(a);
  }
  for (std::int64_t a = 99700; a <= 100000; a += 2) {
    as.push_back(a);
  }
  for (const std::int64_t a : Sample(24, 100, 3000, 49999)) {
    as.push_back(2 * a);
  }
  as.push_back(99330);
  ExpectGoldbachSameAsPlain(as);
}

// Every even A up to the limit gives some 25 million lines, about 20 s in Release: too long for
// every run of the suite. Run it after changing the method:
//   core_tests --gtest_also_run_disabled_tests --gtest_filter='*EveryEvenA'
TEST(GoldbachDecomposition, DISABLED_SameAsPlainEnumerationForEveryEvenA) {
  std::vector<std::int64_t> as;
  for (std::int64_t a = 2; a <= 100000; a += 2) {
    as.push_back(a);
  }
  ExpectGoldbachSameAsPlain(as);
}

TEST(ModularPower, SameAsRepeatedMultiplication) {
  std::vector<std::array<std::int64_t, 3>> operands;
  for (std::int64_t a = 1; a <= 12; ++a) {
    for (std::int64_t b = 1; b <= 30; ++b) {
      for (std::int64_t c = 1; c <= 30; ++c) {
        operands.push_back({a, b, c});
      }
    }
  }
  const std::vector<std::int64_t> as = Sample(25, 1500, 1, 10000);
  const std::vector<std::int64_t> bs = Sample(26, 1500, 1, 10000);
  const std::vector<std::int64_t> cs = Sample(27, 1500, 1, 100000);
  for (std::size_t i = 0; i < as.size(); ++i) {
    operands.push_back({as[i], bs[i], cs[i]});
  }
  for (const std::int64_t c : {99991, 99999, 100000, 65536, 1, 2}) {
    operands.push_back({10000, 10000, c});
    operands.push_back({9999, 10000, c});
    operands.push_back({c % 10000 + 1, 9999, c});
  }
  for (const auto& [a, b, c] : operands) {
    const OperandTexts texts{std::to_string(a), std::to_string(b), std::to_string(c)};
    ASSERT_TRUE(SameOutcome(ModularPower(texts), plain::ModularPower(texts))) << Texts(texts);
  }
}

TEST(ModularInverse, SameAsTryingEveryCandidate) {
  std::vector<std::array<std::int64_t, 2>> operands;
  for (std::int64_t a = 1; a <= 150; ++a) {
    for (std::int64_t b = 1; b <= 150; ++b) {
      operands.push_back({a, b});
    }
  }
  const std::vector<std::int64_t> as = Sample(28, 800, 1, 10000);
  const std::vector<std::int64_t> bs = Sample(29, 800, 1, 100000);
  for (std::size_t i = 0; i < as.size(); ++i) {
    operands.push_back({as[i], bs[i]});
    operands.push_back({as[i], as[i]});              // A = B
    operands.push_back({as[i], 1});                  // modulo 1
    operands.push_back({as[i], bs[i] % as[i] + 1});  // A above B
  }
  for (const std::int64_t b : {99999, 100000}) {
    for (const std::int64_t a : {1, 2, 3, 9999, 10000}) {
      operands.push_back({a, b});
    }
  }
  for (const auto& [a, b] : operands) {
    const OperandTexts texts{std::to_string(a), std::to_string(b), "x"};
    ASSERT_TRUE(SameOutcome(ModularInverse(texts), plain::ModularInverse(texts))) << Texts(texts);
  }
}

// Every A at both ends of the range, and the composites that fool a weaker test, each with the
// square of a prime near the square root of the limit.
TEST(PrimalityTest, SameAsTrialDivision) {
  std::vector<std::int64_t> as;
  for (std::int64_t a = 1; a <= 100000; ++a) {
    as.push_back(a);
  }
  for (std::int64_t a = 99900000; a <= 100000000; ++a) {
    as.push_back(a);
  }
  for (const std::uint64_t n : ref::kStrongPseudoprimes) {
    as.push_back(static_cast<std::int64_t>(n));
  }
  for (const std::int64_t p : {9931, 9941, 9949, 9967, 9973}) {
    as.push_back(p * p);
    as.push_back(p * 10007);
  }
  ExpectSameAsPlain(&PrimalityTest, &plain::PrimalityTest, as);
}

// The verdict kept for callers of the core, over numbers that are not whole, not positive, at
// both ends of the fast test's range, and the composites that fool a weaker test.
TEST(IsPrimeByTrialDivision, SameAsDividingByEveryCandidate) {
  std::vector<double> xs{-7, 0, 1, 2.5, 3, 4, 4.5, 9.75, 1e300};
  for (double x = 1073741000; x <= 1073742000; ++x) {
    xs.push_back(x);
  }
  for (double x = 1; x <= 20000; ++x) {
    xs.push_back(x);
  }
  for (const std::uint64_t n : ref::kStrongPseudoprimes) {
    xs.push_back(static_cast<double>(n));
  }
  for (const double x : xs) {
    EXPECT_EQ(IsPrimeByTrialDivision(x), plain::IsPrimeByTrialDivision(x)) << x;
  }
}

TEST(NextPrime, SameAsTrialDivision) {
  // Every A at both ends of the range; their answers lie a little above it.
  const TrialDivisionTable low(1, 100200);
  const TrialDivisionTable high(99900000, 100000100);
  const auto is_prime = [&](double x) { return x < 50000000 ? low(x) : high(x); };
  std::vector<std::int64_t> as;
  for (std::int64_t a = 1; a <= 100000; ++a) {
    as.push_back(a);
  }
  for (std::int64_t a = 99900000; a <= 100000000; ++a) {
    as.push_back(a);
  }
  for (const std::int64_t a : as) {
    const OperandTexts texts{std::to_string(a), "", ""};
    ASSERT_TRUE(SameOutcome(NextPrime(texts), plain::NextPrime(texts, is_prime))) << Texts(texts);
  }
  // The longest prime gap below the limit, and just below the composites that fool a weaker test.
  std::vector<std::int64_t> hard{47326693};
  for (const std::uint64_t n : ref::kStrongPseudoprimes) {
    hard.push_back(static_cast<std::int64_t>(n) - 1);
    hard.push_back(static_cast<std::int64_t>(n) - 2);
  }
  ExpectSameAsPlain(&NextPrime, &plain::NextPrime, hard);
}

TEST(Congruences, SameAsTryingEveryCandidate) {
  std::vector<std::array<std::int64_t, 3>> operands;
  for (std::int64_t a = 1; a <= 20; ++a) {
    for (std::int64_t b = 1; b <= 20; ++b) {
      for (std::int64_t c = 1; c <= 20; ++c) {
        operands.push_back({a, b, c});
      }
    }
  }
  const std::vector<std::int64_t> as = Sample(30, 600, 1, 1000);
  const std::vector<std::int64_t> bs = Sample(31, 600, 1, 1000);
  const std::vector<std::int64_t> cs = Sample(32, 600, 1, 10000);
  for (std::size_t i = 0; i < as.size(); ++i) {
    operands.push_back({as[i], bs[i], cs[i]});
    operands.push_back({as[i], bs[i], as[i]});                          // A = C
    operands.push_back({as[i], as[i] * 7 % 1000 + 1, cs[i] % 64 + 1});  // small moduli
  }
  // The widest moduli, a prime one, and the operands that give the most solutions.
  for (const std::int64_t c : {9973, 9999, 10000}) {
    for (const std::int64_t a : {1, 2, 500, 999, 1000}) {
      operands.push_back({a, 1000, c});
      operands.push_back({a, 1, c});
    }
  }
  for (const auto& [a, b, c] : operands) {
    const OperandTexts texts{std::to_string(a), std::to_string(b), std::to_string(c)};
    ASSERT_TRUE(SameOutcome(LinearCongruence(texts), plain::LinearCongruence(texts)))
        << "linear " << Texts(texts);
    ASSERT_TRUE(SameOutcome(QuadraticCongruence(texts), plain::QuadraticCongruence(texts)))
        << "quadratic " << Texts(texts);
  }
}

TEST(CollatzSequence, SameAsTheWalkInDoubles) {
  std::vector<std::int64_t> as = Sample(33, 300, 1, 100000000);
  for (std::int64_t a = 1; a <= 10000; ++a) {
    as.push_back(a);
  }
  // The longest walk, and the highest, whose largest values are written in exponent form.
  for (const std::int64_t a : {63728127, 80049391, 99999999, 100000000}) {
    as.push_back(a);
  }
  ExpectSameAsPlain(&CollatzSequence, &plain::CollatzSequence, as);
}

}  // namespace
}  // namespace brindaq
