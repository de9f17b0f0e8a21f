// The full range on the fuzzer's click: what the window can show, the window's own answer wherever
// the operands fit the window's range, and, beyond it, slower methods that share nothing with the
// fast ones: trial division below 10^12, the strong probable-prime test to the first twelve prime
// bases, and trying every candidate where the modulus is small.

#include "fuzz/full_range_checks.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/frame/expression.h"
#include "fuzz/big_checks.h"
#include "tests/core/reference.h"

namespace brindaq::fuzz {
namespace {

namespace ref = testing_reference;

std::string Text(Uint128 n) {
  return ref::DecimalText(n);
}

std::string Lines(const Outcome& outcome) {
  std::string text;
  for (const std::string& line : outcome.lines) {
    text += "  [" + line + "]\n";
  }
  return text + (outcome.notice ? "  notice [" + *outcome.notice + "]\n" : "");
}

[[noreturn]] void Violation(const OperationRow& operation, const OperandTexts& texts,
                            const Outcome& outcome, const std::string& what) {
  std::fprintf(stderr,
               "\nVIOLATION in the full range: %s\n  operation %s, A = \"%s\", B = \"%s\", "
               "C = \"%s\"\n%s",
               what.c_str(), std::string(operation.command).c_str(), texts.a.c_str(),
               texts.b.c_str(), texts.c.c_str(), Lines(outcome).c_str());
  std::abort();
}

// The whole number that a line shows after its blanks, or nothing.
std::optional<std::uint64_t> Number(std::string_view line) {
  line = CopiedLine(line);
  if (line.empty() || line.size() > 20 || line.find_first_not_of("0123456789") != line.npos) {
    return std::nullopt;
  }
  Uint128 value = 0;
  for (const char digit : line) {
    value = value * 10 + static_cast<unsigned>(digit - '0');
  }
  return value > kLargestWhole ? std::nullopt : std::optional<std::uint64_t>(value);
}

std::vector<std::string> ValueLines(const std::vector<std::uint64_t>& values) {
  std::vector<std::string> lines;
  for (const std::uint64_t value : values) {
    lines.push_back("    " + Text(value));
  }
  return lines;
}

// The lines that the slower methods give, where they can answer in a moment; nothing elsewhere.
std::optional<std::vector<std::string>> SlowLines(std::string_view command, const Operands& o) {
  constexpr std::uint64_t kTrialBound = 1000000000000;  // 10^12
  if (command == "factors" && o.a >= 2 && o.a < kTrialBound) {
    const std::vector<std::uint64_t> factors = ref::Factorise(o.a);
    if (factors.size() == 1) {
      return std::vector<std::string>{"  " + Text(o.a) + "   IS A PRIME NUMBER !"};
    }
    return ValueLines(factors);
  }
  if (command == "is-prime" && o.a >= 2) {
    if (ref::IsPrimeBelow2To64(o.a)) {
      return std::vector<std::string>{" A IS A PRIME NUMBER!"};
    }
    if (o.a < kTrialBound) {
      return std::vector<std::string>{" A IS NOT A PRIME NUMBER",
                                      " FACTOR =  " + Text(ref::Factorise(o.a).front())};
    }
  }
  if (command == "divisors" && o.a < kTrialBound) {
    const ref::DivisorTotals totals = ref::DivisorTotalsOf(o.a);
    return std::vector<std::string>{" NUMBER OF DIVISORS =  " + Text(totals.count - 1),
                                    " SUM OF DIVISORS =  " + Text(totals.sum - o.a)};
  }
  // From the last prime below 2^64 on, the next one lies past it: BigProblem checks those.
  if (command == "next-prime" && o.a < 18446744073709551557U) {
    std::uint64_t next = o.a + 1;
    while (!ref::IsPrimeBelow2To64(next)) {
      ++next;
    }
    return ValueLines({next});
  }
  // The candidates 1 to C, the last one standing for the residue 0.
  const auto solutions = [](std::uint64_t a, std::uint64_t square, std::uint64_t b,
                            std::uint64_t c) {
    std::vector<std::uint64_t> found;
    for (std::uint64_t x = 1; x <= c; ++x) {
      const Uint128 power = square ? Uint128{x} * x % c : Uint128{x};
      if (Uint128{a % c} * power % c == b % c) {
        found.push_back(x);
      }
    }
    return found;
  };
  constexpr std::uint64_t kSmallModulus = 20000;
  if (command == "linear-congruence" && o.c <= kSmallModulus) {
    const std::vector<std::uint64_t> found = solutions(o.a, 0, o.b, o.c);
    return found.empty() ? std::vector<std::string>{"  NO SOLUTION !"} : ValueLines({found[0]});
  }
  if (command == "quadratic-congruence" && o.c <= kSmallModulus) {
    const std::vector<std::uint64_t> found = solutions(o.a, 1, o.b, o.c);
    return found.empty() ? std::vector<std::string>{"  NO SOLUTION !"} : ValueLines(found);
  }
  if (command == "inverse" && o.b <= kSmallModulus) {
    const std::vector<std::uint64_t> found = solutions(o.a, 0, 1, o.b);
    return found.empty() ? std::vector<std::string>{"  NO SOLUTION !"} : ValueLines({found[0]});
  }
  if ((command == "primes" || command == "prime-count") && o.b > o.a && o.b - o.a <= 2000) {
    std::vector<std::uint64_t> primes;
    for (std::uint64_t n = o.a + 1; n < o.b; ++n) {
      if (ref::IsPrimeBelow2To64(n)) {
        primes.push_back(n);
      }
    }
    return command == "primes" ? ValueLines(primes) : ValueLines({primes.size()});
  }
  return std::nullopt;
}

}  // namespace

void CheckFullRange(const OperationRow& operation, const OperandTexts& texts,
                    const Outcome& window) {
  // Numbers of any size may ask for hours of work: each click gets a second, and what a stopped
  // answer holds is checked as closely as a whole one.
  constexpr auto kTimeLimit = std::chrono::seconds(1);
  Work work;
  work.StopAt(Work::Clock::now() + kTimeLimit);
  std::vector<std::string> lines;
  GatheredLines gathered(lines);
  Outcome outcome = RunOperation(operation, texts, Range::kFull, gathered, work);
  outcome.lines = std::move(lines);
  if ((outcome.notice && !outcome.lines.empty()) ||
      outcome.notice.has_value() != outcome.operand.has_value()) {
    Violation(operation, texts, outcome, "not one notice with its operand, or lines alone");
  }
  for (const std::string& line : outcome.lines) {
    if (line.empty() ||
        !std::all_of(line.begin(), line.end(), [](char c) { return c >= 0x20 && c <= 0x7E; })) {
      Violation(operation, texts, outcome, "a line that the window cannot show");
    }
  }
  // The exact reading of the number at the start agrees with the double wherever the double is
  // exact. Where it is for every operand read, each text is that number alone (not the start of
  // an expression, which only the full range reads), and they are within the window's limits, the
  // answer is the window's, numbers of 1E15 or more aside. (The double rounds
  // "1.000000000000000001" to 1; the full range does not.)
  bool read_alike = true;
  const std::string* const boxes[] = {&texts.a, &texts.b, &texts.c};
  for (std::size_t i = 0; i < 3; ++i) {
    const ExactOperand exact = ReadExactOperand(*boxes[i]);
    const bool exact_double =
        exact.whole && exact.fits_word && exact.word < (std::uint64_t{1} << 53);
    if (exact_double) {
      const double value = ReadOperand(*boxes[i]);
      const auto magnitude = static_cast<double>(exact.word);
      if (value != (exact.negative ? -magnitude : magnitude)) {
        Violation(operation, texts, outcome,
                  "the exact reading of \"" + *boxes[i] + "\" is not the double's");
      }
    }
    read_alike = read_alike && ((exact_double && !ReadExpression(*boxes[i])) ||
                                i >= OperandCount(operation.rules));
  }
  if (read_alike && !window.notice && !outcome.stopped) {
    bool same = window.lines.size() == outcome.lines.size() && !outcome.notice;
    for (std::size_t i = 0; same && i < window.lines.size(); ++i) {
      same = window.lines[i] == outcome.lines[i] || window.lines[i].find("E+") != std::string::npos;
    }
    if (!same) {
      Violation(operation, texts, outcome, "not the window's answer");
    }
  }
  if (outcome.notice) {
    return;
  }
  Outcome scratch;
  const Operands operands = *ReadOperands(texts, operation.rules, Range::kFull, scratch);
  // The values that the command line shows beside the texts are those that the operation took.
  const std::vector<std::optional<std::string>> shown =
      ValuesAsRead(texts, operation.rules, Range::kFull);
  const std::uint64_t words[] = {operands.a, operands.b, operands.c};
  for (std::size_t i = 0; i < shown.size(); ++i) {
    if (shown[i] != (operands.words ? Text(words[i]) : operands.exact[i].ToDecimal())) {
      Violation(operation, texts, outcome, "a value shown is not the one taken");
    }
  }
  if (outcome.stopped && outcome.lines.back() != kStoppedLine) {
    Violation(operation, texts, outcome, "a stopped answer without its last line");
  }
  if (!operands.words || outcome.stopped ||
      (operation.command == "next-prime" && operands.a >= 18446744073709551557U)) {
    if (const std::string problem = BigProblem(operation.command, operands, outcome);
        !problem.empty()) {
      Violation(operation, texts, outcome, problem);
    }
    return;
  }
  if (operation.command == "factors" && operands.a >= 2) {
    // Every factor prime, ascending, and their product A.
    Uint128 product = 1;
    std::uint64_t previous = 0;
    for (const std::string& line : outcome.lines) {
      const std::optional<std::uint64_t> factor = Number(line);
      if (outcome.lines.size() == 1 && !factor) {
        product = ref::IsPrimeBelow2To64(operands.a) ? operands.a : 0;
        break;
      }
      if (!factor || *factor < previous || !ref::IsPrimeBelow2To64(*factor)) {
        Violation(operation, texts, outcome, "a factor that is not prime, or out of order");
      }
      previous = *factor;
      product *= *factor;
    }
    if (product != operands.a) {
      Violation(operation, texts, outcome, "the factors do not multiply to A");
    }
  }
  if (const auto expected = SlowLines(operation.command, operands);
      expected && *expected != outcome.lines) {
    Outcome slow;
    slow.lines = *expected;
    Violation(operation, texts, outcome, "the slower method gives\n" + Lines(slow));
  }
}

void CheckExpression(std::string_view text) {
  const std::optional<ExpressionValue> read = ReadExpression(text);
  const std::optional<ExpressionValue> followed = ReadExpression(std::string(text) + "@");
  const auto same = [](const ExpressionValue& a, const ExpressionValue& b) {
    return a.kind == b.kind && a.negative == b.negative && a.magnitude == b.magnitude;
  };
  if (read.has_value() != followed.has_value() || (read && !same(*read, *followed))) {
    std::fprintf(stderr, "\nVIOLATION: \"%s\" reads otherwise with \"@\" after it\n",
                 std::string(text.substr(0, 200)).c_str());
    std::abort();
  }
}

}  // namespace brindaq::fuzz
