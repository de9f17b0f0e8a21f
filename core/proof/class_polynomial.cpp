#include "core/proof/class_polynomial.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <map>
#include <mutex>
#include <numbers>
#include <numeric>
#include <optional>
#include <utility>

#include "core/proof/complex_float.h"

namespace brindaq {
namespace {

// Whether D < 0 (given as d = -D) is a fundamental discriminant: d = 3 (mod 4) and squarefree, or
// d = 4m with m = 1 or 2 (mod 4) and squarefree.
bool IsFundamental(std::int64_t d, const std::vector<bool>& squarefree) {
  if (d % 4 == 3) {
    return squarefree[static_cast<std::size_t>(d)];
  }
  if (d % 4 == 0) {
    const std::int64_t m = d / 4;
    return (m % 4 == 1 || m % 4 == 2) && squarefree[static_cast<std::size_t>(m)];
  }
  return false;
}

// The eta product prod (1 - q^n) = 1 + sum over n >= 1 of (-1)^n (q^(n(3n-1)/2) + q^(n(3n+1)/2))
// (Euler's pentagonal numbers), with `terms` values of n.
Complex EtaProduct(const Complex& q, long terms) {
  const std::size_t bits = q.Bits();
  Complex sum(bits);
  mpf_set_ui(sum.re(), 1);
  Complex q_n(q);    // q^n
  Complex first(q);  // q^(n(3n-1)/2)
  for (long n = 1; n <= terms; ++n) {
    Complex second(first);  // q^(n(3n+1)/2) = q^(n(3n-1)/2) q^n
    second *= q_n;
    Complex both(first);
    both += second;
    if (n % 2 == 1) {
      sum -= both;
    } else {
      sum += both;
    }
    // q^((n+1)(3n+2)/2) = q^(n(3n+1)/2) q^(2n+1)
    Complex step(q_n);
    step *= q_n;
    step *= q;
    first = second;
    first *= step;
    q_n *= q;
  }
  return sum;
}

// The product of the x - j over the forms, rounded; nothing when a coefficient is not clearly
// near an integer (too little precision).
std::optional<std::vector<SignedCoefficient>> ClassPolynomialAt(
    std::int32_t d, const std::vector<ReducedForm>& forms, std::size_t bits, Work& work) {
  mpf_t pi;
  mpf_t root;
  mpf_init2(pi, bits);
  mpf_init2(root, bits);
  Pi(pi, bits);
  mpf_sqrt_ui(root, static_cast<unsigned long>(-static_cast<std::int64_t>(d)));
  std::vector<Complex> product;  // coefficients, constant first
  product.emplace_back(bits);
  mpf_set_ui(product[0].re(), 1);
  for (const ReducedForm& form : forms) {
    if (work.Stopped()) {
      break;
    }
    MultiplyByLinear(product, ModularJ(form, pi, root, bits));
  }
  mpf_clear(pi);
  mpf_clear(root);
  if (work.Stopped()) {
    return std::nullopt;
  }
  std::vector<SignedCoefficient> out(product.size());
  mpf_t fraction;
  mpf_init2(fraction, bits);
  bool clear = true;
  for (std::size_t k = 0; k < product.size(); ++k) {
    // |c - round(c)| < 1/4 and |imaginary part| < 1/4
    clear = RoundToCoefficient(product[k].re(), out[k]) && clear;
    mpf_abs(fraction, product[k].im());
    if (mpf_cmp_d(fraction, 0.25) > 0) {
      clear = false;
    }
  }
  mpf_clear(fraction);
  if (!clear) {
    return std::nullopt;
  }
  return out;
}

}  // namespace

bool RoundToCoefficient(mpf_srcptr x, SignedCoefficient& out) {
  mpf_t rounded;
  mpf_t distance;
  mpf_init2(rounded, mpf_get_prec(x));
  mpf_init2(distance, mpf_get_prec(x));
  mpf_abs(distance, x);
  mpf_set_d(rounded, 0.5);
  mpf_add(rounded, rounded, distance);
  mpf_floor(rounded, rounded);
  mpz_set_f(out.magnitude.raw(), rounded);
  out.negative = mpf_sgn(x) < 0 && !out.magnitude.IsZero();
  mpf_sub(distance, distance, rounded);
  mpf_abs(distance, distance);
  const bool clear = mpf_cmp_d(distance, 0.25) <= 0;
  mpf_clear(rounded);
  mpf_clear(distance);
  return clear;
}

// The prime discriminants whose product is the fundamental discriminant d < 0.
std::vector<std::int32_t> PrimeDiscriminants(std::int64_t d) {
  std::vector<std::int32_t> factors;
  std::int64_t odd_product = 1;
  std::int64_t rest = -d;
  while (rest % 2 == 0) {
    rest /= 2;
  }
  for (std::int64_t p = 3; p * p <= rest || rest > 1; p += 2) {
    if (p * p > rest) {
      p = rest;  // the last prime factor
    }
    if (rest % p == 0) {
      rest /= p;
      const std::int64_t star = p % 4 == 1 ? p : -p;
      factors.push_back(static_cast<std::int32_t>(star));
      odd_product *= star;
    }
  }
  if (odd_product != d) {
    factors.push_back(static_cast<std::int32_t>(d / odd_product));  // -4, 8 or -8
  }
  return factors;
}

// j((-b + sqrt(D)) / 2a) at `bits` bits, given pi and sqrt|D| at that precision.
Complex ModularJ(const ReducedForm& form, mpf_srcptr pi, mpf_srcptr root, std::size_t bits) {
  // 2 pi i tau = -pi sqrt|D| / a - i pi b / a.
  Complex z(bits);
  mpf_mul(z.re(), pi, root);
  mpf_div_ui(z.re(), z.re(), static_cast<unsigned long>(form.a));
  mpf_neg(z.re(), z.re());
  mpf_mul_ui(z.im(), pi, static_cast<unsigned long>(std::abs(form.b)));
  mpf_div_ui(z.im(), z.im(), static_cast<unsigned long>(form.a));
  if (form.b > 0) {
    mpf_neg(z.im(), z.im());
  }
  const Complex q = Exp(z);
  Complex q2(q);
  q2 *= q;
  // |q| = e^(-pi sqrt|D| / a): each power of q gains that many bits.
  const double gain = -mpf_get_d(z.re()) / std::log(2.0);
  long terms = 1;
  while (static_cast<double>(terms * (3 * terms - 1) / 2) * gain < static_cast<double>(bits) + 16) {
    ++terms;
  }
  Complex ratio = EtaProduct(q2, terms);
  ratio /= EtaProduct(q, terms);
  // f = Delta(2 tau) / Delta(tau) = q (eta product at q^2 / at q)^24
  Complex r2(ratio);
  r2 *= ratio;
  Complex r4(r2);
  r4 *= r2;
  Complex r8(r4);
  r8 *= r4;
  Complex f(r8);
  f *= r8;
  f *= r8;  // r^24
  f *= q;
  Complex j(f);
  j.MultiplyByWord(256);
  mpf_add_ui(j.re(), j.re(), 1);
  Complex cube(j);
  cube *= j;
  cube *= j;
  cube /= f;
  return cube;
}

const std::vector<Discriminant>& DiscriminantsByClassNumber(const DiscriminantList& wanted) {
  static std::mutex mutex;
  static std::map<DiscriminantList, std::vector<Discriminant>> made;
  const std::lock_guard<std::mutex> lock(mutex);
  auto found = made.find(wanted);
  if (found != made.end()) {
    return found->second;
  }
  const std::int32_t bound = wanted.Largest();
  const auto size = static_cast<std::size_t>(bound) + 1;
  std::vector<bool> squarefree(size, true);
  for (std::size_t p = 2; p * p < size; ++p) {
    for (std::size_t m = p * p; m < size; m += p * p) {
      squarefree[m] = false;
    }
  }
  // The reduced forms of every discriminant down to -bound, counted: (a, b, c) and (a, -b, c)
  // at once for 0 < b < a, except when c = a, where only b > 0 is reduced.
  std::vector<std::uint16_t> count(size, 0);
  for (std::int64_t a = 1; 3 * a * a <= bound; ++a) {
    for (std::int64_t b = 0; b <= a; ++b) {
      const std::int64_t first = 4 * a * a - b * b;  // c = a
      if (first > bound) {
        continue;
      }
      const int twice = b > 0 && b < a ? 2 : 1;
      ++count[static_cast<std::size_t>(first)];
      for (auto d = static_cast<std::size_t>(first + 4 * a); d < size;
           d += static_cast<std::size_t>(4 * a)) {
        count[d] = static_cast<std::uint16_t>(count[d] + twice);
      }
    }
  }
  std::vector<Discriminant> list;
  std::vector<std::int32_t> largest;  // the largest |f| of each, for the order below
  for (std::int64_t d = 3; d <= bound; ++d) {
    const int h = count[static_cast<std::size_t>(d)];
    if (h <= std::max(wanted.largest_class, wanted.cheap_largest_class) &&
        IsFundamental(d, squarefree)) {
      std::vector<std::int32_t> primes = PrimeDiscriminants(-d);
      const int degree = h >> (primes.size() - 1);
      if (!wanted.Admits(static_cast<std::int32_t>(-d), h, degree)) {
        continue;
      }
      std::int32_t m = 0;
      for (const std::int32_t f : primes) {
        m = std::max(m, std::abs(f));
      }
      largest.push_back(m);
      list.push_back({static_cast<std::int32_t>(-d), h, degree, std::move(primes)});
    }
  }
  // Within a degree, those whose prime discriminants are smallest first: their square roots
  // serve many discriminants.
  std::vector<std::size_t> order(list.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::stable_sort(order.begin(), order.end(), [&](std::size_t x, std::size_t y) {
    if (list[x].degree != list[y].degree) {
      return list[x].degree < list[y].degree;
    }
    return largest[x] < largest[y];
  });
  std::vector<Discriminant> sorted;
  sorted.reserve(list.size());
  for (const std::size_t i : order) {
    sorted.push_back(std::move(list[i]));
  }
  list = std::move(sorted);
  return made.emplace(wanted, std::move(list)).first->second;
}

std::vector<ReducedForm> ReducedForms(std::int32_t d) {
  const std::int64_t big_d = d;
  std::vector<ReducedForm> forms;
  for (std::int64_t a = 1; 3 * a * a <= -big_d; ++a) {
    for (std::int64_t b = -a + 1; b <= a; ++b) {
      const std::int64_t numerator = b * b - big_d;
      if (numerator % (4 * a) != 0) {
        continue;
      }
      const std::int64_t c = numerator / (4 * a);
      if (c < a || (c == a && b < 0)) {
        continue;
      }
      if (std::gcd(std::gcd(a, std::abs(b)), c) != 1) {
        continue;
      }
      forms.push_back({a, b, c});
    }
  }
  return forms;
}

const std::vector<SignedCoefficient>* HilbertClassPolynomial(std::int32_t d, Work& work) {
  static std::mutex mutex;
  static std::map<std::int32_t, std::vector<SignedCoefficient>> made;
  {
    const std::lock_guard<std::mutex> lock(mutex);
    auto found = made.find(d);
    if (found != made.end()) {
      return &found->second;
    }
  }
  const std::vector<ReducedForm> forms = ReducedForms(d);
  double size = 0;
  const double root = std::sqrt(-static_cast<double>(d));
  for (const ReducedForm& form : forms) {
    size += std::numbers::pi * root / static_cast<double>(form.a) / std::log(2.0);
  }
  auto bits = static_cast<std::size_t>(size) + 2 * forms.size() + 64;
  std::optional<std::vector<SignedCoefficient>> polynomial;
  while (!(polynomial = ClassPolynomialAt(d, forms, bits, work))) {
    if (work.Stopped()) {
      return nullptr;
    }
    bits *= 2;
  }
  const std::lock_guard<std::mutex> lock(mutex);
  return &made.emplace(d, std::move(*polynomial)).first->second;
}

}  // namespace brindaq
