#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "core/operations.h"
#include "tests/core/outcome_cases.h"

namespace brindaq {
namespace {

using namespace testing_cases;

INSTANTIATE_TEST_SUITE_P(
    SumOfTwoSquares, ClickTest,
    testing::Values(
        Click{"1", &SumOfTwoSquares, {"1", "", ""}, {"   NO SOLUTION !"}, {}},
        Click{"2", &SumOfTwoSquares, {"2", "", ""}, {"  2  =   1^2  +   1^2"}, {}},
        Click{"3", &SumOfTwoSquares, {"3", "", ""}, {"   NO SOLUTION !"}, {}},
        Click{"4", &SumOfTwoSquares, {"4", "", ""}, {"   NO SOLUTION !"}, {}},
        Click{"9", &SumOfTwoSquares, {"9", "", ""}, {"   NO SOLUTION !"}, {}},
        Click{"5", &SumOfTwoSquares, {"5", "", ""}, {"  5  =   1^2  +   2^2"}, {}},
        Click{"8", &SumOfTwoSquares, {"8", "", ""}, {"  8  =   2^2  +   2^2"}, {}},
        Click{"25", &SumOfTwoSquares, {"25", "x", "y"}, {"  25  =   3^2  +   4^2"}, {}},
        Click{"50",
              &SumOfTwoSquares,
              {"50", "", ""},
              {"  50  =   1^2  +   7^2", "  50  =   5^2  +   5^2"},
              {}},
        Click{"325",
              &SumOfTwoSquares,
              {"325", "", ""},
              {"  325  =   1^2  +   18^2", "  325  =   6^2  +   17^2", "  325  =   10^2  +   15^2"},
              {}},
        Click{"limit",
              &SumOfTwoSquares,
              {"10000000", "", ""},
              {"  10000000  =   120^2  +   3160^2", "  10000000  =   1000^2  +   3000^2",
               "  10000000  =   1800^2  +   2600^2", "  10000000  =   1992^2  +   2456^2"},
              {}},
        Click{"above limit", &SumOfTwoSquares, {"10000001", "", ""}, {}, kTooLarge},
        Click{"empty", &SumOfTwoSquares, {"", "", ""}, {}, kANotWhole},
        Click{"zero", &SumOfTwoSquares, {"0", "", ""}, {}, kANotWhole},
        Click{"negative", &SumOfTwoSquares, {"-5", "", ""}, {}, kANotWhole},
        Click{"fraction", &SumOfTwoSquares, {"2.5", "", ""}, {}, kANotWhole}));

INSTANTIATE_TEST_SUITE_P(
    Goldbach, ClickTest,
    testing::Values(
        Click{"2", &GoldbachDecomposition, {"2", "", ""}, {}, {}},
        Click{"4", &GoldbachDecomposition, {"4", "", ""}, {}, {}},
        Click{"6", &GoldbachDecomposition, {"6", "", ""}, {"  6  =   3  +   3"}, {}},
        Click{"8", &GoldbachDecomposition, {"8", "", ""}, {"  8  =   3  +   5"}, {}},
        Click{"12", &GoldbachDecomposition, {"12", "", ""}, {"  12  =   5  +   7"}, {}},
        Click{"10",
              &GoldbachDecomposition,
              {"10", "", ""},
              {"  10  =   3  +   7", "  10  =   5  +   5"},
              {}},
        Click{"100",
              &GoldbachDecomposition,
              {"100", "", ""},
              {"  100  =   3  +   97", "  100  =   11  +   89", "  100  =   17  +   83",
               "  100  =   29  +   71", "  100  =   41  +   59", "  100  =   47  +   53"},
              {}},
        Click{"B and C ignored",
              &GoldbachDecomposition,
              {"6", "-1", "abc"},
              {"  6  =   3  +   3"},
              {}},
        Click{"odd above limit", &GoldbachDecomposition, {"100001", "", ""}, {}, kNotEven},
        Click{"even above limit", &GoldbachDecomposition, {"100002", "", ""}, {}, kTooLarge},
        Click{"1", &GoldbachDecomposition, {"1", "", ""}, {}, kNotEven},
        Click{"3", &GoldbachDecomposition, {"3", "", ""}, {}, kNotEven},
        Click{"fraction", &GoldbachDecomposition, {"2.5", "", ""}, {}, kNotEven},
        Click{"empty", &GoldbachDecomposition, {"", "", ""}, {}, kANotWhole},
        Click{"negative even", &GoldbachDecomposition, {"-4", "", ""}, {}, kANotWhole},
        Click{"negative odd", &GoldbachDecomposition, {"-3", "", ""}, {}, kNotEven}));

INSTANTIATE_TEST_SUITE_P(
    Collatz, ClickTest,
    testing::Values(
        Click{"1", &CollatzSequence, {"1", "", ""}, Shown({4, 2, 1}), {}},
        Click{"2", &CollatzSequence, {"2", "", ""}, {"    1"}, {}},
        Click{"3", &CollatzSequence, {"3", "", ""}, Shown({10, 5, 16, 8, 4, 2, 1}), {}},
        Click{"4", &CollatzSequence, {"4", "9", "9"}, Shown({2, 1}), {}},
        Click{"6", &CollatzSequence, {"6", "", ""}, Shown({3, 10, 5, 16, 8, 4, 2, 1}), {}},
        Click{"above limit", &CollatzSequence, {"100000001", "", ""}, {}, kTooLarge},
        Click{"empty", &CollatzSequence, {"", "", ""}, {}, kANotWhole},
        Click{"zero", &CollatzSequence, {"0", "", ""}, {}, kANotWhole},
        Click{"fraction", &CollatzSequence, {"2.5", "", ""}, {}, kANotWhole}));

INSTANTIATE_TEST_SUITE_P(
    Fibonacci, ClickTest,
    testing::Values(Click{"1", &FibonacciNumbers, {"1", "", ""}, {"    1"}, {}},
                    Click{"2", &FibonacciNumbers, {"2", "", ""}, {"    1", "    1"}, {}},
                    Click{"3", &FibonacciNumbers, {"3", "", ""}, {"    1", "    1", "    2"}, {}},
                    Click{"12",
                          &FibonacciNumbers,
                          {"12", "x", "y"},
                          Shown({1, 1, 2, 3, 5, 8, 13, 21, 34, 55, 89, 144}),
                          {}},
                    Click{"above limit", &FibonacciNumbers, {"74", "", ""}, {}, kTooLarge},
                    Click{"empty", &FibonacciNumbers, {"", "", ""}, {}, kANotWhole},
                    Click{"zero", &FibonacciNumbers, {"0", "", ""}, {}, kANotWhole},
                    Click{"fraction", &FibonacciNumbers, {"2.5", "", ""}, {}, kANotWhole}));

// Every representation x <= y with positive x, by an integer search.
Lines SquaresByBruteForce(std::int64_t a) {
  Lines lines;
  for (std::int64_t x = 1; 2 * x * x <= a; ++x) {
    std::int64_t y = x;
    while (x * x + y * y < a) {
      ++y;
    }
    if (x * x + y * y == a) {
      lines.push_back("  " + std::to_string(a) + "  =   " + std::to_string(x) + "^2  +   " +
                      std::to_string(y) + "^2");
    }
  }
  if (lines.empty()) {
    lines.push_back("   NO SOLUTION !");
  }
  return lines;
}

TEST(SumOfTwoSquares, AgreesWithBruteForce) {
  for (std::int64_t a = 1; a <= 2000; ++a) {
    const Outcome outcome = SumOfTwoSquares({std::to_string(a), "", ""});
    ASSERT_EQ(outcome.lines, SquaresByBruteForce(a)) << "A = " << a;
  }
  for (const std::int64_t a : {9998244, 9999850, 9999997, 5928325}) {
    EXPECT_EQ(SumOfTwoSquares({std::to_string(a), "", ""}).lines, SquaresByBruteForce(a))
        << "A = " << a;
  }
  EXPECT_EQ(SquaresByBruteForce(5928325).size(), 24u);
}

// Odd primes up to `limit`, by the sieve of Eratosthenes.
std::vector<bool> OddPrimeSieve(std::int64_t limit) {
  std::vector<bool> prime(limit + 1, true);
  prime[0] = prime[1] = false;
  for (std::int64_t i = 2; i * i <= limit; ++i) {
    if (prime[i]) {
      for (std::int64_t j = i * i; j <= limit; j += i) {
        prime[j] = false;
      }
    }
  }
  prime[2] = false;
  return prime;
}

TEST(GoldbachDecomposition, AgreesWithASieve) {
  const std::vector<bool> prime = OddPrimeSieve(100000);
  std::vector<std::int64_t> evens;
  for (std::int64_t a = 2; a <= 1000; a += 2) {
    evens.push_back(a);
  }
  for (std::int64_t a = 1002; a <= 100000; a += 998) {
    evens.push_back(a);
  }
  evens.push_back(99998);
  evens.push_back(100000);
  for (const std::int64_t a : evens) {
    Lines expected;
    for (std::int64_t p = 3; 2 * p <= a; ++p) {
      if (prime[p] && prime[a - p]) {
        expected.push_back("  " + std::to_string(a) + "  =   " + std::to_string(p) + "  +   " +
                           std::to_string(a - p));
      }
    }
    const Outcome outcome = GoldbachDecomposition({std::to_string(a), "", ""});
    ASSERT_EQ(outcome.lines, expected) << "A = " << a;
    EXPECT_FALSE(outcome.notice);
  }
}

TEST(GoldbachDecomposition, ListsEveryPairAtTheHeaviestInputs) {
  const Lines at_limit = GoldbachDecomposition({"100000", "", ""}).lines;
  ASSERT_EQ(at_limit.size(), 810u);
  EXPECT_EQ(at_limit.front(), "  100000  =   11  +   99989");
  EXPECT_EQ(at_limit.back(), "  100000  =   49877  +   50123");
  EXPECT_EQ(GoldbachDecomposition({"99330", "", ""}).lines.size(), 2168u);
}

// The values that follow a in its Collatz sequence, down to 1, walked in 64-bit integers.
std::vector<std::uint64_t> CollatzWalk(std::uint64_t a) {
  std::vector<std::uint64_t> values;
  std::uint64_t v = a;
  do {
    v = v % 2 == 0 ? v / 2 : 3 * v + 1;
    values.push_back(v);
  } while (v != 1);
  return values;
}

TEST(CollatzSequence, AgreesWithAnIntegerWalk) {
  std::vector<std::uint64_t> starts;
  for (std::uint64_t a = 1; a <= 3000; ++a) {
    starts.push_back(a);
  }
  for (std::uint64_t a = 99999990; a <= 100000000; ++a) {
    starts.push_back(a);
  }
  starts.push_back(63728127);
  starts.push_back(80049391);
  for (const std::uint64_t a : starts) {
    Lines expected;
    for (const std::uint64_t v : CollatzWalk(a)) {
      expected.push_back(ValueLine(static_cast<double>(v)));
    }
    ASSERT_EQ(CollatzSequence({std::to_string(a), "", ""}).lines, expected) << "A = " << a;
  }
}

TEST(CollatzSequence, ShowsTheLongestAndHighestWalks) {
  const Lines from27 = CollatzSequence({"27", "", ""}).lines;
  EXPECT_EQ(from27.size(), 111u);
  EXPECT_EQ(std::count(from27.begin(), from27.end(), "    9232"), 1);
  EXPECT_EQ(CollatzSequence({"63728127", "", ""}).lines.size(), 949u);

  const Lines at_limit = CollatzSequence({"100000000", "", ""}).lines;
  ASSERT_EQ(at_limit.size(), 107u);
  EXPECT_EQ(Lines(at_limit.begin(), at_limit.begin() + 3), Shown({50000000, 25000000, 12500000}));

  // Values from 1E15 on are shown in exponent form, rounded to 15 significant digits.
  const Lines high = CollatzSequence({"80049391", "", ""}).lines;
  const std::vector<std::uint64_t> walk = CollatzWalk(80049391);
  const auto peak = std::max_element(walk.begin(), walk.end());
  ASSERT_EQ(*peak, 2185143829170100u);
  EXPECT_EQ(high[peak - walk.begin()], "    2.1851438291701E+15");
  const auto exponent_lines = std::count_if(high.begin(), high.end(), [](const std::string& l) {
    return l.find("E+15") != std::string::npos;
  });
  const auto large_values = std::count_if(walk.begin(), walk.end(),
                                          [](std::uint64_t v) { return v >= 1000000000000000u; });
  EXPECT_GT(large_values, 0);
  EXPECT_EQ(exponent_lines, large_values);
}

TEST(FibonacciNumbers, AgreesWithIntegerTermsForEveryA) {
  std::vector<std::uint64_t> terms{1, 1};
  while (terms.size() < 73) {
    terms.push_back(terms[terms.size() - 1] + terms[terms.size() - 2]);
  }
  for (std::size_t a = 1; a <= 73; ++a) {
    Lines expected;
    for (std::size_t k = 0; k < a; ++k) {
      expected.push_back("    " + std::to_string(terms[k]));
    }
    ASSERT_EQ(FibonacciNumbers({std::to_string(a), "", ""}).lines, expected) << "A = " << a;
  }
  EXPECT_EQ(FibonacciNumbers({"73", "", ""}).lines.back(), "    806515533049393");
}

}  // namespace
}  // namespace brindaq
