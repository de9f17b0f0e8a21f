// The self-initialising quadratic sieve: the gathering of relations. Following S. P. Contini,
// "Factoring integers with the self-initializing quadratic sieve" (M.Sc. thesis, Georgia, 1997),
// and R. D. Silverman, "The multiple polynomial quadratic sieve" (Math. Comp. 48, 1987).
//
// A multiplier k is chosen by the Knuth-Schroeppel function, so that small primes divide the
// values often. The factor base holds 2 and the primes p for which kN is a square modulo p.
// Each polynomial is g(x) = ((A x + B)^2 - kN) / A, with (A x + B)^2 = A g(x) modulo N: A is a
// product of s primes of the factor base near the size that makes |g| smallest over the interval
// [-M, M), about M sqrt(kN / 2); each A gives 2^(s-1) values of B, visited in the order of a Gray
// code, so that passing from one polynomial to the next moves every root of the factor base by
// one precomputed addition modulo p. The interval is struck in blocks of 32 KiB, one byte a value,
// each prime adding its logarithm in bits at its two roots; the primes below 30 are not sieved
// with (the threshold is lowered instead). A prime above the block strikes each block at most once
// for each root: its hits are sorted into one bucket for each block once per polynomial, as its
// roots move to the polynomial (a bucket sieve, as msieve and YAFU have), instead of each such
// prime being visited once for every block. A value over the threshold is divided by the primes of
// the factor base whose roots it meets, never tried one by one: for a prime below the block, p
// divides x - r exactly when a product with the inverse of p modulo 2^32 is small (modulo 2^16,
// eight primes to a vector, when the interval is a single block); the primes above
// it are those of the block's bucket whose offset is the value's, read once for all the values of
// the block. What is left is 1 (a full relation), one prime below the large prime bound (a partial
// relation) or, for the larger numbers, a composite below a power of that bound that splits into
// two primes below it, found by the curves for one word (a partial relation with two large primes:
// A. K. Lenstra and M. S. Manasse, "Factoring with two large primes", Math. Comp. 63, 1994). The
// partial relations are the edges of a graph on their large primes (big_siqs_cycles.h): each
// independent cycle, counted as the edges come and found once the sieve has enough, multiplies
// into one relation more, as two partial relations with the same large prime do. While the values
// fit in two words (up to some 60 digits) they are computed and divided there, by the inverses of
// the primes modulo 2^128, and the work for each new A (the remainders of A and B by the primes of
// the factor base) is done by precomputed reciprocals (big_siqs_words.h), without GMP. Two streams
// of polynomials, each with its own A values and sieve, share the relations, on two threads where
// there are two. The sizes (factor base, blocks, large prime bound, threshold) are in
// core/tuning.h.

#include <algorithm>
#include <atomic>
#include <bit>
#include <cmath>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <type_traits>

#include "core/arithmetic/factorisation.h"
#include "core/arithmetic/montgomery.h"
#include "core/arithmetic/probable_prime.h"
#include "core/arithmetic/wide.h"
#include "core/big/big_siqs.h"
#include "core/big/big_siqs_cycles.h"
#include "core/big/big_siqs_words.h"
#include "core/big/big_split.h"
#include "core/big/pacing.h"
#include "core/big/small_primes.h"
#include "core/tuning.h"

// The sieve runs two streams of polynomials on two threads, except in WebAssembly, which runs
// without threads.
#if !defined(__EMSCRIPTEN__)
#define BRINDAQ_SIQS_THREADS 1
#include <thread>
#endif

namespace brindaq {
namespace {

constexpr std::size_t kBlock = tuning::kSiqsBlock;
constexpr int kBlockBits = std::countr_zero(kBlock);
static_assert(kBlock == std::size_t{1} << kBlockBits && kBlockBits <= 16);
// The root of a prime that is not sieved with: no position of the interval reaches it.
constexpr std::uint32_t kNoRoot = 0x7fffffff;

// A signed GMP integer, for B and the values of the polynomial.
class Signed {
 public:
  Signed() { mpz_init(z_); }
  Signed(const Signed&) = delete;
  Signed& operator=(const Signed&) = delete;
  ~Signed() { mpz_clear(z_); }
  mpz_ptr get() { return z_; }

 private:
  mpz_t z_;
};

// A square root of a modulo an odd prime p < 2^32, for a square a < p, by Tonelli and Shanks.
std::uint32_t SquareRootModulo(std::uint32_t a, const PrimeModulus& modulus) {
  const std::uint32_t p = modulus.p();
  if (a == 0) {
    return 0;
  }
  if (p % 4 == 3) {
    return modulus.Power(a, (p + 1) / 4);
  }
  std::uint32_t q = p - 1;
  int s = 0;
  while (q % 2 == 0) {
    q /= 2;
    ++s;
  }
  std::uint32_t z = 2;
  while (modulus.Power(z, (p - 1) / 2) != p - 1) {
    ++z;
  }
  std::uint32_t c = modulus.Power(z, q);
  std::uint32_t t = modulus.Power(a, q);
  std::uint32_t r = modulus.Power(a, (q + 1) / 2);
  int m = s;
  while (t != 1) {
    int i = 0;
    for (std::uint32_t u = t; u != 1; u = modulus.Multiply(u, u)) {
      ++i;
    }
    std::uint32_t b = c;
    for (int j = 0; j < m - i - 1; ++j) {
      b = modulus.Multiply(b, b);
    }
    m = i;
    c = modulus.Multiply(b, b);
    t = modulus.Multiply(t, c);
    r = modulus.Multiply(r, b);
  }
  return r;
}

// The inverse of a modulo a prime p < 2^32 that does not divide it, by Euclid's algorithm in
// 32-bit words.
std::uint32_t InverseModuloPrime(std::uint32_t a, std::uint32_t p) {
  std::uint32_t r0 = p;
  std::uint32_t r1 = a % p;
  std::int64_t t0 = 0;
  std::int64_t t1 = 1;
  while (r1 != 0) {
    const std::uint32_t q = r0 / r1;
    const std::uint32_t r2 = r0 - q * r1;
    const std::int64_t t2 = t0 - static_cast<std::int64_t>(q) * t1;
    r0 = r1;
    r1 = r2;
    t0 = t1;
    t1 = t2;
  }
  return static_cast<std::uint32_t>(t0 < 0 ? t0 + p : t0);
}

// The Knuth-Schroeppel function: the multiplier k (odd, squarefree, below 75) that maximises the
// expected logarithm that the small primes contribute to a value, less half of log k. As p does
// not divide n, (kn / p) = (k / p) (n / p): the symbols of the candidates are made once.
constexpr std::uint32_t kMultipliers[] = {1,  3,  5,  7,  11, 13, 15, 17, 19, 21, 23,
                                          29, 31, 33, 35, 37, 39, 41, 43, 47, 51, 53,
                                          55, 57, 59, 61, 65, 67, 69, 71, 73};
constexpr std::size_t kMultiplierCount = std::size(kMultipliers);

struct MultiplierTable {
  // The primes below 1000 decide: the larger ones change the scores by little.
  std::vector<std::uint32_t> primes = OddPrimesBelow(1000);
  std::vector<PrimeModulus> moduli;
  // What each prime adds to the score of each candidate, when (n / p) is 1, then when it is -1:
  // log p / p where p divides k, 2 log p / (p - 1) where kn is a square modulo p.
  std::vector<double> adds;

  MultiplierTable() {
    for (const std::uint32_t p : primes) {
      moduli.emplace_back(p);
      const double log_p = std::log(static_cast<double>(p));
      for (const int n_symbol : {1, -1}) {
        for (const std::uint32_t k : kMultipliers) {
          const int symbol = JacobiIn<std::uint32_t>(k, p);
          adds.push_back(symbol == 0              ? log_p / p
                         : symbol * n_symbol == 1 ? 2.0 * log_p / (p - 1)
                                                  : 0.0);
        }
      }
    }
  }
};

std::uint32_t Multiplier(const Natural& n) {
  static const MultiplierTable table;
  double scores[kMultiplierCount];
  const std::uint32_t n8 = n.Modulo(8);
  for (std::size_t c = 0; c < kMultiplierCount; ++c) {
    const std::uint32_t kn8 = kMultipliers[c] * n8 % 8;
    scores[c] = -0.5 * std::log(static_cast<double>(kMultipliers[c])) + (kn8 == 1   ? 2.0
                                                                         : kn8 == 5 ? 1.0
                                                                                    : 0.5) *
                                                                            std::log(2.0);
  }
  for (std::size_t i = 0; i < table.primes.size(); ++i) {
    const std::uint32_t p = table.primes[i];
    const int n_symbol = JacobiIn<std::uint32_t>(table.moduli[i].Of(n.get()), p);
    if (n_symbol == 0) {  // p divides n, and kn: its share goes to every candidate
      for (double& score : scores) {
        score += std::log(static_cast<double>(p)) / p;
      }
      continue;
    }
    const double* const adds = &table.adds[(2 * i + (n_symbol == 1 ? 0 : 1)) * kMultiplierCount];
    for (std::size_t c = 0; c < kMultiplierCount; ++c) {
      scores[c] += adds[c];
    }
  }
  return kMultipliers[std::max_element(std::begin(scores), std::end(scores)) - std::begin(scores)];
}

tuning::SiqsSize SizeFor(std::size_t digits) {
  const auto& sizes = tuning::kSiqsSizes;
  if (digits <= static_cast<std::size_t>(sizes.front().digits)) {
    return sizes.front();
  }
  for (std::size_t i = 1; i < sizes.size(); ++i) {
    if (digits <= static_cast<std::size_t>(sizes[i].digits)) {
      const tuning::SiqsSize& a = sizes[i - 1];
      const tuning::SiqsSize& b = sizes[i];
      const double f = static_cast<double>(static_cast<int>(digits) - a.digits) /
                       static_cast<double>(b.digits - a.digits);
      const auto between = [f](std::uint32_t u, std::uint32_t v) {
        return static_cast<std::uint32_t>(std::lround(u + f * (static_cast<double>(v) - u)));
      };
      return {static_cast<int>(digits), between(a.primes, b.primes), between(a.kib, b.kib),
              between(a.large_multiplier, b.large_multiplier),
              a.threshold + f * (b.threshold - a.threshold)};
    }
  }
  return sizes.back();
}

// What the streams of polynomials share: the values of A taken, the full relations, the graph of
// the partial ones; how many relations the two give (the full ones and the cycles).
struct Shared {
  std::mutex mutex;
  std::set<std::vector<std::size_t>> used;
  std::vector<SiqsRelation> relations;
  SiqsPartials partials;
  std::atomic<std::size_t> found{0};
  std::atomic<bool> over{false};
};

// One stream of polynomials, with its own sieve; the first one also reports the progress.
class Gatherer {
 public:
  Gatherer(const Natural& n, std::size_t extra, Work& work, Shared& shared, std::uint64_t seed,
           bool reports, const SiqsOptions& options)
      : n_(n),
        work_(work),
        pacer_(work),
        extra_(extra),
        shared_(shared),
        reports_(reports),
        random_(seed),
        words_allowed_(options.values_in_words),
        narrow_allowed_(options.narrow_lanes),
        two_large_always_(options.two_large_primes_always) {}

  // The factor base; false when one of its primes divides n (then it alone is the factor base).
  bool Prepare() { return MakeFactorBase(); }
  void PrepareLike(const Gatherer& first) { CopyPreparation(first); }
  const std::vector<std::uint32_t>& FactorBase() const { return out_.factor_base; }
  std::size_t Needed() const { return needed_; }

  // Sieves until the streams have enough relations; false when stopped.
  bool Run() {
    sieve_.assign(kBlock + 64, 0);  // and the spare bytes
    while (!Enough()) {
      NewA();
      PolynomialInWords();
      for (std::uint32_t i = 0;; ++i) {
        if (i > 0) {
          NextB(i);
          PolynomialInWords();
        }
        if (!SievePolynomial()) {
          shared_.over = true;
          return false;
        }
        Flush();
        if (Enough() || i + 1 == (std::uint32_t{1} << (s_ - 1))) {
          break;
        }
      }
    }
    return true;
  }

 private:
  bool Enough() const { return shared_.over || shared_.found >= needed_; }

  // Hands the relations of the last polynomial to the streams' common store; once the gathering
  // is over, the store is no longer theirs, and they are dropped.
  void Flush() {
    if (full_.empty() && partial_.empty()) {
      return;
    }
    const std::lock_guard<std::mutex> lock(shared_.mutex);
    if (!shared_.over) {
      for (SiqsRelation& relation : full_) {
        shared_.relations.push_back(std::move(relation));
      }
      for (std::size_t i = 0; i < partial_.size(); ++i) {
        shared_.partials.Add(std::move(partial_[i]), partial_large_[i].first,
                             partial_large_[i].second);
      }
      shared_.found = shared_.relations.size() + shared_.partials.Cycles();
    }
    full_.clear();
    partial_.clear();
    partial_large_.clear();
  }

  bool MakeFactorBase() {
    k_ = Multiplier(n_);
    kn_ = n_ * Natural(k_);
    tuning::SiqsSize size = SizeFor(n_.DecimalDigits());
    std::vector<std::uint32_t>& base = out_.factor_base;
    base.push_back(2);
    root_.push_back(kNoRoot);
    moduli_.emplace_back(2);
    exact_.emplace_back();
    // About half of the primes are in the factor base: those below 3 s ln s are enough for s.
    const double enough = 3.0 * size.primes * std::log(static_cast<double>(size.primes));
    // A bucket's entry holds the index of its prime in the bits above the offset.
    size.primes = std::min<std::uint32_t>(size.primes, std::uint32_t{1} << (32 - kBlockBits));
    // The primes below 2^20 are made once for the whole program.
    const auto bound = static_cast<std::uint32_t>(
        std::clamp(enough, 10000.0, static_cast<double>(std::uint32_t{1} << 24)));
    const std::vector<std::uint32_t> own =
        bound > (std::uint32_t{1} << 20) ? OddPrimesBelow(bound) : std::vector<std::uint32_t>{};
    for (const std::uint32_t p : own.empty() ? OddPrimesBelow2To20() : own) {
      if (base.size() >= size.primes) {
        break;
      }
      const PrimeModulus modulus(p);
      const std::uint32_t r = modulus.Of(kn_.get());
      if (r != 0 && JacobiIn<std::uint32_t>(r, p) != 1) {
        continue;
      }
      if (r == 0 && modulus.Of(n_.get()) == 0) {
        base.assign(1, p);
        return false;
      }
      base.push_back(p);
      moduli_.push_back(modulus);
      exact_.emplace_back(p);
      root_.push_back(r == 0 ? kNoRoot : SquareRootModulo(r, modulus));
    }
    const std::size_t count = base.size();
    logs_.resize(count);
    // Room for the last four primes checked together.
    primes32_.assign(base.begin(), base.end());
    primes32_.resize(count + 4, 1);
    inverse32_.resize(count + 4, 1);
    limit32_.resize(count + 4, 0);
    first_sieved_ = count;
    for (std::size_t j = 0; j < count; ++j) {
      const std::uint32_t p = base[j];
      logs_[j] = static_cast<std::uint8_t>(std::lround(std::log2(static_cast<double>(p))));
      std::uint32_t inverse = p;  // correct to 3 bits, each step doubles them
      for (int step = 0; step < 4; ++step) {
        inverse *= 2 - p * inverse;
      }
      inverse32_[j] = inverse;
      limit32_[j] = UINT32_MAX / p;
      if (p >= tuning::kSiqsSmallestSieved && first_sieved_ == count) {
        first_sieved_ = j;
      }
      if (p < tuning::kSiqsBucketedFrom) {
        first_large_ = j + 1;
      }
    }
    first_large_ = std::max(first_large_, first_sieved_);
    // The interval: a whole number of 64-byte words, in blocks of which the last may be shorter.
    interval_ = std::max<std::uint32_t>(4, size.kib) * 1024;
    blocks_ = static_cast<std::uint32_t>((interval_ + kBlock - 1) / kBlock);
    half_ = interval_ / 2;
    // In an interval of at most one block, at + p - root < 2^16 for every prime below the block:
    // the test of DivideOut then fits lanes of 16 bits, eight primes at a time.
    narrow_ = narrow_allowed_ && interval_ + kBlock <= (std::uint32_t{1} << 16);
    if (narrow_) {
      primes16_.assign(count + 8, 1);
      inverse16_.assign(count + 8, 1);
      limit16_.assign(count + 8, 0);
      for (std::size_t j = 0; j < first_large_; ++j) {
        primes16_[j] = static_cast<std::uint16_t>(base[j]);
        inverse16_[j] = static_cast<std::uint16_t>(inverse32_[j]);
        limit16_[j] = static_cast<std::uint16_t>(0xffff / base[j]);
      }
    }
    const double largest = base.back();
    large_bound_ = static_cast<std::uint64_t>(
        std::min({largest * size.large_multiplier, largest * largest, 4e9}));
    // A rest below the square of the largest prime is prime; two large primes are looked for in
    // a composite rest below the bound for them, itself below 2^64.
    square_of_largest_ = static_cast<std::uint64_t>(largest * largest);
    two_large_ = two_large_always_ || n_.DecimalDigits() >= tuning::kSiqsTwoLargePrimesFromDigits;
    two_large_bound_ =
        two_large_
            ? static_cast<std::uint64_t>(std::min(
                  std::pow(static_cast<double>(large_bound_), tuning::kSiqsTwoLargePrimesExponent),
                  1.8e19))
            : 0;
    long exponent = 0;
    const double mantissa = mpz_get_d_2exp(&exponent, kn_.get());
    const double kn_bits = std::log2(mantissa) + static_cast<double>(exponent);
    // log2 of the largest |g(x)|, M sqrt(kN / 2), and of the A that gives it, sqrt(2 kN) / M.
    const double value_bits = std::log2(static_cast<double>(half_)) + (kn_bits - 1) / 2;
    a_bits_ = (kn_bits + 1) / 2 - std::log2(static_cast<double>(half_));
    // The terms of g(x) are at most some M sqrt(2 kN) (B is a few A at most): two words hold
    // them with bits to spare.
    words_ = words_allowed_ && value_bits + 6 < 126;
    const double threshold =
        value_bits - size.threshold * std::log2(largest) - tuning::kSiqsSmallPrimeBits;
    start_ = static_cast<std::uint8_t>(std::clamp(128 - std::lround(threshold), 0L, 127L));
    needed_ = base.size() + extra_;
    ChoosePool();
    Allocate();
    return true;
  }

  // The same factor base and sizes as `first`, which has prepared them: the second stream's.
  void CopyPreparation(const Gatherer& first) {
    k_ = first.k_;
    kn_ = first.kn_;
    out_.factor_base = first.out_.factor_base;
    root_ = first.root_;
    moduli_ = first.moduli_;
    exact_ = first.exact_;
    logs_ = first.logs_;
    primes32_ = first.primes32_;
    inverse32_ = first.inverse32_;
    limit32_ = first.limit32_;
    narrow_ = first.narrow_;
    primes16_ = first.primes16_;
    inverse16_ = first.inverse16_;
    limit16_ = first.limit16_;
    first_sieved_ = first.first_sieved_;
    first_large_ = first.first_large_;
    interval_ = first.interval_;
    blocks_ = first.blocks_;
    half_ = first.half_;
    large_bound_ = first.large_bound_;
    square_of_largest_ = first.square_of_largest_;
    two_large_ = first.two_large_;
    two_large_bound_ = first.two_large_bound_;
    a_bits_ = first.a_bits_;
    words_ = first.words_;
    start_ = first.start_;
    s_ = first.s_;
    pool_ = first.pool_;
    needed_ = first.needed_;
    Allocate();
  }

  // The arrays of one stream's sieve.
  void Allocate() {
    const std::size_t count = out_.factor_base.size();
    root1_.resize(count + 4);
    root2_.resize(count + 4);
    if (narrow_) {
      root1_16_.assign(count + 8, 0);
      root2_16_.assign(count + 8, 0);
    }
    next1_.resize(count);
    next2_.resize(count);
    // Each root of a prime strikes a block at most ceil(block / p) times.
    bucket_capacity_ = 16;
    for (std::size_t j = first_large_; j < count; ++j) {
      bucket_capacity_ += 2 * ((kBlock + out_.factor_base[j] - 1) / out_.factor_base[j]);
    }
    bucket_.resize(blocks_ * bucket_capacity_);
    bucket_fill_.resize(blocks_);
    mark_.assign(kBlock, 0xff);
    inverse_.resize(count);
  }

  // The primes that A is made of: s of them, from those of the factor base near a_bits / s bits.
  void ChoosePool() {
    const std::vector<std::uint32_t>& base = out_.factor_base;
    const double top_bits = std::log2(static_cast<double>(base.back())) - 1;
    const double bits = std::min(tuning::kSiqsFactorBitsOfA, top_bits);
    s_ = std::max(2, static_cast<int>(std::lround(a_bits_ / bits)));
    const double ideal = std::exp2(a_bits_ / s_);
    for (std::size_t j = first_sieved_; j < base.size(); ++j) {
      if (root_[j] != kNoRoot && base[j] > ideal / 2 && base[j] < ideal * 2) {
        pool_.push_back(j);
      }
    }
    if (pool_.size() < static_cast<std::size_t>(s_) + 4) {
      pool_.clear();
      for (std::size_t j = std::max(first_sieved_, base.size() / 4); j < base.size(); ++j) {
        if (root_[j] != kNoRoot) {
          pool_.push_back(j);
        }
      }
    }
  }

  std::uint64_t Random() {
    random_ ^= random_ << 13;
    random_ ^= random_ >> 7;
    random_ ^= random_ << 17;
    return random_;
  }

  // A new A, never one used before, and its first B; the roots of the first polynomial.
  void NewA() {
    const std::vector<std::uint32_t>& base = out_.factor_base;
    std::vector<std::size_t> chosen;
    for (int attempt = 0;; ++attempt) {
      chosen.clear();
      double bits = 0;
      while (chosen.size() + 1 < static_cast<std::size_t>(s_)) {
        const std::size_t j = pool_[Random() % pool_.size()];
        if (std::find(chosen.begin(), chosen.end(), j) == chosen.end()) {
          chosen.push_back(j);
          bits += std::log2(static_cast<double>(base[j]));
        }
      }
      // The last prime: the one of the pool nearest to what is missing.
      const double wanted = std::exp2(a_bits_ - bits);
      std::size_t last = pool_.front();
      double distance = 1e300;
      for (const std::size_t j : pool_) {
        const double d = std::fabs(static_cast<double>(base[j]) - wanted);
        if (d < distance && std::find(chosen.begin(), chosen.end(), j) == chosen.end()) {
          distance = d;
          last = j;
        }
      }
      chosen.push_back(last);
      std::sort(chosen.begin(), chosen.end());
      const std::lock_guard<std::mutex> lock(shared_.mutex);
      if (shared_.used.insert(chosen).second || attempt > 1000) {
        break;
      }
    }
    a_factors_ = chosen;
    move_ = nullptr;
    a_ = Natural(1);
    for (const std::size_t j : chosen) {
      a_ *= Natural(base[j]);
    }
    // B_l = A/q_l * (sqrt(kN) * (A/q_l)^-1 mod q_l): B = sum B_l has B^2 = kN modulo A.
    b_terms_.assign(chosen.size(), Natural());
    mpz_set_ui(b_.get(), 0);
    for (std::size_t l = 0; l < chosen.size(); ++l) {
      const std::uint32_t q = base[chosen[l]];
      const Natural rest = a_ / Natural(q);
      const PrimeModulus& modulus = moduli_[chosen[l]];
      std::uint32_t gamma =
          modulus.Multiply(root_[chosen[l]], InverseModuloPrime(modulus.Of(rest.get()), q));
      if (gamma > q / 2) {
        gamma = q - gamma;
      }
      b_terms_[l] = rest * Natural(gamma);
      mpz_add(b_.get(), b_.get(), b_terms_[l].get());
    }
    deltas_.assign(chosen.size() * base.size(), 0);
    const bool negative_b = mpz_sgn(b_.get()) < 0;
    for (std::size_t j = 1; j < base.size(); ++j) {
      const PrimeModulus& modulus = moduli_[j];
      const std::uint32_t p = base[j];
      const std::uint32_t a_mod = modulus.Of(a_.get());
      if (a_mod == 0 || root_[j] == kNoRoot) {
        inverse_[j] = 0;
        root1_[j] = root2_[j] = kNoRoot;
        continue;
      }
      const std::uint32_t inverse = InverseModuloPrime(a_mod, p);
      inverse_[j] = inverse;
      for (std::size_t l = 0; l < chosen.size(); ++l) {
        const std::uint32_t d = modulus.Multiply(modulus.Of(b_terms_[l].get()), inverse);
        deltas_[l * base.size() + j] = d + d >= p ? d + d - p : d + d;
      }
      // The roots of the first polynomial, as positions x + M of the interval.
      std::uint32_t b = modulus.Of(b_.get());
      if (negative_b && b != 0) {
        b = p - b;
      }
      const std::uint32_t m = modulus.Reduce(half_);
      const std::uint32_t t = root_[j];
      const std::uint32_t r1 = modulus.Multiply(t >= b ? t - b : t + p - b, inverse) + m;
      const std::uint32_t minus_t = t == 0 ? 0 : p - t;
      const std::uint32_t r2 =
          modulus.Multiply(minus_t >= b ? minus_t - b : minus_t + p - b, inverse) + m;
      root1_[j] = r1 >= p ? r1 - p : r1;
      root2_[j] = r2 >= p ? r2 - p : r2;
    }
    root1_[0] = root2_[0] = kNoRoot;
    unsieved_.clear();
    for (std::size_t j = 1; j < base.size(); ++j) {
      if (root1_[j] == kNoRoot) {
        unsieved_.push_back(j);
      }
    }
  }

  // The i-th B of the Gray code: B -+ 2 B_v, the roots moved by the matching delta.
  void NextB(std::uint32_t i) {
    const int v = std::countr_zero(i);
    const bool down = ((i >> (v + 1)) & 1) == 0;
    const std::vector<std::uint32_t>& base = out_.factor_base;
    const std::uint32_t* delta = &deltas_[static_cast<std::size_t>(v) * base.size()];
    if (down) {
      mpz_submul_ui(b_.get(), b_terms_[v].get(), 2);
    } else {
      mpz_addmul_ui(b_.get(), b_terms_[v].get(), 2);
    }
    // The primes sieved with are moved as they sieve the first block, or as their hits are sorted
    // into the buckets (FillBuckets); those below kSiqsSmallestSieved here.
    move_ = delta;
    move_down_ = down;
    for (std::size_t j = 1; j < first_sieved_; ++j) {
      if (root1_[j] == kNoRoot) {
        continue;
      }
      const std::uint32_t p = base[j];
      const std::uint32_t d = down ? delta[j] : (delta[j] == 0 ? 0 : p - delta[j]);
      root1_[j] = root1_[j] + d >= p ? root1_[j] + d - p : root1_[j] + d;
      root2_[j] = root2_[j] + d >= p ? root2_[j] + d - p : root2_[j] + d;
    }
  }

  // Sorts the hits of the primes above the block into the buckets of the blocks they strike:
  // each such prime strikes a block at most once for each root, so it is visited once for the
  // whole interval instead of once for each block; their roots are moved to the new polynomial
  // first, when NextB asked for it.
  void FillBuckets() {
    const std::vector<std::uint32_t>& base = out_.factor_base;
    const std::size_t count = base.size();
    const std::uint32_t total = interval_;
    std::fill(bucket_fill_.begin(), bucket_fill_.end(), 0);
    std::uint32_t* const bucket = bucket_.data();
    std::uint32_t* const fill = bucket_fill_.data();
    const std::size_t capacity = bucket_capacity_;
    constexpr std::uint32_t kMask = kBlock - 1;
    const std::uint32_t* const delta = move_;
    const bool down = move_down_;
    move_ = nullptr;
    for (std::size_t j = first_large_; j < count; ++j) {
      std::uint32_t r1 = root1_[j];
      if (r1 == kNoRoot) {
        continue;
      }
      const std::uint32_t p = base[j];
      if (delta != nullptr) {
        const std::uint32_t d = down ? delta[j] : (delta[j] == 0 ? 0 : p - delta[j]);
        r1 = r1 + d >= p ? r1 + d - p : r1 + d;
        const std::uint32_t r2 = root2_[j] + d >= p ? root2_[j] + d - p : root2_[j] + d;
        root1_[j] = r1;
        root2_[j] = r2;
      }
      const auto entry = static_cast<std::uint32_t>(j << kBlockBits);
      for (std::uint32_t r = r1; r < total; r += p) {
        const std::uint32_t b = r >> kBlockBits;
        bucket[b * capacity + fill[b]++] = entry | (r & kMask);
      }
      for (std::uint32_t r = root2_[j]; r < total; r += p) {
        const std::uint32_t b = r >> kBlockBits;
        bucket[b * capacity + fill[b]++] = entry | (r & kMask);
      }
    }
  }

  // The primes below the block strike it many times, both roots in one loop. In the first block
  // each starts from its roots, moved first to the new polynomial when NextB asked for it; in the
  // others from where it left the block before.
  template <bool kFirst>
  void SieveBelowTheBlock(std::uint8_t* const sieve, const std::uint32_t end,
                          const std::uint32_t* const delta, const bool down) {
    const std::uint32_t* const primes = out_.factor_base.data();
    const std::uint8_t* const logs = logs_.data();
    std::uint32_t* const next1 = next1_.data();
    std::uint32_t* const next2 = next2_.data();
    for (std::size_t j = first_sieved_; j < first_large_; ++j) {
      const std::uint32_t p = primes[j];
      std::uint32_t r1 = kFirst ? root1_[j] : next1[j];
      if (r1 == kNoRoot) {
        next1[j] = kNoRoot;
        continue;
      }
      std::uint32_t r2 = kFirst ? root2_[j] : next2[j];
      if (kFirst && delta != nullptr) {
        const std::uint32_t d = down ? delta[j] : (delta[j] == 0 ? 0 : p - delta[j]);
        r1 = r1 + d >= p ? r1 + d - p : r1 + d;
        r2 = r2 + d >= p ? r2 + d - p : r2 + d;
        root1_[j] = r1;
        root2_[j] = r2;
      }
      if (r1 > r2) {
        std::swap(r1, r2);
      }
      const std::uint8_t log = logs[j];
      // Two strides at a time while both fit: the four strikes are independent.
      if (end > p) {
        for (const std::uint32_t stop = end - p; r2 < stop; r1 += 2 * p, r2 += 2 * p) {
          sieve[r1] += log;
          sieve[r2] += log;
          sieve[r1 + p] += log;
          sieve[r2 + p] += log;
        }
      }
      for (; r2 < end; r1 += p, r2 += p) {
        sieve[r1] += log;
        sieve[r2] += log;
      }
      if (r1 < end) {
        sieve[r1] += log;
        r1 += p;
      }
      next1[j] = r1 - end;
      next2[j] = r2 - end;
    }
  }

  // Sieves the interval of the current polynomial, block by block; false when stopped.
  bool SievePolynomial() {
    const std::uint32_t* const delta = move_;
    const bool down = move_down_;
    FillBuckets();
    for (std::uint32_t block = 0; block < blocks_; ++block) {
      if (shared_.over || (reports_ ? pacer_.Stopped({"SIQS", "relation", shared_.found, needed_})
                                    : work_.Stopped())) {
        return false;
      }
      std::uint8_t* const sieve = sieve_.data();
      const auto end =
          static_cast<std::uint32_t>(std::min<std::size_t>(kBlock, interval_ - block * kBlock));
      std::memset(sieve, start_, end);
      if (block == 0) {
        SieveBelowTheBlock<true>(sieve, end, delta, down);
      } else {
        SieveBelowTheBlock<false>(sieve, end, delta, down);
      }
      const std::uint8_t* const logs = logs_.data();
      constexpr auto kMask = static_cast<std::uint32_t>(kBlock - 1);
      // The others from the bucket of the block.
      const std::uint32_t* const hits = &bucket_[block * bucket_capacity_];
      const std::uint32_t hit_count = bucket_fill_[block];
      for (std::uint32_t h = 0; h < hit_count; ++h) {
        sieve[hits[h] & kMask] += logs[hits[h] >> kBlockBits];
      }
      candidates_.clear();
      narrow_roots_ = false;
      // 64 bytes at a time, read as four vectors of 16.
      using Bytes = std::uint64_t __attribute__((vector_size(16)));
      for (std::size_t w = 0; w < end; w += 64) {
        Bytes lanes[4];
        std::memcpy(lanes, sieve + w, 64);
        const Bytes any = (lanes[0] | lanes[1]) | (lanes[2] | lanes[3]);
        if (((any[0] | any[1]) & 0x8080808080808080u) == 0) {
          continue;
        }
        for (std::size_t b = w; b < w + 64; ++b) {
          if ((sieve[b] & 0x80) != 0) {
            candidates_.push_back(static_cast<std::uint32_t>(b));
          }
        }
      }
      // The candidates in groups of at most 255: each marked in the block, the bucket read once
      // for the large primes that struck them.
      for (std::size_t first = 0; first < candidates_.size(); first += 255) {
        const std::size_t last = std::min(candidates_.size(), first + 255);
        for (std::size_t c = first; c < last; ++c) {
          mark_[candidates_[c]] = static_cast<std::uint8_t>(c - first);
        }
        struck_.clear();
        for (std::uint32_t h = 0; h < hit_count; ++h) {
          const std::uint8_t m = mark_[hits[h] & kMask];
          if (m != 0xff) {
            struck_.push_back(static_cast<std::uint32_t>(m) << 24 | hits[h] >> kBlockBits);
          }
        }
        for (std::size_t c = first; c < last; ++c) {
          mark_[candidates_[c]] = 0xff;
        }
        std::sort(struck_.begin(), struck_.end());
        std::size_t at = 0;
        for (std::size_t c = first; c < last; ++c) {
          large_hits_.clear();
          for (; at < struck_.size() && (struck_[at] >> 24) == c - first; ++at) {
            large_hits_.push_back(struck_[at] & 0xffffff);
          }
          at_ = static_cast<std::uint32_t>(block * kBlock + candidates_[c]);
          TryValue(at_);
        }
      }
    }
    return true;
  }

  // The coefficients of g(x) = A x^2 + 2 B x + C, C = (B^2 - kN) / A, in two words, for the
  // current polynomial, when its values fit in them.
  void PolynomialInWords() {
    if (!words_) {
      return;
    }
    mpz_mul(g_.get(), b_.get(), b_.get());
    mpz_sub(g_.get(), g_.get(), kn_.get());
    mpz_divexact(g_.get(), g_.get(), a_.get());
    a_words_ = ToInt128(a_.get());
    b_words_ = ToInt128(b_.get());
    c_words_ = ToInt128(g_.get());
  }

  // z, which fits in a signed word pair.
  static Int128 ToInt128(mpz_srcptr z) {
    const auto value = static_cast<Int128>(LowTwoWords(z));
    return mpz_sgn(z) < 0 ? -value : value;
  }

  // Divides g(x) at the position `at` = x + M by the factor base; keeps a full or partial
  // relation. The large primes that struck it are in large_hits_. In two words when its values
  // fit in them, with GMP otherwise.
  void TryValue(std::uint32_t at) {
    const long x = static_cast<long>(at) - static_cast<long>(half_);
    if (words_) {
      const Int128 g = (a_words_ * x + 2 * b_words_) * x + c_words_;
      if (g == 0) {
        return;
      }
      Uint128 value = g < 0 ? -static_cast<Uint128>(g) : static_cast<Uint128>(g);
      const int twos = CountTrailingZeros(value);
      value >>= twos;
      if (!DivideOut(
              twos, [this, &value](std::size_t j) { return exact_[j].Divide(value); },
              [&value] { return value; })) {
        return;
      }
      const Int128 y = a_words_ * x + b_words_;
      // |A x + B| is about sqrt(2 kN) at most, below n but for the smallest n: reduced only then.
      Natural root = Natural::FromWide(y < 0 ? -static_cast<Uint128>(y) : static_cast<Uint128>(y));
      if (root >= n_) {
        root = root % n_;
      }
      Keep(std::move(root), g < 0);
      return;
    }
    mpz_mul_si(y_.get(), a_.get(), x);
    mpz_add(y_.get(), y_.get(), b_.get());
    mpz_mul(g_.get(), y_.get(), y_.get());
    mpz_sub(g_.get(), g_.get(), kn_.get());
    mpz_divexact(g_.get(), g_.get(), a_.get());
    const bool negative = mpz_sgn(g_.get()) < 0;
    mpz_abs(g_.get(), g_.get());
    if (mpz_sgn(g_.get()) == 0) {
      return;
    }
    const mp_bitcnt_t twos = mpz_scan1(g_.get(), 0);
    mpz_tdiv_q_2exp(g_.get(), g_.get(), twos);
    const bool kept = DivideOut(
        static_cast<int>(twos),
        [this](std::size_t j) {
          const std::uint32_t p = out_.factor_base[j];
          if (mpz_divisible_ui_p(g_.get(), p) == 0) {
            return false;
          }
          mpz_divexact_ui(g_.get(), g_.get(), p);
          return true;
        },
        [this]() -> Uint128 {
          return mpz_sizeinbase(g_.get(), 2) > 64 ? ~Uint128{0} : LowTwoWords(g_.get());
        });
    if (!kept) {
      return;
    }
    mpz_abs(y_.get(), y_.get());
    mpz_mod(y_.get(), y_.get(), n_.get());
    Natural y;
    mpz_set(y.raw(), y_.get());
    Keep(std::move(y), negative);
  }

  // Gathers in primes_ the primes of A, `twos` times 2 and the primes of the factor base that
  // divide the value, each as often as it divides (`divide(j)` divides once by the j-th prime if
  // it can); whether the part left (`rest()`) is 1, a prime below the large prime bound or,
  // where two are looked for, the product of two, left in large_ (1 for none).
  template <typename Divide, typename Rest>
  bool DivideOut(int twos, const Divide& divide, const Rest& rest) {
    const std::vector<std::uint32_t>& base = out_.factor_base;
    primes_.clear();
    for (const std::size_t j : a_factors_) {
      primes_.push_back(base[j]);
    }
    primes_.insert(primes_.end(), static_cast<std::size_t>(twos), 2);
    // A prime is divided out only as often as it divides: a root that matched by chance (a
    // prime of A or k has none) takes nothing.
    const auto divide_all = [this, &base, &divide](std::size_t j) {
      while (divide(j)) {
        primes_.push_back(base[j]);
      }
    };
    // The primes below the block: p divides at - root exactly when (at + p - root) times the
    // inverse of p modulo 2^32 (or 2^16) is at most (2^32 - 1) / p (or (2^16 - 1) / p).
    if (narrow_) {
      DivideOutNarrow(divide_all);
    } else {
      DivideOutWide(divide_all);
    }
    for (const std::uint32_t j : large_hits_) {
      divide_all(j);
    }
    // Those that divide A or k.
    for (const std::size_t j : unsieved_) {
      divide_all(j);
    }
    const Uint128 left = rest();
    if (left < large_bound_) {
      large_ = {static_cast<std::uint32_t>(left), 1};
      return true;
    }
    return left < two_large_bound_ && SplitRest(static_cast<std::uint64_t>(left));
  }

  // Whether a rest above the large prime bound is the product of two primes below it, left in
  // large_. Its primes are all above the factor base: below the square of the largest prime of
  // the factor base it is prime; a probable prime to the base 2 is taken for one; a composite
  // is split in its word by the curves (and rho behind them).
  bool SplitRest(std::uint64_t left) {
    if (left < square_of_largest_) {
      return false;
    }
    std::uint64_t p = SquareRootFloor(left);
    if (p * p != left) {
      if (IsStrongProbablePrimeToBase2(Montgomery64(left))) {
        return false;
      }
      p = SplitComposite(left);
    }
    const std::uint64_t q = left / p;
    if (p >= large_bound_ || q >= large_bound_) {
      return false;
    }
    large_ = {static_cast<std::uint32_t>(std::min(p, q)),
              static_cast<std::uint32_t>(std::max(p, q))};
    return true;
  }

  // The test of DivideOut in lanes of 16 bits, for an interval of at most one block: the roots
  // of the polynomial are narrowed once for all its values.
  template <typename DivideAll>
  void DivideOutNarrow(const DivideAll& divide_all) {
    if (!narrow_roots_) {
      for (std::size_t j = 0; j < first_large_; ++j) {
        root1_16_[j] = static_cast<std::uint16_t>(root1_[j]);
        root2_16_[j] = static_cast<std::uint16_t>(root2_[j]);
      }
      narrow_roots_ = true;
    }
    DivideOutInLanes(static_cast<std::uint16_t>(at_), primes16_.data(), inverse16_.data(),
                     limit16_.data(), root1_16_.data(), root2_16_.data(), divide_all);
  }

  // The test of DivideOut in lanes of 32 bits.
  template <typename DivideAll>
  void DivideOutWide(const DivideAll& divide_all) {
    DivideOutInLanes(at_, primes32_.data(), inverse32_.data(), limit32_.data(), root1_.data(),
                     root2_.data(), divide_all);
  }

  using NarrowLanes = std::uint16_t __attribute__((vector_size(16)));
  using WideLanes = std::uint32_t __attribute__((vector_size(16)));

  // The primes below first_large_ that divide the value at `at`, as many at a time as words fit
  // in the lanes of a vector of 16 bytes (the arrays have room for the last of them): p divides
  // it when (at + p - root) times the inverse of p, modulo the word, is at most `limit`.
  template <typename Word, typename DivideAll>
  void DivideOutInLanes(Word at, const Word* primes, const Word* inverse, const Word* limit,
                        const Word* r1, const Word* r2, const DivideAll& divide_all) const {
    constexpr std::size_t kLanes = 16 / sizeof(Word);
    using Lanes = std::conditional_t<sizeof(Word) == 2, NarrowLanes, WideLanes>;
    const auto load = [](const Word* from) {
      Lanes lanes;
      std::memcpy(&lanes, from, sizeof lanes);
      return lanes;
    };
    Lanes at_lanes;
    for (std::size_t k = 0; k < kLanes; ++k) {
      at_lanes[k] = at;
    }
    const std::size_t end = first_large_;
    for (std::size_t j0 = 1; j0 < end; j0 += kLanes) {
      const Lanes shifted = at_lanes + load(primes + j0);
      const Lanes factor = load(inverse + j0);
      const Lanes bound = load(limit + j0);
      const Lanes d1 = (shifted - load(r1 + j0)) * factor;
      const Lanes d2 = (shifted - load(r2 + j0)) * factor;
      const auto hit = (d1 <= bound) | (d2 <= bound);
      std::uint64_t any[2];
      std::memcpy(any, &hit, sizeof any);
      if ((any[0] | any[1]) == 0) {
        continue;
      }
      for (std::size_t k = 0; k < kLanes && j0 + k < end; ++k) {
        if (hit[k] != 0) {
          divide_all(j0 + k);
        }
      }
    }
  }

  // Keeps the relation y^2 = (-1)^negative * primes_ * large_ (modulo n).
  void Keep(Natural y, bool negative) {
    SiqsRelation relation;
    relation.y = std::move(y);
    relation.negative = negative;
    relation.primes = primes_;
    if (large_.first == 1) {
      full_.push_back(std::move(relation));
      return;
    }
    relation.primes.push_back(large_.first);
    if (large_.second != 1) {
      relation.primes.push_back(large_.second);
    }
    partial_.push_back(std::move(relation));
    partial_large_.push_back(large_);
  }

  const Natural& n_;
  Work& work_;
  ClockPacer pacer_;
  std::size_t extra_;
  Shared& shared_;
  bool reports_;
  SiqsRelations out_;  // the factor base
  std::vector<SiqsRelation> full_, partial_;
  std::vector<std::pair<std::uint32_t, std::uint32_t>> partial_large_;  // those of each partial
  std::pair<std::uint32_t, std::uint32_t> large_{1, 1};                 // those of the value tried
  std::size_t needed_ = 0;

  std::uint32_t k_ = 1;
  Natural kn_;
  std::vector<std::uint32_t> root_;  // sqrt(kN) modulo each prime of the factor base
  std::vector<PrimeModulus> moduli_;
  std::vector<ExactDivisor> exact_;  // none for 2
  std::vector<std::uint8_t> logs_;
  // For the primes below the block: the inverse of p modulo 2^32 and (2^32 - 1) / p.
  std::vector<std::uint32_t> primes32_, inverse32_, limit32_;
  // The same in 16 bits, with the roots of the current polynomial, when the interval allows.
  bool narrow_ = false;
  bool narrow_roots_ = false;
  std::vector<std::uint16_t> primes16_, inverse16_, limit16_, root1_16_, root2_16_;
  std::size_t first_sieved_ = 0;
  std::size_t first_large_ = 0;  // the first prime sieved from the buckets
  std::uint32_t interval_ = 0;   // 2M
  std::uint32_t blocks_ = 2;
  std::uint32_t half_ = 0;  // M
  std::uint64_t large_bound_ = 0;
  std::uint64_t square_of_largest_ = 0;
  bool two_large_ = false;
  std::uint64_t two_large_bound_ = 0;  // 0 when two large primes are not looked for
  double a_bits_ = 0;
  std::uint8_t start_ = 0;
  int s_ = 2;
  std::vector<std::size_t> pool_;
  std::uint64_t random_;

  Natural a_;
  std::vector<std::size_t> a_factors_;
  std::vector<Natural> b_terms_;
  Signed b_;
  std::vector<std::uint32_t> inverse_;
  std::vector<std::uint32_t> deltas_;  // 2 B_l / A modulo each prime, l by l
  std::vector<std::uint32_t> root1_, root2_, next1_, next2_;
  std::vector<std::size_t> unsieved_;  // the primes of A and of k
  std::vector<std::uint8_t> sieve_;
  std::vector<std::uint32_t> bucket_;  // for each block, its hits: prime index << 15 | offset
  std::vector<std::uint32_t> bucket_fill_;
  const std::uint32_t* move_ = nullptr;  // the deltas by which NextB moves the roots, if any
  bool move_down_ = false;
  std::size_t bucket_capacity_ = 0;
  std::vector<std::uint8_t> mark_;  // the candidate at each offset of the block, or 0xff
  std::vector<std::uint32_t> candidates_, struck_, large_hits_;
  Signed y_, g_;
  // The values in two words: whether they fit, and the coefficients of the polynomial.
  bool words_allowed_ = true;
  bool narrow_allowed_ = true;
  bool two_large_always_ = false;
  bool words_ = false;
  Int128 a_words_ = 0, b_words_ = 0, c_words_ = 0;
  std::uint32_t at_ = 0;               // the position tried
  std::vector<std::uint32_t> primes_;  // the primes of the value tried
};

// What the streams share, with the second stream itself: held by the thread of the second stream
// as long as it runs, which may be after GatherRelations has returned. That stream works for a
// Work of its own and stops when the first says it is over, so that the first never waits for it
// (on a loaded machine a thread may wait milliseconds for a core, longer than the sieve of 30
// digits).
struct Streams {
  explicit Streams(const Natural& number) : n(number) {}
  Natural n;
  Work work;
  Shared shared;
  std::optional<Gatherer> second;
};

}  // namespace

SiqsRelations GatherRelations(const Natural& n, std::size_t extra, Work& work,
                              const SiqsOptions& options) {
  const auto streams = std::make_shared<Streams>(n);
  Shared& shared = streams->shared;
  Gatherer first(n, extra, work, shared, 0x9e3779b97f4a7c15u, true, options);
  SiqsRelations out;
  if (!first.Prepare()) {
    out.factor_base = first.FactorBase();
    return out;
  }
#if defined(BRINDAQ_SIQS_THREADS)
  // A second stream of polynomials on another core, where there is one.
  if (options.two_streams && std::thread::hardware_concurrency() >= 2 &&
      n.DecimalDigits() >= tuning::kSiqsTwoStreamsFromDigits) {
    streams->second.emplace(streams->n, extra, streams->work, shared, 0x2545f4914f6cdd1du, false,
                            options);
    streams->second->PrepareLike(first);
    std::thread([streams] { streams->second->Run(); }).detach();
  }
#endif
  const bool finished = first.Run();
  shared.over = true;
  out.factor_base = first.FactorBase();
  if (!finished || work.Stopped()) {
    return out;
  }
  // The second stream adds nothing more once the gathering is over: the store is taken whole.
  SiqsPartials partials;
  {
    const std::lock_guard<std::mutex> lock(shared.mutex);
    out.relations = std::move(shared.relations);
    partials = std::move(shared.partials);
  }
  const std::size_t full = out.relations.size();
  out.cycles_with_two = partials.Combine(n, out.relations);
  out.cycles = out.relations.size() - full;
  if (work.Stopped()) {
    out.relations.clear();
  }
  return out;
}

}  // namespace brindaq
