// The big-number layer held to independent references: GMP's own mpz arithmetic for Natural, the
// textbook Miller-Rabin test to random bases (mpz_powm, nothing of ours) for every probable prime,
// the product of the factors for every factorisation, and the 64-bit code where the ranges meet.
// Long work is stopped through its own reports, never by the clock.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "core/arithmetic/primality.h"
#include "core/big/big_factorisation.h"
#include "core/big/big_montgomery.h"
#include "core/big/big_primality.h"
#include "core/big/big_primes.h"
#include "core/big/natural.h"
#include "core/big/reduction_rows.h"

namespace brindaq {
namespace {

Natural N(const char* digits) {
  return Natural::FromDecimal(digits);
}

// Trial division below 100, then Miller-Rabin to 20 random bases, on mpz_powm alone.
bool ReferenceIsPrime(const Natural& n, std::mt19937_64& random) {
  if (n < 4) {
    return n >= 2;
  }
  // Trial division by every number below 100.
  for (std::uint64_t d = 2; d < 100 && n > d; ++d) {
    if ((n % Natural(d)).IsZero()) {
      return false;
    }
  }
  const Natural n_minus_one = n - Natural(1);
  const auto s = static_cast<unsigned>(mpz_scan1(n_minus_one.get(), 0));
  const Natural d = n_minus_one >> s;
  for (int round = 0; round < 20; ++round) {
    Natural x = PowerModulo(Natural(random()) % (n - Natural(3)) + Natural(2), d, n);
    for (unsigned r = 0; x != 1 && x != n_minus_one && r < s; ++r) {
      x = x * x % n;
      if (x == 1 || r + 1 == s) {
        return false;
      }
    }
  }
  return true;
}

// Stops its work at the first report of `method`.
class StopAtReport : public Work {
 public:
  explicit StopAtReport(std::string method) : method_(std::move(method)) {}
  void Report(const Progress& progress) override {
    if (progress.method.starts_with(method_)) {
      Stop();
    }
  }

 private:
  std::string method_;
};

TEST(Natural, AgreesWithGmpAndTheWordSizedTypes) {
  std::mt19937_64 random(1);
  const std::string long_digits = std::string(1, '7') + std::string(4999, '3');
  EXPECT_EQ(N(long_digits.c_str()).ToDecimal(), long_digits);
  EXPECT_EQ(N("0").ToDecimal(), "0");
  std::string text = "n = ";
  N("18446744073709551616").AppendDecimal(text);
  EXPECT_EQ(text, "n = 18446744073709551616");
  // Exact digit counts at each side of a power of ten, where mpz_sizeinbase may be one too many.
  for (unsigned k = 1; k < 400; k += 7) {
    EXPECT_EQ(Natural::TenToThe(k).DecimalDigits(), k + 1);
    EXPECT_EQ((Natural::TenToThe(k) - Natural(1)).DecimalDigits(), k);
  }
  for (int i = 0; i < 200; ++i) {
    const std::uint64_t a = random();
    const std::uint64_t b = random() | 1;
    const Uint128 wide = Uint128{a} * b;
    const Natural big = Natural::FromWide(wide);
    EXPECT_EQ(big, Natural(a) * Natural(b));
    EXPECT_EQ((big / Natural(b)).Word(), a);
    EXPECT_EQ((big % Natural(a | 1)).Word(), static_cast<std::uint64_t>(wide % (a | 1)));
    EXPECT_EQ((big >> 64).Word(), static_cast<std::uint64_t>(wide >> 64));
    std::size_t bits = 0;
    for (Uint128 rest = wide; rest != 0; rest >>= 1) {
      ++bits;
    }
    EXPECT_EQ(big.Bits(), bits);
    EXPECT_EQ(Natural(a) < b, a < b);
    EXPECT_EQ(Natural(a).FitsWord(), true);
    EXPECT_EQ(big.FitsWord(), (wide >> 64) == 0);
  }
}

// Against Euclid's algorithm a remainder at a time: random pairs up to 3500 bits, with quotients
// of a word or more among them, each to limits at every size, from 0 past b.
TEST(Natural, FirstRemainderAtMostAgreesWithPlainEuclid) {
  gmp_randstate_t state;
  gmp_randinit_mt(state);
  gmp_randseed_ui(state, 7);
  Natural a;
  Natural b;
  Natural limit;
  for (int i = 0; i < 300; ++i) {
    mpz_urandomb(a.raw(), state, 1 + i * 11);
    mpz_rrandomb(b.raw(), state, 1 + i * (i % 3 == 0 ? 5 : 11));
    if (a < b) {
      std::swap(a, b);
    }
    for (std::size_t bits = 0; bits <= b.Bits() + 1; bits += 1 + b.Bits() / 7) {
      mpz_urandomb(limit.raw(), state, bits);
      Natural x = a;
      Natural y = b;
      while (y > limit) {
        x = std::exchange(y, x % y);
      }
      EXPECT_EQ(FirstRemainderAtMost(a, b, limit), y) << a << " " << b << " " << limit;
    }
  }
  gmp_randclear(state);
}

// Powers of a small base in Montgomery form against mpz_powm, for moduli of one limb, of the
// unrolled sizes, of the row-by-row reduction and of the reduction by whole products (past 224
// limbs with our own rows).
TEST(BigMontgomery, PowersOfASmallBaseAgreeWithGmp) {
  gmp_randstate_t state;
  gmp_randinit_mt(state);
  gmp_randseed_ui(state, 11);
  Natural n;
  Natural exponent;
  for (const unsigned bits : {40U, 190U, 383U, 3322U, 8000U, 15000U}) {
    for (int i = 0; i < 4; ++i) {
      mpz_urandomb(n.raw(), state, bits);
      mpz_setbit(n.raw(), bits - 1);
      mpz_setbit(n.raw(), 0);
      mpz_urandomb(exponent.raw(), state, i == 0 ? 0 : std::min(bits, 600U));
      const BigMontgomery form(n);
      for (const std::uint32_t base : {1U, 2U, 3U, 99991U, 4294967291U}) {
        EXPECT_EQ(form.ValueOf(form.PowerOf(base, exponent)),
                  PowerModulo(Natural(base), exponent, n))
            << base << "^" << exponent << " mod " << n;
      }
    }
  }
  gmp_randclear(state);
}

// The rows of the reduction, whichever the processor takes, against GMP's mpn_addmul_1: every
// size up to 13 (each remainder of the blocks of four), 52 and 53, with random limbs and with
// limbs all ones, which carry at every step.
TEST(BigMontgomery, ReductionRowsAgreeWithGmpRows) {
  std::mt19937_64 random(7);
  for (std::size_t size = 1; size <= 53; size = size == 13 ? 52 : size + 1) {
    for (const bool ones : {false, true}) {
      std::vector<mp_limb_t> n(size);
      std::vector<mp_limb_t> t(2 * size);
      for (mp_limb_t& limb : n) {
        limb = ones ? ~mp_limb_t{0} : random();
      }
      n[0] |= 1;
      for (mp_limb_t& limb : t) {
        limb = ones ? ~mp_limb_t{0} : random();
      }
      mp_limb_t inverse = n[0];  // Newton's iteration, right in 3 bits, then 6, 12, 24, 48, 96
      for (int k = 0; k < 5; ++k) {
        inverse *= 2 - n[0] * inverse;
      }
      const mp_limb_t minus_inverse = 0 - inverse;
      std::vector<mp_limb_t> expected = t;
      for (std::size_t i = 0; i < size; ++i) {
        expected[i] = mpn_addmul_1(&expected[i], n.data(), static_cast<mp_size_t>(size),
                                   expected[i] * minus_inverse);
      }
      ReductionRows(t.data(), n.data(), size, minus_inverse);
      EXPECT_EQ(t, expected) << size << (ones ? " limbs, all ones" : " random limbs");
    }
  }
}

TEST(BigPrimality, AgreesWithMillerRabinAndTheWordSizedTest) {
  std::mt19937_64 random(2);
  Work work;
  // Where the ranges meet, the word-sized test answers.
  for (std::uint64_t n = UINT64_MAX - 300; n != 0; ++n) {
    ASSERT_EQ(IsProbablePrime(Natural(n), work), IsPrime(n)) << n;
  }
  // Random odd numbers of 65 to 700 bits, a third of them pushed to the next prime by GMP.
  gmp_randstate_t state;
  gmp_randinit_default(state);
  gmp_randseed_ui(state, 3);
  for (int i = 0; i < 300; ++i) {
    Natural n;
    mpz_urandomb(n.raw(), state, 65 + 2 * i);
    mpz_setbit(n.raw(), 64);
    if (i % 3 == 0) {
      mpz_nextprime(n.raw(), n.get());
    }
    ASSERT_EQ(IsProbablePrime(n, work), ReferenceIsPrime(n, random)) << n;
  }
  gmp_randclear(state);
  // A Carmichael number (6k+1)(12k+1)(18k+1) with k = 250180, squares and cubes of primes, a
  // product of close primes, and a strong pseudoprime to the first nine prime bases times a prime.
  const Natural p = N("18446744073709551629");  // the first prime past 2^64
  const Natural q = N("18446744073709551653");
  for (const Natural& n :
       {N("20293796286020108881"), p * q, p * p, p * p * p, N("3825123056546413051") * p}) {
    EXPECT_EQ(IsProbablePrime(n, work), ReferenceIsPrime(n, random)) << n;
  }
  // A test of 2993 digits (the Mersenne prime 2^9941 - 1) stops at its first report.
  StopAtReport stop("BPSW");
  EXPECT_EQ(IsProbablePrime(Natural::TwoToThe(9941) - Natural(1), stop), std::nullopt);
}

TEST(BigPrimes, IntervalsAndNextPrimeAgreeWithMillerRabin) {
  std::mt19937_64 random(4);
  Work work;
  const Natural two_to_64 = Natural::TwoToThe(64);
  struct Interval {
    Natural first;
    Natural last;
  };
  for (const Interval& interval :
       {Interval{two_to_64 - Natural(1000), two_to_64 + Natural(1000)},
        Interval{two_to_64, two_to_64}, Interval{Natural(0), Natural(100)},
        Interval{Natural::TenToThe(30), Natural::TenToThe(30) + Natural(2000)},
        Interval{Natural::TenToThe(200) + Natural(500), Natural::TenToThe(200) + Natural(1100)}}) {
    std::vector<Natural> expected;
    for (Natural n = interval.first; n <= interval.last; n += Natural(1)) {
      if (ReferenceIsPrime(n, random)) {
        expected.push_back(n);
      }
    }
    std::vector<Natural> found;
    EXPECT_TRUE(ForEachPrimeBetween(interval.first, interval.last, work,
                                    [&found](const Natural& p) { found.push_back(p); }));
    EXPECT_EQ(found, expected) << interval.first;
    // The next prime after each number and after the one before it.
    for (std::size_t i = 0; i + 1 < expected.size(); i += 7) {
      EXPECT_EQ(NextPrime(expected[i], work), expected[i + 1]);
      EXPECT_EQ(NextPrime(expected[i + 1] - Natural(1), work), expected[i + 1]);
    }
  }
  EXPECT_EQ(NextPrime(N("18446744073709551557"), work), N("18446744073709551629"));
  // A wide interval of big numbers, stopped: false, and nothing claimed.
  StopAtReport stop("");
  stop.Stop();
  int visited = 0;
  EXPECT_FALSE(ForEachPrimeBetween(Natural::TenToThe(500), Natural::TenToThe(500) + Natural(100000),
                                   stop, [&visited](const Natural&) { ++visited; }));
  EXPECT_EQ(visited, 0);
}

// Every prime passes Miller-Rabin, ascending, and with the unsplit parts they multiply to n.
void ExpectFactorisationOf(const Natural& n, const BigFactors& factors, std::mt19937_64& random) {
  Natural product(1);
  for (std::size_t i = 0; i < factors.primes.size(); ++i) {
    EXPECT_TRUE(ReferenceIsPrime(factors.primes[i].prime, random)) << factors.primes[i].prime;
    if (i > 0) {
      EXPECT_LT(factors.primes[i - 1].prime, factors.primes[i].prime);
    }
    product *= Power(factors.primes[i].prime, static_cast<unsigned>(factors.primes[i].exponent));
  }
  for (const BigPrimePower& part : factors.unsplit) {
    EXPECT_FALSE(ReferenceIsPrime(part.prime, random)) << part.prime;
    product *= Power(part.prime, static_cast<unsigned>(part.exponent));
  }
  EXPECT_EQ(factors.complete, factors.unsplit.empty());
  EXPECT_EQ(product, n);
}

TEST(BigFactorisation, FactorsMultiplyBackAndArePrime) {
  std::mt19937_64 random(5);
  Work work;
  const Natural p60 = N("100000000000000000000000000000000000000000000000000000000019");
  const Natural p21 = N("5704689200685129054721");
  Natural factorial(1);
  for (int k = 2; k <= 100; ++k) {
    factorial *= Natural(k);
  }
  const std::vector<Natural> cases = {
      Natural::TwoToThe(67) - Natural(1),
      Natural::TwoToThe(128) + Natural(1),
      factorial,
      N("100000000000031") * p60,
      Power(p21, 3) * Natural(9973) * Natural(9973),  // a cube of a big prime and a small square
      Power(N("1000000007") * N("998244353"), 4),     // a perfect power of a composite root
      Power(Natural(2), 200) * p60,
      p21 * N("4294967311") * N("4294967357"),  // parts on both sides of 2^64
      Natural::FromWide(~Uint128{0}),
  };
  for (const Natural& n : cases) {
    const BigFactors factors = Factorise(n, work);
    EXPECT_TRUE(factors.complete) << n;
    ExpectFactorisationOf(n, factors, random);
  }
  // Random numbers of 24 to 30 digits.
  gmp_randstate_t state;
  gmp_randinit_default(state);
  gmp_randseed_ui(state, 6);
  for (int i = 0; i < 8; ++i) {
    Natural n;
    mpz_urandomb(n.raw(), state, 80 + 3 * i);
    ExpectFactorisationOf(n, Factorise(n, work), random);
    const std::optional<Natural> smallest = SmallestPrimeFactor(n, work);
    ASSERT_TRUE(smallest.has_value());
    EXPECT_EQ(*smallest, Factorise(n, work).primes.front().prime);
  }
  gmp_randclear(state);
  // Where the ranges meet, the word-sized factorisation.
  const BigFactors word = Factorise(Natural(UINT64_MAX), work);
  ASSERT_EQ(word.primes.size(), 7u);
  EXPECT_EQ(word.primes.back().prime, Natural(6700417));
}

TEST(BigFactorisation, StoppedWorkLeavesCompositesUnsplit) {
  std::mt19937_64 random(7);
  // Two 25-digit primes and a small one: stopped in the curves, the product is kept whole.
  Natural p;
  Natural q;
  mpz_nextprime(p.raw(), Natural::TenToThe(24).get());
  mpz_nextprime(q.raw(), (Natural::TenToThe(24) * Natural(3)).get());
  const Natural n = p * q * Natural(101);
  StopAtReport stop("ECM");
  const BigFactors factors = Factorise(n, stop);
  EXPECT_FALSE(factors.complete);
  ASSERT_EQ(factors.unsplit.size(), 1u);
  ExpectFactorisationOf(n, factors, random);
  EXPECT_EQ(SmallestPrimeFactor(n / Natural(101), stop), std::nullopt);
}

}  // namespace
}  // namespace brindaq
