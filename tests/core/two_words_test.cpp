// The arithmetic of two words (65 to 128 bits) held to GMP's own: products in Montgomery form,
// inverses, Jacobi symbols, square roots and the Baillie-PSW test against mpz_ functions, and the
// factorisation of products of two primes of each size, and of numbers built from known primes,
// against the primes they were made of.

#include <gmp.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <random>
#include <vector>

#include "core/arithmetic/montgomery128.h"
#include "core/arithmetic/two_words.h"
#include "core/arithmetic/wide.h"
#include "core/big/big_factorisation.h"
#include "core/big/natural.h"

namespace brindaq {
namespace {

// A random number of exactly `bits` bits, odd.
Uint128 RandomOdd(std::mt19937_64& random, int bits) {
  Uint128 n = (Uint128{random()} << 64) | random();
  n >>= 128 - bits;
  return n | 1 | (Uint128{1} << (bits - 1));
}

Natural Big(Uint128 n) {
  return Natural::FromWide(n);
}

TEST(TwoWords, ArithmeticAgreesWithGmp) {
  std::mt19937_64 random(128);
  for (const int bits : {65, 90, 127, 128}) {
    for (int i = 0; i < 200; ++i) {
      const Uint128 n = RandomOdd(random, bits);
      const Montgomery128 m(n);
      const Uint128 a = RandomOdd(random, 128) % n;
      const Uint128 b = RandomOdd(random, bits - 1);
      // (a * b) mod n through the forms, and by GMP.
      const Natural expected = Big(a) * Big(b) % Big(n);
      EXPECT_EQ(Big(m.ValueOf(m.Multiply(m.Of(a), m.Of(b)))), expected);
      EXPECT_EQ(Big(m.ValueOf(m.Subtract(m.Of(b), m.Of(a)))), (Big(b) + Big(n) - Big(a)) % Big(n));
      Natural inverse;
      const bool invertible = mpz_invert(inverse.raw(), Big(a).get(), Big(n).get()) != 0;
      const std::optional<Uint128> ours = InverseModulo(a, n);
      ASSERT_EQ(ours.has_value(), invertible);
      if (invertible) {
        EXPECT_EQ(Big(*ours), inverse);
      }
      EXPECT_EQ(Jacobi(a, n), mpz_jacobi(Big(a).get(), Big(n).get()));
      EXPECT_EQ(Big(SquareRootFloor(a)), SquareRootFloor(Big(a)));
      EXPECT_EQ(GreatestCommonDivisor(a, n), Gcd(Big(a), Big(n)).TwoWords());
    }
  }
}

// Products and squares of forms at the edges of the words and of the modulus, where the carries
// between words and the last subtraction of n are taken: moduli just below and above 2^64 and
// 2^127, and near 2^128, with operands 0, 1, 2^64 +- 1 and n - 1, n - 2, beside random ones;
// and the inverses of these operands, whose first quotients in Euclid's algorithm pass 2^50
// (a small), whose divisors pass 2^125 (n / 2) or whose quotients of doubles are one too large
// (n / 3 + 1), against GMP's.
TEST(TwoWords, ProductsAndSquaresAtTheEdgesAgreeWithGmp) {
  std::mt19937_64 random(127);
  const Uint128 top = Uint128{1} << 127;
  const Uint128 word = Uint128{1} << 64;
  std::vector<Uint128> moduli{3, word - 59, word + 13, top - 1, top + 1, ~Uint128{0} - 2};
  for (const int bits : {66, 100, 126, 127, 128}) {
    for (int i = 0; i < 20; ++i) {
      moduli.push_back(RandomOdd(random, bits));
    }
  }
  for (const Uint128 n : moduli) {
    const Montgomery128 m(n);
    std::vector<Uint128> values{0, 1, 2, 3, 1000003, word - 1, word, word + 1};
    values.insert(values.end(), {n - 1, n - 2, n / 2, n / 3 + 1});
    for (int i = 0; i < 6; ++i) {
      values.push_back(((Uint128{random()} << 64) | random()) % n);
    }
    for (Uint128 a : values) {
      a %= n;
      EXPECT_EQ(Big(m.ValueOf(m.Square(m.Of(a)))), Big(a) * Big(a) % Big(n)) << Big(n);
      Natural inverse;
      const bool invertible = mpz_invert(inverse.raw(), Big(a).get(), Big(n).get()) != 0;
      const std::optional<Uint128> ours = InverseModulo(a, n);
      ASSERT_EQ(ours.has_value(), invertible) << Big(n) << " " << Big(a);
      EXPECT_TRUE(!ours || Big(*ours) == inverse) << Big(n) << " " << Big(a);
      for (Uint128 b : values) {
        b %= n;
        // The forms themselves, whatever they stand for, are numbers below n too.
        const Natural expected = Big(a) * Big(b) * Big(m.ValueOf(1)) % Big(n);
        EXPECT_EQ(Big(m.Multiply(a, b)), expected) << Big(n) << " " << Big(a) << " " << Big(b);
      }
    }
  }
}

TEST(TwoWords, BailliePswAgreesWithGmp) {
  std::mt19937_64 random(65);
  int primes = 0;
  for (const int bits : {65, 100, 128}) {
    for (int i = 0; i < 3000; ++i) {
      Uint128 n = RandomOdd(random, bits);
      if (i % 3 == 0) {  // a prime, often enough to test both answers
        Natural next;
        mpz_nextprime(next.raw(), Big(n).get());
        if (!next.FitsTwoWords()) {
          continue;
        }
        n = next.TwoWords();
      }
      if (n % 3 == 0 || n % 5 == 0 || n % 7 == 0 || n % 11 == 0 || n % 13 == 0) {
        continue;
      }
      const bool prime = mpz_probab_prime_p(Big(n).get(), 30) != 0;
      primes += prime ? 1 : 0;
      EXPECT_EQ(PassesBailliePsw(Montgomery128(n)), prime) << Big(n);
    }
  }
  EXPECT_GT(primes, 2500);
  // Carmichael numbers (6k + 1)(12k + 1)(18k + 1) pass Fermat's test to every base prime to them.
  int carmichaels = 0;
  for (std::uint64_t k = 1u << 20; carmichaels < 50; ++k) {
    const std::uint64_t factors[] = {6 * k + 1, 12 * k + 1, 18 * k + 1};
    if (mpz_probab_prime_p(Natural(factors[0]).get(), 30) &&
        mpz_probab_prime_p(Natural(factors[1]).get(), 30) &&
        mpz_probab_prime_p(Natural(factors[2]).get(), 30)) {
      ++carmichaels;
      const Uint128 n = Uint128{factors[0]} * factors[1] * factors[2];
      EXPECT_FALSE(PassesBailliePsw(Montgomery128(n))) << Big(n);
    }
  }
}

// Pollard's p - 1 method against primes made for it: p with p - 1 a product of primes up to B1
// (found by stage 1), or of those and one prime up to B2 (found by stage 2), times a prime q with
// q - 1 twice a prime, which neither stage finds: the method must give p, and nothing for q times
// a second such prime.
TEST(TwoWords, PMinusOneFindsThePrimesMadeForItAndNoOther) {
  std::mt19937_64 random(500);
  const tuning::CurveBounds bounds{0, 500, 5000};
  // The next prime q above `from` with (q - 1) / 2 prime.
  const auto safe_prime = [](Natural from) {
    do {
      mpz_nextprime(from.raw(), from.get());
    } while (mpz_probab_prime_p(Natural(from * Natural(2) + Natural(1)).get(), 30) == 0);
    return from * Natural(2) + Natural(1);
  };
  // A prime p above 2^40 with p - 1 = 2 * (primes up to 500) * last.
  const auto smooth_prime = [&random](std::uint64_t last) {
    for (;;) {
      Natural p_minus_one(2 * last);
      while (p_minus_one < Natural(std::uint64_t{1} << 40)) {
        Natural prime;
        mpz_nextprime(prime.raw(), Natural(random() % 490).get());
        p_minus_one *= prime;
      }
      const Natural p = p_minus_one + Natural(1);
      if (mpz_probab_prime_p(p.get(), 30) != 0) {
        return p;
      }
    }
  };
  for (int i = 0; i < 10; ++i) {
    const Natural q = safe_prime(Big(RandomOdd(random, 40)));
    const Natural p = smooth_prime(i % 2 == 0 ? 1 : 4999);  // 4999 is prime, above B1
    EXPECT_EQ(Big(PMinusOneFactor(Montgomery128((p * q).TwoWords()), bounds)), p) << p * q;
    const Natural r = safe_prime(Big(RandomOdd(random, 40)));
    EXPECT_EQ(PMinusOneFactor(Montgomery128((q * r).TwoWords()), bounds), 1u) << q * r;
  }
}

TEST(TwoWords, FactorisesProductsOfTwoPrimesOfEachSize) {
  std::mt19937_64 random(100);
  Work work;
  for (const int bits : {65, 80, 100, 128}) {
    for (int i = 0; i < 8; ++i) {
      Natural p;
      Natural q;
      mpz_nextprime(p.raw(), Big(RandomOdd(random, bits / 2 - 1)).get());
      mpz_nextprime(q.raw(), Big(RandomOdd(random, bits - bits / 2)).get());
      const Natural n = p * q;
      const BigFactors factors = Factorise(n, work);
      ASSERT_TRUE(factors.complete) << n;
      Natural product(1);
      for (const BigPrimePower& power : factors.primes) {
        EXPECT_NE(mpz_probab_prime_p(power.prime.get(), 30), 0) << n;
        product *= Power(power.prime, static_cast<unsigned>(power.exponent));
      }
      EXPECT_EQ(product, n);
      EXPECT_EQ(factors.primes.size(), p == q ? 1u : 2u) << n;
    }
  }
}

// Numbers of two words built from known primes, against them: primes below 10^4 to powers (found
// by trial division), a square or a cube of a larger prime (found as a root), primes of 14 to 40
// bits (found by the curves), and the powers of 2.
TEST(TwoWords, FactorisesNumbersBuiltFromKnownPrimes) {
  std::mt19937_64 random(7);
  Work work;
  int tested = 0;
  while (tested < 300) {
    std::map<Natural, int> built;
    Natural n(1);
    const auto add = [&](int bits, int exponent) {
      Natural p;
      mpz_nextprime(p.raw(), Natural((random() >> (64 - bits)) | 2).get());
      built[p] += exponent;
      n *= Power(p, static_cast<unsigned>(exponent));
    };
    for (int i = static_cast<int>(random() % 4); i > 0; --i) {
      add(13, 1 + static_cast<int>(random() % 3));  // below 2^13 + a gap: below 10^4
    }
    if (random() % 3 == 0) {
      add(14 + static_cast<int>(random() % 16), 2 + static_cast<int>(random() % 2));
    }
    for (int i = 1 + static_cast<int>(random() % 3); i > 0; --i) {
      add(14 + static_cast<int>(random() % 27), 1);
    }
    if (const int twos = static_cast<int>(random() % 8); twos > 0 && random() % 2 == 0) {
      built[Natural(2)] += twos;
      n <<= static_cast<unsigned>(twos);
    }
    if (n.FitsWord() || !n.FitsTwoWords()) {
      continue;
    }
    ++tested;
    const BigFactors factors = Factorise(n, work);
    ASSERT_TRUE(factors.complete) << n;
    ASSERT_EQ(factors.primes.size(), built.size()) << n;
    auto expected = built.begin();
    for (const BigPrimePower& power : factors.primes) {
      EXPECT_EQ(power.prime, expected->first) << n;
      EXPECT_EQ(power.exponent, expected->second) << n;
      ++expected;
    }
  }
}

}  // namespace
}  // namespace brindaq
