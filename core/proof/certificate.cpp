#include "core/proof/certificate.h"

#include <cctype>
#include <cstddef>

#include "core/arithmetic/primality.h"
#include "core/proof/curve_step.h"

namespace brindaq {
namespace {

// Reads gp's text from left to right.
class Reader {
 public:
  explicit Reader(std::string_view text) : text_(text) {}

  void SkipSpace() {
    while (at_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[at_])) != 0) {
      ++at_;
    }
  }
  bool Take(char c) {
    SkipSpace();
    if (at_ < text_.size() && text_[at_] == c) {
      ++at_;
      return true;
    }
    return false;
  }
  bool Peek(char c) {
    SkipSpace();
    return at_ < text_.size() && text_[at_] == c;
  }
  bool AtEnd() {
    SkipSpace();
    return at_ == text_.size();
  }
  // A whole number, perhaps with a minus sign.
  bool Integer(Natural& value, bool& negative) {
    negative = Take('-');
    SkipSpace();
    const std::size_t begin = at_;
    while (at_ < text_.size() && std::isdigit(static_cast<unsigned char>(text_[at_])) != 0) {
      ++at_;
    }
    if (at_ == begin) {
      return false;
    }
    value = Natural::FromDecimal(text_.substr(begin, at_ - begin));
    if (value.IsZero()) {
      negative = false;
    }
    return true;
  }
  bool Nonnegative(Natural& value) {
    bool negative = false;
    return Integer(value, negative) && !negative;
  }

 private:
  std::string_view text_;
  std::size_t at_ = 0;
};

// -value modulo n when `negative`, else value modulo n.
Natural Reduced(const Natural& value, bool negative, const Natural& n) {
  Natural r = value % n;
  if (negative && !r.IsZero()) {
    r = n - r;
  }
  return r;
}

bool ReadStep(Reader& reader, CertificateStep& step) {
  bool negative = false;
  Natural value;
  if (!reader.Take('[') || !reader.Nonnegative(step.n) || !reader.Take(',') ||
      !reader.Integer(step.t, step.t_negative) || !reader.Take(',') ||
      !reader.Nonnegative(step.s) || !reader.Take(',') || !reader.Integer(value, negative) ||
      step.n.IsZero()) {
    return false;
  }
  step.a = Reduced(value, negative, step.n);
  if (!reader.Take(',') || !reader.Take('[') || !reader.Integer(value, negative)) {
    return false;
  }
  step.x = Reduced(value, negative, step.n);
  if (!reader.Take(',') || !reader.Integer(value, negative)) {
    return false;
  }
  step.y = Reduced(value, negative, step.n);
  return reader.Take(']') && reader.Take(']');
}

// The step's q = (N + 1 - t) / s; nothing when t^2 >= 4N or s does not divide N + 1 - t.
std::optional<Natural> NextNumber(const CertificateStep& step) {
  if (step.t * step.t >= Natural(4) * step.n || step.s.IsZero()) {
    return std::nullopt;
  }
  Natural m = step.n + Natural(1);
  if (step.t_negative) {
    m += step.t;
  } else {
    m -= step.t;  // below N + 1, as t^2 < 4N
  }
  if (!(m % step.s).IsZero()) {
    return std::nullopt;
  }
  return m / step.s;
}

}  // namespace

std::string CertificateText(const Certificate& certificate) {
  if (certificate.steps.empty()) {
    return certificate.number.ToDecimal();
  }
  std::string text = "[";
  for (std::size_t i = 0; i < certificate.steps.size(); ++i) {
    const CertificateStep& step = certificate.steps[i];
    text += i == 0 ? "[" : ", [";
    step.n.AppendDecimal(text);
    text += ", ";
    if (step.t_negative) {
      text += '-';
    }
    step.t.AppendDecimal(text);
    text += ", ";
    step.s.AppendDecimal(text);
    text += ", ";
    step.a.AppendDecimal(text);
    text += ", [";
    step.x.AppendDecimal(text);
    text += ", ";
    step.y.AppendDecimal(text);
    text += "]]";
  }
  text += "]";
  return text;
}

std::optional<Certificate> ParseCertificate(std::string_view text) {
  Reader reader(text);
  Certificate certificate;
  if (!reader.Peek('[')) {
    if (!reader.Nonnegative(certificate.number) || !reader.AtEnd()) {
      return std::nullopt;
    }
    return certificate;
  }
  reader.Take('[');
  do {
    CertificateStep step;
    if (!ReadStep(reader, step)) {
      return std::nullopt;
    }
    certificate.steps.push_back(std::move(step));
  } while (reader.Take(','));
  if (!reader.Take(']') || !reader.AtEnd()) {
    return std::nullopt;
  }
  certificate.number = certificate.steps.front().n;
  return certificate;
}

bool VerifyCertificate(const Certificate& certificate) {
  if (certificate.steps.empty()) {
    return certificate.number.FitsWord() && IsPrime(certificate.number.Word());
  }
  if (certificate.steps.front().n != certificate.number) {
    return false;
  }
  for (std::size_t i = 0; i < certificate.steps.size(); ++i) {
    const CertificateStep& step = certificate.steps[i];
    const Natural& n = step.n;
    // N prime to 6 and above 3: the curves' theorem needs it.
    if (n <= 3 || !n.IsOdd() || n.Modulo(3) == 0) {
      return false;
    }
    const std::optional<Natural> q = NextNumber(step);
    if (!q || !ExceedsBound(*q, n)) {
      return false;
    }
    const bool last = i + 1 == certificate.steps.size();
    if (last ? !(q->FitsWord() && IsPrime(q->Word())) : *q != certificate.steps[i + 1].n) {
      return false;
    }
    const CurvePoint point{step.a % n, step.x % n, step.y % n};
    if (CheckCurveStep(n, point, step.s, *q) != StepCheck::kHolds) {
      return false;
    }
  }
  return true;
}

}  // namespace brindaq
