#include <gtest/gtest.h>

#include <cstdint>
#include <numeric>
#include <optional>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "core/operations.h"
#include "tests/core/outcome_cases.h"

namespace brindaq {
namespace {

using namespace testing_cases;

const Lines kNoSolution{"  NO SOLUTION !"};

INSTANTIATE_TEST_SUITE_P(
    ModularPower, ClickTest,
    testing::Values(
        Click{"2^10 mod 1000", &ModularPower, {"2", "10", "1000"}, Shown({24}), {}},
        Click{"3^4 mod 5", &ModularPower, {"3", "4", "5"}, Shown({1}), {}},
        Click{"mod 1", &ModularPower, {"9999", "7", "1"}, Shown({0}), {}},
        Click{"A equals C", &ModularPower, {"7", "3", "7"}, Shown({0}), {}},
        Click{"A a multiple of C", &ModularPower, {"21", "1", "7"}, Shown({0}), {}},
        Click{"B = 1 with A above C", &ModularPower, {"12", "1", "5"}, Shown({2}), {}},
        Click{"largest exact", &ModularPower, {"9999", "10000", "99991"}, Shown({54860}), {}},
        Click{"limits", &ModularPower, {"10000", "10000", "100000"}, Shown({0}), {}},
        Click{"A too large first", &ModularPower, {"10001", "", ""}, {}, kTooLarge},
        Click{"B too large", &ModularPower, {"2", "10001", ""}, {}, kTooLarge},
        Click{"C too large", &ModularPower, {"2", "3", "100001"}, {}, kTooLarge},
        Click{"A before B", &ModularPower, {"0", "10001", ""}, {}, kANotWhole},
        Click{"B before C", &ModularPower, {"2", "0", "0"}, {}, kBNotWhole},
        Click{"C empty", &ModularPower, {"2", "3", ""}, {}, kCNotWhole},
        Click{"C zero", &ModularPower, {"2", "3", "0"}, {}, kCNotWhole},
        Click{"C fraction", &ModularPower, {"2", "3", "2.5"}, {}, kCNotWhole}));

INSTANTIATE_TEST_SUITE_P(
    LinearCongruence, ClickTest,
    testing::Values(
        Click{"3x = 4 mod 7", &LinearCongruence, {"3", "4", "7"}, Shown({6}), {}},
        Click{"smallest only", &LinearCongruence, {"6", "4", "10"}, Shown({4}), {}},
        Click{"zero difference", &LinearCongruence, {"2", "2", "4"}, Shown({1}), {}},
        Click{"B above C", &LinearCongruence, {"1", "9", "7"}, Shown({2}), {}},
        Click{"common factor", &LinearCongruence, {"2", "1", "4"}, kNoSolution, {}},
        Click{"A equals C, C divides B", &LinearCongruence, {"5", "10", "5"}, Shown({1}), {}},
        Click{"A equals C", &LinearCongruence, {"5", "3", "5"}, kNoSolution, {}},
        Click{"mod 1", &LinearCongruence, {"4", "9", "1"}, Shown({1}), {}},
        Click{"residue 0", &LinearCongruence, {"3", "7", "7"}, Shown({7}), {}},
        Click{"limits", &LinearCongruence, {"1000", "1000", "10000"}, Shown({1}), {}},
        Click{"A too large", &LinearCongruence, {"1001", "", ""}, {}, kTooLarge},
        Click{"B too large", &LinearCongruence, {"1", "1001", ""}, {}, kTooLarge},
        Click{"C too large", &LinearCongruence, {"1", "1", "10001"}, {}, kTooLarge},
        Click{"A before B", &LinearCongruence, {"-1", "1001", "0"}, {}, kANotWhole},
        Click{"B before C", &LinearCongruence, {"1", "", "10001"}, {}, kBNotWhole},
        Click{"C empty", &LinearCongruence, {"1", "1", ""}, {}, kCNotWhole},
        Click{"C zero", &LinearCongruence, {"1", "1", "0"}, {}, kCNotWhole},
        Click{"C fraction", &LinearCongruence, {"1", "1", "1.5"}, {}, kCNotWhole}));

INSTANTIATE_TEST_SUITE_P(
    QuadraticCongruence, ClickTest,
    testing::Values(
        Click{"x^2 = 1 mod 8", &QuadraticCongruence, {"1", "1", "8"}, Shown({1, 3, 5, 7}), {}},
        Click{"B above C", &QuadraticCongruence, {"1", "9", "7"}, Shown({3, 4}), {}},
        Click{"2x^2 = 3 mod 5", &QuadraticCongruence, {"2", "3", "5"}, Shown({2, 3}), {}},
        Click{"non-residue", &QuadraticCongruence, {"1", "2", "3"}, kNoSolution, {}},
        Click{"x^2 = 4 mod 4", &QuadraticCongruence, {"1", "4", "4"}, Shown({2, 4}), {}},
        Click{"residue 0", &QuadraticCongruence, {"1", "7", "7"}, Shown({7}), {}},
        Click{"every candidate", &QuadraticCongruence, {"5", "5", "5"}, Shown({1, 2, 3, 4, 5}), {}},
        Click{"A equals C", &QuadraticCongruence, {"5", "3", "5"}, kNoSolution, {}},
        Click{"mod 1", &QuadraticCongruence, {"3", "2", "1"}, Shown({1}), {}},
        Click{"mod 2, odd B", &QuadraticCongruence, {"3", "1", "2"}, Shown({1}), {}},
        Click{"mod 2, even B", &QuadraticCongruence, {"1", "2", "2"}, Shown({2}), {}},
        Click{"A too large", &QuadraticCongruence, {"1001", "", ""}, {}, kTooLarge},
        Click{"B too large", &QuadraticCongruence, {"1", "1001", ""}, {}, kTooLarge},
        Click{"C too large", &QuadraticCongruence, {"1", "1", "10001"}, {}, kTooLarge},
        Click{"A before B", &QuadraticCongruence, {"", "", ""}, {}, kANotWhole},
        Click{"B before C", &QuadraticCongruence, {"1", "2.5", "abc"}, {}, kBNotWhole},
        Click{"C empty", &QuadraticCongruence, {"1", "1", ""}, {}, kCNotWhole},
        Click{"C zero", &QuadraticCongruence, {"1", "1", "0"}, {}, kCNotWhole},
        Click{"C fraction", &QuadraticCongruence, {"1", "1", "1.5"}, {}, kCNotWhole}));

INSTANTIATE_TEST_SUITE_P(
    ModularInverse, ClickTest,
    testing::Values(
        Click{"3 mod 7", &ModularInverse, {"3", "7", ""}, Shown({5}), {}},
        Click{"A above B", &ModularInverse, {"7", "5", "abc"}, Shown({3}), {}},
        Click{"1 mod 2", &ModularInverse, {"1", "2", "-9"}, Shown({1}), {}},
        Click{"10000 mod 99999", &ModularInverse, {"10000", "99999", ""}, Shown({10}), {}},
        Click{"1 mod 100000", &ModularInverse, {"1", "100000", ""}, Shown({1}), {}},
        Click{"common factor", &ModularInverse, {"4", "6", ""}, kNoSolution, {}},
        Click{"A equals B", &ModularInverse, {"9", "9", ""}, kNoSolution, {}},
        Click{"mod 1", &ModularInverse, {"5", "1", ""}, Shown({1}), {}},
        Click{"A too large", &ModularInverse, {"10001", "", ""}, {}, kTooLarge},
        Click{"B too large", &ModularInverse, {"3", "100001", ""}, {}, kTooLarge},
        Click{"A before B", &ModularInverse, {"2.5", "100001", ""}, {}, kANotWhole},
        Click{"B empty", &ModularInverse, {"3", "", "7"}, {}, kBNotWhole},
        Click{"B zero", &ModularInverse, {"3", "0", "7"}, {}, kBNotWhole},
        Click{"B fraction", &ModularInverse, {"3", "2.5", "7"}, {}, kBNotWhole}));

// Operands drawn at random over the whole accepted range, the same on every run.
std::vector<std::array<std::int64_t, 3>> RandomOperands(int count, std::int64_t a_max,
                                                        std::int64_t b_max, std::int64_t c_max) {
  std::mt19937_64 generator(20240601);
  std::vector<std::array<std::int64_t, 3>> operands;
  for (int i = 0; i < count; ++i) {
    operands.push_back({static_cast<std::int64_t>(generator() % a_max) + 1,
                        static_cast<std::int64_t>(generator() % b_max) + 1,
                        static_cast<std::int64_t>(generator() % c_max) + 1});
  }
  return operands;
}

OperandTexts Texts(std::int64_t a, std::int64_t b, std::int64_t c) {
  return {std::to_string(a), std::to_string(b), std::to_string(c)};
}

std::int64_t PowerBySquaring(std::int64_t base, std::int64_t exponent, std::int64_t modulus) {
  std::int64_t result = 1 % modulus;
  base %= modulus;
  for (; exponent > 0; exponent /= 2) {
    if (exponent % 2 == 1) {
      result = result * base % modulus;
    }
    base = base * base % modulus;
  }
  return result;
}

TEST(ModularPower, AgreesWithSquareAndMultiply) {
  auto operands = RandomOperands(400, 10000, 10000, 100000);
  for (std::int64_t c = 1; c <= 12; ++c) {
    operands.push_back({10000, 10000, c});
    operands.push_back({c + 1, 9999, 99991});
  }
  for (const auto& [a, b, c] : operands) {
    EXPECT_EQ(ModularPower(Texts(a, b, c)).lines, Shown({PowerBySquaring(a, b, c)}))
        << a << "^" << b << " mod " << c;
  }
}

// Every X from 1 to C that solves a*X^power = b (mod c), by integer remainders.
std::vector<std::int64_t> Solutions(std::int64_t a, int power, std::int64_t b, std::int64_t c) {
  std::vector<std::int64_t> solutions;
  for (std::int64_t x = 1; x <= c; ++x) {
    const std::int64_t left = power == 1 ? a * x : a * x * x;
    if ((left - b) % c == 0) {
      solutions.push_back(x);
    }
  }
  return solutions;
}

Lines SolutionLines(const std::vector<std::int64_t>& solutions) {
  Lines lines;
  for (const std::int64_t x : solutions) {
    lines.push_back("    " + std::to_string(x));
  }
  return lines.empty() ? kNoSolution : lines;
}

// Small operands exhaustively, plus random ones over the whole accepted range.
std::vector<std::array<std::int64_t, 3>> CongruenceOperands() {
  auto operands = RandomOperands(150, 1000, 1000, 10000);
  for (std::int64_t a = 1; a <= 24; ++a) {
    for (std::int64_t b = 1; b <= 24; ++b) {
      for (std::int64_t c = 1; c <= 24; ++c) {
        operands.push_back({a, b, c});
      }
    }
  }
  return operands;
}

TEST(LinearCongruence, ListsTheSmallestSolution) {
  for (const auto& [a, b, c] : CongruenceOperands()) {
    const std::vector<std::int64_t> all = Solutions(a, 1, b, c);
    // The solutions exist exactly when gcd(A, C) divides B.
    ASSERT_EQ(all.empty(), b % std::gcd(a, c) != 0);
    const Lines expected = all.empty() ? kNoSolution : Shown({all.front()});
    ASSERT_EQ(LinearCongruence(Texts(a, b, c)).lines, expected) << a << " " << b << " " << c;
  }
}

TEST(QuadraticCongruence, ListsEverySolution) {
  for (const auto& [a, b, c] : CongruenceOperands()) {
    ASSERT_EQ(QuadraticCongruence(Texts(a, b, c)).lines, SolutionLines(Solutions(a, 2, b, c)))
        << a << " " << b << " " << c;
  }
}

TEST(QuadraticCongruence, ListsTwoThousandSolutionsAtTheLimits) {
  const Lines lines = QuadraticCongruence({"1000", "1000", "10000"}).lines;
  ASSERT_EQ(lines.size(), 2000u);
  EXPECT_EQ(Lines(lines.begin(), lines.begin() + 4), Shown({1, 9, 11, 19}));
  EXPECT_EQ(lines, SolutionLines(Solutions(1000, 2, 1000, 10000)));
}

// The inverse by the extended Euclidean algorithm, as a residue from 1 to b; none when a and b
// share a factor.
std::optional<std::int64_t> InverseByEuclid(std::int64_t a, std::int64_t b) {
  std::int64_t r0 = b, r1 = a % b, s0 = 0, s1 = 1;
  while (r1 != 0) {
    const std::int64_t q = r0 / r1;
    std::tie(r0, r1) = std::pair{r1, r0 - q * r1};
    std::tie(s0, s1) = std::pair{s1, s0 - q * s1};
  }
  if (r0 != 1) {
    return b == 1 ? std::optional<std::int64_t>{1} : std::nullopt;
  }
  const std::int64_t x = ((s0 % b) + b) % b;
  return x == 0 ? b : x;
}

TEST(ModularInverse, AgreesWithEuclid) {
  auto operands = RandomOperands(120, 10000, 100000, 1);
  for (std::int64_t a = 1; a <= 60; ++a) {
    for (std::int64_t b = 1; b <= 60; ++b) {
      operands.push_back({a, b, 1});
    }
  }
  for (const auto& [a, b, c] : operands) {
    const std::optional<std::int64_t> inverse = InverseByEuclid(a, b);
    const Lines expected = inverse ? Shown({*inverse}) : kNoSolution;
    ASSERT_EQ(ModularInverse({std::to_string(a), std::to_string(b), ""}).lines, expected)
        << a << " mod " << b;
  }
}

}  // namespace
}  // namespace brindaq
