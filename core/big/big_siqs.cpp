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
// with (the threshold is lowered instead). A value over the threshold is divided by the primes
// of the factor base whose roots it meets, never tried one by one: for a prime below the block,
// x mod p (by a product with a precomputed inverse) is compared with its roots; a larger prime
// struck the block at most once, p before its next position. What is left is 1 (a full
// relation) or one prime below the large prime bound (a partial relation); two partial relations
// with the same large prime, multiplied together, make one relation more. Two streams of
// polynomials, each with its own A values and sieve, share the relations, on two threads where
// there are two. The sizes (factor base, blocks, large prime bound, threshold) are in
// core/tuning.h.

#include <algorithm>
#include <atomic>
#include <bit>
#include <cmath>
#include <cstring>
#include <mutex>
#include <set>
#include <unordered_map>

#include "core/arithmetic/wide.h"
#include "core/big/big_siqs.h"
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

std::uint64_t PowerModulo(std::uint64_t base, std::uint64_t exponent, std::uint64_t p) {
  std::uint64_t result = 1;
  base %= p;
  for (; exponent != 0; exponent >>= 1) {
    if ((exponent & 1) != 0) {
      result = result * base % p;
    }
    base = base * base % p;
  }
  return result;
}

// A square root of a modulo an odd prime p < 2^32, for a square a, by Tonelli and Shanks.
std::uint32_t SquareRootModulo(std::uint64_t a, std::uint64_t p) {
  a %= p;
  if (a == 0) {
    return 0;
  }
  if (p % 4 == 3) {
    return static_cast<std::uint32_t>(PowerModulo(a, (p + 1) / 4, p));
  }
  std::uint64_t q = p - 1;
  int s = 0;
  while (q % 2 == 0) {
    q /= 2;
    ++s;
  }
  std::uint64_t z = 2;
  while (PowerModulo(z, (p - 1) / 2, p) != p - 1) {
    ++z;
  }
  std::uint64_t c = PowerModulo(z, q, p);
  std::uint64_t t = PowerModulo(a, q, p);
  std::uint64_t r = PowerModulo(a, (q + 1) / 2, p);
  int m = s;
  while (t != 1) {
    int i = 0;
    for (std::uint64_t u = t; u != 1; u = u * u % p) {
      ++i;
    }
    std::uint64_t b = c;
    for (int j = 0; j < m - i - 1; ++j) {
      b = b * b % p;
    }
    m = i;
    c = b * b % p;
    t = t * c % p;
    r = r * b % p;
  }
  return static_cast<std::uint32_t>(r);
}

// The inverse of a modulo a prime p < 2^32 that does not divide it.
std::uint32_t InverseModuloPrime(std::uint32_t a, std::uint32_t p) {
  return static_cast<std::uint32_t>(*InverseModulo(std::uint64_t{a}, std::uint64_t{p}));
}

// The Knuth-Schroeppel function: the multiplier k (odd, squarefree, below 75) that maximises the
// expected logarithm that the small primes contribute to a value, less half of log k.
std::uint32_t Multiplier(const Natural& n) {
  static constexpr std::uint32_t kCandidates[] = {1,  3,  5,  7,  11, 13, 15, 17, 19, 21, 23,
                                                  29, 31, 33, 35, 37, 39, 41, 43, 47, 51, 53,
                                                  55, 57, 59, 61, 65, 67, 69, 71, 73};
  const std::vector<std::uint32_t> primes = OddPrimesBelow(2000);
  std::vector<std::uint32_t> residues;
  for (std::size_t i = 0; i < primes.size(); ++i) {
    residues.push_back(n.Modulo(primes[i]));
  }
  const std::uint32_t n8 = n.Modulo(8);
  std::uint32_t best = 1;
  double best_score = -1e9;
  for (const std::uint32_t k : kCandidates) {
    double score = -0.5 * std::log(static_cast<double>(k));
    const std::uint32_t kn8 = k * n8 % 8;
    score += (kn8 == 1 ? 2.0 : kn8 == 5 ? 1.0 : 0.5) * std::log(2.0);
    for (std::size_t i = 0; i < residues.size(); ++i) {
      const std::uint32_t p = primes[i];
      const double log_p = std::log(static_cast<double>(p));
      const std::uint32_t r = static_cast<std::uint32_t>(std::uint64_t{k % p} * residues[i] % p);
      if (r == 0) {
        score += log_p / p;
      } else if (Jacobi(r, p) == 1) {
        score += 2.0 * log_p / (p - 1);
      }
    }
    if (score > best_score) {
      best_score = score;
      best = k;
    }
  }
  return best;
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
      return {static_cast<int>(digits), between(a.primes, b.primes), between(a.blocks, b.blocks),
              between(a.large_multiplier, b.large_multiplier),
              a.threshold + f * (b.threshold - a.threshold)};
    }
  }
  return sizes.back();
}

// What the streams of polynomials share: the values of A taken, the partial relations waiting
// for a second one with the same large prime, the relations.
struct Shared {
  std::mutex mutex;
  std::set<std::vector<std::size_t>> used;
  std::unordered_map<std::uint32_t, SiqsRelation> partials;
  std::vector<SiqsRelation> relations;
  std::atomic<std::size_t> found{0};
  std::atomic<bool> over{false};
};

// One stream of polynomials, with its own sieve; the first one also reports the progress.
class Gatherer {
 public:
  Gatherer(const Natural& n, std::size_t extra, Work& work, Shared& shared, std::uint64_t seed,
           bool reports)
      : n_(n),
        work_(work),
        pacer_(work),
        extra_(extra),
        shared_(shared),
        reports_(reports),
        random_(seed) {}

  // The factor base; false when one of its primes divides n (then it alone is the factor base).
  bool Prepare() { return MakeFactorBase(); }
  const std::vector<std::uint32_t>& FactorBase() const { return out_.factor_base; }
  std::size_t Needed() const { return needed_; }

  // Sieves until the streams have enough relations; false when stopped.
  bool Run() {
    sieve_.assign(kBlock + 64, 0);  // and the spare bytes
    while (!Enough()) {
      NewA();
      for (std::uint32_t i = 0;; ++i) {
        if (i > 0) {
          NextB(i);
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

  // Hands the relations of the last polynomial to the streams' common store.
  void Flush() {
    if (full_.empty() && partial_.empty()) {
      return;
    }
    const std::lock_guard<std::mutex> lock(shared_.mutex);
    for (SiqsRelation& relation : full_) {
      shared_.relations.push_back(std::move(relation));
    }
    full_.clear();
    for (SiqsRelation& relation : partial_) {
      const std::uint32_t large = relation.primes.back();
      const auto [it, first] = shared_.partials.try_emplace(large, relation);
      if (first) {
        continue;
      }
      const SiqsRelation& other = it->second;
      if (other.y == relation.y) {
        continue;  // the same value found twice
      }
      relation.y = relation.y * other.y % n_;
      relation.negative = relation.negative != other.negative;
      relation.primes.insert(relation.primes.end(), other.primes.begin(), other.primes.end());
      shared_.relations.push_back(std::move(relation));
    }
    partial_.clear();
    shared_.found = shared_.relations.size();
  }

  bool MakeFactorBase() {
    k_ = Multiplier(n_);
    kn_ = n_ * Natural(k_);
    const tuning::SiqsSize size = SizeFor(n_.DecimalDigits());
    std::vector<std::uint32_t>& base = out_.factor_base;
    base.push_back(2);
    root_.push_back(kNoRoot);
    // About half of the primes are in the factor base: those below 3 s ln s are enough for s.
    const double enough = 3.0 * size.primes * std::log(static_cast<double>(size.primes));
    for (const std::uint32_t p : OddPrimesBelow(static_cast<std::uint32_t>(
             std::clamp(enough, 10000.0, static_cast<double>(std::uint32_t{1} << 24))))) {
      if (base.size() >= size.primes) {
        break;
      }
      const std::uint32_t r = kn_.Modulo(p);
      if (r != 0 && Jacobi(r, p) != 1) {
        continue;
      }
      if (n_.Modulo(p) == 0) {
        base.assign(1, p);
        return false;
      }
      base.push_back(p);
      root_.push_back(r == 0 ? kNoRoot : SquareRootModulo(r, p));
    }
    const std::size_t count = base.size();
    logs_.resize(count);
    magic_.resize(count);
    first_sieved_ = count;
    for (std::size_t j = 0; j < count; ++j) {
      const std::uint32_t p = base[j];
      logs_[j] = static_cast<std::uint8_t>(std::lround(std::log2(static_cast<double>(p))));
      magic_[j] = UINT64_MAX / p + 1;
      if (p >= tuning::kSiqsSmallestSieved && first_sieved_ == count) {
        first_sieved_ = j;
      }
      if (p < kBlock) {
        first_large_ = j + 1;
      }
    }
    first_large_ = std::max(first_large_, first_sieved_);
    blocks_ = std::max<std::uint32_t>(1, size.blocks);
    half_ = blocks_ * kBlock / 2;
    const double largest = base.back();
    large_bound_ = static_cast<std::uint64_t>(
        std::min({largest * size.large_multiplier, largest * largest, 4e9}));
    long exponent = 0;
    const double mantissa = mpz_get_d_2exp(&exponent, kn_.get());
    const double kn_bits = std::log2(mantissa) + static_cast<double>(exponent);
    // log2 of the largest |g(x)|, M sqrt(kN / 2), and of the A that gives it, sqrt(2 kN) / M.
    const double value_bits = std::log2(static_cast<double>(half_)) + (kn_bits - 1) / 2;
    a_bits_ = (kn_bits + 1) / 2 - std::log2(static_cast<double>(half_));
    const double threshold =
        value_bits - size.threshold * std::log2(largest) - tuning::kSiqsSmallPrimeBits;
    start_ = static_cast<std::uint8_t>(std::clamp(128 - std::lround(threshold), 0L, 127L));
    needed_ = base.size() + extra_;
    ChoosePool();
    root1_.resize(count);
    root2_.resize(count);
    next1_.resize(count);
    next2_.resize(count);
    inverse_.resize(count);
    return true;
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
      std::uint64_t gamma =
          std::uint64_t{root_[chosen[l]]} * InverseModuloPrime(rest.Modulo(q), q) % q;
      if (gamma > q / 2) {
        gamma = q - gamma;
      }
      b_terms_[l] = rest * Natural(gamma);
      mpz_add(b_.get(), b_.get(), b_terms_[l].get());
    }
    deltas_.assign(chosen.size() * base.size(), 0);
    for (std::size_t j = 1; j < base.size(); ++j) {
      const std::uint32_t p = base[j];
      const std::uint32_t a_mod = a_.Modulo(p);
      if (a_mod == 0 || root_[j] == kNoRoot) {
        inverse_[j] = 0;
        continue;
      }
      inverse_[j] = InverseModuloPrime(a_mod, p);
      for (std::size_t l = 0; l < chosen.size(); ++l) {
        deltas_[l * base.size() + j] = static_cast<std::uint32_t>(
            2 * (std::uint64_t{b_terms_[l].Modulo(p)} * inverse_[j] % p) % p);
      }
    }
    // The roots of the first polynomial, as positions x + M of the interval.
    for (std::size_t j = 1; j < base.size(); ++j) {
      const std::uint32_t p = base[j];
      if (inverse_[j] == 0) {
        root1_[j] = root2_[j] = kNoRoot;
        continue;
      }
      const std::uint64_t b = mpz_fdiv_ui(b_.get(), p);
      const std::uint64_t m = half_ % p;
      const std::uint64_t t = root_[j];
      root1_[j] = static_cast<std::uint32_t>(((t + p - b) % p * inverse_[j] + m) % p);
      root2_[j] = static_cast<std::uint32_t>(((2 * p - t - b) % p * inverse_[j] + m) % p);
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
    for (std::size_t j = 1; j < base.size(); ++j) {
      if (root1_[j] == kNoRoot) {
        continue;
      }
      const std::uint32_t p = base[j];
      const std::uint32_t d = down ? delta[j] : (delta[j] == 0 ? 0 : p - delta[j]);
      root1_[j] = root1_[j] + d >= p ? root1_[j] + d - p : root1_[j] + d;
      root2_[j] = root2_[j] + d >= p ? root2_[j] + d - p : root2_[j] + d;
    }
  }

  // Sieves the interval of the current polynomial, block by block; false when stopped.
  bool SievePolynomial() {
    const std::vector<std::uint32_t>& base = out_.factor_base;
    const std::size_t count = base.size();
    std::copy(root1_.begin(), root1_.end(), next1_.begin());
    std::copy(root2_.begin(), root2_.end(), next2_.begin());
    for (std::uint32_t block = 0; block < blocks_; ++block) {
      if (reports_ ? pacer_.Stopped({"SIQS", "relation", shared_.found, needed_})
                   : work_.Stopped()) {
        return false;
      }
      std::uint8_t* const sieve = sieve_.data();
      std::memset(sieve, start_, kBlock);
      const std::uint32_t* const primes = base.data();
      const std::uint8_t* const logs = logs_.data();
      std::uint32_t* const next1 = next1_.data();
      std::uint32_t* const next2 = next2_.data();
      constexpr auto kEnd = static_cast<std::uint32_t>(kBlock);
      // The primes below the block strike it many times, both roots in one loop.
      for (std::size_t j = first_sieved_; j < first_large_; ++j) {
        std::uint32_t r1 = next1[j];
        if (r1 == kNoRoot) {
          continue;
        }
        std::uint32_t r2 = next2[j];
        if (r1 > r2) {
          std::swap(r1, r2);
        }
        const std::uint32_t p = primes[j];
        const std::uint8_t log = logs[j];
        for (; r2 < kEnd; r1 += p, r2 += p) {
          sieve[r1] += log;
          sieve[r2] += log;
        }
        if (r1 < kEnd) {
          sieve[r1] += log;
          r1 += p;
        }
        next1[j] = r1 - kEnd;
        next2[j] = r2 - kEnd;
      }
      // The others at most once for each root: without a branch, which would be mispredicted
      // about as often as not; a root past the block strikes a spare byte after it instead.
      for (std::size_t j = first_large_; j < count; ++j) {
        const std::uint32_t r1 = next1[j];
        if (r1 == kNoRoot) {
          continue;
        }
        const std::uint32_t r2 = next2[j];
        const std::uint32_t p = primes[j];
        const std::uint8_t log = logs[j];
        const auto spare = static_cast<std::uint32_t>(kEnd + (j % 32));
        const bool hit1 = r1 < kEnd;
        const bool hit2 = r2 < kEnd;
        sieve[hit1 ? r1 : spare] += log;
        sieve[hit2 ? r2 : spare + 32] += log;
        next1[j] = r1 + (hit1 ? p : 0) - kEnd;
        next2[j] = r2 + (hit2 ? p : 0) - kEnd;
      }
      for (std::size_t w = 0; w < kBlock; w += 8) {
        std::uint64_t word;
        std::memcpy(&word, sieve + w, 8);
        if ((word & 0x8080808080808080u) == 0) {
          continue;
        }
        for (std::size_t b = w; b < w + 8; ++b) {
          if ((sieve[b] & 0x80) != 0) {
            TryValue(static_cast<std::uint32_t>(block * kBlock + b), static_cast<std::uint32_t>(b));
          }
        }
      }
    }
    return true;
  }

  // Divides g(x) at the position `at` = x + M, `offset` in the block just sieved, by the factor
  // base; keeps a full or partial relation.
  void TryValue(std::uint32_t at, std::uint32_t offset) {
    const std::vector<std::uint32_t>& base = out_.factor_base;
    const long x = static_cast<long>(at) - static_cast<long>(half_);
    mpz_mul_si(y_.get(), a_.get(), x);
    mpz_add(y_.get(), y_.get(), b_.get());
    mpz_mul(g_.get(), y_.get(), y_.get());
    mpz_sub(g_.get(), g_.get(), kn_.get());
    mpz_divexact(g_.get(), g_.get(), a_.get());
    SiqsRelation relation;
    relation.negative = mpz_sgn(g_.get()) < 0;
    mpz_abs(g_.get(), g_.get());
    if (mpz_sgn(g_.get()) == 0) {
      return;
    }
    for (const std::size_t j : a_factors_) {
      relation.primes.push_back(base[j]);
    }
    const mp_bitcnt_t twos = mpz_scan1(g_.get(), 0);
    relation.primes.insert(relation.primes.end(), twos, 2);
    mpz_tdiv_q_2exp(g_.get(), g_.get(), twos);
    const auto divide = [this, &relation](std::uint32_t p) {
      do {
        mpz_divexact_ui(g_.get(), g_.get(), p);
        relation.primes.push_back(p);
      } while (mpz_divisible_ui_p(g_.get(), p) != 0);
    };
    // The primes below the block: x mod p, by two products, against the roots.
    for (std::size_t j = 1; j < first_large_; ++j) {
      const std::uint32_t p = base[j];
      const std::uint64_t low = magic_[j] * at;
      const auto r = static_cast<std::uint32_t>((static_cast<Uint128>(low) * p) >> 64);
      if (r == root1_[j] || r == root2_[j]) {
        divide(p);
      }
    }
    // The others struck this block at most once for each root, p before their next position.
    const std::uint32_t back = static_cast<std::uint32_t>(kBlock) - offset;
    for (std::size_t j = first_large_; j < base.size(); ++j) {
      const std::uint32_t p = base[j];
      if (next1_[j] + back == p || next2_[j] + back == p) {
        divide(p);
      }
    }
    // Those that divide A or k.
    for (const std::size_t j : unsieved_) {
      if (mpz_divisible_ui_p(g_.get(), base[j]) != 0) {
        divide(base[j]);
      }
    }
    if (mpz_cmp_ui(g_.get(), 1) != 0 &&
        (mpz_sizeinbase(g_.get(), 2) > 32 || mpz_get_ui(g_.get()) >= large_bound_)) {
      return;
    }
    const auto large = static_cast<std::uint32_t>(mpz_get_ui(g_.get()));
    mpz_abs(y_.get(), y_.get());
    mpz_mod(y_.get(), y_.get(), n_.get());
    mpz_set(relation.y.raw(), y_.get());
    if (large == 1) {
      full_.push_back(std::move(relation));
    } else {
      relation.primes.push_back(large);
      partial_.push_back(std::move(relation));
    }
  }

  const Natural& n_;
  Work& work_;
  ClockPacer pacer_;
  std::size_t extra_;
  Shared& shared_;
  bool reports_;
  SiqsRelations out_;  // the factor base
  std::vector<SiqsRelation> full_, partial_;
  std::size_t needed_ = 0;

  std::uint32_t k_ = 1;
  Natural kn_;
  std::vector<std::uint32_t> root_;  // sqrt(kN) modulo each prime of the factor base
  std::vector<std::uint8_t> logs_;
  std::vector<std::uint64_t> magic_;  // 2^64 / p rounded up, for x mod p by two products
  std::size_t first_sieved_ = 0;
  std::size_t first_large_ = 0;  // the first prime above the block
  std::uint32_t blocks_ = 2;
  std::uint32_t half_ = 0;  // M
  std::uint64_t large_bound_ = 0;
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
  Signed y_, g_;
};

}  // namespace

SiqsRelations GatherRelations(const Natural& n, std::size_t extra, Work& work) {
  Shared shared;
  Gatherer first(n, extra, work, shared, 0x9e3779b97f4a7c15u, true);
  SiqsRelations out;
  if (!first.Prepare()) {
    out.factor_base = first.FactorBase();
    return out;
  }
#if defined(BRINDAQ_SIQS_THREADS)
  // A second stream of polynomials on another core, where there is one.
  std::thread second;
  if (std::thread::hardware_concurrency() >= 2) {
    second = std::thread([&n, extra, &work, &shared] {
      Gatherer other(n, extra, work, shared, 0x2545f4914f6cdd1du, false);
      other.Prepare();
      other.Run();
    });
  }
#endif
  const bool finished = first.Run();
  shared.over = true;
#if defined(BRINDAQ_SIQS_THREADS)
  if (second.joinable()) {
    second.join();
  }
#endif
  out.factor_base = first.FactorBase();
  if (finished && !work.Stopped()) {
    out.relations = std::move(shared.relations);
  }
  return out;
}

}  // namespace brindaq
