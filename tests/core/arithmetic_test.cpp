// The arithmetic layer on its own, beneath the operations: the Jacobi symbol, the inverse, the
// Montgomery forms, the splitting of composites and the Baillie-PSW test, each held to a slow
// method of its own (Euler's criterion, the definition, exact 128-bit products, a sieve, the
// first form of the Lucas test), so that a fault shows where it is rather than in some answer.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <numeric>
#include <optional>
#include <random>
#include <vector>

#include "core/arithmetic/factorisation.h"
#include "core/arithmetic/montgomery.h"
#include "core/arithmetic/probable_prime.h"
#include "core/arithmetic/wide.h"
#include "tests/core/reference.h"

namespace brindaq {
namespace {

namespace ref = testing_reference;

std::uint64_t MulMod(std::uint64_t a, std::uint64_t b, std::uint64_t n) {
  return static_cast<std::uint64_t>(Uint128{a} * b % n);
}

std::uint64_t PowMod(std::uint64_t a, std::uint64_t e, std::uint64_t n) {
  std::uint64_t result = 1 % n;
  for (a %= n; e > 0; e /= 2, a = MulMod(a, a, n)) {
    result = e % 2 == 1 ? MulMod(result, a, n) : result;
  }
  return result;
}

// The Legendre symbol (a / p) for an odd prime p by Euler's criterion: a^((p - 1) / 2) mod p.
int Legendre(std::uint64_t a, std::uint64_t p) {
  const std::uint64_t power = PowMod(a, (p - 1) / 2, p);
  return power == 0 ? 0 : power == 1 ? 1 : -1;
}

// For a prime, Euler's criterion; for an odd composite, the product of it over the prime factors.
TEST(Arithmetic, JacobiIsEulersCriterionOverThePrimeFactors) {
  std::mt19937_64 random(11);
  std::vector<std::uint64_t> odd = {4294967291, 1000000000000000003, 18446744073709551557U};
  for (std::uint64_t n = 3; n < 3000; n += 2) {
    odd.push_back(n);
  }
  for (int i = 0; i < 300; ++i) {
    odd.push_back((random() >> 34) | 1);
  }
  for (const std::uint64_t n : odd) {
    const std::vector<std::uint64_t> primes =
        ref::IsPrimeBelow2To64(n) ? std::vector<std::uint64_t>{n} : ref::Factorise(n);
    for (const std::uint64_t a : {std::uint64_t{0}, std::uint64_t{2}, n - 1, n, n + 2, random()}) {
      int product = 1;
      for (const std::uint64_t p : primes) {
        product *= Legendre(a, p);
      }
      ASSERT_EQ(Jacobi(a, n), product) << a << " / " << n;
    }
  }
}

TEST(Arithmetic, InverseModuloSolvesItsDefinitionOrThereIsNone) {
  std::mt19937_64 random(12);
  constexpr std::uint64_t k2To62 = std::uint64_t{1} << 62;
  for (const std::uint64_t m : {std::uint64_t{1}, std::uint64_t{2}, std::uint64_t{10}, k2To62 - 1,
                                k2To62, k2To62 + 1, std::uint64_t{18446744073709551557U},
                                std::uint64_t{18446744073709551614U}, kLargestWhole}) {
    for (const std::uint64_t a : {std::uint64_t{0}, std::uint64_t{1}, std::uint64_t{2}, m - 1, m,
                                  m / 3, random(), random() >> 3, random() & ~std::uint64_t{1}}) {
      const std::optional<std::uint64_t> inverse = InverseModulo(a, m);
      ASSERT_EQ(inverse.has_value(), std::gcd(a, m) == 1) << a << " mod " << m;
      if (inverse) {
        EXPECT_LT(*inverse, m);
        EXPECT_EQ(MulMod(a, *inverse, m), 1 % m) << a << " mod " << m;
      }
    }
  }
}

// A form is c R mod n, and Multiply(x, y) is x y / R: times R it is x y again, modulo n.
TEST(Arithmetic, MontgomeryFormsAgreeWithExactProducts) {
  std::mt19937_64 random(13);
  std::vector<std::uint64_t> moduli = {kLargestWhole, 18446744073709551557U, 9223372036854775809U};
  moduli.insert(moduli.end(), {4294967297, 4294967291, 1073741823, 1073741821, 5, 3});
  for (int i = 0; i < 40; ++i) {
    moduli.push_back((random() >> (random() % 62)) | 3);
  }
  for (const std::uint64_t n : moduli) {
    const Montgomery64 m(n);
    const std::vector<std::uint64_t> values = {0, 1, 2, n - 1, n - 2, n / 2, random(), random()};
    for (const std::uint64_t a : values) {
      const std::uint64_t x = m.Of(a);
      ASSERT_EQ(x, (Uint128{a} << 64) % n) << a << " mod " << n;
      ASSERT_EQ(m.ValueOf(x), a % n);
      for (const std::uint64_t b : values) {
        const std::uint64_t y = m.Of(b);
        ASSERT_EQ((Uint128{m.Multiply(x, y)} << 64) % n, Uint128{x} * y % n);
        ASSERT_EQ(m.ValueOf(m.Add(x, y)), (Uint128{a % n} + b % n) % n);
        ASSERT_EQ(m.ValueOf(m.Subtract(x, y)), (Uint128{a % n} + n - b % n) % n);
        ASSERT_LT(std::max({m.Multiply(x, y), m.Add(x, y), m.Subtract(x, y)}), n);
      }
      for (const std::uint64_t e : {std::uint64_t{0}, std::uint64_t{1}, n - 1, random()}) {
        ASSERT_EQ(m.ValueOf(m.Power(x, e)), PowMod(a, e, n)) << a << "^" << e << " mod " << n;
      }
    }
    if (n >= Montgomery32::kModulusBelow) {
      continue;
    }
    // R = 2^32, and values below 2n, which a product keeps to.
    const auto n32 = static_cast<std::uint32_t>(n);
    const Montgomery32 m32(n32);
    for (const std::uint64_t a : values) {
      const std::uint32_t x = m32.Of(static_cast<std::uint32_t>(a));
      ASSERT_EQ(x, (a % (std::uint64_t{1} << 32) << 32) % n);
      for (const std::uint32_t y : {x, x + n32, 2 * n32 - 1, std::uint32_t{0}}) {
        const std::uint32_t product = m32.Multiply(x + n32, y);
        ASSERT_LT(product, 2 * n32);
        ASSERT_EQ((std::uint64_t{product} << 32) % n, Uint128{x + n32} * y % n);
        ASSERT_EQ(m32.Reduced(product), product % n32);
        ASSERT_EQ(m32.Reduced(m32.Double(y)), 2 * std::uint64_t{y} % n);
      }
    }
  }
}

// Products of two primes of several sizes, of three, and of a square and a prime, none a prime
// power; and for rho, small ones whose two cycles close within one batch of its steps for c = 1,
// so that the batch overshoots to n and is taken again step by step.
TEST(Arithmetic, SplitsCompositesIntoProperFactors) {
  const auto prime_below = [](std::uint64_t n) {
    while (!ref::IsPrimeBelow2To64(--n)) {
    }
    return n;
  };
  std::vector<std::uint64_t> products = {std::uint64_t{10009} * 10037 * 10039,
                                         std::uint64_t{10007} * 10007 * 10009};
  for (const auto [low, high] :
       std::array<std::array<int, 2>, 5>{{{20, 20}, {20, 24}, {26, 27}, {31, 33}, {32, 32}}}) {
    for (std::uint64_t k = 0; k < 4; ++k) {
      products.push_back(prime_below((std::uint64_t{1} << low) - 1000 * k) *
                         prime_below((std::uint64_t{1} << high) - 7777 * k - 2000));
    }
  }
  const auto proper = [](std::uint64_t factor, std::uint64_t n) {
    return factor > 1 && factor < n && n % factor == 0;
  };
  for (const std::uint64_t n : products) {
    EXPECT_TRUE(proper(SplitComposite(n), n)) << n;
    EXPECT_TRUE(proper(EllipticCurveFactor(n, 400), n)) << n;
    std::uint64_t c = 1;
    while (RhoFactor(n, c) == n && c < 10) {
      ++c;
    }
    EXPECT_TRUE(proper(RhoFactor(n, c), n)) << n;
  }
  EXPECT_TRUE(proper(RhoFactor(101 * 103, 1), 101 * 103));
  EXPECT_TRUE(proper(RhoFactor(1009 * 10007, 1), 1009 * 10007));
}

bool IsStrongProbablePrimeTo2(std::uint64_t n) {
  const int s = std::countr_zero(n - 1);
  std::uint64_t x = PowMod(2, (n - 1) >> s, n);
  bool passes = x == 1;
  for (int r = 0; r < s && !passes; ++r, x = MulMod(x, x, n)) {
    passes = x == n - 1;
  }
  return passes;
}

// The Lucas half of the Baillie-PSW test as first stated: the strong Lucas test with Selfridge's
// parameters (P = 1, Q = (1 - D) / 4, D the first of 5, -7, 9, ... with (D / n) = -1), U and V by
// the doubling formulas on exact 128-bit products.
bool IsStrongLucasProbablePrime(std::uint64_t n) {
  const auto residue = [n](std::int64_t v) {
    return v >= 0 ? static_cast<std::uint64_t>(v) % n : n - static_cast<std::uint64_t>(-v) % n;
  };
  std::int64_t d = 5;
  for (int symbol; (symbol = Jacobi(residue(d), n)) != -1; d = d > 0 ? -d - 2 : 2 - d) {
    if (symbol == 0 || ref::IntegerSquareRoot(n) * ref::IntegerSquareRoot(n) == n) {
      return false;
    }
  }
  const std::uint64_t big_d = residue(d), q = residue((1 - d) / 4);
  const auto half = [n](Uint128 v) { return static_cast<std::uint64_t>((v + v % 2 * n) / 2 % n); };
  const auto v_twice = [n](std::uint64_t v, std::uint64_t q_power) {
    return static_cast<std::uint64_t>((Uint128{MulMod(v, v, n)} + 2 * Uint128{n - q_power}) % n);
  };
  const int s = std::countr_zero(n + 1);
  const std::uint64_t k = (n + 1) >> s;
  std::uint64_t u = 1, v = 1, q_power = q;  // U_1, V_1 = P and Q^1
  for (int bit = std::bit_width(k) - 2; bit >= 0; --bit) {
    u = MulMod(u, v, n);
    v = v_twice(v, q_power);
    q_power = MulMod(q_power, q_power, n);
    if ((k >> bit) & 1) {
      const std::uint64_t u_next = half(Uint128{u} + v);
      v = half(Uint128{MulMod(big_d, u, n)} + v);
      u = u_next;
      q_power = MulMod(q_power, q, n);
    }
  }
  bool passes = u == 0;
  for (int r = 0; r < s && !passes;
       ++r, v = v_twice(v, q_power), q_power = MulMod(q_power, q_power, n)) {
    passes = v == 0;
  }
  return passes;
}

// Every odd number with no factor up to 53 of a segment above 4759123141 (one of them a strong
// pseudoprime to the base 2), and strong pseudoprimes to the base 2 above it, some to many more
// bases: the test with the extra strong Lucas test, its first form and the sieve agree, and every
// prime passes the Lucas half alone.
TEST(Arithmetic, BailliePswAgreesWithItsFirstFormAndASieve) {
  constexpr std::uint64_t kFirst = 4760000001;
  const std::vector<bool> prime = ref::PrimeFlags(kFirst, kFirst + 1000000);
  int pseudoprimes = 0;
  for (std::uint64_t n = kFirst; n < kFirst + prime.size(); n += 2) {
    if (std::gcd(n, std::uint64_t{16294579238595022365U}) != 1) {  // 3 * 5 * ... * 53
      continue;
    }
    const Montgomery64 m(n);
    const bool strong = IsStrongProbablePrimeTo2(n);
    ASSERT_EQ(PassesBailliePsw(m), prime[n - kFirst]) << n;
    ASSERT_EQ(strong && IsStrongLucasProbablePrime(n), prime[n - kFirst]) << n;
    ASSERT_TRUE(!prime[n - kFirst] || PassesAfterStrongBase2(m)) << n;
    pseudoprimes += strong && !prime[n - kFirst] ? 1 : 0;
  }
  EXPECT_EQ(pseudoprimes, 1);  // 4760620507 = 34499 * 137993
  for (const std::uint64_t n :
       {4760620507U, 42761015461U, 566017356451U, 2152302898747U, 3474749660383U, 341550071728321U,
        1084905491319741761U, 3825123056546413051U, 6723973882190927347U}) {
    ASSERT_TRUE(IsStrongProbablePrimeTo2(n)) << n;
    EXPECT_FALSE(PassesBailliePsw(Montgomery64(n)) || IsStrongLucasProbablePrime(n) ||
                 PassesAfterStrongBase2(Montgomery64(n)))
        << n;
  }
}

}  // namespace
}  // namespace brindaq
