// The full range: its limits, its exact reading of the texts, the same answers as the window's
// range wherever both answer, and the hard cases of the 64-bit methods held to independent
// references.

#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "core/arithmetic/factorisation.h"
#include "core/arithmetic/primality.h"
#include "core/operations.h"
#include "tests/core/outcome_cases.h"
#include "tests/core/reference.h"

namespace brindaq {
namespace {

namespace ref = testing_reference;
using testing_cases::kANotWhole;
using testing_cases::kNotEven;
using testing_cases::kTooLarge;

std::string Text(Uint128 n) {
  return ref::DecimalText(n);
}

Outcome Full(const OperationRow& operation, const OperandTexts& texts) {
  return RunOperation(operation, texts, Range::kFull);
}

// Each operand at its limit passes its checks, and the next whole number above it (the next even
// one where A must be even) is too large, with the notice about that operand.
TEST(FullRange, EveryLimitPassesAndTheNumberAboveItIsTooLarge) {
  for (const OperationRow& operation : kOperations) {
    for (std::size_t i = 0; i < OperandCount(operation.rules); ++i) {
      const std::string limit = LimitText(operation.rules, i, Range::kFull);
      const bool even = operation.rules.even_a && (limit.back() - '0') % 2 == 0;
      const std::string above = (Natural::FromDecimal(limit) + Natural(even ? 2 : 1)).ToDecimal();
      OperandTexts texts{"1", "1", "1"};
      if (operation.rules.even_a) {
        texts.a = "2";
      }
      std::string* boxes[] = {&texts.a, &texts.b, &texts.c};
      *boxes[i] = limit;
      if (i == 1 && operation.rules.widest_interval > 0) {
        texts.a = texts.b;  // an interval of no width
      }
      Outcome outcome;
      EXPECT_TRUE(ReadOperands(texts, operation.rules, Range::kFull, outcome))
          << operation.command << " " << i;
      *boxes[i] = above;
      EXPECT_FALSE(ReadOperands(texts, operation.rules, Range::kFull, outcome));
      EXPECT_EQ(outcome.notice, kTooLarge) << operation.command << " " << i;
      EXPECT_EQ(outcome.operand, static_cast<char>('A' + i)) << operation.command;
    }
  }
}

// Texts are read by the window's prefix rule, but exactly, as whole numbers.
TEST(FullRange, ReadsTheTextsExactly) {
  struct Case {
    std::string text;
    std::optional<std::string> notice;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"1.5E1", std::nullopt, {"    3", "    5"}},
      {"  0.000013E6x", std::nullopt, {"  13   IS A PRIME NUMBER !"}},
      {"1E19", std::nullopt, {}},
      {"000000018446744073709551615", std::nullopt, {}},
      {"18446744073709551615.000", std::nullopt, {}},
      {"1E9999", std::nullopt, {}},
      {"1.5E9999", std::nullopt, {}},
      {"1E10000", kTooLarge, {}},
      {"1E1000000000", kTooLarge, {}},
      {std::string(10000, '9'), std::nullopt, {}},
      {std::string(10000, '9') + ".5", kTooLarge, {}},
      {std::string(9999, '9') + "8.5", kANotWhole, {}},
      {"18446744073709551615.5", kANotWhole, {}},
      {"1E-30", kANotWhole, {}},
      {"2.5", kANotWhole, {}},
      {"-3", kANotWhole, {}},
      {"-1E30", kANotWhole, {}},
      {"0.9", kANotWhole, {}},
      {"", kANotWhole, {}},
  };
  const OperationRow& factors = *FindCommand("factors");
  for (const Case& c : cases) {
    Outcome outcome;
    ReadOperands({c.text, "", ""}, factors.rules, Range::kFull, outcome);
    EXPECT_EQ(outcome.notice, c.notice) << c.text.substr(0, 40);
    if (!c.lines.empty()) {
      EXPECT_EQ(Full(factors, {c.text, "", ""}).lines, c.lines) << c.text;
    }
  }
  // Parity before size, read exactly: an odd A beyond 2^64 is odd, a huge even one too large.
  const OperationRow& goldbach = *FindCommand("goldbach");
  EXPECT_EQ(Full(goldbach, {"18446744073709551617", "", ""}).notice, kNotEven);
  EXPECT_EQ(Full(goldbach, {"1E30", "", ""}).notice, kTooLarge);
  EXPECT_EQ(Full(goldbach, {"1E100000", "", ""}).notice, kTooLarge);
  EXPECT_EQ(Full(goldbach, {"1.5E1", "", ""}).notice, kNotEven);
  EXPECT_EQ(Full(goldbach, {"-4", "", ""}).notice, kANotWhole);
}

// In the full range a text is an integer expression, framed by the same prefix rule; a value too
// large on the way is refused before it is made. Each text is operand A of `command`, and gives
// its value as read, or a notice.
TEST(FullRange, ReadsExpressions) {
  struct Case {
    std::string text;
    std::string value_or_notice;
    const char* command = "factors";
  };
  const std::string nested = std::string(100, '(') + "7" + std::string(100, ')');
  const std::string times = "\xC3\x97", dot = "\xC2\xB7";  // U+00D7, U+00B7
  const Case cases[] = {
      {"2+3*4", "14"},
      {"2*3^2-(2+3)*4+3", "1"},
      {"-2^2+5", "1"},
      {"2^3^2", "512"},
      {"100/10/5-1", "1"},
      {"2^3!", "64"},
      {"(2^3)!", "40320"},
      {"3!!-0!-0#", "718"},
      {"97#", "2305567963945518424753102147331756070"},
      {"(10^21+1)/7", "142857142857142857143"},
      {"(10^20+1)/7", kANotWhole},
      {"1/0", kANotWhole},
      {"2^-1", kANotWhole},
      {"(-1)^-3+2", "1"},
      {"2.5*2", kANotWhole},
      {"1.5E1+000012", "27"},
      {"2^33219", Natural::TwoToThe(33219).ToDecimal()},
      {"2^33220", kTooLarge},
      {"2^33220/2", kTooLarge},
      {"3248!/3247!", "3248"},
      {"3249!/3248!", kTooLarge},
      {"10^100000", kTooLarge},
      {"2^2^2^2^2", kTooLarge},
      {"100000!", kTooLarge},
      {"100000#", kTooLarge},
      {"(10^5000)^3", kTooLarge},
      {"2^(2^20)+1", kTooLarge},
      {"1E1000000000-1", kTooLarge},
      {"12abc", "12"},
      {"2^67-1x", "147573952589676412927"},
      {" 2 ^ 3 ", "8"},
      {"2^", "2"},
      {"2*(3+4", "2"},
      {"(2+3", kANotWhole},
      {"--3", kANotWhole},
      {nested, "7"},
      {"(" + nested + ")", kANotWhole},
      {"6 " + times + " 7" + dot + "2", "84"},
      {"2-5", kANotWhole},
      {"-3+1", kANotWhole},
      {"2-5+10", "7"},
      {"2^3+1", kNotEven, "goldbach"},
      {"1/2", kNotEven, "goldbach"},
      {"2^100000", kTooLarge, "goldbach"},
      {"10^4+2", kTooLarge, "fibonacci"},
  };
  for (const Case& c : cases) {
    const OperandRules& rules = FindCommand(c.command)->rules;
    const OperandTexts texts{c.text, "", ""};
    Outcome outcome;
    ReadOperands(texts, rules, Range::kFull, outcome);
    const auto value = ValuesAsRead(texts, rules, Range::kFull).front();
    EXPECT_EQ(value.value_or(outcome.notice.value_or("")), c.value_or_notice) << c.text;
  }
  // The window's range reads the number at the start alone, as it always did.
  EXPECT_EQ(ReadOperand("2^67-1"), 2);
}

// Wherever the window's range answers, the full range gives the same lines and notices, but for
// numbers of 1E15 or more, which only the window writes in the exponent form.
TEST(FullRange, AnswersAsTheWindowWithinItsLimits) {
  std::mt19937_64 random(24);
  const char* const odd_texts[] = {"", "0", "-3", "2.5", "abc", "1E40000", "7x", " 12"};
  for (const OperationRow& operation : kOperations) {
    for (int round = 0; round < 300; ++round) {
      OperandTexts texts;
      std::string* boxes[] = {&texts.a, &texts.b, &texts.c};
      for (std::size_t i = 0; i < 3; ++i) {
        const std::uint64_t limit = i < OperandCount(operation.rules)
                                        ? std::stoull(LimitText(operation.rules, i, Range::kWindow))
                                        : 0;
        if (round % 10 == 9) {
          *boxes[i] = odd_texts[random() % std::size(odd_texts)];
        } else if (limit > 0) {
          // Mostly small values, where the answers are rich, and some anywhere up to the limit.
          const std::uint64_t top = round % 3 == 0 ? limit : std::min<std::uint64_t>(limit, 3000);
          *boxes[i] = std::to_string(1 + random() % top);
        }
      }
      if (operation.rules.widest_interval > 0 && round % 2 == 0) {
        texts.b = std::to_string(std::stoull(texts.a) + random() % 300);
      }
      const Outcome window = brindaq::RunOperation(operation, texts, Range::kWindow);
      const Outcome full = Full(operation, texts);
      EXPECT_EQ(full.notice, window.notice) << operation.command << " " << texts.a;
      EXPECT_EQ(full.operand, window.operand) << operation.command;
      ASSERT_EQ(full.lines.size(), window.lines.size()) << operation.command << " " << texts.a;
      for (std::size_t k = 0; k < window.lines.size(); ++k) {
        if (window.lines[k].find("E+") == std::string::npos) {
          EXPECT_EQ(full.lines[k], window.lines[k]) << operation.command << " " << texts.a;
        }
      }
    }
  }
}

std::vector<std::uint64_t> Factors(std::uint64_t n) {
  std::vector<std::uint64_t> factors;
  for (const PrimePower& power : Factorisation(n)) {
    factors.insert(factors.end(), static_cast<std::size_t>(power.exponent), power.prime);
  }
  return factors;
}

// The hard cases of factoring below 2^64: many small factors, squares and cubes of primes, a
// product of two primes near 2^32, Carmichael numbers and strong pseudoprimes to many bases.
TEST(FullRange, FactorsTheHardCases) {
  const std::uint64_t p32 = 4294967291;  // the largest prime below 2^32
  const std::uint64_t p21 = 2097143;     // the largest prime below 2^21
  struct Case {
    std::uint64_t n;
    std::vector<std::uint64_t> factors;
  };
  std::vector<Case> cases = {
      {18446744073709551615U, {3, 5, 17, 257, 641, 65537, 6700417}},
      {p32 * p32, {p32, p32}},
      {p21 * p21 * p21, {p21, p21, p21}},
      {p21 * p21 * 4000037, {p21, p21, 4000037}},
      {4294967279U * p32, {4294967279U, p32}},
      // Four primes just above the trial divisors: the most that a rest below 2^64 can hold.
      {std::uint64_t{10009} * 10037 * 10039 * 10061, {10009, 10037, 10039, 10061}},
      // The smallest strong pseudoprime to the first nine prime bases (A014233).
      {3825123056546413051U, {149491, 747451, 34233211}},
      {341550071728321U, {10670053, 32010157}},
      {18446744073709551557U, {18446744073709551557U}},
      // Below 2^32, but above the square of the last prime of the table of trial divisors.
      {std::uint64_t{40087} * 46511, {40087, 46511}},
      {std::uint64_t{10007} * 10007, {10007, 10007}},
  };
  // Chernick's Carmichael numbers (6k + 1)(12k + 1)(18k + 1), the three of them prime, from the
  // largest k below 2^64 down.
  for (std::uint64_t k = 237000, found = 0; found < 3; --k) {
    const std::uint64_t p = 6 * k + 1, q = 12 * k + 1, r = 18 * k + 1;
    if (ref::IsPrimeBelow2To64(p) && ref::IsPrimeBelow2To64(q) && ref::IsPrimeBelow2To64(r)) {
      cases.push_back({p * q * r, {p, q, r}});
      ++found;
    }
  }
  for (const Case& c : cases) {
    const std::vector<std::uint64_t> factors = Factors(c.n);
    EXPECT_EQ(factors, c.factors) << c.n;
    Uint128 product = 1;
    for (const std::uint64_t f : factors) {
      EXPECT_TRUE(ref::IsPrimeBelow2To64(f)) << f << " of " << c.n;
      product *= f;
    }
    EXPECT_EQ(product, Uint128{c.n});
    EXPECT_EQ(IsPrime(c.n), factors.size() == 1) << c.n;
    EXPECT_EQ(SmallestPrimeFactor(c.n), factors.front()) << c.n;
  }
}

// Random numbers of every size: their factors are prime, ascending, multiply to n, and below
// 10^12 are those of trial division; the primality test agrees with the reference.
TEST(FullRange, FactorsAndTestsRandomNumbersOfEverySize) {
  std::mt19937_64 random(64);
  for (int i = 0; i < 3000; ++i) {
    const std::uint64_t n = std::max<std::uint64_t>(2, random() >> (random() % 64));
    const std::vector<std::uint64_t> factors = Factors(n);
    Uint128 product = 1;
    for (std::size_t k = 0; k < factors.size(); ++k) {
      ASSERT_TRUE(ref::IsPrimeBelow2To64(factors[k])) << n;
      ASSERT_TRUE(k == 0 || factors[k - 1] <= factors[k]) << n;
      product *= factors[k];
    }
    ASSERT_EQ(product, Uint128{n});
    if (n < 1000000000000U) {
      ASSERT_EQ(factors, ref::Factorise(n));
    }
    ASSERT_EQ(IsPrime(n), ref::IsPrimeBelow2To64(n)) << n;
    ASSERT_EQ(IsPrime(n | 1), ref::IsPrimeBelow2To64(n | 1)) << (n | 1);
  }
  // Strong pseudoprimes to the base 2 from 2^32 to 2^63, which the Lucas half of the test must
  // tell composite: 2^32 + 1 (641 * 6700417), and products (k + 1)(mk + 1) of two primes, m = 2,
  // 3 or 4, found by trying random k with the textbook strong test to the base 2.
  for (const std::uint64_t n :
       {4294967297U, 4760620507U, 42761015461U, 250061253751U, 566017356451U, 1287773877001U,
        7905899562241U, 60706930741957U, 152471886749761U, 696744447468847U, 1249731751562797U,
        11768821052976907U, 28233926732685451U, 78340375213430221U, 338999548335120667U,
        1084905491319741761U, 1735819354232630101U, 6723973882190927347U, 8488580990642848961U}) {
    EXPECT_FALSE(ref::IsPrimeBelow2To64(n)) << n;
    EXPECT_FALSE(IsPrime(n)) << n;
    EXPECT_EQ(ArePrime({n, n, n, n}), (std::array<bool, 4>{})) << n;
  }
  for (std::uint64_t n = 18446744073709551615U; n > 18446744073709551615U - 20000; --n) {
    ASSERT_EQ(IsPrime(n), ref::IsPrimeBelow2To64(n)) << n;
  }
}

// Lines at the top of the range, counted and checked against the reference test.
TEST(FullRange, ScansAndWritesInFullDigitsAtTheTop) {
  const auto lines = [](const char* command, OperandTexts texts) {
    return Full(*FindCommand(command), texts).lines;
  };
  std::vector<std::string> primes;
  for (std::uint64_t n = 18446744073709541616U; n < 18446744073709551615U; ++n) {
    if (ref::IsPrimeBelow2To64(n)) {
      primes.push_back("    " + Text(n));
    }
  }
  EXPECT_EQ(primes.size(), 218U);
  EXPECT_EQ(lines("primes", {"18446744073709541615", "18446744073709551615", ""}), primes);
  EXPECT_EQ(lines("prime-count", {"18446744073709541615", "18446744073709551615", ""}),
            std::vector<std::string>{"    218"});
  EXPECT_EQ(lines("next-prime", {"18446744073709551556", "", ""}),
            std::vector<std::string>{"    18446744073709551557"});
  EXPECT_EQ(lines("collatz", {"80049391", "", ""})[161], "    1456762552780066");
  EXPECT_EQ(lines("fibonacci", {"93", "", ""}).back(), "    12200160415121876738");
  EXPECT_EQ(lines("goldbach", {"9699690", "", ""}).size(), 124180U);
  EXPECT_EQ(lines("divisors", {"18446744073709551615", "", ""}),
            (std::vector<std::string>{" NUMBER OF DIVISORS =  127",
                                      " SUM OF DIVISORS =  12975236915480337153"}));
  // The product of the first twelve primes 1 (mod 4): 2^12 choices of conjugates, in pairs.
  const std::vector<std::string> squares = lines("two-squares", {"10003628061488344205", "", ""});
  ASSERT_EQ(squares.size(), 2048U);
  Uint128 previous = 0;
  for (const std::string& line : squares) {
    std::uint64_t x = 0, y = 0;
    ASSERT_EQ(std::sscanf(line.c_str(),
                          "  10003628061488344205  =   %" SCNu64 "^2  +   %" SCNu64 "^2", &x, &y),
              2);
    EXPECT_EQ(Uint128{x} * x + Uint128{y} * y, Uint128{10003628061488344205U}) << line;
    EXPECT_TRUE(x <= y && x > previous) << line;
    previous = x;
  }
}

// The congruences and the inverse on operands up to 2^64 - 1: the answer solves the question, and
// no smaller candidate does (checked by trying every one where C is small).
TEST(FullRange, SolvesTheCongruencesExactly) {
  std::mt19937_64 random(5);
  const OperationRow& linear = *FindCommand("linear-congruence");
  const OperationRow& inverse = *FindCommand("inverse");
  for (int i = 0; i < 2000; ++i) {
    const std::uint64_t a = std::max<std::uint64_t>(1, random() >> (random() % 64));
    const std::uint64_t b = std::max<std::uint64_t>(1, random() >> (random() % 64));
    const std::uint64_t c =
        std::max<std::uint64_t>(1, random() >> (i % 2 == 0 ? 50 : random() % 64));
    const auto solves = [&](std::uint64_t x, std::uint64_t target) {
      return (Uint128{a} * x) % c == Uint128{target} % c;
    };
    std::optional<std::uint64_t> expected;
    if (c < 20000) {
      for (std::uint64_t x = 1; x <= c && !expected; ++x) {
        if (solves(x, b)) {
          expected = x;
        }
      }
    }
    const std::vector<std::string> lines = Full(linear, {Text(a), Text(b), Text(c)}).lines;
    ASSERT_EQ(lines.size(), 1U);
    if (lines[0] == "  NO SOLUTION !") {
      EXPECT_TRUE(c >= 20000 || !expected) << a << " " << b << " " << c;
    } else {
      const std::uint64_t x = std::stoull(lines[0]);
      EXPECT_TRUE(x >= 1 && x <= c && solves(x, b)) << a << " " << b << " " << c;
      EXPECT_TRUE(c >= 20000 || expected == x) << a << " " << b << " " << c;
    }
    const std::vector<std::string> inverted = Full(inverse, {Text(a), Text(c), ""}).lines;
    if (inverted[0] != "  NO SOLUTION !") {
      const std::uint64_t x = std::stoull(inverted[0]);
      EXPECT_TRUE(x >= 1 && x <= c && (Uint128{a} * x) % c == 1 % c) << a << " " << c;
    }
  }
}

}  // namespace
}  // namespace brindaq
