#include "core/proof/genus_factor.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <map>
#include <mutex>
#include <numbers>
#include <numeric>
#include <optional>
#include <utility>

#include "core/proof/complex_float.h"

namespace brindaq {
namespace {

// A number that the form represents, prime to 2D, from small x and y; 0 when none is found
// (never: a primitive form represents infinitely many primes).
std::int64_t Represented(const ReducedForm& form, std::int64_t d) {
  for (std::int64_t span = 1; span <= 64; ++span) {
    for (std::int64_t x = -span; x <= span; ++x) {
      for (const std::int64_t y : {span - std::abs(x), std::abs(x) - span}) {
        if (std::gcd(x, y) != 1) {
          continue;
        }
        const std::int64_t m = form.a * x * x + form.b * x * y + form.c * y * y;
        if (m % 2 != 0 && std::gcd(m, d) == 1) {
          return m;
        }
      }
    }
  }
  return 0;
}

// The product of f_i over the subset `mask`.
std::int64_t ProductOver(const std::vector<std::int32_t>& primes, unsigned mask) {
  std::int64_t product = 1;
  for (std::size_t i = 0; i < primes.size(); ++i) {
    if ((mask >> i & 1U) != 0) {
      product *= primes[i];
    }
  }
  return product;
}

// The parts at `bits` bits; nothing when a value is not clearly near a whole number.
std::optional<std::vector<std::vector<SignedCoefficient>>> PartsAt(
    std::int32_t d, const std::vector<ReducedForm>& forms, const std::vector<unsigned>& genus,
    const std::vector<std::int32_t>& primes, std::size_t degree, std::size_t bits, Work& work) {
  const std::size_t g = primes.size();
  const std::size_t cosets = std::size_t{1} << (g - 1);
  mpf_t pi;
  mpf_t root;
  mpf_init2(pi, bits);
  mpf_init2(root, bits);
  Pi(pi, bits);
  mpf_sqrt_ui(root, static_cast<unsigned long>(-static_cast<std::int64_t>(d)));
  // F_c for each genus, its coefficients constant first.
  std::vector<std::vector<Complex>> factors(cosets);
  for (std::vector<Complex>& factor : factors) {
    factor.emplace_back(bits);
    mpf_set_ui(factor[0].re(), 1);
  }
  for (std::size_t f = 0; f < forms.size() && !work.Stopped(); ++f) {
    MultiplyByLinear(factors[genus[f]], ModularJ(forms[f], pi, root, bits));
  }
  mpf_clear(pi);
  mpf_clear(root);
  if (work.Stopped()) {
    return std::nullopt;
  }
  std::vector<std::vector<SignedCoefficient>> parts(std::size_t{1} << g,
                                                    std::vector<SignedCoefficient>(degree + 1));
  mpf_t value;
  mpf_t scale;
  mpf_init2(value, bits);
  mpf_init2(scale, bits);
  const unsigned all = (1U << g) - 1;
  unsigned negative = 0;  // the f_i < 0
  for (std::size_t i = 0; i < g; ++i) {
    if (primes[i] < 0) {
      negative |= 1U << i;
    }
  }
  bool clear = true;
  // The rounded value * 16 / e_S into the part S at k, where e_S, the product of the sqrt f_i
  // over S, is i^k sqrt|d_S| for k negative f_i: the sign is (-1)^(k / 2).
  const auto put = [&](mpf_srcptr sum, unsigned mask, std::size_t k, std::int64_t f) {
    mpf_sqrt_ui(scale, static_cast<unsigned long>(std::abs(f)));
    mpf_mul_ui(value, sum, 16);  // 2^(g + 3) / 2^(g - 1)
    mpf_div(value, value, scale);
    if (std::popcount(mask & negative) / 2 % 2 == 1) {
      mpf_neg(value, value);
    }
    if (!RoundToCoefficient(value, parts[mask][k])) {
      clear = false;
    }
  };
  for (unsigned s = 0; s < cosets; ++s) {
    const unsigned other = all & ~s;
    const std::int64_t ds = ProductOver(primes, s);
    const std::int64_t dother = ProductOver(primes, other);
    for (std::size_t k = 0; k <= degree; ++k) {
      Complex sum(bits);
      for (std::size_t c = 0; c < cosets; ++c) {
        if (std::popcount(s & static_cast<unsigned>(c)) % 2 == 0) {
          sum += factors[c][k];
        } else {
          sum -= factors[c][k];
        }
      }
      // The real one of sqrt(d_S) and sqrt(d_S') takes the real part, the other the imaginary.
      if (ds > 0) {
        put(sum.re(), s, k, ds);
        put(sum.im(), other, k, dother);
      } else {
        put(sum.re(), other, k, dother);
        put(sum.im(), s, k, ds);
      }
    }
  }
  mpf_clear(value);
  mpf_clear(scale);
  if (!clear) {
    return std::nullopt;
  }
  return parts;
}

}  // namespace

const GenusFactor* GenusClassFactor(std::int32_t d, Work& work) {
  static std::mutex mutex;
  static std::map<std::int32_t, GenusFactor> made;
  {
    const std::lock_guard<std::mutex> lock(mutex);
    auto found = made.find(d);
    if (found != made.end()) {
      return &found->second;
    }
  }
  const std::vector<ReducedForm> forms = ReducedForms(d);
  GenusFactor factor;
  factor.prime_discriminants = PrimeDiscriminants(d);
  const std::vector<std::int32_t>& primes = factor.prime_discriminants;
  const std::size_t g = primes.size();
  if (g == 0 || g > 16) {
    return nullptr;
  }
  const std::size_t cosets = std::size_t{1} << (g - 1);
  if (forms.size() % cosets != 0) {
    return nullptr;
  }
  const std::size_t degree = forms.size() / cosets;
  // Each form's genus: bit i set where (f_(i+1) / m) = -1; the last character is the product of
  // the others.
  std::vector<unsigned> genus;
  std::vector<std::size_t> sizes(cosets, 0);
  std::vector<double> magnitudes(cosets, 0);
  const double root = std::sqrt(-static_cast<double>(d));
  for (const ReducedForm& form : forms) {
    const std::int64_t m = Represented(form, d);
    if (m == 0) {
      return nullptr;
    }
    unsigned c = 0;
    for (std::size_t i = 0; i + 1 < g; ++i) {
      if (mpz_si_kronecker(primes[i], Natural(static_cast<std::uint64_t>(m)).get()) == -1) {
        c |= 1U << i;
      }
    }
    genus.push_back(c);
    ++sizes[c];
    magnitudes[c] += std::numbers::pi * root / static_cast<double>(form.a) / std::log(2.0);
  }
  double size = 0;
  for (std::size_t c = 0; c < cosets; ++c) {
    if (sizes[c] != degree) {
      return nullptr;
    }
    size = std::max(size, magnitudes[c]);
  }
  auto bits = static_cast<std::size_t>(size) + 4 * degree + g + 64;
  std::optional<std::vector<std::vector<SignedCoefficient>>> parts;
  while (!(parts = PartsAt(d, forms, genus, primes, degree, bits, work))) {
    if (work.Stopped() || bits > (std::size_t{1} << 22)) {
      return nullptr;
    }
    bits *= 2;
  }
  factor.parts = std::move(*parts);
  const std::lock_guard<std::mutex> lock(mutex);
  return &made.emplace(d, std::move(factor)).first->second;
}

std::vector<Natural> GenusFactorModulo(const GenusFactor& factor, const std::vector<Natural>& roots,
                                       const Natural& n) {
  const std::size_t g = factor.prime_discriminants.size();
  // The products of the roots over each subset.
  std::vector<Natural> products(factor.parts.size());
  products[0] = Natural(1);
  for (std::size_t mask = 1; mask < products.size(); ++mask) {
    const auto lowest = static_cast<std::size_t>(std::countr_zero(mask));
    products[mask] = (products[mask & (mask - 1)] * roots[lowest]) % n;
  }
  Natural inverse;
  const Natural scale = Natural::TwoToThe(static_cast<unsigned>(g + 3));
  mpz_invert(inverse.raw(), scale.get(), n.get());
  const std::size_t degree = factor.parts[0].size() - 1;
  std::vector<Natural> out(degree + 1);
  for (std::size_t k = 0; k <= degree; ++k) {
    Natural sum;
    for (std::size_t mask = 0; mask < factor.parts.size(); ++mask) {
      const SignedCoefficient& a = factor.parts[mask][k];
      if (a.magnitude.IsZero()) {
        continue;
      }
      if (a.negative) {
        mpz_submul(sum.raw(), a.magnitude.get(), products[mask].get());
      } else {
        mpz_addmul(sum.raw(), a.magnitude.get(), products[mask].get());
      }
    }
    mpz_mul(sum.raw(), sum.get(), inverse.get());
    mpz_mod(sum.raw(), sum.get(), n.get());
    out[k] = std::move(sum);
  }
  return out;
}

}  // namespace brindaq
