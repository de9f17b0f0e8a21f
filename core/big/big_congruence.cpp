#include "core/big/big_congruence.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <utility>

#include "core/big/big_montgomery.h"
#include "core/big/pacing.h"

namespace brindaq {
namespace {

// x modulo m, and the product modulo m.
Natural Mod(Natural x, const Natural& m) {
  mpz_mod(x.raw(), x.get(), m.get());
  return x;
}

Natural MultiplyModulo(const Natural& x, const Natural& y, const Natural& m) {
  return Mod(x * y, m);
}

// The exponent of p in x > 0, and x with p divided out.
int Valuation(Natural& x, const Natural& p) {
  return static_cast<int>(mpz_remove(x.raw(), x.get(), p.get()));
}

// The square roots of a unit u modulo p^j, j >= 1: two or none for an odd p; modulo 2^j one for
// j = 1, two for j = 2 and u = 1 (mod 4), four for j >= 3 and u = 1 (mod 8), otherwise none.
// Nothing when the work was stopped.
std::optional<std::vector<Natural>> UnitSquareRoots(const Natural& u, const Natural& p, int j,
                                                    Work& work) {
  const Natural modulus = Power(p, static_cast<unsigned>(j));
  std::vector<Natural> roots;
  if (p == 2) {
    const std::uint32_t low = u.Modulo(8);
    if (j == 1) {
      roots.emplace_back(1);
    } else if (j == 2) {
      if (low % 4 == 1) {
        roots = {Natural(1), Natural(3)};
      }
    } else if (low == 1) {
      // r^2 = u modulo 2^precision, from r = 1 modulo 8: r - (r^2 - u) / 2r is right modulo
      // 2^(2 precision - 2).
      Natural r(1);
      for (unsigned precision = 3; precision < static_cast<unsigned>(j);) {
        precision = std::min(2 * precision - 2, static_cast<unsigned>(j));
        const Natural m = Natural::TwoToThe(precision);
        Natural step = r * r;
        mpz_sub(step.raw(), step.get(), u.get());
        mpz_fdiv_q_2exp(step.raw(), step.get(), 1);  // exact: r^2 - u is even
        Natural inverse;
        mpz_invert(inverse.raw(), r.get(), m.get());
        mpz_mul(step.raw(), step.get(), inverse.get());
        mpz_sub(r.raw(), r.get(), step.get());
        r = Mod(std::move(r), m);
      }
      const Natural half = Natural::TwoToThe(static_cast<unsigned>(j - 1));
      const Natural other = Mod(r + half, modulus);
      roots = {r, modulus - r, other, modulus - other};
    }
    return roots;
  }
  std::optional<Natural> root = SquareRootModuloPrime(u, p, work);
  if (!root) {
    return work.Stopped() ? std::nullopt : std::optional<std::vector<Natural>>(roots);
  }
  // Newton's iteration r - (r^2 - u) / 2r doubles the exponent of p to which r is right.
  Natural r = std::move(*root);
  for (unsigned precision = 1; precision < static_cast<unsigned>(j);) {
    precision = std::min(2 * precision, static_cast<unsigned>(j));
    const Natural m = Power(p, precision);
    Natural step = r * r;
    mpz_sub(step.raw(), step.get(), u.get());
    Natural inverse = Natural(2) * r;
    mpz_invert(inverse.raw(), inverse.get(), m.get());
    mpz_mul(step.raw(), step.get(), inverse.get());
    mpz_sub(r.raw(), r.get(), step.get());
    r = Mod(std::move(r), m);
  }
  roots.push_back(r);
  if (!r.IsZero()) {
    roots.push_back(modulus - r);
  }
  std::sort(roots.begin(), roots.end());
  return roots;
}

// The exponents in A X^2 = B (mod p^k): A and B reduced, the power of p in A taken out of both
// (a solution modulo p^(k - a) stands for p^a of them modulo p^k), and B divided by the unit
// that is left of A: X^2 = c (mod p^m).
struct Reduced {
  bool solvable;
  bool all;   // A = B = 0 modulo p^k: every X
  int lift;   // a: each solution modulo p^m stands for p^a
  int m;      // the exponent left
  Natural c;  // B / A modulo p^m
};

Reduced Reduce(const Natural& a_in, const Natural& b_in, const Natural& p, int k) {
  const Natural q = Power(p, static_cast<unsigned>(k));
  Natural a = Mod(a_in, q);
  Natural b = Mod(b_in, q);
  if (a.IsZero()) {
    return {b.IsZero(), b.IsZero(), 0, 0, Natural()};
  }
  const int lift = Valuation(a, p);  // a is now the unit
  if (lift > 0) {
    const Natural power = Power(p, static_cast<unsigned>(lift));
    if (!b.IsZero() && !(b % power).IsZero()) {
      return {false, false, 0, 0, Natural()};
    }
    b /= power;
  }
  const int m = k - lift;
  const Natural modulus = Power(p, static_cast<unsigned>(m));
  Natural inverse;
  mpz_invert(inverse.raw(), a.get(), modulus.get());
  return {true, false, lift, m, MultiplyModulo(Mod(b, modulus), inverse, modulus)};
}

// The number of X modulo p^k with A X^2 = B.
Natural CountModuloPrimePower(const Natural& a, const Natural& b, const Natural& p, int k) {
  const Reduced r = Reduce(a, b, p, k);
  if (!r.solvable) {
    return Natural(0);
  }
  if (r.all) {
    return Power(p, static_cast<unsigned>(k));
  }
  const Natural lift = Power(p, static_cast<unsigned>(r.lift));
  if (r.c.IsZero()) {  // X^2 = 0 modulo p^m: the multiples of p^ceil(m/2)
    return lift * Power(p, static_cast<unsigned>(r.m / 2));
  }
  Natural u = r.c;
  const int e = Valuation(u, p);
  if (e % 2 == 1) {
    return Natural(0);
  }
  const int j = r.m - e;
  std::uint64_t units = 0;
  if (p == 2) {
    const std::uint32_t low = u.Modulo(8);
    units = j == 1 ? 1 : j == 2 ? (low % 4 == 1 ? 2 : 0) : (low == 1 ? 4 : 0);
  } else {
    units = mpz_jacobi(u.get(), p.get()) == 1 ? 2 : 0;
  }
  return lift * Power(p, static_cast<unsigned>(e / 2)) * Natural(units);
}

// Every X modulo p^k with A X^2 = B, ascending; nothing when the work was stopped.
std::optional<std::vector<Natural>> SolveModuloPrimePower(const Natural& a, const Natural& b,
                                                          const Natural& p, int k, Work& work) {
  const Reduced r = Reduce(a, b, p, k);
  std::vector<Natural> roots;  // modulo p^m, before the lift
  Natural step;                // roots + t step, t = 0, 1, ... below `count`, modulo p^k
  Natural count;
  if (!r.solvable) {
    return roots;
  }
  if (r.all) {
    roots.emplace_back(0);
    step = Natural(1);
    count = Power(p, static_cast<unsigned>(k));
  } else if (r.c.IsZero()) {
    roots.emplace_back(0);
    step = Power(p, static_cast<unsigned>((r.m + 1) / 2));
    count = Power(p, static_cast<unsigned>(r.m / 2 + r.lift));
  } else {
    Natural u = r.c;
    const int e = Valuation(u, p);
    if (e % 2 == 1) {
      return roots;
    }
    // X = p^(e/2) y, y^2 = u modulo p^(m - e); y is known modulo p^(m - e/2).
    std::optional<std::vector<Natural>> units = UnitSquareRoots(u, p, r.m - e, work);
    if (!units) {
      return std::nullopt;
    }
    const Natural scale = Power(p, static_cast<unsigned>(e / 2));
    for (const Natural& y : *units) {
      roots.push_back(y * scale);
    }
    step = Power(p, static_cast<unsigned>(r.m - e / 2));
    count = Power(p, static_cast<unsigned>(e / 2 + r.lift));
  }
  const Natural modulus = Power(p, static_cast<unsigned>(k));
  std::vector<Natural> all;
  ClockPacer pacer(work);
  const std::uint64_t total = count.FitsWord() ? count.Word() : 0;
  for (std::uint64_t t = 0; Natural(t) < count; ++t) {
    if (pacer.Stopped({"lifting", "solution", all.size(), total * roots.size()})) {
      return std::nullopt;
    }
    const Natural offset = step * Natural(t);
    for (const Natural& root : roots) {
      all.push_back(Mod(root + offset, modulus));
    }
  }
  std::sort(all.begin(), all.end());
  return all;
}

}  // namespace

std::optional<Natural> PowerModulo(const Natural& base, const Natural& exponent, const Natural& m,
                                   Work& work) {
  if (m == 1) {
    return Natural(0);
  }
  if (!m.IsOdd()) {
    return brindaq::PowerModulo(base, exponent, m);
  }
  // Windows of 4 bits from the top: four squarings and one product by base^window each.
  const BigMontgomery form(m);
  std::array<Residue, 16> powers;
  powers[0] = form.One();
  powers[1] = form.Of(base);
  for (std::size_t i = 2; i < powers.size(); ++i) {
    powers[i] = form.Zero();
    form.Multiply(powers[i], powers[i - 1], powers[1]);
  }
  StepPacer pacer(work, form.Limbs(), 20000);
  const std::size_t bits = exponent.Bits();
  Residue x = form.One();
  for (std::size_t top = (bits + 3) / 4 * 4; top > 0; top -= 4) {
    std::size_t window = 0;
    for (std::size_t bit = top; bit-- > top - 4;) {
      form.Square(x, x);
      window = 2 * window + (mpz_tstbit(exponent.get(), bit) != 0 ? 1 : 0);
    }
    form.Multiply(x, x, powers[window]);
    if (pacer.Stopped({"power", "bit", bits - (top - 4), bits})) {
      return std::nullopt;
    }
  }
  return form.ValueOf(x);
}

std::optional<Natural> SquareRootModuloPrime(const Natural& a_in, const Natural& p, Work& work) {
  const Natural a = Mod(a_in, p);
  if (a.IsZero() || p == 2) {
    return a;
  }
  if (mpz_jacobi(a.get(), p.get()) != 1) {
    return std::nullopt;
  }
  // p - 1 = q 2^s with q odd.
  const Natural p_minus_one = p - Natural(1);
  const auto s = static_cast<unsigned>(mpz_scan1(p_minus_one.get(), 0));
  if (s == 1) {  // p = 3 (mod 4): a^((p + 1) / 4)
    return PowerModulo(a, (p + Natural(1)) >> 2, p, work);
  }
  const Natural q = p_minus_one >> s;
  Natural z(2);
  while (mpz_jacobi(z.get(), p.get()) != -1) {
    z += Natural(1);
  }
  // Invariants: r^2 = a t, c has order 2^m, t has order dividing 2^(m - 1).
  std::optional<Natural> c = PowerModulo(z, q, p, work);
  std::optional<Natural> t = PowerModulo(a, q, p, work);
  std::optional<Natural> r = PowerModulo(a, (q + Natural(1)) >> 1, p, work);
  if (!c || !t || !r) {
    return std::nullopt;
  }
  ClockPacer pacer(work);
  for (unsigned m = s; *t != 1;) {
    // The least i with t^(2^i) = 1.
    unsigned i = 0;
    for (Natural power = *t; power != 1; power = MultiplyModulo(power, power, p)) {
      ++i;
      if (pacer.Stopped({"square root", "step", i, m})) {
        return std::nullopt;
      }
    }
    Natural b = *c;
    for (unsigned k = 0; k + i + 1 < m; ++k) {
      b = MultiplyModulo(b, b, p);
    }
    m = i;
    c = MultiplyModulo(b, b, p);
    t = MultiplyModulo(*t, *c, p);
    r = MultiplyModulo(*r, b, p);
  }
  return r;
}

Natural CountQuadraticSolutions(const Natural& a, const Natural& b, const Natural& c,
                                const std::vector<BigPrimePower>& factors_of_c) {
  (void)c;
  Natural count(1);
  for (const BigPrimePower& power : factors_of_c) {
    count *= CountModuloPrimePower(a, b, power.prime, power.exponent);
    if (count.IsZero()) {
      break;
    }
  }
  return count;
}

std::optional<std::vector<Natural>> QuadraticSolutions(
    const Natural& a, const Natural& b, const Natural& c,
    const std::vector<BigPrimePower>& factors_of_c, Work& work) {
  // Solutions modulo the product so far, and each prime power's joined by the Chinese remainder
  // theorem: x = s + M ((t - s) / M mod q) is s modulo M and t modulo q.
  std::vector<Natural> solutions{Natural(0)};
  Natural modulus(1);
  ClockPacer pacer(work);
  for (const BigPrimePower& power : factors_of_c) {
    std::optional<std::vector<Natural>> here =
        SolveModuloPrimePower(a, b, power.prime, power.exponent, work);
    if (!here) {
      return std::nullopt;
    }
    if (here->empty()) {
      return std::vector<Natural>{};
    }
    const Natural q = Power(power.prime, static_cast<unsigned>(power.exponent));
    Natural inverse;
    mpz_invert(inverse.raw(), modulus.get(), q.get());
    std::vector<Natural> joined;
    joined.reserve(solutions.size() * here->size());
    for (const Natural& s : solutions) {
      if (pacer.Stopped({"combining", "solution", joined.size(), 0})) {
        return std::nullopt;
      }
      for (const Natural& t : *here) {
        Natural difference = t;
        mpz_sub(difference.raw(), difference.get(), s.get());
        joined.push_back(s + modulus * MultiplyModulo(Mod(difference, q), inverse, q));
      }
    }
    solutions = std::move(joined);
    modulus *= q;
  }
  std::sort(solutions.begin(), solutions.end());
  if (!solutions.empty() && solutions.front().IsZero()) {
    solutions.erase(solutions.begin());
    solutions.push_back(c);
  }
  return solutions;
}

}  // namespace brindaq
