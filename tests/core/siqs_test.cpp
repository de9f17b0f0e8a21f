// The quadratic sieve: products of two primes split by it alone (one of 53 digits, whose primes
// above the sieve's block go through buckets) and through the factorisation,
// three primes of 20 digits, a stop in the middle of the sieve, and the check that refuses a
// product of relations that is not a square; the values' test in lanes of 16 bits against the one
// in lanes of 32; the relations combined from cycles of two large primes. The products were
// computed with PARI/GP.

#include <gtest/gtest.h>

#include <algorithm>
#include <string_view>
#include <utility>
#include <vector>

#include "core/big/big_factorisation.h"
#include "core/big/big_siqs.h"
#include "core/big/big_split.h"

namespace brindaq {
namespace {

Natural N(const char* digits) {
  return Natural::FromDecimal(digits);
}

std::vector<Natural> Primes(const BigFactors& factors) {
  std::vector<Natural> primes;
  for (const BigPrimePower& power : factors.primes) {
    EXPECT_EQ(power.exponent, 1);
    primes.push_back(power.prime);
  }
  return primes;
}

// Stops itself at the `after`-th report of the sieve.
class StopInSieve : public Work {
 public:
  explicit StopInSieve(int after) : after_(after) {}
  void Report(const Progress& progress) override {
    if (progress.method == std::string_view("SIQS") && --after_ == 0) {
      Stop();
    }
  }

 private:
  int after_;
};

// (-1)^negative times the relation's primes, modulo n: what y^2 must be.
Natural RightSide(const SiqsRelation& relation, const Natural& n) {
  Natural product(1);
  for (const std::uint32_t p : relation.primes) {
    product = product * Natural(p) % n;
  }
  return relation.negative ? (n - product) % n : product;
}

TEST(Siqs, SplitsProductsOfTwoPrimes) {
  Work work;
  // 45 digits; and 53, an interval of a block and a shorter one, with primes above the block
  // sieved from their buckets.
  const std::pair<const char*, const char*> products[] = {
      {"3016797557247297497519", "53221811005492608583063"},
      {"155604411417034204296078943", "631475335383708104272993649"}};
  for (const auto& [p_text, q_text] : products) {
    const Natural p = N(p_text);
    const Natural q = N(q_text);
    const Natural factor = SiqsFactor(p * q, work);
    EXPECT_TRUE(factor == p || factor == q) << factor;
  }

  const Natural p20 = N("19815122503208623543");
  const Natural q20 = N("31710447574793558453");
  EXPECT_EQ(Primes(Factorise(p20 * q20, work)), (std::vector<Natural>{p20, q20}));
  const Natural p25 = N("6549479695791824774901409");
  const Natural q25 = N("8373596208258709645159483");
  EXPECT_EQ(Primes(Factorise(p25 * q25, work)), (std::vector<Natural>{p25, q25}));
  const std::vector<Natural> three = {N("39376539053079133571"), N("51296097776996886719"),
                                      N("96387736554147650093")};
  EXPECT_EQ(Primes(Factorise(three[0] * three[1] * three[2], work)), three);
}

TEST(Siqs, StoppedInTheSieveClaimsNothing) {
  const Natural n = N("54842698346749831060592433627997988022965406411547");
  StopInSieve stop(3);
  EXPECT_EQ(SiqsFactor(n, stop), 1u);
  EXPECT_TRUE(stop.Stopped());
  StopInSieve again(3);
  const BigFactors factors = Factorise(n, again);
  EXPECT_FALSE(factors.complete);
  EXPECT_TRUE(factors.primes.empty());
  ASSERT_EQ(factors.unsplit.size(), 1u);
  EXPECT_EQ(factors.unsplit[0].prime, n);
}

TEST(Siqs, RefusesAProductWithARelationLeftOut) {
  Work work;
  const Natural n = N("186545840175288133747086689969");
  const SiqsRelations gathered = GatherRelations(n, 64, work);
  const std::vector<std::vector<std::size_t>> products = SquareProducts(gathered, work);
  ASSERT_FALSE(products.empty());
  for (const std::vector<std::size_t>& chosen : products) {
    const auto squares = SquaresOf(gathered.relations, chosen, n);
    ASSERT_TRUE(squares.has_value());
    EXPECT_EQ(squares->first * squares->first % n, squares->second * squares->second % n);
    // The same product without one of its relations is no square.
    std::vector<std::size_t> dropped = chosen;
    dropped.pop_back();
    EXPECT_FALSE(SquaresOf(gathered.relations, dropped, n).has_value());
  }
}

// The values of the polynomials in two words give the very relations that GMP gives, on one
// stream; and each relation is y^2 = (-1)^negative * its primes modulo n, checked directly.
TEST(Siqs, WordsGatherWhatGmpGathers) {
  Work work;
  for (const char* digits :
       {"186545840175288133747086689969", "4278484053548966982705268613062104274903",
        "62924296960111234602037698215072334534677192767403"}) {
    const Natural n = N(digits);
    const SiqsRelations words = GatherRelations(n, 16, work, {true, false});
    const SiqsRelations gmp = GatherRelations(n, 16, work, {false, false});
    ASSERT_EQ(words.factor_base, gmp.factor_base);
    ASSERT_EQ(words.relations.size(), gmp.relations.size()) << digits;
    ASSERT_GE(words.relations.size(), words.factor_base.size() + 16);
    for (std::size_t i = 0; i < words.relations.size(); ++i) {
      const SiqsRelation& a = words.relations[i];
      const SiqsRelation& b = gmp.relations[i];
      EXPECT_EQ(a.y, b.y);
      EXPECT_EQ(a.negative, b.negative);
      EXPECT_EQ(a.primes, b.primes);
      EXPECT_EQ(a.y * a.y % n, RightSide(a, n)) << digits << " relation " << i;
    }
  }
}

// The test for the primes below the block in lanes of 16 bits finds what the one in lanes of 32
// finds: the same relations, each with the same primes.
TEST(Siqs, NarrowLanesGatherWhatWideLanesGather) {
  Work work;
  for (const char* digits :
       {"253312612843842342889299310807", "4278484053548966982705268613062104274903"}) {
    const Natural n = N(digits);
    const SiqsRelations narrow = GatherRelations(n, 16, work, {true, false, true});
    const SiqsRelations wide = GatherRelations(n, 16, work, {true, false, false});
    ASSERT_EQ(narrow.relations.size(), wide.relations.size()) << digits;
    for (std::size_t i = 0; i < narrow.relations.size(); ++i) {
      std::vector<std::uint32_t> a = narrow.relations[i].primes;
      std::vector<std::uint32_t> b = wide.relations[i].primes;
      std::sort(a.begin(), a.end());
      std::sort(b.begin(), b.end());
      EXPECT_EQ(a, b) << digits << " relation " << i;
      EXPECT_EQ(narrow.relations[i].y, wide.relations[i].y);
    }
  }
}

// With two large primes kept at any size, every relation, combined from a cycle or not, is
// y^2 = (-1)^negative * its primes modulo n; some cycles hold a relation with two large primes,
// and the products of relations split n.
TEST(Siqs, CyclesOfTwoLargePrimesMakeRelations) {
  Work work;
  for (const char* digits : {"4278484053548966982705268613062104274903",
                             "62924296960111234602037698215072334534677192767403"}) {
    const Natural n = N(digits);
    SiqsOptions options;
    options.two_streams = false;
    options.two_large_primes_always = true;
    const SiqsRelations gathered = GatherRelations(n, 16, work, options);
    ASSERT_GE(gathered.relations.size(), gathered.factor_base.size() + 16);
    EXPECT_GT(gathered.cycles_with_two, 0u) << digits;
    EXPECT_LE(gathered.cycles_with_two, gathered.cycles);
    for (std::size_t i = 0; i < gathered.relations.size(); ++i) {
      const SiqsRelation& relation = gathered.relations[i];
      EXPECT_EQ(relation.y * relation.y % n, RightSide(relation, n)) << digits << " relation " << i;
    }
    bool split = false;
    for (const std::vector<std::size_t>& chosen : SquareProducts(gathered, work)) {
      const auto squares = SquaresOf(gathered.relations, chosen, n);
      ASSERT_TRUE(squares.has_value());
      const Natural factor = Gcd(squares->first + n - squares->second, n);
      split = split || (factor != 1 && factor != n);
    }
    EXPECT_TRUE(split) << digits;
  }
}

}  // namespace
}  // namespace brindaq
