// Reading an operand text of the full range as an integer expression: a recursive descent over the
// grammar of expression.h that computes as it reads. Each step first bounds the size of its result
// from the sizes of its operands, and refuses it as too large where that bound passes the largest
// value on the way; only a step whose result is known to be small is computed.

#include "core/frame/expression.h"

#include <gmp.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <numbers>
#include <optional>
#include <utility>

#include "core/frame/number_text.h"
#include "core/frame/operands.h"

namespace brindaq {
namespace {

using Kind = ExpressionValue::Kind;
using Step = ExpressionValue;

// The first value too large, 10^kLongestStep, and its size in bits as a real number.
const Natural& FirstTooLarge() {
  static const Natural first = Natural::TenToThe(kLongestStep);
  return first;
}
constexpr double kFirstTooLargeBits = kLongestStep * 3.3219280948873623;  // log2(10)

// Whether a result of at least 2^`bits` is too large. The estimates that it is given are exact
// to far less than the bit of margin, so a result it lets through has at most two bits more than
// the largest value, and is computed at once.
bool SurelyTooLarge(double bits) {
  return bits > kFirstTooLargeBits + 1;
}

Step Failed(Kind kind) {
  Step step;
  step.kind = kind;
  return step;
}

// A computed value, refused when it is too large after all.
Step Value(Natural magnitude, bool negative) {
  if (magnitude >= FirstTooLarge()) {
    return Failed(Kind::kTooLarge);
  }
  Step step;
  step.negative = negative && !magnitude.IsZero();
  step.magnitude = std::move(magnitude);
  return step;
}

// The first step that failed, where one did: the left operand's before the right one's.
const Step* FirstFailed(const Step& a, const Step& b) {
  return a.kind != Kind::kWhole ? &a : b.kind != Kind::kWhole ? &b : nullptr;
}

double Log2(const Natural& n) {
  long exponent = 0;  // n = mantissa * 2^exponent, the mantissa in [0.5, 1)
  const double mantissa = mpz_get_d_2exp(&exponent, n.get());
  return static_cast<double>(exponent) + std::log2(mantissa);
}

Step Sum(Step a, Step b, bool subtract) {
  if (const Step* failed = FirstFailed(a, b)) {
    return std::move(*failed);
  }
  const bool b_negative = b.negative != subtract;
  if (a.negative == b_negative) {
    a.magnitude += b.magnitude;
    return Value(std::move(a.magnitude), a.negative);
  }
  if (a.magnitude >= b.magnitude) {
    a.magnitude -= b.magnitude;
    return Value(std::move(a.magnitude), a.negative);
  }
  b.magnitude -= a.magnitude;
  return Value(std::move(b.magnitude), b_negative);
}

Step Product(Step a, Step b) {
  if (const Step* failed = FirstFailed(a, b)) {
    return std::move(*failed);
  }
  if (a.magnitude.IsZero() || b.magnitude.IsZero()) {
    return Step{};
  }
  // |ab| >= 2^(bits(a) - 1) * 2^(bits(b) - 1).
  if (SurelyTooLarge(static_cast<double>(a.magnitude.Bits() + b.magnitude.Bits() - 2))) {
    return Failed(Kind::kTooLarge);
  }
  a.magnitude *= b.magnitude;
  return Value(std::move(a.magnitude), a.negative != b.negative);
}

// Exact division only: a quotient that is not whole, or by 0, is not a whole number.
Step Quotient(Step a, Step b) {
  if (const Step* failed = FirstFailed(a, b)) {
    return std::move(*failed);
  }
  if (b.magnitude.IsZero() || mpz_divisible_p(a.magnitude.get(), b.magnitude.get()) == 0) {
    return Failed(Kind::kNotWhole);
  }
  mpz_divexact(a.magnitude.raw(), a.magnitude.get(), b.magnitude.get());
  return Value(std::move(a.magnitude), a.negative != b.negative);
}

Step Raised(Step base, Step exponent) {
  if (const Step* failed = FirstFailed(base, exponent)) {
    return std::move(*failed);
  }
  const bool odd = exponent.magnitude.IsOdd();
  if (base.magnitude == 1) {
    return Value(Natural(1), base.negative && odd);
  }
  if (exponent.negative) {
    return Failed(Kind::kNotWhole);  // 1/base^e: no whole number, nor for 0
  }
  if (exponent.magnitude.IsZero() || base.magnitude.IsZero()) {
    return Value(exponent.magnitude.IsZero() ? Natural(1) : Natural(), false);  // 0^0 = 1
  }
  // |base| >= 2, so |base|^e >= 2^e: a large exponent is too large before its size is estimated.
  if (!exponent.magnitude.FitsWord() ||
      SurelyTooLarge(static_cast<double>(exponent.magnitude.Word())) ||
      SurelyTooLarge(static_cast<double>(exponent.magnitude.Word()) * Log2(base.magnitude))) {
    return Failed(Kind::kTooLarge);
  }
  Natural power;
  mpz_pow_ui(power.raw(), base.magnitude.get(),
             static_cast<unsigned long>(exponent.magnitude.Word()));
  return Value(std::move(power), base.negative && odd);
}

// n! and n# are told too large from n alone past this; far past any that fits.
constexpr std::uint64_t kLargestArgument = 10000000;

// What n! and n# are when n cannot be their argument: n itself when it already failed, else the
// failure; nothing for a whole n from 0 to kLargestArgument.
std::optional<Step> RefusedArgument(Step& n) {
  if (n.kind != Kind::kWhole) {
    return std::move(n);
  }
  if (n.negative) {
    return Failed(Kind::kNotWhole);
  }
  if (!n.magnitude.FitsWord() || n.magnitude.Word() > kLargestArgument) {
    return Failed(Kind::kTooLarge);
  }
  return std::nullopt;
}

Step Factorial(Step n) {
  if (std::optional<Step> refused = RefusedArgument(n)) {
    return std::move(*refused);
  }
  const auto k = static_cast<double>(n.magnitude.Word());
  // Stirling's series without its last, positive terms: ln n! > n ln n - n + ln(2 pi n) / 2.
  if (k >= 2 && SurelyTooLarge((k * std::log(k) - k + std::log(2 * std::numbers::pi * k) / 2) /
                               std::numbers::ln2)) {
    return Failed(Kind::kTooLarge);
  }
  Natural factorial;
  mpz_fac_ui(factorial.raw(), static_cast<unsigned long>(n.magnitude.Word()));
  return Value(std::move(factorial), false);
}

// n#, the product of the primes up to n.
Step Primorial(Step n) {
  if (std::optional<Step> refused = RefusedArgument(n)) {
    return std::move(*refused);
  }
  const auto k = static_cast<double>(n.magnitude.Word());
  // The logarithm of n# is theta(n) > n (1 - 1 / ln n) for n >= 41 (Rosser and Schoenfeld, 1962).
  if (k >= 41 && SurelyTooLarge(k * (1 - 1 / std::log(k)) / std::numbers::ln2)) {
    return Failed(Kind::kTooLarge);
  }
  Natural primorial;
  mpz_primorial_ui(primorial.raw(), static_cast<unsigned long>(n.magnitude.Word()));
  return Value(std::move(primorial), false);
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

constexpr std::string_view kTimes = "\xC3\x97";      // U+00D7
constexpr std::string_view kMiddleDot = "\xC2\xB7";  // U+00B7

// Whether the text after a number starts with a token that may continue an expression.
bool MayContinue(std::string_view rest) {
  return (!rest.empty() &&
          std::string_view("+-*/^!#").find(rest.front()) != std::string_view::npos) ||
         rest.starts_with(kTimes) || rest.starts_with(kMiddleDot);
}

// Reads the grammar of expression.h from the start of a text. Each function reads the longest
// complete instance of its rule at the position, and leaves the position after it; where there is
// none, it leaves the position where it was and returns nothing. An operator not followed by a
// complete operand so ends the expression before it.
class Reader {
 public:
  explicit Reader(std::string_view text) : text_(text) {}

  std::size_t Position() const { return pos_; }

  std::optional<Step> Expression(int depth) {
    std::optional<Step> value = Term(depth);
    while (value) {
      const std::size_t mark = pos_;
      const bool subtract = Take("-");
      if (!subtract && !Take("+")) {
        break;
      }
      std::optional<Step> right = Term(depth);
      if (!right) {
        pos_ = mark;
        break;
      }
      value = Sum(std::move(*value), std::move(*right), subtract);
    }
    return value;
  }

 private:
  std::optional<Step> Term(int depth) {
    std::optional<Step> value = Signed(depth);
    while (value) {
      const std::size_t mark = pos_;
      const bool divide = Take("/");
      if (!divide && !Take("*") && !Take(kTimes) && !Take(kMiddleDot)) {
        break;
      }
      std::optional<Step> right = Signed(depth);
      if (!right) {
        pos_ = mark;
        break;
      }
      value = divide ? Quotient(std::move(*value), std::move(*right))
                     : Product(std::move(*value), std::move(*right));
    }
    return value;
  }

  std::optional<Step> Signed(int depth) {
    const std::size_t mark = pos_;
    const bool minus = Take("-");
    if (!minus) {
      Take("+");
    }
    std::optional<Step> value = Power(depth);
    if (!value) {
      pos_ = mark;
    } else if (minus && value->kind == Kind::kWhole && !value->magnitude.IsZero()) {
      value->negative = !value->negative;
    }
    return value;
  }

  std::optional<Step> Power(int depth) {
    std::optional<Step> base = Postfix(depth);
    if (!base || depth >= kDeepestNesting) {
      return base;
    }
    const std::size_t mark = pos_;
    if (!Take("^")) {
      return base;
    }
    std::optional<Step> exponent = Signed(depth + 1);
    if (!exponent) {
      pos_ = mark;
      return base;
    }
    return Raised(std::move(*base), std::move(*exponent));
  }

  std::optional<Step> Postfix(int depth) {
    std::optional<Step> value = Primary(depth);
    while (value) {
      if (Take("!")) {
        value = Factorial(std::move(*value));
      } else if (Take("#")) {
        value = Primorial(std::move(*value));
      } else {
        break;
      }
    }
    return value;
  }

  std::optional<Step> Primary(int depth) {
    const std::size_t mark = pos_;
    if (depth < kDeepestNesting && Take("(")) {
      std::optional<Step> value = Expression(depth + 1);
      if (value && Take(")")) {
        return value;
      }
      pos_ = mark;
      return std::nullopt;
    }
    SkipBlanks();
    if (pos_ < text_.size() && (IsDigit(text_[pos_]) || text_[pos_] == '.')) {
      // The number starts here, so the scanner takes neither a blank nor a sign before it.
      const ExactOperand number = ReadExactOperand(text_.substr(pos_));
      if (number.number.HasDigits()) {
        const std::string_view digits = number.number.number;
        pos_ = static_cast<std::size_t>(digits.data() + digits.size() - text_.data());
        if (!number.whole) {
          return Failed(Kind::kNotWhole);
        }
        if (number.digits > static_cast<std::int64_t>(kLongestStep)) {
          return Failed(Kind::kTooLarge);  // "1E1000000000", never made
        }
        return Value(ValueOf(number), false);
      }
    }
    pos_ = mark;
    return std::nullopt;
  }

  void SkipBlanks() {
    while (pos_ < text_.size() && IsBlank(text_[pos_])) {
      ++pos_;
    }
  }

  // Takes `token` after any blanks where the text goes on with it; otherwise takes nothing.
  bool Take(std::string_view token) {
    std::size_t at = pos_;
    while (at < text_.size() && IsBlank(text_[at])) {
      ++at;
    }
    if (!text_.substr(at).starts_with(token)) {
      return false;
    }
    pos_ = at + token.size();
    return true;
  }

  std::string_view text_;
  std::size_t pos_ = 0;
};

}  // namespace

std::optional<ExpressionValue> ReadExpression(std::string_view text) {
  // Mostly the text is one number, with nothing after it that could continue it: no need to read
  // it twice.
  const NumberText number = ScanNumber(text);
  std::size_t number_end = 0;
  if (number.HasDigits()) {
    number_end =
        static_cast<std::size_t>(number.number.data() + number.number.size() - text.data());
    std::size_t next = number_end;
    while (next < text.size() && IsBlank(text[next])) {
      ++next;
    }
    if (!MayContinue(text.substr(next))) {
      return std::nullopt;
    }
  }
  Reader reader(text);
  std::optional<Step> value = reader.Expression(0);
  if (!value || (number.HasDigits() && reader.Position() == number_end)) {
    return std::nullopt;
  }
  return value;
}

}  // namespace brindaq
