// Square roots, quadratic congruences and sums of two squares of the big-number layer, held to
// brute force over every small modulus and number, to the 64-bit two-squares code where the
// ranges meet, and to the congruence itself for every solution listed past them.

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "core/arithmetic/factorisation.h"
#include "core/arithmetic/two_squares.h"
#include "core/big/big_congruence.h"
#include "core/big/big_two_squares.h"

namespace brindaq {
namespace {

std::vector<BigPrimePower> FactorsOf(std::uint64_t n) {
  std::vector<BigPrimePower> factors;
  for (const PrimePower& power : Factorisation(n)) {
    factors.push_back({Natural(power.prime), power.exponent});
  }
  return factors;
}

TEST(BigCongruence, EverySmallModulusAgreesWithBruteForce) {
  std::mt19937_64 random(8);
  Work work;
  for (std::uint64_t c = 1; c <= 500; ++c) {
    const std::vector<BigPrimePower> factors = FactorsOf(c);
    const std::uint64_t p = c == 1 ? 1 : factors.front().prime.Word();
    // Random A and B; A = 0 (mod C); A and B sharing powers of C's smallest prime.
    const std::uint64_t cases[][2] = {{random() % (3 * c), random() % (3 * c)},
                                      {c * (random() % 3), random() % 2 == 0 ? 0 : random() % c},
                                      {p * (1 + random() % 5), p * p * (random() % 4)},
                                      {p * p * (1 + random() % 3), p * p * p * (random() % 3)}};
    for (const auto& [a, b] : cases) {
      std::vector<Natural> expected;
      for (std::uint64_t x = 1; x <= c; ++x) {
        if ((a % c * (x * x % c) + c - b % c) % c == 0) {
          expected.emplace_back(x);
        }
      }
      EXPECT_EQ(CountQuadraticSolutions(a, b, c, factors), Natural(expected.size()))
          << a << " X^2 = " << b << " mod " << c;
      EXPECT_EQ(QuadraticSolutions(a, b, c, factors, work), expected)
          << a << " X^2 = " << b << " mod " << c;
    }
  }
}

TEST(BigCongruence, BigModuliSolutionsSatisfyTheCongruence) {
  Work work;
  const Natural p = Natural::FromDecimal("100000000000000000039");  // prime, 3 (mod 4)
  const Natural q = Natural::FromDecimal("18446744073709551629");   // prime, 1 (mod 4)
  const std::vector<BigPrimePower> factors = {{Natural(2), 13}, {Natural(3), 4}, {q, 1}, {p, 2}};
  Natural c(1);
  for (const BigPrimePower& power : factors) {
    c *= Power(power.prime, static_cast<unsigned>(power.exponent));
  }
  // A X^2 = A r^2 has the solution r; with A and B sharing powers of 2 and 3, more come from the
  // lifts.
  for (const Natural& a : {Natural(7), Natural(9), Natural(8 * 27)}) {
    const Natural b = a * Natural(123456789) * Natural(123456789) % c;
    const Natural count = CountQuadraticSolutions(a, b, c, factors);
    const std::optional<std::vector<Natural>> solutions =
        QuadraticSolutions(a, b, c, factors, work);
    ASSERT_TRUE(solutions.has_value());
    EXPECT_EQ(Natural(solutions->size()), count);
    EXPECT_GE(solutions->size(), 1u);
    for (std::size_t i = 0; i < solutions->size(); ++i) {
      EXPECT_TRUE(((*solutions)[i] * (*solutions)[i] * a + c - b) % c == 0);
      EXPECT_TRUE(i == 0 || (*solutions)[i - 1] < (*solutions)[i]);
    }
  }
  // Counts far past any list: every X modulo 2^30000, and the multiples of p modulo p^2.
  EXPECT_EQ(CountQuadraticSolutions(0, 0, Natural::TwoToThe(30000), {{Natural(2), 30000}}),
            Natural::TwoToThe(30000));
  EXPECT_EQ(CountQuadraticSolutions(p, 0, p * p, {{p, 2}}), p);
}

TEST(BigCongruence, SquareRootsModuloPrimesOfEveryShape) {
  std::mt19937_64 random(9);
  Work work;
  // 3 (mod 4); 5 (mod 8); and 1 (mod 2^70), where Tonelli-Shanks takes many rounds.
  Natural proth = Natural::TwoToThe(70) * Natural(3) + Natural(1);
  while (mpz_probab_prime_p(proth.get(), 30) == 0) {
    proth += Natural::TwoToThe(71);
  }
  for (const Natural& p : {Natural::TwoToThe(127) - Natural(1),
                           Natural::TwoToThe(255) - Natural(19), proth, Natural(13)}) {
    for (int i = 0; i < 30; ++i) {
      const Natural a = Natural(random()) * Natural(random()) % p;
      const std::optional<Natural> root = SquareRootModuloPrime(a, p, work);
      ASSERT_EQ(root.has_value(), mpz_jacobi(a.get(), p.get()) != -1) << a << " mod " << p;
      if (root) {
        EXPECT_EQ(*root * *root % p, a);
      }
    }
  }
}

TEST(BigTwoSquares, AgreeWithBruteForceAndTheWordSizedCode) {
  Work work;
  for (std::uint64_t n = 1; n <= 3000; ++n) {
    std::vector<std::uint64_t> expected_x;
    for (std::uint64_t x = 1; 2 * x * x <= n; ++x) {
      for (std::uint64_t y = x; x * x + y * y <= n; ++y) {
        if (x * x + y * y == n) {
          expected_x.push_back(x);
        }
      }
    }
    const std::vector<BigPrimePower> factors = FactorsOf(n);
    EXPECT_EQ(CountSumsOfTwoSquares(factors), Natural(expected_x.size())) << n;
    const std::optional<std::vector<BigSquarePair>> pairs = SumsOfTwoSquares(factors, work);
    ASSERT_EQ(pairs->size(), expected_x.size()) << n;
    for (std::size_t i = 0; i < expected_x.size(); ++i) {
      EXPECT_EQ((*pairs)[i].x, Natural(expected_x[i])) << n;
    }
  }
  // Where the ranges meet: products of primes 1 (mod 4) below 2^64.
  for (const std::uint64_t n :
       {std::uint64_t{10003628061488344205u}, std::uint64_t{18446744073709551557u},
        std::uint64_t{5} * 5 * 13 * 17 * 29 * 37 * 41 * 53 * 61 * 73 * 89 * 97 * 2}) {
    const std::vector<SquarePair> expected = SumsOfTwoSquares(n);
    const std::optional<std::vector<BigSquarePair>> pairs = SumsOfTwoSquares(FactorsOf(n), work);
    ASSERT_EQ(pairs->size(), expected.size()) << n;
    EXPECT_EQ(CountSumsOfTwoSquares(FactorsOf(n)), Natural(expected.size()));
    for (std::size_t i = 0; i < expected.size(); ++i) {
      EXPECT_EQ((*pairs)[i].x, Natural(expected[i].x));
      EXPECT_EQ((*pairs)[i].y, Natural(expected[i].y));
    }
  }
  // Past 2^64: every pair sums to n, ascending, as many as counted.
  const std::vector<BigPrimePower> factors = {{Natural(2), 3},
                                              {Natural(3), 2},
                                              {Natural(5), 2},
                                              {Natural::FromDecimal("18446744073709551629"), 1},
                                              {Natural::FromDecimal("100000000000000000129"), 3}};
  Natural n(1);
  for (const BigPrimePower& power : factors) {
    n *= Power(power.prime, static_cast<unsigned>(power.exponent));
  }
  const std::optional<std::vector<BigSquarePair>> pairs = SumsOfTwoSquares(factors, work);
  EXPECT_EQ(Natural(pairs->size()), CountSumsOfTwoSquares(factors));
  for (std::size_t i = 0; i < pairs->size(); ++i) {
    EXPECT_EQ((*pairs)[i].x * (*pairs)[i].x + (*pairs)[i].y * (*pairs)[i].y, n);
    EXPECT_TRUE(i == 0 || (*pairs)[i - 1].x < (*pairs)[i].x);
  }
}

}  // namespace
}  // namespace brindaq
