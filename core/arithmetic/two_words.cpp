// The probable-prime tests and rho on two words: the same steps as the one-word code
// (probable_prime.cpp, factorisation.cpp), on Montgomery128. The one-word code raises several
// powers side by side and reads windows of bits to save every cycle of a test that takes a
// microsecond; here a product costs about ten word products, and the plain ladder is enough.

#include "core/arithmetic/two_words.h"

#include <array>
#include <cmath>
#include <cstddef>

#include "core/arithmetic/prime_table.h"
#include "core/arithmetic/probable_prime.h"
#include "core/arithmetic/rho.h"

namespace brindaq {
namespace {

// The extra strong Lucas test (Grantham) with Q = 1 and the first P = 3, 4, ... for which
// ((P^2 - 4) / n) = -1: n + 1 = d * 2^s with d odd; n passes when U_d = 0 and V_d = +-2, or
// V_(d * 2^r) = 0 for some r < s - 1. V_k and V_(k+1) go up the bits of d together:
// V_2k = V_k^2 - 2, V_(2k+1) = V_k V_(k+1) - P; and U_d = 0 exactly when 2 V_(d+1) = P V_d.
bool PassesExtraStrongLucas(const Montgomery128& m) {
  const Uint128 n = m.Modulus();
  std::uint64_t p = 3;
  for (;; ++p) {
    const int symbol = Jacobi(Uint128{p * p - 4}, n);
    if (symbol == -1) {
      break;
    }
    if (symbol == 0) {
      return false;  // n > 2^64 shares a factor with P^2 - 4
    }
    if (p == 20) {
      if (const Uint128 root = SquareRootFloor(n); root * root == n) {
        return false;  // a square has no such P
      }
    }
  }
  const Uint128 two = m.Add(m.One(), m.One());
  const Uint128 big_p = m.Of(p);
  const Uint128 n_plus_one = n + 1;  // n < 2^128 - 1: that one is divisible by 3
  const int s = CountTrailingZeros(n_plus_one);
  const Uint128 d = n_plus_one >> s;
  Uint128 v = two;
  Uint128 next = big_p;
  for (int bit = BitWidth(d) - 1; bit >= 0; --bit) {
    if (((d >> bit) & 1) != 0) {
      v = m.Subtract(m.Multiply(v, next), big_p);
      next = m.Subtract(m.Square(next), two);
    } else {
      next = m.Subtract(m.Multiply(v, next), big_p);
      v = m.Subtract(m.Square(v), two);
    }
  }
  if ((v == two || v == m.Subtract(0, two)) && m.Add(next, next) == m.Multiply(big_p, v)) {
    return true;
  }
  for (int r = 0; r + 1 < s; ++r) {
    if (v == 0) {
      return true;
    }
    v = m.Subtract(m.Square(v), two);
  }
  return false;
}

// The odd primes below 10^4 with their inverses modulo 2^128 (the one modulo 2^64 taken to 128
// bits by one step of Newton's iteration) and the largest quotient of a 128-bit number by each.
struct TwoWordOddPrime {
  Uint128 inverse;
  Uint128 max_quotient;
};

constexpr std::array<TwoWordOddPrime, kOddPrimeCount> kTwoWordOddPrimes = [] {
  std::array<TwoWordOddPrime, kOddPrimeCount> primes{};
  for (std::size_t k = 0; k < kOddPrimeCount; ++k) {
    const Uint128 p = kWideOddPrimes[k].value;
    const Uint128 inverse = kWideOddPrimes[k].inverse;
    primes[k] = {inverse * (2 - p * inverse), ~Uint128{0} / p};
  }
  return primes;
}();

static_assert(kTwoWordOddPrimes.back().inverse * 9973 == 1);

// Whether root^k equals n, in exact arithmetic (false when the power passes 2^128).
bool IsPowerOf(Uint128 root, int k, Uint128 n) {
  Uint128 power = 1;
  for (int i = 0; i < k; ++i) {
    if (__builtin_mul_overflow(power, root, &power)) {
      return false;
    }
  }
  return power == n;
}

}  // namespace

Uint128 DivideOutSmallOddPrimes(Uint128 n, std::vector<PrimePower>& powers) {
  for (std::size_t k = 0; k < kOddPrimeCount && (n >> 64) != 0; ++k) {
    const TwoWordOddPrime& p = kTwoWordOddPrimes[k];
    if (n * p.inverse > p.max_quotient) {
      continue;
    }
    int exponent = 0;
    do {
      n *= p.inverse;
      ++exponent;
    } while (n * p.inverse <= p.max_quotient);
    powers.push_back({kOddPrimes[k].value, exponent});
  }
  return n;
}

WidePower AsPerfectPower(Uint128 n) {
  // A root is at least 10007, above 2^13, so that an exponent k is below 128 / 13; the prime ones
  // suffice, a root being tested again as a part of its own.
  if (const Uint128 root = SquareRootFloor(n); root * root == n) {
    return {root, 2};
  }
  for (const int k : {3, 5, 7}) {
    // The root of the nearest double is within a unit of the root, below 2^43.
    const auto guess =
        static_cast<std::uint64_t>(std::llround(std::pow(static_cast<double>(n), 1.0 / k)));
    for (std::uint64_t root = guess > 0 ? guess - 1 : 0; root <= guess + 1; ++root) {
      if (IsPowerOf(root, k, n)) {
        return {root, k};
      }
    }
  }
  return {n, 1};
}

bool IsStrongProbablePrimeToBase2(const Montgomery128& m) {
  const Uint128 n = m.Modulus();
  const int s = CountTrailingZeros(n - 1);
  const Uint128 d = (n - 1) >> s;
  Uint128 power = m.Add(m.One(), m.One());  // the top bit of d
  for (int bit = BitWidth(d) - 2; bit >= 0; --bit) {
    power = m.Square(power);
    if (((d >> bit) & 1) != 0) {
      power = m.Add(power, power);
    }
  }
  return PassesFromOddPower(m, power, s);
}

bool PassesBailliePsw(const Montgomery128& m) {
  return IsStrongProbablePrimeToBase2(m) && PassesExtraStrongLucas(m);
}

Uint128 RhoFactor(const Montgomery128& m, std::uint64_t c, std::uint64_t steps) {
  const Uint128 divisor = RhoWalk(m, c, steps);
  return divisor == m.Modulus() ? 1 : divisor;
}

}  // namespace brindaq
