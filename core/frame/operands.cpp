// Reading and checking the operands. Both ranges find the number by ScanNumber; the window's
// range then takes its value as a double, the full range exactly, or the value of the expression
// that the text starts with. Every notice about an operand is written here, once.

#include "core/frame/operands.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <limits>
#include <string>
#include <system_error>
#include <utility>

#include "core/frame/expression.h"
#include "core/frame/number_text.h"

// Where the standard library reads doubles itself (libstdc++), it does so without the locale.
// Where it cannot (the libc++ that builds the WebAssembly edition), the C library serves: its
// decimal point is always "." there, whatever the locale.
#if !defined(__cpp_lib_to_chars)
#include <cerrno>
#include <cstdlib>
#endif

namespace brindaq {
namespace {

constexpr const char* kTooLarge = "NUMBER TOO LARGE !";
constexpr const char* kTooWide = "INTERVAL TOO LARGE !";
constexpr const char* kNotEven = "A MUST BE EVEN !";
constexpr const char* kTooMany = "TOO MANY SOLUTIONS !";

// The notice of the standard check, in either range: too large above the limit, else refused by
// letter unless the operand is a whole number above 0.
std::optional<std::string> StandardNotice(bool too_large, bool whole_above_zero, char letter) {
  if (too_large) {
    return kTooLarge;
  }
  if (!whole_above_zero) {
    return std::string(1, letter) + " MUST BE INTEGER > 0";
  }
  return std::nullopt;
}

// The value of a well-formed number text that lies beyond the range of a double: infinity when
// its magnitude is huge, zero when it is tiny.
double OutOfRangeValue(const NumberText& number) {
  const std::size_t first_nonzero = number.whole.find_first_of("123456789");
  std::int64_t magnitude = 0;  // the decimal exponent of the leading digit, before the written one
  if (first_nonzero != std::string_view::npos) {
    magnitude = static_cast<std::int64_t>(number.whole.size() - first_nonzero) - 1;
  } else if (const std::size_t in_fraction = number.fraction.find_first_of("123456789");
             in_fraction != std::string_view::npos) {
    magnitude = -static_cast<std::int64_t>(in_fraction) - 1;
  } else {
    return 0.0;
  }
  magnitude += ExponentOf(number.exponent);
  return magnitude > 0 ? std::numeric_limits<double>::infinity() : 0.0;
}

// The magnitude of a number text as a double, the nearest one to its value.
double MagnitudeOf(const NumberText& number) {
  // Whole digits alone, as operands mostly are: up to 15 digits the value is exact as an integer,
  // and no conversion of a general number text is needed.
  if (!number.point && number.exponent.empty() && number.whole.size() <= 15) {
    std::int64_t whole = 0;
    for (const char digit : number.whole) {
      whole = whole * 10 + (digit - '0');
    }
    return static_cast<double>(whole);
  }
  const std::string_view text = number.number;
  double value = 0.0;
#if defined(__cpp_lib_to_chars)
  const auto [end, error] =
      std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
  if (error == std::errc::result_out_of_range) {
    return OutOfRangeValue(number);
  }
  if (error != std::errc{} || end != text.data() + text.size()) {
    return 0.0;  // cannot happen for a scanned number; never guess one
  }
#else
  const std::string copy(text);
  char* end = nullptr;
  errno = 0;
  value = std::strtod(copy.c_str(), &end);
  if (errno == ERANGE) {
    return OutOfRangeValue(number);
  }
  if (end != copy.c_str() + copy.size()) {
    return 0.0;  // cannot happen for a scanned number; never guess one
  }
#endif
  return value;
}

// Whether an exactly read operand lies above an inclusive limit of the full range.
bool Above(const ExactOperand& read, const WholeLimit& limit) {
  if (limit.digits > 0) {
    const auto digits = static_cast<std::int64_t>(limit.digits);
    // Past 10^digits - 1 itself only with a fraction: then its whole part is all nines.
    return read.digits > digits || (read.digits == digits && read.all_nines && !read.whole);
  }
  return !read.fits_word || read.word > limit.word || (read.word == limit.word && !read.whole);
}

// The same for the value of an expression.
bool Above(const Natural& value, const WholeLimit& limit) {
  if (limit.digits > 0) {
    return value.DecimalDigits() > limit.digits;
  }
  return !value.FitsWord() || value.Word() > limit.word;
}

// The notice of an operand that is an expression, by the checks of a number and in their order;
// its parity is told first where its value is known.
std::optional<std::string> ExpressionNotice(const ExpressionValue& read, bool even, char letter,
                                            const WholeLimit& limit) {
  using Kind = ExpressionValue::Kind;
  const bool whole = read.kind == Kind::kWhole;
  if (even && (read.kind == Kind::kNotWhole || (whole && read.magnitude.IsOdd()))) {
    return kNotEven;
  }
  const bool positive = whole && !read.negative && !read.magnitude.IsZero();
  return StandardNotice(read.kind == Kind::kTooLarge || (positive && Above(read.magnitude, limit)),
                        positive, letter);
}

// One operand's standard check in a range, with the parity check before it where the rules ask
// for one: its value when it passes, else its notice in `outcome`. In the full range the value of
// an operand past a word is put into `exact`; a text that is one number alone is read as such,
// so that the checks need only its digits.
std::optional<std::uint64_t> CheckedValue(std::string_view text, char letter, Range range,
                                          const OperandRules& rules, std::size_t index,
                                          Outcome& outcome, std::optional<Natural>& exact) {
  const bool even = index == 0 && rules.even_a;
  std::optional<std::string> notice;
  std::uint64_t value = 0;
  if (range == Range::kWindow) {
    const double read = ReadOperand(text);
    const double limit = index == 0 ? rules.window.a : index == 1 ? rules.window.b : rules.window.c;
    notice = even && !Divides(2, read) ? kNotEven : CheckOperand(read, letter, limit);
    value = notice ? 0 : static_cast<std::uint64_t>(read);
  } else if (std::optional<ExpressionValue> expression = ReadExpression(text)) {
    notice = ExpressionNotice(*expression, even, letter, FullLimitOf(rules, index));
    if (!notice && expression->magnitude.FitsWord()) {
      value = expression->magnitude.Word();
    } else if (!notice) {
      exact = std::move(expression->magnitude);
    }
  } else {
    const ExactOperand read = ReadExactOperand(text);
    notice = even && !read.even
                 ? kNotEven
                 : StandardNotice(!read.negative && Above(read, FullLimitOf(rules, index)),
                                  !read.negative && read.whole && read.digits >= 1, letter);
    value = read.word;
    if (!notice && !read.fits_word) {
      exact = ValueOf(read);
    }
  }
  if (notice) {
    outcome.notice = std::move(notice);
    outcome.operand = letter;
    return std::nullopt;
  }
  return value;
}

// Reads and checks the operands in the order A, B, C, each once the one before it has passed,
// into `values` and `exact` as CheckedValue does; returns how many passed, and leaves the notice
// of the one that failed in `outcome`.
std::size_t ReadInTurn(const OperandTexts& texts, const OperandRules& rules, Range range,
                       Outcome& outcome, std::array<std::uint64_t, 3>& values,
                       std::array<std::optional<Natural>, 3>& exact) {
  const std::string* const boxes[] = {&texts.a, &texts.b, &texts.c};
  std::size_t passed = 0;
  for (; passed < OperandCount(rules); ++passed) {
    const auto value = CheckedValue(*boxes[passed], static_cast<char>('A' + passed), range, rules,
                                    passed, outcome, exact[passed]);
    if (!value) {
      break;
    }
    values[passed] = *value;
  }
  return passed;
}

// Whether B lies further above A than the rules allow, once both have passed. Only B can make
// the interval too wide: A has already passed.
bool TooWide(const OperandRules& rules, const std::array<std::uint64_t, 3>& values,
             const std::array<std::optional<Natural>, 3>& exact) {
  if (rules.widest_interval == 0) {
    return false;
  }
  if (!exact[0] && !exact[1]) {
    return values[1] > values[0] && values[1] - values[0] > rules.widest_interval;
  }
  const Natural a = exact[0] ? *exact[0] : Natural(values[0]);
  const Natural b = exact[1] ? *exact[1] : Natural(values[1]);
  return b > a && b - a > rules.widest_interval;
}

}  // namespace

double ReadOperand(std::string_view text) {
  const NumberText number = ScanNumber(text);
  if (!number.HasDigits()) {
    return 0.0;
  }
  const double magnitude = MagnitudeOf(number);
  return number.negative ? -magnitude : magnitude;
}

std::optional<std::string> CheckOperand(double value, char letter, double limit) {
  return StandardNotice(value > limit, value >= 1 && std::floor(value) == value, letter);
}

ExactOperand ReadExactOperand(std::string_view text) {
  ExactOperand operand;
  operand.number = ScanNumber(text);
  const NumberText& number = operand.number;
  operand.negative = number.negative;
  // Whole digits alone, as operands mostly are: up to 19 of them always fit a word.
  if (!number.point && number.exponent.empty()) {
    std::string_view digits = number.whole;
    digits.remove_prefix(std::min(digits.find_first_not_of('0'), digits.size()));
    if (digits.size() <= 19) {
      operand.digits = static_cast<std::int64_t>(digits.size());
      operand.all_nines = !digits.empty();
      for (const char digit : digits) {
        operand.word = operand.word * 10 + static_cast<std::uint64_t>(digit - '0');
        operand.all_nines = operand.all_nines && digit == '9';
      }
      operand.even = operand.word % 2 == 0;
      return operand;
    }
  }
  // The digits before and after the point as one string S, whose value is S * 10^-(fraction
  // digits), moved by the exponent.
  const std::size_t size = number.whole.size() + number.fraction.size();
  const auto digit = [&number](std::size_t i) {
    const std::size_t whole = number.whole.size();
    return i < whole ? number.whole[i] - '0' : number.fraction[i - whole] - '0';
  };
  std::size_t first = 0;
  while (first < size && digit(first) == 0) {
    ++first;
  }
  if (first == size) {
    return operand;  // zero, whatever its sign and exponent
  }
  std::size_t last = size - 1;
  while (digit(last) == 0) {
    --last;
  }
  // The value is D * 10^shift, D the digits from `first` to `last`, which neither start nor end
  // with 0: so it is whole exactly when shift >= 0, and then even when shift > 0 or D is even.
  const std::int64_t shift = ExponentOf(number.exponent) -
                             static_cast<std::int64_t>(number.fraction.size()) +
                             static_cast<std::int64_t>(size - 1 - last);
  const std::int64_t significant = static_cast<std::int64_t>(last - first + 1);
  operand.first = first;
  operand.last = last;
  operand.shift = shift;
  operand.whole = shift >= 0;
  operand.even = operand.whole && (shift > 0 || digit(last) % 2 == 0);
  operand.digits = std::max<std::int64_t>(significant + shift, 0);
  // The whole part is all nines when its digits are the first ones of D and all are 9.
  operand.all_nines = operand.digits > 0 && operand.digits <= significant;
  for (std::int64_t i = 0; operand.all_nines && i < operand.digits; ++i) {
    operand.all_nines = digit(first + static_cast<std::size_t>(i)) == 9;
  }
  if (operand.digits > 20) {  // 2^64 has 20 digits
    operand.fits_word = false;
    return operand;
  }
  Uint128 whole = 0;
  for (std::int64_t i = 0; i < operand.digits; ++i) {
    const std::size_t place = first + static_cast<std::size_t>(i);
    whole = whole * 10 + static_cast<unsigned>(place <= last ? digit(place) : 0);
  }
  operand.fits_word = whole <= kLargestWhole;
  operand.word = operand.fits_word ? static_cast<std::uint64_t>(whole) : 0;
  return operand;
}

Natural ValueOf(const ExactOperand& operand) {
  if (operand.digits == 0) {
    return Natural();
  }
  if (operand.fits_word) {
    return Natural(operand.word);
  }
  // The digits of the whole part that D holds, then as many zeros as the shift adds.
  const NumberText& number = operand.number;
  const auto kept = static_cast<std::size_t>(std::min<std::int64_t>(
      operand.digits, static_cast<std::int64_t>(operand.last - operand.first + 1)));
  std::string digits;
  digits.reserve(kept);
  for (std::size_t i = operand.first; i < operand.first + kept; ++i) {
    digits += i < number.whole.size() ? number.whole[i] : number.fraction[i - number.whole.size()];
  }
  Natural value = Natural::FromDecimal(digits);
  if (const auto zeros = static_cast<std::size_t>(operand.digits) - kept; zeros > 0) {
    value *= Natural::TenToThe(static_cast<unsigned>(zeros));
  }
  return value;
}

std::string LimitText(const OperandRules& rules, std::size_t index, Range range) {
  if (range == Range::kWindow) {
    const double limit = index == 0 ? rules.window.a : index == 1 ? rules.window.b : rules.window.c;
    return std::to_string(static_cast<std::uint64_t>(limit));
  }
  const WholeLimit limit = FullLimitOf(rules, index);
  return limit.digits > 0 ? std::string(limit.digits, '9') : std::to_string(limit.word);
}

std::optional<Operands> ReadOperands(const OperandTexts& texts, const OperandRules& rules,
                                     Range range, Outcome& outcome) {
  std::array<std::uint64_t, 3> values{};
  std::array<std::optional<Natural>, 3> exact;
  if (ReadInTurn(texts, rules, range, outcome, values, exact) < OperandCount(rules)) {
    return std::nullopt;
  }
  if (TooWide(rules, values, exact)) {
    outcome.notice = kTooWide;
    outcome.operand = 'B';
    return std::nullopt;
  }
  Operands operands;
  operands.a = values[0];
  operands.b = values[1];
  operands.c = values[2];
  operands.words = !exact[0] && !exact[1] && !exact[2];
  if (!operands.words) {
    for (std::size_t i = 0; i < OperandCount(rules); ++i) {
      operands.exact.push_back(exact[i] ? std::move(*exact[i]) : Natural(values[i]));
    }
  }
  return operands;
}

std::vector<std::optional<std::string>> ValuesAsRead(const OperandTexts& texts,
                                                     const OperandRules& rules, Range range) {
  std::array<std::uint64_t, 3> values{};
  std::array<std::optional<Natural>, 3> exact;
  Outcome outcome;
  std::size_t passed = ReadInTurn(texts, rules, range, outcome, values, exact);
  if (passed == OperandCount(rules) && TooWide(rules, values, exact)) {
    passed = 1;  // B is refused
  }
  std::vector<std::optional<std::string>> shown(OperandCount(rules));
  for (std::size_t i = 0; i < passed; ++i) {
    shown[i] = exact[i] ? exact[i]->ToDecimal() : std::to_string(values[i]);
  }
  return shown;
}

Outcome Answer(const OperandTexts& texts, const OperandRules& rules, Range range, LinesWriter write,
               LineSink& lines, Work& work) {
  Outcome outcome;
  if (const std::optional<Operands> operands = ReadOperands(texts, rules, range, outcome)) {
    switch (write(*operands, range, lines, work)) {
      case Ending::kWhole:
        break;
      case Ending::kStopped:
        outcome.stopped = true;
        lines.Add(kStoppedLine);
        break;
      case Ending::kTooMany:
        outcome.notice = kTooMany;
        outcome.operand = static_cast<char>('A' + OperandCount(rules) - 1);
        break;
    }
  }
  return outcome;
}

Outcome Answer(const OperandTexts& texts, const OperandRules& rules, Range range,
               LinesWriter write) {
  std::vector<std::string> gathered;
  GatheredLines lines(gathered);
  Work work;
  Outcome outcome = Answer(texts, rules, range, write, lines, work);
  outcome.lines = std::move(gathered);
  return outcome;
}

}  // namespace brindaq
