// Any bytes become one click of an operation button, and whatever the click gives back must be
// something the window can show: one notice and no lines, or lines and no notice, each line
// plain printable text, no more lines than the operation can ever produce, and a notice only
// where the operands call for it. The operations that compute by a faster method than plain
// enumeration must also give exactly the lines and notice of plain enumeration. The operand
// readers (the whole text also as one expression of the full range) and the number format are
// fuzzed on the way. The same click in the full range is held to
// the rules of full_range_checks.cpp.
//
// Input layout:
//   byte 0   the operation: its value mod 16 is the row of kOperations, 15 runs none
//   byte 1   the separator
//   rest     A <separator> B <separator> C; C takes everything after the second separator, and
//            missing texts are empty. The rest is also read as doubles, 8 bytes each, for
//            FormatValue.

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include "core/operations.h"
#include "fuzz/big_checks.h"
#include "fuzz/full_range_checks.h"
#include "tests/core/plain_enumeration.h"

namespace brindaq {
namespace {

// The most lines each operation can produce at its widest accepted input.
struct LineBound {
  std::string_view command;
  std::size_t max_lines;
};

// clang-format off
constexpr std::array<LineBound, 15> kLineBounds{{
    {"primes",               1229},       // primes between 1 and 10001
    {"twin-primes",          205},        // twin prime pairs between 1 and 10001
    {"prime-count",          1},          // the count
    {"next-prime",           1},          // the next prime
    {"two-squares",          24},         // representations as x^2 + y^2 up to 10000000
    {"goldbach",             2168},       // sums of two primes, at A = 99330
    {"collatz",              949},        // the Collatz sequence of 63728127
    {"factors",              23},         // 2^23 is the largest power of 2 up to 10000000
    {"is-prime",             2},          // the verdict and a divisor
    {"power-mod",            1},          // the power
    {"fibonacci",            73},         // one line per Fibonacci number
    {"linear-congruence",    1},          // the solution
    {"quadratic-congruence", 10000},      // at most every candidate up to C
    {"inverse",              1},          // the inverse
    {"divisors",             2},          // the count and the sum
}};
// clang-format on

// The plain enumeration that each operation with a faster method must agree with.
struct PlainEnumeration {
  std::string_view command;
  Operation run;
};

// clang-format off
constexpr std::array<PlainEnumeration, 14> kPlainEnumerations{{
    {"primes",               &plain_enumeration::PrimesBetween},
    {"twin-primes",          &plain_enumeration::TwinPrimesBetween},
    {"prime-count",          &plain_enumeration::PrimeCountBetween},
    {"next-prime",           &plain_enumeration::NextPrime},
    {"two-squares",          &plain_enumeration::SumOfTwoSquares},
    {"goldbach",             &plain_enumeration::GoldbachDecomposition},
    {"collatz",              &plain_enumeration::CollatzSequence},
    {"factors",              &plain_enumeration::PrimeFactors},
    {"is-prime",             &plain_enumeration::PrimalityTest},
    {"power-mod",            &plain_enumeration::ModularPower},
    {"linear-congruence",    &plain_enumeration::LinearCongruence},
    {"quadratic-congruence", &plain_enumeration::QuadraticCongruence},
    {"inverse",              &plain_enumeration::ModularInverse},
    {"divisors",             &plain_enumeration::DivisorCountAndSum},
}};
// clang-format on

// The widest interval that the interval operations accept; 0 for the others.
double IntervalWidth(std::string_view command) {
  if (command == "primes" || command == "twin-primes") {
    return 10000;
  }
  if (command == "prime-count") {
    return 100000;
  }
  return 0;
}

constexpr std::string_view kTooLarge = "NUMBER TOO LARGE !";
constexpr std::string_view kIntervalTooLarge = "INTERVAL TOO LARGE !";
constexpr std::string_view kMustBeEven = "A MUST BE EVEN !";
constexpr std::array<std::string_view, 6> kNotices{kTooLarge,
                                                   "A MUST BE INTEGER > 0",
                                                   "B MUST BE INTEGER > 0",
                                                   "C MUST BE INTEGER > 0",
                                                   kIntervalTooLarge,
                                                   kMustBeEven};

// What the fuzzer was given, for the report of a violation.
struct Click {
  const OperationRow* operation = nullptr;
  const OperandTexts* texts = nullptr;
};

std::string Escaped(std::string_view text) {
  constexpr std::size_t kShown = 200;
  std::string out;
  for (std::size_t i = 0; i < text.size() && i < kShown; ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte >= 0x20 && byte <= 0x7E && byte != '\\' && byte != '"') {
      out += static_cast<char>(byte);
    } else {
      std::array<char, 8> hex{};
      std::snprintf(hex.data(), hex.size(), "\\x%02X", byte);
      out += hex.data();
    }
  }
  if (text.size() > kShown) {
    out += "... (" + std::to_string(text.size()) + " bytes)";
  }
  return out;
}

[[noreturn]] void Violation(const Click& click, const std::string& what) {
  std::fprintf(stderr, "\nVIOLATION: %s\n", what.c_str());
  if (click.operation != nullptr) {
    std::fprintf(stderr, "  operation %s\n", std::string(click.operation->command).c_str());
  }
  if (click.texts != nullptr) {
    std::fprintf(stderr, "  A = \"%s\"\n  B = \"%s\"\n  C = \"%s\"\n",
                 Escaped(click.texts->a).c_str(), Escaped(click.texts->b).c_str(),
                 Escaped(click.texts->c).c_str());
  }
  std::abort();
}

bool IsShowable(std::string_view text) {
  if (text.empty()) {
    return false;
  }
  for (const char c : text) {
    if (c < 0x20 || c > 0x7E) {
      return false;
    }
  }
  return true;
}

std::string Described(double x) {
  std::array<char, 64> text{};
  std::snprintf(text.data(), text.size(), "%.17g", x);
  return text.data();
}

// The number format: plain printable text with the sign column, that reads back as the value
// it shows.
void CheckFormat(double x) {
  const Click none;
  const std::string text = FormatValue(x);
  if (!std::isfinite(x)) {
    return;  // no operation shows such a value; it only must not crash
  }
  if (!IsShowable(text)) {
    Violation(none, "FormatValue(" + Described(x) + ") = \"" + Escaped(text) + "\"");
  }
  const bool sign_column = x < 0 ? text.front() == '-' : text.front() == ' ';
  if (!sign_column) {
    Violation(none, "FormatValue(" + Described(x) + ") = \"" + text + "\" lacks its sign column");
  }
  const double back = ReadOperand(text);
  if (std::floor(x) == x && std::fabs(x) < 1e15) {
    if (back != x || text.find_first_of(".E") != std::string::npos) {
      Violation(none, "FormatValue(" + Described(x) + ") = \"" + text +
                          "\" is not the whole number in plain digits");
    }
    // Whole values take a quicker path than the general rule, and must come out the same.
    std::array<char, 64> general{};
    std::snprintf(general.data(), general.size(), "%s%.15G", x < 0 ? "" : " ", x == 0 ? 0.0 : x);
    if (text != general.data()) {
      Violation(none, "FormatValue(" + Described(x) + ") = \"" + text +
                          "\" where \"%.15G\" gives \"" + general.data() + "\"");
    }
    return;
  }
  // 15 significant digits; values at the edges of the range may not read back at all.
  const double magnitude = std::fabs(x);
  if (magnitude >= std::numeric_limits<double>::min() && magnitude <= 1e308 &&
      std::fabs(back - x) > 1e-14 * magnitude) {
    Violation(none, "FormatValue(" + Described(x) + ") = \"" + text + "\" reads back as " +
                        Described(back));
  }
}

double ReadChecked(std::string_view text) {
  const double value = ReadOperand(text);
  if (std::isnan(value)) {
    Violation(Click{}, "ReadOperand(\"" + Escaped(text) + "\") is NaN");
  }
  CheckFormat(value);
  return value;
}

// The standard check of the operands that `operation` reads, in the order A, B, C: the notice
// of the first one that fails, or nothing when all pass.
std::optional<std::string> FirstOperandNotice(const OperationRow& operation,
                                              const std::array<double, 3>& values) {
  const std::array<double, 3> limits{operation.rules.window.a, operation.rules.window.b,
                                     operation.rules.window.c};
  for (std::size_t i = 0; i < 3; ++i) {
    if (limits[i] > 0) {
      if (auto notice = CheckOperand(values[i], static_cast<char>('A' + i), limits[i])) {
        return notice;
      }
    }
  }
  return std::nullopt;
}

void CheckOutcome(const Click& click, const Outcome& outcome) {
  const OperationRow& operation = *click.operation;
  const OperandTexts& texts = *click.texts;
  const std::array<double, 3> values{ReadChecked(texts.a), ReadChecked(texts.b),
                                     ReadChecked(texts.c)};

  std::size_t max_lines = 0;
  bool bounded = false;
  for (const LineBound& bound : kLineBounds) {
    if (bound.command == operation.command) {
      max_lines = bound.max_lines;
      bounded = true;
    }
  }
  if (!bounded) {
    Violation(click, "no line bound for this button");
  }
  if (outcome.lines.size() > max_lines) {
    Violation(click, std::to_string(outcome.lines.size()) + " lines, at most " +
                         std::to_string(max_lines) + " expected");
  }
  for (std::size_t i = 0; i < outcome.lines.size(); ++i) {
    if (!IsShowable(outcome.lines[i])) {
      Violation(click, "line " + std::to_string(i) + " is \"" + Escaped(outcome.lines[i]) + "\"");
    }
  }

  const std::optional<std::string> operand_notice = FirstOperandNotice(operation, values);
  const double width = IntervalWidth(operation.command);
  const bool wide = width > 0 && !operand_notice && values[1] - values[0] > width;
  const bool odd_a = std::isfinite(values[0]) && std::floor(values[0]) == values[0] &&
                     std::fmod(values[0], 2) != 0;
  const bool goldbach = operation.command == "goldbach";

  if (!outcome.notice) {
    // Lines only come from operands that passed every check.
    if (!outcome.lines.empty() && (operand_notice || wide || (goldbach && odd_a))) {
      Violation(click, "result lines although the operands fail a check, first line \"" +
                           outcome.lines.front() + "\"");
    }
    return;
  }

  const std::string& notice = *outcome.notice;
  if (!outcome.lines.empty()) {
    Violation(click, "notice \"" + Escaped(notice) + "\" after " +
                         std::to_string(outcome.lines.size()) + " lines");
  }
  bool known = false;
  for (const std::string_view text : kNotices) {
    known = known || notice == text;
  }
  if (!known) {
    Violation(click, "unknown notice \"" + Escaped(notice) + "\"");
  }

  // A notice must be called for by the operands.
  bool called_for = false;
  if (notice == kIntervalTooLarge) {
    called_for = wide;
  } else if (notice == kMustBeEven) {
    called_for =
        goldbach && (odd_a || !std::isfinite(values[0]) || std::floor(values[0]) != values[0]);
  } else {
    // Goldbach tests the parity before the standard check: an odd A is refused as odd, even
    // when it is also too large or below 1.
    called_for = operand_notice == notice && !(goldbach && odd_a);
  }
  if (!called_for) {
    Violation(click, "notice \"" + notice + "\" that the operands do not call for");
  }

  // The window takes the user back to the operand that the notice is about: the one it names,
  // B for a wide interval, and the first one above its limit for a number too large.
  std::optional<char> about;
  if (notice == kIntervalTooLarge) {
    about = 'B';
  } else if (notice == kTooLarge) {
    const std::array<double, 3> limits{operation.rules.window.a, operation.rules.window.b,
                                       operation.rules.window.c};
    for (std::size_t i = 0; i < 3 && !about; ++i) {
      if (limits[i] > 0 && values[i] > limits[i]) {
        about = static_cast<char>('A' + i);
      }
    }
  } else {
    about = notice[0];
  }
  if (outcome.operand != about) {
    Violation(click, "the notice \"" + notice + "\" is not about the operand it names");
  }
}

std::string Rendered(const Outcome& outcome) {
  std::string text;
  for (const std::string& line : outcome.lines) {
    text += "  [" + Escaped(line) + "]\n";
  }
  return text +
         (outcome.notice ? "  notice [" + Escaped(*outcome.notice) + "]\n" : "  no notice\n");
}

// The outcome must be that of plain enumeration, where the operation has a faster method.
void CheckSameAsPlain(const Click& click, const Outcome& outcome) {
  for (const PlainEnumeration& plain : kPlainEnumerations) {
    if (plain.command != click.operation->command) {
      continue;
    }
    const Outcome expected = plain.run(*click.texts);
    if (outcome.lines != expected.lines || outcome.notice != expected.notice) {
      Violation(click, "the outcome differs from plain enumeration; it is\n" + Rendered(outcome) +
                           "where plain enumeration gives\n" + Rendered(expected));
    }
  }
}

// Splits `rest` at the first two separators into the three operand texts.
OperandTexts Split(std::string_view rest, char separator) {
  std::array<std::string, 3> parts;
  for (std::size_t i = 0; i < 2; ++i) {
    const std::size_t end = rest.find(separator);
    if (end == std::string_view::npos) {
      parts[i] = std::string(rest);
      return {parts[0], parts[1], parts[2]};
    }
    parts[i] = std::string(rest.substr(0, end));
    rest.remove_prefix(end + 1);
  }
  parts[2] = std::string(rest);
  return {parts[0], parts[1], parts[2]};
}

}  // namespace
}  // namespace brindaq

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace brindaq;
  if (size < 2) {
    return 0;
  }
  const std::string_view rest(reinterpret_cast<const char*>(data) + 2, size - 2);

  // The readers on the whole text, and the format on every double hidden in the bytes.
  ReadChecked(rest);
  fuzz::CheckExpression(rest);
  for (std::size_t at = 0; at + sizeof(double) <= rest.size() && at < 64 * sizeof(double);
       at += sizeof(double)) {
    double x = 0;
    std::memcpy(&x, rest.data() + at, sizeof x);
    CheckFormat(x);
  }

  const std::size_t row = data[0] % 16;
  if (row >= kOperations.size()) {
    // The sixteenth first byte factorises numbers of known factors instead of a click.
    fuzz::CheckPlantedFactors(rest);
    return 0;
  }
  const OperationRow& operation = kOperations[row];
  const OperandTexts texts = Split(rest, static_cast<char>(data[1]));
  const Outcome outcome = RunOperation(operation, texts, Range::kWindow);
  CheckOutcome(Click{&operation, &texts}, outcome);
  CheckSameAsPlain(Click{&operation, &texts}, outcome);
  fuzz::CheckFullRange(operation, texts, outcome);
  return 0;
}
