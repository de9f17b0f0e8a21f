#include "core/big/natural.h"

#include <climits>
#include <cstdint>
#include <cstring>
#include <ostream>
#include <utility>

namespace brindaq {

void Set(mpz_ptr z, std::uint64_t n) {
  if (n <= ULONG_MAX) {
    mpz_set_ui(z, static_cast<unsigned long>(n));
    return;
  }
  // Only where `unsigned long` has 32 bits: the two halves.
  mpz_set_ui(z, static_cast<unsigned long>(n >> 32));
  mpz_mul_2exp(z, z, 32);
  mpz_add_ui(z, z, static_cast<unsigned long>(n & 0xFFFFFFFF));
}

Natural::Natural(std::uint64_t n) {
  mpz_init(value_);
  Set(value_, n);
}

Natural Natural::FromWide(Uint128 n) {
  Natural result(static_cast<std::uint64_t>(n >> 64));
  mpz_mul_2exp(result.value_, result.value_, 64);
  result += Natural(static_cast<std::uint64_t>(n));
  return result;
}

Natural Natural::FromDecimal(std::string_view digits) {
  Natural result;
  if (!digits.empty()) {
    const std::string text(digits);  // mpz_set_str reads up to a terminating zero
    if (mpz_set_str(result.value_, text.c_str(), 10) != 0) {
      mpz_set_ui(result.value_, 0);
    }
  }
  return result;
}

Natural Natural::TenToThe(unsigned n) {
  Natural result;
  mpz_ui_pow_ui(result.value_, 10, n);
  return result;
}

Natural Natural::TwoToThe(unsigned n) {
  Natural result;
  mpz_setbit(result.value_, n);
  return result;
}

std::string Natural::ToDecimal() const {
  std::string text;
  AppendDecimal(text);
  return text;
}

void Natural::AppendDecimal(std::string& text) const {
  // mpz_sizeinbase is exact or one too many; the string is cut to what mpz_get_str wrote.
  const std::size_t start = text.size();
  text.resize(start + mpz_sizeinbase(value_, 10) + 1);
  mpz_get_str(text.data() + start, 10, value_);
  text.resize(start + std::strlen(text.c_str() + start));
}

std::uint64_t Natural::Word() const {
  if constexpr (GMP_NUMB_BITS >= 64) {
    return mpz_getlimbn(value_, 0);
  } else {
    return std::uint64_t{mpz_getlimbn(value_, 1)} << 32 | mpz_getlimbn(value_, 0);
  }
}

Uint128 Natural::TwoWords() const {
  const Natural high = *this >> 64;
  Natural low = *this;
  mpz_tdiv_r_2exp(low.value_, low.value_, 64);
  return Uint128{high.Word()} << 64 | low.Word();
}

std::size_t Natural::DecimalDigits() const {
  const std::size_t estimate = mpz_sizeinbase(value_, 10);
  if (estimate <= 1) {
    return 1;
  }
  // The estimate is exact or one too many: it is exact when n >= 10^(estimate - 1).
  return *this >= TenToThe(static_cast<unsigned>(estimate - 1)) ? estimate : estimate - 1;
}

std::uint32_t Natural::Modulo(std::uint32_t m) const {
  return static_cast<std::uint32_t>(mpz_fdiv_ui(value_, m));
}

Natural& Natural::operator+=(const Natural& b) {
  mpz_add(value_, value_, b.value_);
  return *this;
}

Natural& Natural::operator-=(const Natural& b) {
  mpz_sub(value_, value_, b.value_);
  return *this;
}

Natural& Natural::operator*=(const Natural& b) {
  mpz_mul(value_, value_, b.value_);
  return *this;
}

Natural& Natural::operator/=(const Natural& b) {
  mpz_fdiv_q(value_, value_, b.value_);
  return *this;
}

Natural& Natural::operator%=(const Natural& b) {
  mpz_fdiv_r(value_, value_, b.value_);
  return *this;
}

Natural& Natural::operator<<=(unsigned bits) {
  mpz_mul_2exp(value_, value_, bits);
  return *this;
}

Natural& Natural::operator>>=(unsigned bits) {
  mpz_fdiv_q_2exp(value_, value_, bits);
  return *this;
}

int Natural::Compare(const Natural& a, std::uint64_t b) {
  if (b <= ULONG_MAX) {
    return mpz_cmp_ui(a.value_, static_cast<unsigned long>(b));
  }
  return mpz_cmp(a.value_, Natural(b).value_);
}

std::ostream& operator<<(std::ostream& out, const Natural& n) {
  return out << n.ToDecimal();
}

Natural SquareRootFloor(const Natural& n) {
  Natural root;
  mpz_sqrt(root.raw(), n.get());
  return root;
}

bool IsSquare(const Natural& n) {
  return mpz_perfect_square_p(n.get()) != 0;
}

Natural Gcd(const Natural& a, const Natural& b) {
  Natural d;
  mpz_gcd(d.raw(), a.get(), b.get());
  return d;
}

namespace {

// x * a + y * b for cofactors that fit a `long`, of either sign, into `out`.
void Combine(mpz_ptr out, long x, mpz_srcptr a, long y, mpz_srcptr b) {
  mpz_mul_si(out, a, x);
  if (y >= 0) {
    mpz_addmul_ui(out, b, static_cast<unsigned long>(y));
  } else {
    mpz_submul_ui(out, b, static_cast<unsigned long>(-y));
  }
}

}  // namespace

Natural FirstRemainderAtMost(Natural a, Natural b, const Natural& limit) {
  // Lehmer's method (Knuth, 4.5.2, algorithm L): the quotients are found from the leading bits of
  // a and b while both bounds on each agree, and a round of some thirty of them (half as many
  // where `long` has 32 bits) costs four products of a word and a number. Most remainders are
  // thus never made. The round that would pass `limit` is not taken: plain steps end the sequence.
  constexpr int kTopBits = sizeof(long) * CHAR_BIT - 2;
  Natural top;
  Natural next_a;
  Natural next_b;
  while (b > limit && b.Bits() > static_cast<std::size_t>(kTopBits)) {
    const std::size_t shift = a.Bits() - kTopBits;
    mpz_tdiv_q_2exp(top.raw(), a.get(), shift);
    auto x = static_cast<std::int64_t>(mpz_get_ui(top.get()));
    mpz_tdiv_q_2exp(top.raw(), b.get(), shift);
    auto y = static_cast<std::int64_t>(mpz_get_ui(top.get()));
    // (x, y) stands for (A a + B b, C a + D b), on the leading bits.
    std::int64_t m_a = 1;
    std::int64_t m_b = 0;
    std::int64_t m_c = 0;
    std::int64_t m_d = 1;
    while (y + m_c != 0 && y + m_d != 0) {
      const std::int64_t q = (x + m_a) / (y + m_c);
      if (q != (x + m_b) / (y + m_d)) {
        break;
      }
      m_a = std::exchange(m_c, m_a - q * m_c);
      m_b = std::exchange(m_d, m_b - q * m_d);
      x = std::exchange(y, x - q * y);
    }
    if (m_b == 0) {
      // Not even one quotient: a step of its own, by a division.
      mpz_tdiv_r(a.raw(), a.get(), b.get());
      mpz_swap(a.raw(), b.raw());
      continue;
    }
    Combine(next_b.raw(), static_cast<long>(m_c), a.get(), static_cast<long>(m_d), b.get());
    if (next_b <= limit) {
      break;
    }
    Combine(next_a.raw(), static_cast<long>(m_a), a.get(), static_cast<long>(m_b), b.get());
    mpz_swap(a.raw(), next_a.raw());
    mpz_swap(b.raw(), next_b.raw());
  }
  while (b > limit) {
    mpz_tdiv_r(a.raw(), a.get(), b.get());
    mpz_swap(a.raw(), b.raw());
  }
  return b;
}

Natural PowerModulo(const Natural& base, const Natural& exponent, const Natural& m) {
  Natural result;
  mpz_powm(result.raw(), base.get(), exponent.get(), m.get());
  return result;
}

Natural Power(const Natural& base, unsigned exponent) {
  Natural result;
  mpz_pow_ui(result.raw(), base.get(), exponent);
  return result;
}

}  // namespace brindaq
