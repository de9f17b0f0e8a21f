#include "core/primes/primes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "core/arithmetic/primality.h"
#include "tests/core/outcome_cases.h"
#include "tests/core/reference.h"

namespace brindaq {
namespace {

namespace ref = testing_reference;
using namespace testing_cases;

using Scan = Outcome (*)(const OperandTexts&);

const Lines kNoTwins{"   NO TWIN PRIMES", "   IN THIS INTERVAL !"};

// A twin-prime pair: four blanks, p, seven blanks, p + 2.
std::string Pair(std::uint64_t p) {
  return Shown(p) + "       " + std::to_string(p + 2);
}

// The third box holds a text that would fail any check: no scan reads it.
Outcome Click(Scan scan, const std::string& a, const std::string& b) {
  return scan(OperandTexts{a, b, "0"});
}

struct Case {
  std::string name;
  Scan scan;
  std::string a, b;
  Lines lines;
  std::optional<std::string> notice = std::nullopt;
};

class ScanTest : public testing::TestWithParam<Case> {};

TEST_P(ScanTest, GivesExactlyTheseLinesAndNotice) {
  const Case& c = GetParam();
  const Outcome outcome = Click(c.scan, c.a, c.b);
  EXPECT_EQ(outcome.lines, c.lines);
  EXPECT_EQ(outcome.notice, c.notice);
}

std::string CaseName(const testing::TestParamInfo<Case>& info) {
  return info.param.name;
}

INSTANTIATE_TEST_SUITE_P(
    PrimesBetween, ScanTest,
    testing::Values(
        Case{"OneToTen", &PrimesBetween, "1", "10", {Shown(2), Shown(3), Shown(5), Shown(7)}},
        Case{"PrimeBoundsExcluded", &PrimesBetween, "2", "7", {Shown(3), Shown(5)}},
        Case{"SquareOfFiveRejected", &PrimesBetween, "20", "30", {Shown(23), Shown(29)}},
        Case{"NoPrimeBetween", &PrimesBetween, "23", "29", {}},
        Case{"EqualBounds", &PrimesBetween, "20", "20", {}},
        Case{"AdjacentBounds", &PrimesBetween, "20", "21", {}},
        Case{"AAboveB", &PrimesBetween, "20", "10", {}},
        Case{"AAboveBWidely", &PrimesBetween, "10000000", "1", {}},
        Case{"OnlyTwo", &PrimesBetween, "1", "3", {Shown(2)}},
        Case{"NumericPrefix", &PrimesBetween, "12abc", " 20", {Shown(13), Shown(17), Shown(19)}},
        Case{"WidthTooLarge", &PrimesBetween, "1", "10002", {}, kTooWide},
        Case{"WidthTooLargeNearLimit", &PrimesBetween, "9989999", "10000000", {}, kTooWide},
        Case{"ATooLarge", &PrimesBetween, "10000001", "abc", {}, kTooLarge},
        Case{"ATooLargeNotWhole", &PrimesBetween, "10000000.5", "5", {}, kTooLarge},
        Case{"BTooLarge", &PrimesBetween, "5", "10000001", {}, kTooLarge},
        Case{"AZeroWhateverB", &PrimesBetween, "0", "10000001", {}, kANotWhole},
        Case{"AEmpty", &PrimesBetween, "", "10", {}, kANotWhole},
        Case{"ANegative", &PrimesBetween, "-3", "10", {}, kANotWhole},
        Case{"ANotWhole", &PrimesBetween, "2.5", "10", {}, kANotWhole},
        Case{"BNotWholeBeforeWidth", &PrimesBetween, "1", "20000.5", {}, kBNotWhole},
        Case{"BEmpty", &PrimesBetween, "1", "", {}, kBNotWhole},
        Case{"BZero", &PrimesBetween, "1", "0", {}, kBNotWhole}),
    CaseName);

INSTANTIATE_TEST_SUITE_P(
    TwinPrimesBetween, ScanTest,
    testing::Values(
        Case{"OneToTwenty", &TwinPrimesBetween, "1", "20", {Pair(3), Pair(5), Pair(11), Pair(17)}},
        Case{"ExactFirstLine", &TwinPrimesBetween, "2", "4", {"    3       5"}},
        Case{"PartnerIsBPlusOne", &TwinPrimesBetween, "4", "6", {Pair(5)}},
        Case{"OverlappingPairs", &TwinPrimesBetween, "2", "6", {Pair(3), Pair(5)}},
        Case{"OnlyTwoTested", &TwinPrimesBetween, "1", "3", kNoTwins},
        Case{"EqualBounds", &TwinPrimesBetween, "20", "20", kNoTwins},
        Case{"AdjacentBounds", &TwinPrimesBetween, "20", "21", kNoTwins},
        Case{"AAboveB", &TwinPrimesBetween, "20", "10", kNoTwins},
        Case{"NoPrimeBetween", &TwinPrimesBetween, "23", "29", kNoTwins},
        Case{"PrimesButNoPairs", &TwinPrimesBetween, "88", "100", kNoTwins},
        Case{"WidthTooLarge", &TwinPrimesBetween, "1", "10002", {}, kTooWide},
        Case{"ATooLarge", &TwinPrimesBetween, "10000001", "", {}, kTooLarge},
        Case{"BTooLarge", &TwinPrimesBetween, "5", "10000001", {}, kTooLarge},
        Case{"AZeroWhateverB", &TwinPrimesBetween, "0", "0", {}, kANotWhole},
        Case{"BNotWholeBeforeWidth", &TwinPrimesBetween, "1", "20000.5", {}, kBNotWhole},
        Case{"BEmpty", &TwinPrimesBetween, "1", "", {}, kBNotWhole}),
    CaseName);

INSTANTIATE_TEST_SUITE_P(
    PrimeCountBetween, ScanTest,
    testing::Values(
        Case{"OneToTen", &PrimeCountBetween, "1", "10", {Shown(4)}},
        Case{"OnlyTwo", &PrimeCountBetween, "1", "3", {Shown(1)}},
        Case{"NoCandidatePrime", &PrimeCountBetween, "1", "2", {Shown(0)}},
        Case{"PrimeBoundsExcluded", &PrimeCountBetween, "2", "7", {Shown(2)}},
        Case{"EqualBounds", &PrimeCountBetween, "20", "20", {Shown(0)}},
        Case{"AdjacentBounds", &PrimeCountBetween, "20", "21", {Shown(0)}},
        Case{"AAboveB", &PrimeCountBetween, "20", "10", {Shown(0)}},
        Case{"WidthOfTheListings", &PrimeCountBetween, "1", "10001", {Shown(1229)}},
        Case{"WidthRefusedByTheListings", &PrimeCountBetween, "1", "20000", {Shown(2262)}},
        Case{"WidestInterval", &PrimeCountBetween, "1", "100001", {Shown(9592)}},
        Case{"WidestAtTheLimit", &PrimeCountBetween, "9900000", "10000000", {Shown(6134)}},
        Case{"WidthTooLarge", &PrimeCountBetween, "1", "100002", {}, kTooWide},
        Case{"ATooLarge", &PrimeCountBetween, "10000001", "", {}, kTooLarge},
        Case{"BTooLarge", &PrimeCountBetween, "5", "10000001", {}, kTooLarge},
        Case{"AZero", &PrimeCountBetween, "0", "10", {}, kANotWhole},
        Case{"BNotWholeBeforeWidth", &PrimeCountBetween, "1", "200000.5", {}, kBNotWhole}),
    CaseName);

INSTANTIATE_TEST_SUITE_P(
    NextPrime, ScanTest,
    testing::Values(Case{"AfterOne", &NextPrime, "1", "", {Shown(2)}},
                    Case{"AfterTwo", &NextPrime, "2", "", {Shown(3)}},
                    Case{"AfterPrimeSeven", &NextPrime, "7", "", {Shown(11)}},
                    Case{"AfterPrimeThirteen", &NextPrime, "13", "", {Shown(17)}},
                    Case{"AboveTheIntervalLimit", &NextPrime, "10000001", "", {Shown(10000019)}},
                    Case{"AtTheLimit", &NextPrime, "100000000", "", {"    100000007"}},
                    Case{"BIgnored", &NextPrime, "8", "-1", {Shown(11)}},
                    Case{"ATooLarge", &NextPrime, "100000001", "5", {}, kTooLarge},
                    Case{"ATooLargeNotWhole", &NextPrime, "100000000.5", "5", {}, kTooLarge},
                    Case{"AZero", &NextPrime, "0", "5", {}, kANotWhole},
                    Case{"AEmpty", &NextPrime, "", "5", {}, kANotWhole},
                    Case{"ANotWhole", &NextPrime, "2.5", "5", {}, kANotWhole},
                    Case{"ANegative", &NextPrime, "-7", "5", {}, kANotWhole}),
    CaseName);

// What each scan should give for a valid interval, from the sieve.
Lines ExpectedPrimes(std::uint64_t a, std::uint64_t b) {
  Lines lines;
  for (const std::uint64_t p : ref::PrimesBetween(a + 1, b - 1)) {
    lines.push_back(Shown(p));
  }
  return lines;
}

Lines ExpectedTwins(std::uint64_t a, std::uint64_t b) {
  Lines lines;
  if (a + 1 <= b - 1) {
    const std::vector<bool> prime = ref::PrimeFlags(a + 1, b + 1);
    for (std::uint64_t p = a + 1; p <= b - 1; ++p) {
      if (prime[p - (a + 1)] && prime[p + 2 - (a + 1)]) {
        lines.push_back(Pair(p));
      }
    }
  }
  return lines.empty() ? kNoTwins : lines;
}

Lines ExpectedCount(std::uint64_t a, std::uint64_t b) {
  return {Shown(ref::PrimesBetween(a + 1, b - 1).size())};
}

struct WideListing {
  Scan scan;
  std::string a, b;
  std::size_t count;
  std::string first, last;
};

TEST(IntervalScans, WidestListingsAreCompleteAndMatchTheSieve) {
  const WideListing listings[] = {
      {&PrimesBetween, "1", "10001", 1229, Shown(2), Shown(9973)},
      {&PrimesBetween, "9990000", "10000000", 614, Shown(9990017), Shown(9999991)},
      {&TwinPrimesBetween, "1", "10001", 205, Pair(3), Pair(9929)},
      {&TwinPrimesBetween, "9990000", "10000000", 48, Pair(9990131), Pair(9999971)},
  };
  for (const WideListing& w : listings) {
    SCOPED_TRACE("A = " + w.a + ", B = " + w.b);
    const Outcome outcome = Click(w.scan, w.a, w.b);
    EXPECT_FALSE(outcome.notice);
    ASSERT_EQ(outcome.lines.size(), w.count);
    EXPECT_EQ(outcome.lines.front(), w.first);
    EXPECT_EQ(outcome.lines.back(), w.last);
    const std::uint64_t a = std::stoull(w.a);
    const std::uint64_t b = std::stoull(w.b);
    EXPECT_EQ(outcome.lines, w.scan == &PrimesBetween ? ExpectedPrimes(a, b) : ExpectedTwins(a, b));
  }
}

struct Interval {
  std::uint64_t a, b;
};

// Intervals with A from `lowest` to `highest` and a width up to `max_width`, some of them
// negative or empty; B stays within the operand limit of the scans.
std::vector<Interval> RandomIntervals(std::uint32_t seed, int count, std::uint64_t lowest,
                                      std::uint64_t highest, std::int64_t max_width) {
  std::mt19937_64 random(seed);
  std::uniform_int_distribution<std::uint64_t> start(lowest, highest);
  std::uniform_int_distribution<std::int64_t> width(-20, max_width);
  std::vector<Interval> intervals;
  for (int i = 0; i < count; ++i) {
    const std::uint64_t a = start(random);
    const std::int64_t b = static_cast<std::int64_t>(a) + width(random);
    intervals.push_back({a, static_cast<std::uint64_t>(std::clamp<std::int64_t>(b, 1, 10000000))});
  }
  return intervals;
}

TEST(IntervalScans, ListingsMatchTheSieveOnRandomIntervals) {
  std::vector<Interval> intervals = RandomIntervals(1, 40, 1, 100000, 10000);
  for (const Interval& near_limit : RandomIntervals(2, 8, 9980000, 10000000, 10000)) {
    intervals.push_back(near_limit);
  }
  for (const Interval& i : intervals) {
    SCOPED_TRACE("A = " + std::to_string(i.a) + ", B = " + std::to_string(i.b));
    const std::string a = std::to_string(i.a);
    const std::string b = std::to_string(i.b);
    EXPECT_EQ(Click(&PrimesBetween, a, b).lines, ExpectedPrimes(i.a, i.b));
    EXPECT_EQ(Click(&TwinPrimesBetween, a, b).lines, ExpectedTwins(i.a, i.b));
  }
}

TEST(IntervalScans, CountMatchesTheSieveOnRandomIntervals) {
  std::vector<Interval> intervals = RandomIntervals(3, 40, 1, 1000000, 2000);
  for (const Interval& wide : RandomIntervals(4, 4, 1, 1000000, 100000)) {
    intervals.push_back(wide);
  }
  for (const Interval& near_limit : RandomIntervals(5, 3, 9980000, 10000000, 20000)) {
    intervals.push_back(near_limit);
  }
  for (const Interval& i : intervals) {
    SCOPED_TRACE("A = " + std::to_string(i.a) + ", B = " + std::to_string(i.b));
    EXPECT_EQ(Click(&PrimeCountBetween, std::to_string(i.a), std::to_string(i.b)).lines,
              ExpectedCount(i.a, i.b));
  }
}

// Every number at both ends of the range that the operations test: below 10^8 + 1000 for the
// candidates of the next prime.
TEST(IsPrime, AgreesWithTheSieveAtBothEnds) {
  const std::pair<std::uint64_t, std::uint64_t> ranges[] = {{1, 300000}, {99700000, 100001000}};
  for (const auto& [first, last] : ranges) {
    const std::vector<bool> prime = ref::PrimeFlags(first, last);
    for (std::uint64_t n = first; n <= last; ++n) {
      ASSERT_EQ(IsPrime(static_cast<std::uint32_t>(n)), prime[n - first]) << "n = " << n;
    }
  }
}

TEST(IsPrime, RejectsStrongPseudoprimesAndSquaresOfPrimes) {
  EXPECT_FALSE(IsPrime(0));
  for (const std::uint64_t n : ref::kStrongPseudoprimes) {
    EXPECT_FALSE(IsPrime(static_cast<std::uint32_t>(n))) << n;
  }
  for (const std::uint32_t p : {3u, 5u, 59u, 61u, 3137u, 9973u, 10007u}) {
    EXPECT_TRUE(IsPrime(p)) << p;
    EXPECT_FALSE(IsPrime(p * p)) << p * p;
  }
}

// Every number up to the limit of the primality test, about 10 s in Release: too long for every
// run of the suite. Run it after changing the method:
//   core_tests --gtest_also_run_disabled_tests --gtest_filter='IsPrime.*EveryNumber*'
TEST(IsPrime, DISABLED_AgreesWithTheSieveForEveryNumberUpToTheLimit) {
  constexpr std::uint64_t kStep = 10000000;
  for (std::uint64_t first = 1; first <= 100001000; first += kStep) {
    const std::uint64_t last = std::min<std::uint64_t>(first + kStep - 1, 100001000);
    const std::vector<bool> prime = ref::PrimeFlags(first, last);
    for (std::uint64_t n = first; n <= last; ++n) {
      ASSERT_EQ(IsPrime(static_cast<std::uint32_t>(n)), prime[n - first]) << "n = " << n;
    }
  }
}

// The first prime above each A, from the sieve of [first, last]; `last` must lie beyond it.
void ExpectNextPrimes(const std::vector<std::uint64_t>& as, std::uint64_t first,
                      std::uint64_t last) {
  const std::vector<bool> prime = ref::PrimeFlags(first, last);
  for (const std::uint64_t a : as) {
    std::uint64_t next = a + 1;
    while (!prime[next - first]) {
      ++next;
    }
    ASSERT_EQ(NextPrime(OperandTexts{std::to_string(a), "", ""}).lines, Lines{Shown(next)})
        << "A = " << a;
  }
}

TEST(NextPrime, IsTheFirstPrimeAboveAForEverySmallA) {
  std::vector<std::uint64_t> as;
  for (std::uint64_t a = 1; a <= 30000; ++a) {
    as.push_back(a);
  }
  ExpectNextPrimes(as, 0, 30100);
}

TEST(NextPrime, IsTheFirstPrimeAboveAForASampleNearTheLimit) {
  std::mt19937_64 random(6);
  std::uniform_int_distribution<std::uint64_t> near_limit(99800000, 100000000);
  std::vector<std::uint64_t> as{99999989, 100000000};
  for (int i = 0; i < 300; ++i) {
    as.push_back(near_limit(random));
  }
  ExpectNextPrimes(as, 99800000, 100000100);
  ExpectNextPrimes({47326693}, 47326693, 47326913);  // the longest prime gap below the limit
}

}  // namespace
}  // namespace brindaq
