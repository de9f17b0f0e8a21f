#include "core/proof/polynomial_roots.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <utility>

#include "core/big/big_congruence.h"
#include "core/tuning.h"

namespace brindaq {
namespace {

// Coefficients modulo n, the constant first, no leading zeros (the zero polynomial is empty).
using Polynomial = std::vector<Natural>;

void Trim(Polynomial& p) {
  while (!p.empty() && p.back().IsZero()) {
    p.pop_back();
  }
}

// The product of a and b, its coefficients reduced modulo n: both written side by side in slots
// wide enough for any coefficient of the product, multiplied once. The coefficients below
// `exact_below` are left whole, for a reduction that adds to them before it divides.
Polynomial Multiply(const Polynomial& a, const Polynomial& b, const Natural& n,
                    std::size_t exact_below = 0) {
  if (a.empty() || b.empty()) {
    return {};
  }
  const std::size_t shorter = std::min(a.size(), b.size());
  std::size_t slot_bits = 2 * n.Bits() + 2;
  for (std::size_t s = shorter; s > 0; s >>= 1) {
    ++slot_bits;
  }
  const std::size_t slot = (slot_bits + GMP_NUMB_BITS - 1) / GMP_NUMB_BITS;  // limbs
  const auto pack = [slot](mpz_ptr z, const Polynomial& p) {
    const std::size_t limbs = p.size() * slot;
    mp_limb_t* out = mpz_limbs_write(z, static_cast<mp_size_t>(limbs));
    std::fill(out, out + limbs, mp_limb_t{0});
    for (std::size_t i = 0; i < p.size(); ++i) {
      const std::size_t size = mpz_size(p[i].get());
      std::copy_n(mpz_limbs_read(p[i].get()), size, out + i * slot);
    }
    mpz_limbs_finish(z, static_cast<mp_size_t>(limbs));
  };
  Natural x;
  Natural y;
  pack(x.raw(), a);
  if (&a == &b) {
    mpz_mul(x.raw(), x.get(), x.get());
  } else {
    pack(y.raw(), b);
    mpz_mul(x.raw(), x.get(), y.get());
  }
  Polynomial product(a.size() + b.size() - 1);
  const mp_limb_t* limbs = mpz_limbs_read(x.get());
  const std::size_t size = mpz_size(x.get());
  for (std::size_t i = 0; i < product.size(); ++i) {
    const std::size_t begin = i * slot;
    if (begin >= size) {
      break;
    }
    const std::size_t count = std::min(slot, size - begin);
    mpz_t view;
    mpz_roinit_n(view, limbs + begin, static_cast<mp_size_t>(count));
    if (i < exact_below) {
      mpz_set(product[i].raw(), view);
    } else {
      mpz_tdiv_r(product[i].raw(), view, n.get());
    }
  }
  Trim(product);
  return product;
}

// a modulo the monic f of degree >= 1; a's coefficients may be any size below a word of slack.
void Reduce(Polynomial& a, const Polynomial& f, const Natural& n) {
  const std::size_t h = f.size() - 1;
  Natural c;
  for (std::size_t k = a.size(); k-- > h;) {
    mpz_mod(c.raw(), a[k].get(), n.get());
    if (c.IsZero()) {
      continue;
    }
    for (std::size_t j = 0; j < h; ++j) {
      mpz_submul(a[k - h + j].raw(), c.get(), f[j].get());
    }
  }
  if (a.size() > h) {
    a.resize(h);
  }
  for (Natural& coefficient : a) {
    mpz_mod(coefficient.raw(), coefficient.get(), n.get());
  }
  Trim(a);
}

// Reduction modulo a monic f of degree h by two products instead of h^2 (Barrett's method for
// polynomials, as in J. von zur Gathen and J. Gerhard, "Modern Computer Algebra", 9.1): the
// quotient of an a of degree < 2h by f is read off the top of a times the inverse of f reversed,
// as a power series to h - 1 terms.
class Divisor {
 public:
  Divisor(const Polynomial& f, const Natural& n) : f_(f), n_(n) {
    const std::size_t h = f.size() - 1;
    if (h < tuning::kProofBarrettFromDegree) {
      return;
    }
    if (h <= tuning::kProofPowerTableToDegree) {
      // x^h, ..., x^(2h - 2) modulo f, each from the one before: x times it, less its top
      // coefficient times f.
      Polynomial power(f.begin(), f.end() - 1);  // x^h = -(f - x^h)
      for (Natural& c : power) {
        if (!c.IsZero()) {
          c = n - c;
        }
      }
      Natural top;
      for (std::size_t k = h; k <= 2 * h - 2; ++k) {
        powers_.push_back(power);
        top = power[h - 1];
        for (std::size_t j = h - 1; j > 0; --j) {
          mpz_submul(power[j - 1].raw(), top.get(), f[j].get());
          power[j] = std::move(power[j - 1]);
          mpz_mod(power[j].raw(), power[j].get(), n.get());
        }
        power[0] = Natural(0);
        mpz_submul(power[0].raw(), top.get(), f[0].get());
        mpz_mod(power[0].raw(), power[0].get(), n.get());
      }
      // For each coefficient j, the sum over the pairs of powers of their products at j.
      pair_sums_.resize(h);
      for (std::size_t j = 0; j < h; ++j) {
        for (std::size_t i = 0; i + 1 < powers_.size(); i += 2) {
          mpz_addmul(pair_sums_[j].raw(), powers_[i][j].get(), powers_[i + 1][j].get());
        }
      }
      return;
    }
    // 1 / (x^h f(1/x)) to x^(h-1): inverse[k] = -sum of f[h - i] inverse[k - i], i = 1..k.
    inverse_.resize(h - 1);
    inverse_[0] = Natural(1);
    Natural sum;
    for (std::size_t k = 1; k < h - 1; ++k) {
      mpz_set_ui(sum.raw(), 0);
      for (std::size_t i = 1; i <= k; ++i) {
        mpz_addmul(sum.raw(), f[h - i].get(), inverse_[k - i].get());
      }
      mpz_neg(sum.raw(), sum.get());
      mpz_mod(inverse_[k].raw(), sum.get(), n.get());
    }
    Trim(inverse_);
  }

  // How many of the lowest coefficients Reduce takes whole, for it divides them itself.
  std::size_t TakesWhole() const { return powers_.empty() ? 0 : f_.size() - 1; }

  // a modulo f, a's coefficients reduced modulo n except the TakesWhole() lowest.
  void Reduce(Polynomial& a) const {
    const std::size_t h = f_.size() - 1;
    if (!powers_.empty() && a.size() > h) {
      // a below x^h, plus each higher coefficient times its power of x modulo f (a product
      // whose top coefficients were zero is given them back).
      a.resize(2 * h - 1);
      AddPowersPairwise(a);
      a.resize(h);
      for (Natural& coefficient : a) {
        mpz_mod(coefficient.raw(), coefficient.get(), n_.get());
      }
      Trim(a);
      return;
    }
    if (inverse_.empty() || a.size() <= h) {
      brindaq::Reduce(a, f_, n_);
      return;
    }
    const std::size_t length = a.size() - h;  // the quotient's coefficients
    Polynomial top(a.rbegin(), a.rbegin() + static_cast<std::ptrdiff_t>(length));
    Trim(top);
    Polynomial inverse(inverse_.begin(), inverse_.begin() + static_cast<std::ptrdiff_t>(
                                                                std::min(length, inverse_.size())));
    Polynomial reversed = Multiply(top, inverse, n_);
    reversed.resize(length);
    Polynomial quotient(reversed.rbegin(), reversed.rend());
    Trim(quotient);
    const Polynomial product = Multiply(quotient, f_, n_);
    a.resize(h);
    for (std::size_t i = 0; i < h && i < product.size(); ++i) {
      mpz_sub(a[i].raw(), a[i].get(), product[i].get());
      if (mpz_sgn(a[i].get()) < 0) {
        mpz_add(a[i].raw(), a[i].get(), n_.get());
      }
    }
    Trim(a);
  }

 private:
  // a_j += sum of a_(h+k) p_k[j], k = 0 .. h - 2, for each j below h (p_k = x^(h+k) modulo f),
  // a pair of terms at a time by Winograd's inner product: (a_(h+k) + p_(k+1)[j])
  // (a_(h+k+1) + p_k[j]) less a_(h+k) a_(h+k+1), the same for every j, and less
  // p_k[j] p_(k+1)[j], made once for f. Half the products of coefficients.
  void AddPowersPairwise(Polynomial& a) const {
    const std::size_t h = f_.size() - 1;
    const std::size_t terms = h - 1;
    Natural shared;
    for (std::size_t k = 0; k + 1 < terms; k += 2) {
      mpz_addmul(shared.raw(), a[h + k].get(), a[h + k + 1].get());
    }
    Natural left;
    Natural right;
    for (std::size_t j = 0; j < h; ++j) {
      mpz_sub(a[j].raw(), a[j].get(), shared.get());
      mpz_sub(a[j].raw(), a[j].get(), pair_sums_[j].get());
      std::size_t k = 0;
      for (; k + 1 < terms; k += 2) {
        mpz_add(left.raw(), a[h + k].get(), powers_[k + 1][j].get());
        mpz_add(right.raw(), a[h + k + 1].get(), powers_[k][j].get());
        mpz_addmul(a[j].raw(), left.get(), right.get());
      }
      if (k < terms) {
        mpz_addmul(a[j].raw(), a[h + k].get(), powers_[k][j].get());
      }
    }
  }

  const Polynomial& f_;
  const Natural& n_;
  Polynomial inverse_;
  std::vector<Polynomial> powers_;  // x^h, ..., x^(2h - 2) modulo f
  std::vector<Natural> pair_sums_;  // for the powers' coefficients (Reduce)
};

// (x + r)^e modulo f and n; nothing when the work was stopped.
std::optional<Polynomial> PowerOfLinear(const Natural& r, const Natural& e, const Polynomial& f,
                                        const Natural& n, Work& work) {
  const Divisor divisor(f, n);
  Polynomial power{r, Natural(1)};
  Reduce(power, f, n);
  for (std::size_t i = e.Bits() - 1; i-- > 0;) {
    if (work.Stopped()) {
      return std::nullopt;
    }
    power = Multiply(power, power, n, divisor.TakesWhole());
    divisor.Reduce(power);
    if (mpz_tstbit(e.get(), i) != 0) {
      // times x + r
      Polynomial next(power.size() + 1);
      for (std::size_t k = 0; k < power.size(); ++k) {
        mpz_addmul(next[k].raw(), power[k].get(), r.get());
        mpz_add(next[k + 1].raw(), next[k + 1].get(), power[k].get());
      }
      Reduce(next, f, n);
      power = std::move(next);
    }
  }
  return power;
}

// a made monic; false when its leading coefficient is no unit modulo n.
bool MakeMonic(Polynomial& a, const Natural& n) {
  Natural inverse;
  if (mpz_invert(inverse.raw(), a.back().get(), n.get()) == 0) {
    return false;
  }
  for (Natural& coefficient : a) {
    mpz_mul(coefficient.raw(), coefficient.get(), inverse.get());
    mpz_mod(coefficient.raw(), coefficient.get(), n.get());
  }
  return true;
}

// The monic greatest common divisor of a and b modulo n; nothing when a leading coefficient was
// no unit.
std::optional<Polynomial> Gcd(Polynomial a, Polynomial b, const Natural& n) {
  Trim(a);
  Trim(b);
  while (!b.empty()) {
    if (!MakeMonic(b, n)) {
      return std::nullopt;
    }
    if (a.size() >= b.size()) {
      Reduce(a, b, n);
    }
    std::swap(a, b);
  }
  if (!a.empty() && !MakeMonic(a, n)) {
    return std::nullopt;
  }
  return a;
}

// a / d for a monic d that divides a.
Polynomial Divide(Polynomial a, const Polynomial& d, const Natural& n) {
  const std::size_t h = d.size() - 1;
  Polynomial quotient(a.size() - h);
  Natural c;
  for (std::size_t k = a.size(); k-- > h;) {
    mpz_mod(c.raw(), a[k].get(), n.get());
    quotient[k - h] = c;
    for (std::size_t j = 0; j < h; ++j) {
      mpz_submul(a[k - h + j].raw(), c.get(), d[j].get());
    }
  }
  return quotient;
}

// A root of the monic x^2 + b x + c: (-b + sqrt(b^2 - 4c)) / 2, with one square root.
std::optional<Natural> QuadraticRoot(const Polynomial& g, const Natural& n, Work& work) {
  Natural discriminant = g[1] * g[1] + (n - g[0]) * Natural(4);
  discriminant %= n;
  const std::optional<Natural> root = SquareRootModuloPrime(discriminant, n, work);
  if (!root) {
    return std::nullopt;
  }
  Natural x = *root + n - g[1];
  if (x.IsOdd()) {
    x += n;
  }
  return (x >> 1) % n;
}

}  // namespace

std::optional<Natural> RootModulo(const std::vector<Natural>& f, const Natural& n, Work& work) {
  Polynomial g = f;
  Trim(g);
  if (g.size() < 2 || !MakeMonic(g, n)) {
    return std::nullopt;
  }
  const Natural half = (n - Natural(1)) >> 1;
  std::uint64_t r = 1;
  // Split down to a quadratic, which its formula solves with one square root: cheaper than the
  // powers that would split it, each of which fails half the time.
  for (int tries = 0; g.size() > 3; ++tries) {
    if (tries > 64) {
      return std::nullopt;
    }
    const std::optional<Polynomial> power = PowerOfLinear(Natural(r++), half, g, n, work);
    if (!power) {
      return std::nullopt;
    }
    Polynomial minus_one = *power;
    if (minus_one.empty()) {
      continue;
    }
    mpz_sub_ui(minus_one[0].raw(), minus_one[0].get(), 1);
    mpz_mod(minus_one[0].raw(), minus_one[0].get(), n.get());
    Trim(minus_one);
    std::optional<Polynomial> d = Gcd(g, minus_one, n);
    if (!d) {
      return std::nullopt;
    }
    if (d->size() < 2 || d->size() >= g.size()) {
      continue;
    }
    if (2 * (d->size() - 1) <= g.size() - 1) {
      g = std::move(*d);
    } else {
      g = Divide(std::move(g), *d, n);
    }
  }
  if (g.size() == 3) {
    return QuadraticRoot(g, n, work);
  }
  // x + g0: the root is -g0.
  Natural root = n - g[0];
  if (root == n) {
    root = Natural(0);
  }
  return root;
}

}  // namespace brindaq
