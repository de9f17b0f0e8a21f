#include "core/big/big_primality.h"

#include <cstddef>
#include <cstdint>

#include "core/arithmetic/primality.h"
#include "core/arithmetic/two_words.h"
#include "core/big/big_montgomery.h"
#include "core/big/pacing.h"
#include "core/big/small_primes.h"

namespace brindaq {
namespace {

// The strong test to the base 2: n - 1 = d * 2^s with d odd; n passes when 2^d = 1 or
// 2^(d * 2^r) = -1 for some r < s. The power is raised from the top bit of d down, squaring at
// each bit and doubling (an addition) where the bit is 1.
std::optional<bool> StrongBase2(const BigMontgomery& m, Work& work) {
  const Natural& n = m.Modulus();
  const mp_bitcnt_t s = mpz_scan1(n.get(), 1);
  Natural d = n >> static_cast<unsigned>(s);
  const std::size_t bits = d.Bits();
  StepPacer pacer(work, m.Limbs());
  const std::uint64_t total = bits + s;
  const Residue& one = m.One();
  Residue minus_one = m.Zero();
  m.Subtract(minus_one, minus_one, one);
  Residue x = one;
  m.Add(x, x, x);  // the top bit of d
  for (std::size_t i = bits - 1; i-- > 0;) {
    m.Square(x, x);
    if (mpz_tstbit(d.get(), i) != 0) {
      m.Add(x, x, x);
    }
    if (pacer.Stopped({"BPSW", "step", bits - i, total})) {
      return std::nullopt;
    }
  }
  if (x == one || x == minus_one) {
    return true;
  }
  for (mp_bitcnt_t r = 1; r < s; ++r) {
    m.Square(x, x);
    if (x == minus_one) {
      return true;
    }
    if (x == one || pacer.Stopped({"BPSW", "step", bits + r, total})) {
      return x == one ? std::optional<bool>(false) : std::nullopt;
    }
  }
  return false;
}

// The extra strong Lucas test with parameters P and Q = 1, D = P^2 - 4, (D / n) = -1: n + 1 =
// d * 2^s with d odd; n passes when U_d = 0 and V_d = +-2, or V_(d * 2^r) = 0 for some r < s - 1.
// V_k and V_(k+1) go up the bits of d together: V_2k = V_k^2 - 2, V_(2k+1) = V_k V_(k+1) - P.
// Where gcd(n, 2D) = 1, U_d = 0 exactly when 2 V_(d+1) = P V_d.
std::optional<bool> ExtraStrongLucas(const BigMontgomery& m, std::uint32_t p, Work& work) {
  const Natural& n = m.Modulus();
  const Natural n_plus_one = n + Natural(1);
  const mp_bitcnt_t s = mpz_scan1(n_plus_one.get(), 0);
  const Natural d = n_plus_one >> static_cast<unsigned>(s);
  const std::size_t bits = d.Bits();
  StepPacer pacer(work, m.Limbs());
  const std::uint64_t total = bits + s;
  const Residue two = m.Of(Natural(2));
  const Residue big_p = m.Of(Natural(p));
  Residue v = two;       // V_k, k = 0
  Residue next = big_p;  // V_(k+1)
  for (std::size_t i = bits; i-- > 0;) {
    if (mpz_tstbit(d.get(), i) != 0) {
      m.Multiply(v, v, next);
      m.Subtract(v, v, big_p);
      m.Square(next, next);
      m.Subtract(next, next, two);
    } else {
      m.Multiply(next, v, next);
      m.Subtract(next, next, big_p);
      m.Square(v, v);
      m.Subtract(v, v, two);
    }
    if (pacer.Stopped({"BPSW", "step", bits - i, total})) {
      return std::nullopt;
    }
  }
  Residue minus_two = m.Zero();
  m.Subtract(minus_two, minus_two, two);
  if (v == two || v == minus_two) {
    Residue twice_next = next;
    m.Add(twice_next, next, next);
    Residue p_v = v;
    m.Multiply(p_v, v, big_p);
    if (twice_next == p_v) {
      return true;
    }
  }
  for (mp_bitcnt_t r = 0; r + 1 < s; ++r) {
    if (m.IsZero(v)) {
      return true;
    }
    m.Square(v, v);
    m.Subtract(v, v, two);
    if (pacer.Stopped({"BPSW", "step", bits + r, total})) {
      return std::nullopt;
    }
  }
  return false;
}

// The Jacobi symbol (a / n) for a word a and an odd n.
int Jacobi(std::uint32_t a, const Natural& n) {
  Natural big_a(a);
  return mpz_jacobi(big_a.get(), n.get());
}

}  // namespace

std::optional<bool> IsStrongProbablePrimeToBase2(const Natural& n, Work& work) {
  if (n.FitsTwoWords()) {
    return IsStrongProbablePrimeToBase2(Montgomery128(n.TwoWords()));
  }
  return StrongBase2(BigMontgomery(n), work);
}

std::optional<bool> PassesBailliePsw(const Natural& n, Work& work) {
  if (n.FitsTwoWords()) {
    return PassesBailliePsw(Montgomery128(n.TwoWords()));
  }
  const BigMontgomery m(n);
  const std::optional<bool> base2 = StrongBase2(m, work);
  if (base2 != true) {
    return base2;
  }
  // The first P with ((P^2 - 4) / n) = -1. No square has one: after a few tries, n is tested for
  // being one, which would otherwise make the search endless.
  std::uint32_t p = 3;
  for (;; ++p) {
    const int symbol = Jacobi(p * p - 4, n);
    if (symbol == -1) {
      break;
    }
    if (symbol == 0) {
      return false;  // n > 2^64 shares a factor with P^2 - 4 < 2^32
    }
    if (p == 20 && IsSquare(n)) {
      return false;
    }
  }
  return ExtraStrongLucas(m, p, work);
}

std::optional<bool> IsProbablePrime(const Natural& n, Work& work) {
  if (n.FitsWord()) {
    return IsPrime(n.Word());
  }
  if (!n.IsOdd() || SmallOddPrimeFactor(n) != 0) {
    return false;
  }
  return PassesBailliePsw(n, work);
}

}  // namespace brindaq
