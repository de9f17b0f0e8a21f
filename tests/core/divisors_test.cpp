#include "core/divisors/divisors.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "tests/core/outcome_cases.h"
#include "tests/core/reference.h"

namespace brindaq {
namespace {

namespace ref = testing_reference;
using namespace testing_cases;

using Operation = Outcome (*)(const OperandTexts&);

const std::string kNotPrime = " A IS NOT A PRIME NUMBER";
const std::string kPrime = " A IS A PRIME NUMBER!";

Lines Repeated(std::uint64_t factor, int times) {
  return Lines(times, Shown(factor));
}

Lines Joined(Lines first, const Lines& second) {
  first.insert(first.end(), second.begin(), second.end());
  return first;
}

// What the prime factors and the primality test show for n >= 1, from the reference.
Lines ExpectedFactors(std::uint64_t n) {
  if (n == 1) {
    return {"  1   IS NOT A PRIME NUMBER !"};
  }
  const std::vector<std::uint64_t> factors = ref::Factorise(n);
  if (factors.size() == 1) {
    return {"  " + std::to_string(n) + "   IS A PRIME NUMBER !"};
  }
  Lines lines;
  for (const std::uint64_t p : factors) {
    lines.push_back(Shown(p));
  }
  return lines;
}

Lines ExpectedVerdict(std::uint64_t n, std::uint64_t smallest_factor) {
  if (n == 1) {
    return {kNotPrime};
  }
  if (smallest_factor == n) {
    return {kPrime};
  }
  return {kNotPrime, " FACTOR =  " + std::to_string(smallest_factor)};
}

Lines ExpectedTotals(std::uint64_t count, std::uint64_t sum) {
  return {" NUMBER OF DIVISORS =  " + std::to_string(count),
          " SUM OF DIVISORS =  " + std::to_string(sum)};
}

// B and C hold texts that would fail any check: none of these operations reads them.
Outcome Click(Operation operation, const std::string& a) {
  return operation(OperandTexts{a, "0", "x"});
}

Outcome Click(Operation operation, std::uint64_t a) {
  return Click(operation, std::to_string(a));
}

struct Case {
  std::string name;
  Operation operation;
  std::string a;
  Lines lines;
  std::optional<std::string> notice = std::nullopt;
};

class DivisorsTest : public testing::TestWithParam<Case> {};

TEST_P(DivisorsTest, GivesExactlyTheseLinesAndNotice) {
  const Case& c = GetParam();
  const Outcome outcome = Click(c.operation, c.a);
  EXPECT_EQ(outcome.lines, c.lines);
  EXPECT_EQ(outcome.notice, c.notice);
}

std::string CaseName(const testing::TestParamInfo<Case>& info) {
  return info.param.name;
}

INSTANTIATE_TEST_SUITE_P(
    PrimeFactors, DivisorsTest,
    testing::Values(
        Case{"OneIsNotPrime", &PrimeFactors, "1", {"  1   IS NOT A PRIME NUMBER !"}},
        Case{"Two", &PrimeFactors, "2", {"  2   IS A PRIME NUMBER !"}},
        Case{"Three", &PrimeFactors, "3", {"  3   IS A PRIME NUMBER !"}},
        Case{"FourDividedTwiceAtTheBound", &PrimeFactors, "4", Repeated(2, 2)},
        Case{"Twelve", &PrimeFactors, "12", {Shown(2), Shown(2), Shown(3)}},
        Case{"SquareOfThree", &PrimeFactors, "9", Repeated(3, 2)},
        Case{"SquareOfSeven", &PrimeFactors, "49", Repeated(7, 2)},
        Case{"FactorAtTheBound", &PrimeFactors, "14", {Shown(2), Shown(7)}},
        Case{"LargeFactorAtTheBound", &PrimeFactors, "9999998", {Shown(2), Shown(4999999)}},
        Case{"TheLimit", &PrimeFactors, "10000000", Joined(Repeated(2, 7), Repeated(5, 7))},
        Case{"LargestPrime", &PrimeFactors, "9999991", {"  9999991   IS A PRIME NUMBER !"}},
        Case{"MostFactors", &PrimeFactors, "8388608", Repeated(2, 23)},
        Case{"NumericPrefix",
             &PrimeFactors,
             "360abc",
             {Shown(2), Shown(2), Shown(2), Shown(3), Shown(3), Shown(5)}},
        Case{"TooLarge", &PrimeFactors, "10000001", {}, kTooLarge},
        Case{"TooLargeNotWhole", &PrimeFactors, "10000000.5", {}, kTooLarge},
        Case{"Zero", &PrimeFactors, "0", {}, kANotWhole},
        Case{"Negative", &PrimeFactors, "-12", {}, kANotWhole},
        Case{"NotWhole", &PrimeFactors, "2.5", {}, kANotWhole},
        Case{"Empty", &PrimeFactors, "", {}, kANotWhole}),
    CaseName);

INSTANTIATE_TEST_SUITE_P(
    PrimalityTest, DivisorsTest,
    testing::Values(
        Case{"OneIsNotPrime", &PrimalityTest, "1", {kNotPrime}},
        Case{"Two", &PrimalityTest, "2", {kPrime}}, Case{"Three", &PrimalityTest, "3", {kPrime}},
        Case{"Five", &PrimalityTest, "5", {kPrime}},
        Case{"Four", &PrimalityTest, "4", {kNotPrime, " FACTOR =  2"}},
        Case{"TheLimit", &PrimalityTest, "100000000", {kNotPrime, " FACTOR =  2"}},
        Case{"SquareOfThree", &PrimalityTest, "9", {kNotPrime, " FACTOR =  3"}},
        Case{"SquareOfFive", &PrimalityTest, "25", {kNotPrime, " FACTOR =  5"}},
        Case{
            "SquareAtTheLastCandidate", &PrimalityTest, "99460729", {kNotPrime, " FACTOR =  9973"}},
        Case{"SmallestFactorOfFifteen", &PrimalityTest, "15", {kNotPrime, " FACTOR =  3"}},
        Case{"SmallestFactorOf35", &PrimalityTest, "35", {kNotPrime, " FACTOR =  5"}},
        Case{"SmallestFactorOf91", &PrimalityTest, "91", {kNotPrime, " FACTOR =  7"}},
        Case{"LargestPrime", &PrimalityTest, "99999989", {kPrime}},
        Case{"TooLarge", &PrimalityTest, "100000001", {}, kTooLarge},
        Case{"TooLargeNotWhole", &PrimalityTest, "100000000.5", {}, kTooLarge},
        Case{"Zero", &PrimalityTest, "0", {}, kANotWhole},
        Case{"Negative", &PrimalityTest, "-7", {}, kANotWhole},
        Case{"NotWhole", &PrimalityTest, "7.5", {}, kANotWhole},
        Case{"Empty", &PrimalityTest, "", {}, kANotWhole}),
    CaseName);

INSTANTIATE_TEST_SUITE_P(
    DivisorCountAndSum, DivisorsTest,
    testing::Values(Case{"OneHasNone", &DivisorCountAndSum, "1", ExpectedTotals(0, 0)},
                    Case{"Two", &DivisorCountAndSum, "2", ExpectedTotals(1, 1)},
                    Case{"LargestPrime", &DivisorCountAndSum, "999983", ExpectedTotals(1, 1)},
                    Case{"Four", &DivisorCountAndSum, "4", ExpectedTotals(2, 3)},
                    Case{"Nine", &DivisorCountAndSum, "9", ExpectedTotals(2, 4)},
                    Case{"PerfectSix",
                         &DivisorCountAndSum,
                         "6",
                         {" NUMBER OF DIVISORS =  3", " SUM OF DIVISORS =  6"}},
                    Case{"Perfect28", &DivisorCountAndSum, "28", ExpectedTotals(5, 28)},
                    Case{"Perfect496", &DivisorCountAndSum, "496", ExpectedTotals(9, 496)},
                    Case{"Twelve", &DivisorCountAndSum, "12", ExpectedTotals(5, 16)},
                    Case{"TheLimit", &DivisorCountAndSum, "1000000", ExpectedTotals(48, 1480437)},
                    Case{"Highly", &DivisorCountAndSum, "720720", ExpectedTotals(239, 2529072)},
                    Case{"TooLarge", &DivisorCountAndSum, "1000001", {}, kTooLarge},
                    Case{"Zero", &DivisorCountAndSum, "0", {}, kANotWhole},
                    Case{"Negative", &DivisorCountAndSum, "-3", {}, kANotWhole},
                    Case{"NotWhole", &DivisorCountAndSum, "6.5", {}, kANotWhole}),
    CaseName);

TEST(PrimeFactors, MatchTheReferenceFactorisation) {
  std::vector<std::uint64_t> as;
  for (std::uint64_t a = 1; a <= 3000; ++a) {
    as.push_back(a);
  }
  std::mt19937_64 random(7);
  std::uniform_int_distribution<std::uint64_t> large(1000000, 10000000);
  for (int i = 0; i < 6; ++i) {
    as.push_back(large(random));
  }
  as.push_back(9999973);      // prime
  as.push_back(3162 * 3162);  // 2^2 3^2 17^2 31^2
  as.push_back(3137 * 3187);  // two primes near the square root of the limit
  for (const std::uint64_t a : as) {
    const Outcome outcome = Click(&PrimeFactors, a);
    ASSERT_EQ(outcome.lines, ExpectedFactors(a)) << "A = " << a;
    ASSERT_FALSE(outcome.notice);
  }
}

TEST(PrimalityTest, VerdictAndSmallestFactorMatchTheSieve) {
  const std::pair<std::uint64_t, std::uint64_t> ranges[] = {{1, 200000}, {99990000, 100000000}};
  for (const auto& [first, last] : ranges) {
    const std::vector<std::uint64_t> smallest = ref::SmallestPrimeFactors(first, last);
    for (std::uint64_t a = first; a <= last; ++a) {
      ASSERT_EQ(Click(&PrimalityTest, a).lines, ExpectedVerdict(a, smallest[a - first]))
          << "A = " << a;
    }
  }
}

TEST(DivisorCountAndSum, MatchesTheDivisorSieveForSmallA) {
  const std::vector<ref::DivisorTotals> totals = ref::DivisorTotalsUpTo(3000);
  for (std::uint64_t a = 1; a <= 3000; ++a) {
    // A itself is neither counted nor added.
    ASSERT_EQ(Click(&DivisorCountAndSum, a).lines,
              ExpectedTotals(totals[a].count - 1, totals[a].sum - a))
        << "A = " << a;
  }
}

TEST(DivisorCountAndSum, MatchesTheFactorisationForLargeA) {
  std::mt19937_64 random(8);
  std::uniform_int_distribution<std::uint64_t> large(3001, 1000000);
  std::vector<std::uint64_t> as{1000000, 998001, 997920, 524288};
  for (int i = 0; i < 24; ++i) {
    as.push_back(large(random));
  }
  for (const std::uint64_t a : as) {
    const ref::DivisorTotals totals = ref::DivisorTotalsOf(a);
    ASSERT_EQ(Click(&DivisorCountAndSum, a).lines, ExpectedTotals(totals.count - 1, totals.sum - a))
        << "A = " << a;
  }
}

}  // namespace
}  // namespace brindaq
