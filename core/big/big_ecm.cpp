// Lenstra's elliptic-curve method (H. W. Lenstra, "Factoring integers with elliptic curves",
// Annals of Math. 126, 1987) on curves in Montgomery's form B y^2 = x^3 + A x^2 + x, with the
// point's x alone kept as X / Z (P. L. Montgomery, "Speeding the Pollard and elliptic curve
// methods of factorization", Math. Comp. 48, 1987), and the curves of Suyama's parametrisation,
// whose group order is a multiple of 12. Stage 1 multiplies a point by every prime power up to B1
// with Montgomery's ladder. Stage 2 looks for one more prime q with B1 < q <= B2 = 100 B1 in the
// order of the point, by baby steps and giant steps with pairing (Montgomery, 1987, section 4;
// as in GMP-ECM's first stage 2): q = i D +- j with j < D / 2 prime to D, and x(i D Q) - x(j Q)
// vanishes modulo p for both signs at once; all the x are made affine by one inversion for a whole
// batch (Montgomery's trick), so each pair costs one product. The B1 and the number of curves for
// each size of factor are those GMP-ECM recommends (its README), below 20 digits our own.

#include <algorithm>
#include <bit>
#include <cstddef>
#include <numeric>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "core/big/big_montgomery.h"
#include "core/big/big_split.h"
#include "core/big/pacing.h"
#include "core/big/small_primes.h"

namespace brindaq {
namespace {

struct Point {
  Residue x;
  Residue z;
};

// A Montgomery curve, given by (A + 2) / 4, with scratch space: one curve serves one thread.
class Curve {
 public:
  Curve(const BigMontgomery& m, Residue a24)
      : m_(m), a24_(std::move(a24)), s_(m.Zero()), d_(s_), t_(s_), u_(s_) {}

  // 2P: X = (x + z)^2 (x - z)^2, Z = 4xz ((x - z)^2 + a24 4xz), with 4xz = (x + z)^2 - (x - z)^2.
  void Double(Point& out, const Point& p) {
    m_.Add(s_, p.x, p.z);
    m_.Subtract(d_, p.x, p.z);
    m_.Square(s_, s_);
    m_.Square(d_, d_);
    m_.Multiply(out.x, s_, d_);
    m_.Subtract(t_, s_, d_);
    m_.Multiply(u_, a24_, t_);
    m_.Add(u_, u_, d_);
    m_.Multiply(out.z, t_, u_);
  }

  // P + Q from P, Q and P - Q: X = z_(P-Q) (u + v)^2, Z = x_(P-Q) (u - v)^2 with
  // u = (x_P - z_P)(x_Q + z_Q), v = (x_P + z_P)(x_Q - z_Q); one product less where z_(P-Q) = 1.
  void Add(Point& out, const Point& p, const Point& q, const Point& difference,
           bool affine_difference = false) {
    m_.Subtract(s_, p.x, p.z);
    m_.Add(t_, q.x, q.z);
    m_.Multiply(u_, s_, t_);
    m_.Add(s_, p.x, p.z);
    m_.Subtract(t_, q.x, q.z);
    m_.Multiply(d_, s_, t_);
    m_.Add(s_, u_, d_);
    m_.Subtract(t_, u_, d_);
    m_.Square(s_, s_);
    m_.Square(t_, t_);
    if (!affine_difference) {
      m_.Multiply(s_, s_, difference.z);
    }
    m_.Multiply(out.z, t_, difference.x);
    out.x.swap(s_);
  }

  // k P for a point with z = 1 and any k >= 2, by the same ladder over the bits of k.
  bool Multiply(Point& p, const Natural& k, StepPacer& pacer, const Progress& progress) {
    Point r0 = p;
    Point r1 = p;
    Double(r1, p);
    for (std::size_t bit = k.Bits() - 1; bit-- > 0;) {
      if (mpz_tstbit(k.get(), bit) != 0) {
        Add(r0, r1, r0, p, true);
        Double(r1, r1);
      } else {
        Add(r1, r0, r1, p, true);
        Double(r0, r0);
      }
      if (pacer.Stopped(progress)) {
        return false;
      }
    }
    p = std::move(r0);
    return true;
  }

  // k P for k >= 1, by Montgomery's ladder: R0 = n P and R1 = (n + 1) P, whose difference is P,
  // as n takes the leading bits of k one more at a time. False when the work must stop.
  bool Multiply(Point& p, std::uint64_t k, StepPacer& pacer, const Progress& progress) {
    if (k == 1) {
      return true;
    }
    Point r0 = p;
    Point r1 = p;
    Double(r1, p);
    for (int bit = 62 - std::countl_zero(k); bit >= 0; --bit) {
      if ((k >> bit & 1) != 0) {
        Add(r0, r1, r0, p);
        Double(r1, r1);
      } else {
        Add(r1, r0, r1, p);
        Double(r0, r0);
      }
      if (pacer.Stopped(progress)) {
        return false;
      }
    }
    p = std::move(r0);
    return true;
  }

 private:
  const BigMontgomery& m_;
  Residue a24_;
  Residue s_, d_, t_, u_;
};

// A factor of n (1 < f < n) from the gcd of n and the value of x, or 1.
Natural FactorFrom(const BigMontgomery& m, const Residue& x) {
  Natural divisor = Gcd(m.RawValue(x), m.Modulus());
  return divisor == m.Modulus() ? Natural(1) : divisor;
}

// x / z for every point, by one inversion (Montgomery's trick: the products of the first z's, the
// inverse of them all, and each inverse peeled off from the back). A z that shares a factor with
// n gives that factor instead, in `factor`; the x are then not set.
std::vector<Residue> AffineX(const BigMontgomery& m, const std::vector<Point>& points,
                             Natural& factor) {
  std::vector<Residue> products(points.size(), m.One());
  for (std::size_t i = 0; i < points.size(); ++i) {
    m.Multiply(products[i], i == 0 ? m.One() : products[i - 1], points[i].z);
  }
  Natural inverse = m.ValueOf(products.back());
  if (mpz_invert(inverse.raw(), inverse.get(), m.Modulus().get()) == 0) {
    factor = Gcd(inverse, m.Modulus());
    return {};
  }
  Residue rest = m.Of(inverse);  // 1 / (z_0 ... z_i)
  std::vector<Residue> xs(points.size(), m.Zero());
  for (std::size_t i = points.size(); i-- > 0;) {
    Residue& x = xs[i];
    if (i > 0) {
      m.Multiply(x, rest, products[i - 1]);  // 1 / z_i
      m.Multiply(rest, rest, points[i].z);
    } else {
      x = rest;
    }
    m.Multiply(x, x, points[i].x);
  }
  return xs;
}

// Which pairs (i, j) stage 2 multiplies in, made once for all the curves of a level: for each
// prime q with B1 < q <= B2, i = q / D rounded and j = |q - i D|, which the same pair serves for
// q = i D - j and q = i D + j.
struct Stage2Plan {
  std::uint64_t d;
  std::vector<std::uint32_t> babies;  // the odd j < D / 2 prime to D
  std::uint64_t first_giant;
  std::vector<std::uint32_t>
      begin;  // pairs[begin[g]] ... pairs[begin[g + 1] - 1] for i = first + g
  std::vector<std::uint16_t> pairs;  // indices into babies
};

Stage2Plan PlanStage2(std::uint64_t b1) {
  const std::uint64_t b2 = std::min<std::uint64_t>(100 * b1, std::uint64_t{1} << 28);
  Stage2Plan plan;
  // D balances the baby steps (about D / 2 additions) and the giant steps (B2 / D, each an
  // addition and a share of an inversion, some three times the cost).
  plan.d = 210;
  for (const std::uint64_t d : {2310u, 30030u}) {
    if (3 * d + 9 * b2 / d < 3 * plan.d + 9 * b2 / plan.d) {
      plan.d = d;
    }
  }
  std::vector<std::int32_t> index_of(plan.d / 2 + 1, -1);
  for (std::uint32_t j = 1; j < plan.d / 2; j += 2) {
    if (std::gcd(std::uint64_t{j}, plan.d) == 1) {
      index_of[j] = static_cast<std::int32_t>(plan.babies.size());
      plan.babies.push_back(j);
    }
  }
  // The odd primes up to B2, one bit each, by the sieve of Eratosthenes.
  std::vector<bool> composite(b2 / 2 + 1, false);
  for (std::uint64_t p = 3; p * p <= b2; p += 2) {
    if (!composite[p / 2]) {
      for (std::uint64_t multiple = p * p; multiple <= b2; multiple += 2 * p) {
        composite[multiple / 2] = true;
      }
    }
  }
  plan.first_giant = std::max<std::uint64_t>(1, (b1 + plan.d / 2) / plan.d);
  const std::uint64_t last_giant = (b2 + plan.d / 2) / plan.d;
  std::vector<bool> used(plan.babies.size());
  for (std::uint64_t i = plan.first_giant; i <= last_giant; ++i) {
    plan.begin.push_back(static_cast<std::uint32_t>(plan.pairs.size()));
    std::fill(used.begin(), used.end(), false);
    // The odd p with |p - i D| < D / 2 (D / 2 is odd).
    for (std::uint64_t p = i * plan.d - plan.d / 2 + 2; p < i * plan.d + plan.d / 2; p += 2) {
      if (p > b1 && p <= b2 && !composite[p / 2]) {
        const std::uint64_t j = p > i * plan.d ? p - i * plan.d : i * plan.d - p;
        used[static_cast<std::size_t>(index_of[j])] = true;
      }
    }
    for (std::size_t k = 0; k < used.size(); ++k) {
      if (used[k]) {
        plan.pairs.push_back(static_cast<std::uint16_t>(k));
      }
    }
  }
  plan.begin.push_back(static_cast<std::uint32_t>(plan.pairs.size()));
  return plan;
}

// The product of the largest power of each prime up to B1 that is at most B1, the multiplier of
// stage 1: 1.44 B1 bits. Words of prime powers are multiplied together by a product tree.
Natural Stage1Multiplier(std::uint64_t b1) {
  std::vector<Natural> words{Natural(1)};
  std::uint64_t word = 1;
  const auto add = [&](std::uint64_t p) {
    std::uint64_t power = p;
    while (power <= b1 / p) {
      power *= p;
    }
    if (word > UINT64_MAX / power) {
      words.emplace_back(word);
      word = 1;
    }
    word *= power;
  };
  add(2);
  for (const std::uint32_t p : OddPrimesBelow(static_cast<std::uint32_t>(b1 + 1))) {
    add(p);
  }
  words.emplace_back(word);
  while (words.size() > 1) {
    std::vector<Natural> products;
    for (std::size_t i = 0; i + 1 < words.size(); i += 2) {
      products.push_back(words[i] * words[i + 1]);
    }
    if (words.size() % 2 == 1) {
      products.push_back(std::move(words.back()));
    }
    words = std::move(products);
  }
  return words.front();
}

// Suyama's curve for sigma: u = sigma^2 - 5, v = 4 sigma, the point (u^3 : v^3), and
// (A + 2) / 4 = (v - u)^3 (3u + v) / (16 u^3 v); the point is made affine, (u^3 / v^3 : 1), by the
// same inversion. A denominator that is not prime to n gives its gcd with n in `factor` instead.
std::optional<std::pair<Point, Residue>> SuyamaCurve(const BigMontgomery& m, std::uint64_t sigma,
                                                     Natural& factor) {
  const Natural& n = m.Modulus();
  const Natural s(sigma);
  const Natural u = (s * s + n - Natural(5)) % n;
  const Natural v = Natural(4) * s % n;
  const Natural u3 = u * u * u % n;
  const Natural v3 = v * v * v % n;
  const Natural v_minus_u = (v + n - u) % n;
  Natural numerator = v_minus_u * v_minus_u % n * v_minus_u % n * ((Natural(3) * u + v) % n) % n;
  const Natural denominator = Natural(16) * u3 % n * v % n;
  Natural inverse = denominator * v3 % n;
  if (mpz_invert(inverse.raw(), inverse.get(), n.get()) == 0) {
    factor = Gcd(inverse, n);
    return std::nullopt;
  }
  return std::pair<Point, Residue>{Point{m.Of(u3 * denominator % n * inverse), m.One()},
                                   m.Of(numerator * v3 % n * inverse)};
}

// Stage 2 on the point q of stage 1: a factor, or 1.
Natural Stage2(const BigMontgomery& m, Curve& curve, const Point& q, const Stage2Plan& plan,
               StepPacer& pacer, const Progress& progress) {
  Natural factor(1);
  // The baby steps j Q for odd j < D / 2: (j + 2) Q = j Q + 2 Q, whose difference is (j - 2) Q.
  Point two = q;
  curve.Double(two, q);
  std::vector<Point> babies;
  Point previous = q;             // (j - 2) Q
  Point current = q;              // j Q
  curve.Add(current, two, q, q);  // 3Q
  babies.push_back(q);
  for (std::uint32_t j = 3; j < plan.d / 2; j += 2) {
    if (std::gcd(std::uint64_t{j}, plan.d) == 1) {
      babies.push_back(current);
    }
    Point next = current;
    curve.Add(next, current, two, previous);
    previous = std::move(current);
    current = std::move(next);
  }
  const std::vector<Residue> baby_x = AffineX(m, babies, factor);
  if (baby_x.empty()) {
    return factor == m.Modulus() ? Natural(1) : factor;
  }
  // The giant steps i D Q, a batch at a time: G_(i+1) = G_i + G, whose difference is G_(i-1).
  Point giant = q;
  if (!curve.Multiply(giant, plan.d, pacer, progress)) {
    return Natural(1);
  }
  // G_(first - 1) and G_first; from G_1 on, G_2 is 2 G_1 and G_0 is never needed.
  Point before = q;
  Point at = giant;
  if (plan.first_giant > 1 &&
      (!curve.Multiply(before, (plan.first_giant - 1) * plan.d, pacer, progress) ||
       !curve.Multiply(at, plan.first_giant, pacer, progress))) {
    return Natural(1);
  }
  constexpr std::size_t kBatch = 64;
  const std::size_t giants = plan.begin.size() - 1;
  Residue product = m.One();
  Residue difference = m.Zero();
  std::vector<Point> batch;
  for (std::size_t g = 0; g < giants; g += kBatch) {
    batch.clear();
    for (std::size_t k = g; k < std::min(giants, g + kBatch); ++k) {
      batch.push_back(at);
      Point next = at;
      if (k == 0 && plan.first_giant == 1) {
        curve.Double(next, at);
      } else {
        curve.Add(next, at, giant, before);
      }
      before = std::move(at);
      at = std::move(next);
    }
    const std::vector<Residue> giant_x = AffineX(m, batch, factor);
    if (giant_x.empty()) {
      return factor == m.Modulus() ? Natural(1) : factor;
    }
    for (std::size_t k = 0; k < batch.size(); ++k) {
      for (std::uint32_t pair = plan.begin[g + k]; pair < plan.begin[g + k + 1]; ++pair) {
        m.Subtract(difference, giant_x[k], baby_x[plan.pairs[pair]]);
        m.Multiply(product, product, difference);
      }
      if (pacer.Stopped(progress)) {
        return Natural(1);
      }
    }
  }
  return FactorFrom(m, product);
}

}  // namespace

const std::vector<EcmLevel>& EcmLevels() {
  static const std::vector<EcmLevel> levels = {
      {12, 400, 16},       {15, 2000, 25},       {20, 11000, 74},
      {25, 50000, 221},    {30, 250000, 453},    {35, 1000000, 984},
      {40, 3000000, 2240}, {45, 11000000, 4392}, {50, 43000000, 7557},
  };
  return levels;
}

Natural EcmFactor(const Natural& n, const EcmLevel& level, std::uint64_t first_sigma, Work& work,
                  CurveShare share) {
  const BigMontgomery m(n);
  const Natural multiplier = Stage1Multiplier(level.b1);
  const Stage2Plan plan = PlanStage2(level.b1);
  StepPacer pacer(work, m.Limbs(), 10000);
  const std::string method = "ECM B1=" + std::to_string(level.b1);
  for (std::uint64_t c = share.first; c < level.curves; c += share.every) {
    const Progress progress{method, "curve", c + 1, level.curves};
    Natural factor(1);
    auto curve_and_point = SuyamaCurve(m, first_sigma + c, factor);
    if (!curve_and_point) {
      if (factor != n) {
        return factor;
      }
      continue;
    }
    Curve curve(m, std::move(curve_and_point->second));
    Point& q = curve_and_point->first;
    if (!curve.Multiply(q, multiplier, pacer, progress)) {
      return Natural(1);
    }
    factor = FactorFrom(m, q.z);
    if (factor == 1 && !m.IsZero(q.z)) {
      factor = Stage2(m, curve, q, plan, pacer, progress);
    }
    if (factor != 1) {
      return factor;
    }
    if (work.Stopped()) {
      return Natural(1);
    }
  }
  return Natural(1);
}

Natural EcmFactorOnEveryCore(const Natural& n, const EcmLevel& level, std::uint64_t first_sigma,
                             Work& work) {
#if defined(__EMSCRIPTEN__)
  return EcmFactor(n, level, first_sigma, work);
#else
  if (std::thread::hardware_concurrency() < 2 || level.curves < 2) {
    return EcmFactor(n, level, first_sigma, work);
  }
  // This thread takes the even curves and tells of progress; the other takes the odd ones.
  WorkShare mine(work, true);
  WorkShare theirs(work, false);
  Natural their_factor(1);
  std::thread other([&] {
    their_factor = EcmFactor(n, level, first_sigma, theirs, {1, 2});
    if (their_factor != 1) {
      mine.Stop();
    }
  });
  Natural factor = EcmFactor(n, level, first_sigma, mine, {0, 2});
  if (factor != 1) {
    theirs.Stop();
  }
  other.join();
  return factor != 1 ? factor : their_factor;
#endif
}

}  // namespace brindaq
