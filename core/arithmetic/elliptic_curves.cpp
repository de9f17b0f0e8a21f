// Lenstra's elliptic-curve method for numbers below 2^128, on Montgomery curves
// B y^2 = x^3 + A x^2 + x with points in X:Z form, modulo n in Montgomery arithmetic on one word
// (Montgomery64) or two (Montgomery128): the steps are written once, for either.
//
// On each curve a point P is multiplied by every prime power up to B1 (stage 1), and the result Q
// then by each prime q in (B1, B2] in turn (stage 2). Modulo a prime p that divides n, the points
// of the curve form a group whose order is some number near p; when that order is a product of
// prime powers up to B1 and at most one prime up to B2, the multiple reaches the group's zero,
// whose Z is 0 modulo p, and the greatest common divisor of Z and n reveals p. Each curve has
// another order, so the curves are tried until one succeeds. The curves are Suyama's, whose orders
// are all divisible by 12, which makes them likelier to be smooth.
//
// Stage 2 pairs the primes q = kD +- j (D the giant step, even, j < D/2 prime to D):
// [kD]Q = +-[j]Q modulo p exactly when X(kD) - x(j) Z(kD) is 0 modulo p, with x(j) = X(j) / Z(j),
// so one product serves both, and all of them are multiplied together before one greatest
// common divisor.
//
// Pollard's p - 1 method on two words lives here too, for the scalar of stage 1 and the pairs of
// stage 2 that it shares with the curves.

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

#include "core/arithmetic/factorisation.h"
#include "core/arithmetic/montgomery.h"
#include "core/arithmetic/montgomery128.h"
#include "core/arithmetic/two_words.h"
#include "core/arithmetic/wide.h"
#include "core/tuning.h"

namespace brindaq {
namespace {

// The word of a Montgomery form: std::uint64_t or Uint128.
template <typename M>
using WordOf = std::remove_cvref_t<decltype(std::declval<const M&>().One())>;

template <typename W>
struct Point {
  W x;
  W z;
};

template <typename M>
class Curve {
 public:
  using W = WordOf<M>;

  // a24 = (A + 2) / 4, in Montgomery form.
  Curve(const M& m, W a24) : m_(m), a24_(a24) {}

  Point<W> Double(Point<W> p) const {
    const W sum = m_.Square(m_.Add(p.x, p.z));
    const W difference = m_.Square(m_.Subtract(p.x, p.z));
    const W four_xz = m_.Subtract(sum, difference);
    return {m_.Multiply(sum, difference),
            m_.Multiply(four_xz, m_.Add(difference, m_.Multiply(a24_, four_xz)))};
  }

  // p + q, given p - q.
  Point<W> Add(Point<W> p, Point<W> q, Point<W> difference) const {
    const W u = m_.Multiply(m_.Subtract(p.x, p.z), m_.Add(q.x, q.z));
    const W v = m_.Multiply(m_.Add(p.x, p.z), m_.Subtract(q.x, q.z));
    return {m_.Multiply(difference.z, m_.Square(m_.Add(u, v))),
            m_.Multiply(difference.x, m_.Square(m_.Subtract(u, v)))};
  }

  // p + q, given p - q with Z = 1 (its X alone).
  Point<W> AddWithUnitDifference(Point<W> p, Point<W> q, W difference_x) const {
    const W u = m_.Multiply(m_.Subtract(p.x, p.z), m_.Add(q.x, q.z));
    const W v = m_.Multiply(m_.Add(p.x, p.z), m_.Subtract(q.x, q.z));
    return {m_.Square(m_.Add(u, v)), m_.Multiply(difference_x, m_.Square(m_.Subtract(u, v)))};
  }

  // [k]p and [k + 1]p for k >= 1, by Montgomery's ladder: r0 = [s]p and r1 = [s + 1]p for the
  // bits s of k read so far, so that their difference is always p.
  std::pair<Point<W>, Point<W>> Ladder(Point<W> p, std::uint64_t k) const {
    Point<W> r0 = p;
    Point<W> r1 = Double(p);
    for (int bit = std::bit_width(k) - 2; bit >= 0; --bit) {
      if ((k >> bit) & 1) {
        r0 = Add(r1, r0, p);
        r1 = Double(r1);
      } else {
        r1 = Add(r1, r0, p);
        r0 = Double(r0);
      }
    }
    return {r0, r1};
  }

  // [k]p for k >= 1.
  Point<W> Multiply(Point<W> p, std::uint64_t k) const { return Ladder(p, k).first; }

 private:
  const M& m_;
  W a24_;
};

constexpr std::uint64_t kD = tuning::kGiantStep;
static_assert(kD % 12 == 6 && kD >= 30, "the baby steps are made for D/2 = 3 (mod 6)");

// Which j < D/2 are prime to D, the baby steps, and how many there are.
constexpr std::array<bool, kD / 2> kBabyStep = [] {
  std::array<bool, kD / 2> baby{};
  for (std::uint64_t j = 1; j < kD / 2; ++j) {
    baby[j] = GreatestCommonDivisor(j, kD) == 1;
  }
  return baby;
}();
constexpr std::size_t kBabySteps = [] {
  std::size_t count = 0;
  for (const bool baby : kBabyStep) {
    count += baby ? 1 : 0;
  }
  return count;
}();

// The baby steps themselves, ascending.
constexpr std::array<std::uint32_t, kBabySteps> kBabyJs = [] {
  std::array<std::uint32_t, kBabySteps> js{};
  std::size_t count = 0;
  for (std::uint32_t j = 1; j < kD / 2; ++j) {
    if (kBabyStep[j]) {
      js[count++] = j;
    }
  }
  return js;
}();

using Bounds = tuning::CurveBounds;

// Which pairs of a giant step kD and a baby step j hold a prime kD - j or kD + j of stage 2, for
// one pair of bounds: for each giant step from the first on, the indices of its baby steps. Made
// once for a pair of bounds and kept for the next curves of the thread, which mostly have the same
// bounds: the curve then takes the pairs in turn without a test, whose outcome no branch predictor
// could guess.
struct PairPlan {
  std::uint32_t b1 = 0;
  std::uint32_t b2 = 0;
  std::uint64_t first_k = 0;
  std::size_t giants = 0;
  // Each pair as (index of its giant step from the first) * 256 + (index into kBabyJs).
  std::vector<std::uint32_t> pairs;
};

const PairPlan& PlanFor(const Bounds& bounds, const std::uint8_t* prime_flags) {
  constexpr std::size_t kKept = 8;  // the levels of the curves and p - 1
  thread_local std::array<PairPlan, kKept> plans;
  thread_local std::size_t next = 0;
  for (const PairPlan& plan : plans) {
    if (plan.b1 == bounds.b1 && plan.b2 == bounds.b2 && plan.first_k != 0) {
      return plan;
    }
  }
  PairPlan& plan = plans[next];
  next = (next + 1) % kKept;
  plan.b1 = bounds.b1;
  plan.b2 = bounds.b2;
  plan.first_k = bounds.b1 / kD > 0 ? bounds.b1 / kD : 1;
  plan.pairs.clear();
  plan.giants = 0;
  for (std::uint64_t k = plan.first_k; k * kD <= bounds.b2 + kD; ++k) {
    const auto giant = static_cast<std::uint32_t>(k - plan.first_k);
    for (std::size_t i = 0; i < kBabySteps; ++i) {
      const std::uint64_t low = k * kD - kBabyJs[i];
      const std::uint64_t high = k * kD + kBabyJs[i];
      if ((low > bounds.b1 && low <= bounds.b2 && prime_flags[low] != 0) ||
          (high > bounds.b1 && high <= bounds.b2 && prime_flags[high] != 0)) {
        plan.pairs.push_back(giant * 256 + static_cast<std::uint32_t>(i));
        plan.giants = giant + 1;  // giant steps past the last prime are not taken
      }
    }
  }
  return plan;
}

// Larger factors need larger bounds; the smallest factor of n is at most its square root.
const Bounds& BoundsFor(std::uint64_t n) {
  const int bits = std::bit_width(n);
  for (const Bounds& bounds : tuning::kCurveBounds) {
    if (bits <= bounds.bits) {
      return bounds;
    }
  }
  return tuning::kCurveBounds.back();
}

// Which numbers are prime, up to the largest second-stage bound of a table of bounds and a step
// beyond it: for one word, made when compiling; for two words, whose bounds reach further, made
// once, when first needed.
template <typename Levels>
constexpr std::size_t SieveEnd(const Levels& levels) {
  std::uint32_t largest = 0;
  for (const auto& level : levels) {
    largest = std::max(largest, level.b2);
  }
  return largest + 2 * kD;
}

template <typename Flags>
constexpr void Sieve(Flags& prime) {
  std::fill(prime.begin(), prime.end(), 1);
  prime[0] = prime[1] = 0;
  for (std::size_t p = 2; p * p < prime.size(); ++p) {
    if (prime[p] != 0) {
      for (std::size_t multiple = p * p; multiple < prime.size(); multiple += p) {
        prime[multiple] = 0;
      }
    }
  }
}

constexpr auto kOneWordPrimes = [] {
  std::array<std::uint8_t, SieveEnd(tuning::kCurveBounds)> prime{};
  Sieve(prime);
  return prime;
}();

const std::uint8_t* PrimeFlags(std::uint64_t b2) {
  if (b2 + 2 * kD <= kOneWordPrimes.size()) {
    return kOneWordPrimes.data();
  }
  static const std::vector<std::uint8_t> two_words = [] {
    std::vector<std::uint8_t> prime(SieveEnd(tuning::kTwoWordCurveLevels));
    Sieve(prime);
    return prime;
  }();
  return two_words.data();
}

// What a step of the search has found: a factor of n, or 0.
template <typename W>
W FactorOf(W value, W n) {
  const W divisor = GreatestCommonDivisor(value, n);
  return divisor != 1 && divisor != n ? divisor : 0;
}

// Suyama's curve for the parameter sigma and the point on it to start from; or, where setting it
// up needs an inverse modulo n that does not exist, no curve, and the factor of n that this
// reveals (0 when the number without an inverse is 0 modulo n).
template <typename W>
struct CurveStart {
  bool has_curve;
  W a24;  // (A + 2) / 4, in Montgomery form
  Point<W> point;
  W factor;
};

template <typename M, typename W = WordOf<M>>
CurveStart<W> SuyamaCurve(const M& m, std::uint64_t sigma) {
  // u = sigma^2 - 5, v = 4 sigma; the point is (u^3 : v^3), and
  // (A + 2) / 4 = (v - u)^3 (3u + v) / (16 u^3 v). One inversion, of 16 u^3 v * v^3, gives both
  // the curve and the point with Z = 1, which saves a product in every addition of stage 1.
  const W one = m.One();
  const W two = m.Add(one, one);
  const W four = m.Add(two, two);
  const W sixteen = m.Add(m.Add(four, four), m.Add(four, four));
  const W s = m.Of(sigma);
  const W u = m.Subtract(m.Square(s), m.Add(four, one));
  const W v = m.Multiply(four, s);
  const W u3 = m.Multiply(m.Square(u), u);
  const W v3 = m.Multiply(m.Square(v), v);
  const W v_minus_u = m.Subtract(v, u);
  const W numerator =
      m.Multiply(m.Multiply(m.Square(v_minus_u), v_minus_u), m.Add(m.Add(m.Add(u, u), u), v));
  const W denominator = m.Multiply(m.Multiply(sixteen, u3), v);
  const W plain_both = m.ValueOf(m.Multiply(denominator, v3));
  const auto inverse = InverseModulo(plain_both, m.Modulus());
  if (!inverse) {
    return {false, 0, {}, FactorOf(plain_both, m.Modulus())};
  }
  const W inverse_both = m.Of(*inverse);
  return {true,
          m.Multiply(numerator, m.Multiply(v3, inverse_both)),
          {m.Multiply(u3, m.Multiply(denominator, inverse_both)), one},
          0};
}

// The odd part of the product of every prime power up to B1, as words from the lowest, and the
// exponent of its power of 2: made once for a B1 and kept for the next curves of the thread.
struct StageOneScalar {
  std::uint32_t b1 = 0;
  std::vector<std::uint64_t> words;
  int twos = 0;
};

const StageOneScalar& ScalarFor(std::uint32_t b1, const std::uint8_t* prime_flags) {
  constexpr std::size_t kKept = 8;  // the levels of the curves and p - 1
  thread_local std::array<StageOneScalar, kKept> scalars;
  thread_local std::size_t next = 0;
  for (const StageOneScalar& scalar : scalars) {
    if (scalar.b1 == b1 && !scalar.words.empty()) {
      return scalar;
    }
  }
  StageOneScalar& scalar = scalars[next];
  next = (next + 1) % kKept;
  scalar.b1 = b1;
  scalar.words.assign(1, 1);
  scalar.twos = std::bit_width(b1) - 1;
  for (std::uint32_t prime = 3; prime <= b1; ++prime) {
    if (prime_flags[prime] == 0) {
      continue;
    }
    std::uint64_t power = prime;
    while (power * prime <= b1) {
      power *= prime;
    }
    std::uint64_t carry = 0;
    for (std::uint64_t& word : scalar.words) {
      const Uint128 product = Uint128{word} * power + carry;
      word = static_cast<std::uint64_t>(product);
      carry = static_cast<std::uint64_t>(product >> 64);
    }
    if (carry != 0) {
      scalar.words.push_back(carry);
    }
  }
  return scalar;
}

// Swaps a and b when `swap` is set, without a branch: the bits of a ladder follow no pattern that
// a branch predictor could learn.
template <typename W>
void SwapIf(bool swap, Point<W>& a, Point<W>& b) {
  const W mask = W{0} - static_cast<W>(swap);
  const W x = (a.x ^ b.x) & mask;
  const W z = (a.z ^ b.z) & mask;
  a.x ^= x;
  b.x ^= x;
  a.z ^= z;
  b.z ^= z;
}

// Stage 1: p, with Z = 1, multiplied by every prime power up to B1: by their odd product in one
// ladder, whose additions all have p for their difference, then by the power of 2 in doublings.
template <typename M, typename W = WordOf<M>>
Point<W> MultiplyByPrimePowers(const Curve<M>& curve, Point<W> p, std::uint32_t b1,
                               const std::uint8_t* prime_flags) {
  const StageOneScalar& scalar = ScalarFor(b1, prime_flags);
  const std::size_t top = scalar.words.size() - 1;
  const int top_bits = std::bit_width(scalar.words[top]);
  Point<W> r0 = p;
  Point<W> r1 = curve.Double(p);
  for (std::size_t w = top + 1; w-- > 0;) {
    const std::uint64_t word = scalar.words[w];
    for (int bit = (w == top ? top_bits - 1 : 64); bit-- > 0;) {
      // r0 = [s]p, r1 = [s + 1]p; a bit 1 makes them [2s + 1]p, [2s + 2]p, a bit 0 [2s]p,
      // [2s + 1]p: the same steps on the points swapped.
      const bool one = ((word >> bit) & 1) != 0;
      SwapIf(one, r0, r1);
      r1 = curve.AddWithUnitDifference(r1, r0, p.x);
      r0 = curve.Double(r0);
      SwapIf(one, r0, r1);
    }
  }
  for (int i = 0; i < scalar.twos; ++i) {
    r0 = curve.Double(r0);
  }
  return r0;
}

// Stage 2 from q, the point that stage 1 left: a factor of n, or 0. The baby steps [j]Q for the
// odd j < D/2 prime to D are made from [1]Q and [2]Q, the giant steps [kD]Q each from the one
// before, [D]Q and the one before that ([2D]Q is [D]Q doubled); then all of them are brought to
// Z = 1 by one inversion (Montgomery's trick), so that a pair costs a subtraction for its term
// x(kD) - x(j) and one multiplication to gather it into the product. The products of the pairs go
// into four accumulators in turn, so that four multiplications are under way at once.
template <typename M, typename W = WordOf<M>>
W PairGiantAndBabySteps(const M& m, const Curve<M>& curve, Point<W> q, const Bounds& bounds,
                        const std::uint8_t* prime_flags) {
  const W stage_one_z = q.z;  // gathered into the product of stage 2: one gcd for both stages
  const W n = m.Modulus();
  const PairPlan& plan = PlanFor(bounds, prime_flags);
  // The baby steps, then the giant steps, with the products of their Z and their x: on the stack
  // for the bounds of one word and the first levels of two, kept by the thread past them.
  constexpr std::size_t kOnStack = 96;
  const std::size_t count = kBabySteps + std::max<std::size_t>(plan.giants, 1);
  std::array<Point<W>, kOnStack> points_here;
  std::array<W, kOnStack> prefix_here;
  std::array<W, kOnStack> xs_here;
  thread_local std::vector<Point<W>> points_kept;
  thread_local std::vector<W> prefix_kept;
  thread_local std::vector<W> xs_kept;
  const bool here = count <= kOnStack;
  if (!here) {
    points_kept.resize(count);
    prefix_kept.resize(count);
    xs_kept.resize(count);
  }
  Point<W>* const points = here ? points_here.data() : points_kept.data();
  W* const prefix = here ? prefix_here.data() : prefix_kept.data();
  W* const xs = here ? xs_here.data() : xs_kept.data();
  std::size_t made = 0;
  // The j < D/2 prime to 6 in two progressions of step 6, j = 1 and j = 5 (mod 6), each [j + 6]Q
  // from [j]Q, [6]Q and [j - 6]Q: a third fewer additions than every odd j. [D/2]Q, which is
  // 3 (mod 6), is [D/2 - 2]Q + [2]Q, and [D]Q its double: a few additions where a ladder for D
  // would take some eighty products.
  constexpr std::uint32_t kHalf = kD / 2;
  std::array<Point<W>, kHalf> multiple;  // [j]Q for the j that the progressions reach
  const Point<W> twice = curve.Double(q);
  const Point<W> thrice = curve.Add(twice, q, q);
  const Point<W> six = curve.Double(thrice);
  multiple[1] = q;
  multiple[5] = curve.Add(thrice, twice, q);
  multiple[7] = curve.Add(six, q, multiple[5]);
  multiple[11] = curve.Add(six, multiple[5], q);
  for (std::uint32_t j = 13; j < kHalf; j += 6) {
    multiple[j] = curve.Add(multiple[j - 6], six, multiple[j - 12]);
    if (j + 4 < kHalf) {
      multiple[j + 4] = curve.Add(multiple[j - 2], six, multiple[j - 8]);
    }
  }
  for (std::uint32_t j = 1; j < kHalf; ++j) {
    if (kBabyStep[j]) {
      points[made++] = multiple[j];
    }
  }
  const Point<W> step = curve.Double(curve.Add(multiple[kHalf - 2], twice, multiple[kHalf - 4]));
  std::uint64_t k = plan.first_k;
  Point<W> giant = step;
  Point<W> previous = step;
  if (k > 1) {
    std::tie(previous, giant) = curve.Ladder(step, k - 1);
  }
  for (std::size_t g = 0; kBabySteps + g < count; ++g, ++k) {
    if (g > 0) {
      const Point<W> next = k == 2 ? curve.Double(step) : curve.Add(giant, step, previous);
      previous = giant;
      giant = next;
    }
    points[made++] = giant;
  }
  // x = X / Z. prefix[i] is the product of the Z before the i-th; the inverse of the product of
  // them all, times prefix[i], is 1 / Z(i) once the Z after the i-th are taken out.
  W all = m.One();
  for (std::size_t i = 0; i < count; ++i) {
    prefix[i] = all;
    all = m.Multiply(all, points[i].z);
  }
  const W plain_all = m.ValueOf(all);
  const auto inverse_all = InverseModulo(plain_all, n);
  if (!inverse_all) {
    // A Z of 0 modulo a prime of n: a point of stage 1 or 2 at the group's zero.
    const W factor = FactorOf(plain_all, n);
    return factor != 0 ? factor : FactorOf(stage_one_z, n);
  }
  W inverse = m.Of(*inverse_all);
  for (std::size_t i = count; i-- > 0;) {
    xs[i] = m.Multiply(points[i].x, m.Multiply(inverse, prefix[i]));
    inverse = m.Multiply(inverse, points[i].z);
  }
  std::array<W, 4> products{stage_one_z, m.One(), m.One(), m.One()};
  const auto first_factor = [&products, stage_one_z, n](std::array<W, 4> terms) {
    for (const W value : {products[0], products[1], products[2], products[3], terms[0], terms[1],
                          terms[2], terms[3], stage_one_z}) {
      if (const W factor = FactorOf(value, n); factor != 0) {
        return factor;
      }
    }
    return W{0};
  };
  const auto term = [xs](std::uint32_t pair, const M& mm) {
    return mm.Subtract(xs[kBabySteps + (pair >> 8)], xs[pair & 255]);
  };
  const std::vector<std::uint32_t>& pairs = plan.pairs;
  std::size_t i = 0;
  for (; i + 4 <= pairs.size(); i += 4) {
    const std::array<W, 4> terms{term(pairs[i], m), term(pairs[i + 1], m), term(pairs[i + 2], m),
                                 term(pairs[i + 3], m)};
    const std::array<W, 4> next{
        m.Multiply(products[0], terms[0]), m.Multiply(products[1], terms[1]),
        m.Multiply(products[2], terms[2]), m.Multiply(products[3], terms[3])};
    if (next[0] == 0 || next[1] == 0 || next[2] == 0 || next[3] == 0) {
      return first_factor(terms);
    }
    products = next;
  }
  for (; i < pairs.size(); ++i) {
    const W one_term = term(pairs[i], m);
    const W next = m.Multiply(products[0], one_term);
    if (next == 0) {
      return first_factor({one_term, 0, 0, 0});
    }
    products[0] = next;
  }
  const W product =
      m.Multiply(m.Multiply(products[0], products[1]), m.Multiply(products[2], products[3]));
  // Both stages may have found every prime of n; a part of the product then may still show one.
  const W divisor = GreatestCommonDivisor(product, n);
  return divisor != n ? FactorOf(product, n) : first_factor({0, 0, 0, 0});
}

// One curve, from Suyama's parameter sigma: a factor of n, or 0.
template <typename M, typename W = WordOf<M>>
W TryCurve(const M& m, std::uint64_t sigma, const Bounds& bounds) {
  const CurveStart<W> start = SuyamaCurve(m, sigma);
  if (!start.has_curve) {
    return start.factor;
  }
  const std::uint8_t* prime_flags = PrimeFlags(bounds.b2);
  const Curve<M> curve(m, start.a24);
  const Point<W> q = MultiplyByPrimePowers(curve, start.point, bounds.b1, prime_flags);
  if (q.z == 0) {
    return 0;  // every prime of n at once
  }
  // In one word a gcd costs little beside a stage 2, which a factor found by stage 1 saves; in two
  // it costs as much as some hundred products, and stage 2 gathers it into its own.
  if constexpr (std::is_same_v<W, std::uint64_t>) {
    if (const W factor = FactorOf(q.z, m.Modulus()); factor != 0) {
      return factor;
    }
  }
  return PairGiantAndBabySteps(m, curve, q, bounds, prime_flags);
}

// Pollard's p - 1 method on two words, which shares the scalar of stage 1 and the pairs of
// stage 2 with the curves: x = 2^E for E the product of every prime power up to B1 reveals a prime
// p of n when p - 1 divides E, through gcd(x - 1, n). Stage 2 pairs the primes q = kD +- j in
// (B1, B2] as the curves do, on V_k = x^k + x^-k: V_kD - V_j = x^-kD (x^(kD-j) - 1)(x^(kD+j) - 1),
// so that one product serves both primes of a pair, and every V follows from two before it,
// V_(a+b) = V_a V_b - V_(a-b), with no inversion past that of x. A step of stage 1 costs a square,
// a tenth of a step of a curve, so that the method looks for factors with p - 1 smooth to a bound
// ten times a first curve's at half the cost; a curve, whose order varies, is then the better bet.
template <typename M, typename W = WordOf<M>>
W PMinusOneFactor(const M& m, const Bounds& bounds) {
  const W n = m.Modulus();
  const std::uint8_t* prime_flags = PrimeFlags(bounds.b2);
  const StageOneScalar& scalar = ScalarFor(bounds.b1, prime_flags);
  const W two = m.Add(m.One(), m.One());
  W x = two;
  const std::size_t top = scalar.words.size() - 1;
  const int top_bits = std::bit_width(scalar.words[top]);
  for (std::size_t w = top + 1; w-- > 0;) {
    const std::uint64_t word = scalar.words[w];
    for (int bit = (w == top ? top_bits - 1 : 64); bit-- > 0;) {
      x = m.Square(x);
      if (((word >> bit) & 1) != 0) {
        x = m.Add(x, x);
      }
    }
  }
  for (int i = 0; i < scalar.twos; ++i) {
    x = m.Square(x);
  }
  const W stage_one = m.Subtract(x, m.One());
  const auto inverse = InverseModulo(m.ValueOf(x), n);  // x is a power of 2, n odd
  if (!inverse || stage_one == 0) {
    return 0;
  }
  const W v1 = m.Add(x, m.Of(*inverse));
  const W v2 = m.Subtract(m.Square(v1), two);
  // The baby steps V_j, j odd below D/2, each from the two before; then V_D = V_(D/2)^2 - 2.
  constexpr std::uint32_t kHalf = kD / 2;
  std::array<W, kBabySteps> babies;
  std::size_t made = 0;
  W before = v1;  // V_(j-2), with V_-1 = V_1
  W current = v1;
  for (std::uint32_t j = 1; j <= kHalf; j += 2) {
    if (j > 1) {
      const W next = m.Subtract(m.Multiply(current, v2), before);
      before = current;
      current = next;
    }
    if (j < kHalf && kBabyStep[j]) {
      babies[made++] = current;
    }
  }
  const W step = m.Subtract(m.Square(current), two);  // current is V_(D/2)
  const PairPlan& plan = PlanFor(bounds, prime_flags);
  // The giant steps V_kD from V_0 = 2 and V_D on.
  W previous = two;
  W giant = step;
  for (std::uint64_t k = 1; k < plan.first_k; ++k) {
    const W next = m.Subtract(m.Multiply(giant, step), previous);
    previous = giant;
    giant = next;
  }
  std::array<W, 4> products{stage_one, m.One(), m.One(), m.One()};
  std::size_t g = 0;
  const std::vector<std::uint32_t>& pairs = plan.pairs;
  for (std::size_t i = 0; i < pairs.size(); ++i) {
    for (; g < (pairs[i] >> 8); ++g) {
      const W next = m.Subtract(m.Multiply(giant, step), previous);
      previous = giant;
      giant = next;
    }
    products[i & 3] = m.Multiply(products[i & 3], m.Subtract(giant, babies[pairs[i] & 255]));
  }
  const W product =
      m.Multiply(m.Multiply(products[0], products[1]), m.Multiply(products[2], products[3]));
  if (const W factor = FactorOf(product, n); factor != 0) {
    return factor;
  }
  // Every prime of n at once in the product: stage 1 alone may still show one.
  return FactorOf(stage_one, n);
}

}  // namespace

std::uint64_t EllipticCurveFactor(std::uint64_t n, int curves) {
  const Montgomery64 m(n);
  const Bounds& bounds = BoundsFor(n);
  // Suyama's parameter from 6 on, past 0, 1, 3 and 5, whose curves are degenerate.
  for (int curve = 0; curve < curves; ++curve) {
    if (const std::uint64_t factor = TryCurve(m, 6 + static_cast<std::uint64_t>(curve), bounds);
        factor != 0) {
      return factor;
    }
  }
  return 0;
}

Uint128 PMinusOneFactor(const Montgomery128& m, const tuning::CurveBounds& bounds) {
  const Uint128 factor = PMinusOneFactor<Montgomery128>(m, bounds);
  return factor != 0 ? factor : 1;
}

Uint128 EllipticCurveFactor(const Montgomery128& m, const tuning::CurveBounds& bounds, int curves,
                            std::uint64_t first_sigma) {
  for (int curve = 0; curve < curves; ++curve) {
    if (const Uint128 factor = TryCurve(m, first_sigma + static_cast<std::uint64_t>(curve), bounds);
        factor != 0) {
      return factor;
    }
  }
  return 1;
}

}  // namespace brindaq
