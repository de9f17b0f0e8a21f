// The full range past 2^64: one hard case for each path that numbers of any size take, the long
// lists against a slower way of making them, and long work that is stopped, which must end at
// once and claim nothing that it did not establish.

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "core/big/big_primality.h"
#include "core/big/natural.h"
#include "core/operations.h"
#include "core/work.h"

namespace brindaq {
namespace {

std::vector<std::string> Lines(std::string_view command, OperandTexts texts) {
  const Outcome outcome = RunOperation(*FindCommand(command), texts, Range::kFull);
  EXPECT_EQ(outcome.notice, std::nullopt) << command << " " << texts.a;
  EXPECT_FALSE(outcome.stopped);
  return outcome.lines;
}

std::string Line(const Natural& n) {
  return "    " + n.ToDecimal();
}

// A product of two primes of 35 digits: beyond what the factorisation finds in a second.
const char* const kHardProduct =
    "559483482664754320713546535627832819990521177981913160731093979686947";

TEST(AnySize, AnswersTheHardCasesOfEachPath) {
  // Cole's 2^67 - 1, and 2^128 + 1, a product of a 17- and a 22-digit prime.
  EXPECT_EQ(Lines("factors", {"147573952589676412927", "", ""}),
            (std::vector<std::string>{"    193707721", "    761838257287"}));
  EXPECT_EQ(Lines("factors", {"340282366920938463463374607431768211457", "", ""}),
            (std::vector<std::string>{"    59649589127497217", "    5704689200685129054721"}));
  // The square of the first prime past 2^64: a perfect power, its verdict and its divisors.
  const Natural p = Natural::FromDecimal("18446744073709551629");
  const std::string square = (p * p).ToDecimal();
  EXPECT_EQ(Lines("factors", {square, "", ""}), (std::vector<std::string>{Line(p), Line(p)}));
  EXPECT_EQ(Lines("is-prime", {square, "", ""}),
            (std::vector<std::string>{" A IS NOT A PRIME NUMBER", " FACTOR =  " + p.ToDecimal()}));
  EXPECT_EQ(Lines("divisors", {square, "", ""}),
            (std::vector<std::string>{" NUMBER OF DIVISORS =  2",
                                      " SUM OF DIVISORS =  " + (p + Natural(1)).ToDecimal()}));
  // The next prime after 10^100, and the primes from there to it.
  const std::string next = "1" + std::string(97, '0') + "267";
  EXPECT_EQ(Lines("next-prime", {"1E100", "", ""}), (std::vector<std::string>{"    " + next}));
  const std::string after = (Natural::FromDecimal(next) + Natural(1)).ToDecimal();
  EXPECT_EQ(Lines("primes", {"1E100", after, ""}), (std::vector<std::string>{"    " + next}));
  // 3 X^2 = 7 modulo the 40-digit prime 10^39 + 3: two roots, which add up to it.
  const Natural p40 = Natural::TenToThe(39) + Natural(3);
  const std::vector<std::string> roots = Lines("quadratic-congruence", {"3", "7", "10^39+3"});
  ASSERT_EQ(roots.size(), 2u);
  const Natural x = Natural::FromDecimal(roots[0].substr(4));
  EXPECT_EQ((Natural(3) * x * x) % p40, 7u);
  EXPECT_EQ(x + Natural::FromDecimal(roots[1].substr(4)), p40);
  // A^B mod C with a modulus of 1000 digits: Fermat's little theorem for a probable prime
  // modulus, 10^999 + 7 (tested here, not proven: its proof alone would take a minute).
  const Natural q = Natural::TenToThe(999) + Natural(7);
  Work work;
  ASSERT_EQ(PassesBailliePsw(q, work), std::optional<bool>(true));
  EXPECT_EQ(Lines("power-mod", {"12345", (q - Natural(1)).ToDecimal(), q.ToDecimal()}),
            (std::vector<std::string>{"    1"}));
}

// The Fibonacci numbers past the 93rd and the Collatz walk past 10^18 are made in decimal: they
// must be those that binary arithmetic makes.
TEST(AnySize, ListsLongNumbersAsBinaryArithmeticMakesThem) {
  const std::vector<std::string> fibonacci = Lines("fibonacci", {"300", "", ""});
  ASSERT_EQ(fibonacci.size(), 300u);
  Natural before(0);
  Natural number(1);
  for (const std::string& line : fibonacci) {
    EXPECT_EQ(line, Line(number));
    before += number;
    std::swap(before, number);
  }
  const std::string start = "12345678901234567890123456789";
  const std::vector<std::string> walk = Lines("collatz", {start, "", ""});
  Natural value = Natural::FromDecimal(start);
  for (const std::string& line : walk) {
    value = value.IsOdd() ? value * Natural(3) + Natural(1) : value >> 1;
    EXPECT_EQ(line, Line(value));
  }
  EXPECT_EQ(value, 1u);
}

// What a stopped answer holds: only lines that are established, then the stopped line.
void ExpectStoppedHonestly(const Outcome& outcome, const Natural& n) {
  EXPECT_TRUE(outcome.stopped);
  ASSERT_FALSE(outcome.lines.empty());
  EXPECT_EQ(outcome.lines.back(), kStoppedLine);
  Work unstopped;
  for (std::size_t i = 0; i + 1 < outcome.lines.size(); ++i) {
    const std::string& line = outcome.lines[i];
    // Any factor it names divides n and is prime; a part not yet split is claimed as nothing.
    const std::string number = line.substr(line.find_last_of(' ') + 1);
    if (line.starts_with(" NOT YET SPLIT = ") || line == " A IS NOT A PRIME NUMBER") {
      continue;
    }
    ASSERT_EQ(number.find_first_not_of("0123456789"), std::string::npos) << line;
    const Natural factor = Natural::FromDecimal(number);
    EXPECT_TRUE((n % factor).IsZero()) << line;
    EXPECT_EQ(IsProbablePrime(factor, unstopped), true) << line;
  }
}

TEST(AnySize, StoppedWorkEndsAtOnceAndClaimsNothing) {
  const Natural n = Natural::FromDecimal(kHardProduct);
  const OperandTexts texts{kHardProduct, "", ""};
  // Stopped before it starts.
  for (const char* command : {"factors", "is-prime", "divisors", "next-prime"}) {
    Work stopped;
    stopped.Stop();
    std::vector<std::string> lines;
    GatheredLines gathered(lines);
    Outcome outcome = RunOperation(*FindCommand(command), texts, Range::kFull, gathered, stopped);
    outcome.lines = lines;
    if (outcome.stopped) {
      ExpectStoppedHonestly(outcome, n);
    }
  }
#if !defined(__EMSCRIPTEN__)  // the WebAssembly edition runs without threads
  // Stopped from another thread while it factors.
  Work work;
  std::vector<std::string> lines;
  GatheredLines gathered(lines);
  std::thread stopper([&work] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    work.Stop();
  });
  Outcome outcome = RunOperation(*FindCommand("factors"), texts, Range::kFull, gathered, work);
  stopper.join();
  outcome.lines = lines;
  ExpectStoppedHonestly(outcome, n);
#endif
}

}  // namespace
}  // namespace brindaq
