#include "core/proof/two_word_proof.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/arithmetic/factorisation.h"
#include "core/arithmetic/montgomery128.h"
#include "core/arithmetic/probable_prime.h"
#include "core/arithmetic/two_words.h"
#include "core/arithmetic/wide.h"
#include "core/tuning.h"

namespace brindaq {
namespace {

// psi_12 = 3317044064679887385961981, the least composite that passes the strong tests to the
// first twelve primes.
constexpr Uint128 kTwelveBasesBound = (Uint128{0x2be69} << 64) | 0x51adc5b22410a5fdULL;

// The first primes: the bases of the strong tests (the first twelve), and those that the proof
// tries for each prime q of F. For a prime n a base fails for q with probability 1/q, so that only
// q = 2, which needs a quadratic non-residue, may need more than a few.
constexpr std::array<std::uint64_t, 30> kFirstPrimes{2,  3,  5,  7,  11, 13,  17,  19,  23,  29,
                                                     31, 37, 41, 43, 47, 53,  59,  61,  67,  71,
                                                     73, 79, 83, 89, 97, 101, 103, 107, 109, 113};

bool PassesFirstTwelvePrimes(const Montgomery128& m) {
  const Uint128 n = m.Modulus();
  const int s = CountTrailingZeros(n - 1);
  const Uint128 d = (n - 1) >> s;
  for (std::size_t k = 0; k < 12; ++k) {
    if (!PassesFromOddPower(m, m.Power(m.Of(kFirstPrimes[k]), d), s)) {
      return false;
    }
  }
  return true;
}

// The part F of n - 1 made of proven primes, and those primes, each once.
class ProvenPart {
 public:
  explicit ProvenPart(Uint128 n) : n_minus_1_(n - 1) {}

  Uint128 Value() const { return value_; }
  const std::vector<Uint128>& Primes() const { return primes_; }
  Uint128 Rest() const { return n_minus_1_ / value_; }

  // Takes the prime p into F, to the whole power to which it divides n - 1.
  void Take(Uint128 p) {
    if (value_ % p == 0) {
      return;
    }
    primes_.push_back(p);
    for (Uint128 rest = Rest(); rest % p == 0; rest /= p) {
      value_ *= p;
    }
  }

 private:
  Uint128 n_minus_1_;
  Uint128 value_ = 1;
  std::vector<Uint128> primes_;
};

// Whether F is large enough for Theorem 5 of Brillhart, Lehmer and Selfridge: F^3 >= n, in 256
// bits.
bool LargeEnough(Uint128 f, Uint128 n) {
  const Product256 square = MultiplyWide(f, f);
  if (square.high != 0) {
    return true;
  }
  const Product256 cube = MultiplyWide(square.low, f);
  return cube.high != 0 || cube.low >= n;
}

// For each prime q of F a base a with a^(n-1) = 1 and gcd(a^((n-1)/q) - 1, n) = 1: true; false
// when a base shows n composite; nothing when some q found no base among the first primes.
std::optional<bool> WitnessesFound(const Montgomery128& m, const std::vector<Uint128>& primes) {
  const Uint128 n = m.Modulus();
  for (const Uint128 q : primes) {
    bool witnessed = false;
    for (std::size_t k = 0; k < kFirstPrimes.size() && !witnessed; ++k) {
      const Uint128 part = m.Power(m.Of(kFirstPrimes[k]), (n - 1) / q);
      if (part == m.One()) {
        continue;
      }
      if (m.Power(part, q) != m.One()) {
        return false;  // a^(n-1) != 1: Fermat's test fails
      }
      const Uint128 divisor = GreatestCommonDivisor(m.ValueOf(part) - 1, n);
      if (divisor != 1) {
        return false;  // a^((n-1)/q) - 1 shares a factor with n
      }
      witnessed = true;
    }
    if (!witnessed) {
      return std::nullopt;
    }
  }
  return true;
}

// Theorem 5 for F^3 >= n > F^2, as R. Crandall and C. Pomerance give it ("Prime Numbers", 4.1.6):
// with n written in base F, n = c2 F^2 + c1 F + 1, n is prime exactly when c1^2 - 4 c2 is not a
// square. Here F < 2^64, so that c1^2 fits in two words.
bool PassesCubeRootCondition(Uint128 f, Uint128 rest) {
  const Uint128 c1 = rest % f;
  const Uint128 c2 = rest / f;
  if (c1 * c1 < 4 * c2) {
    return true;  // negative: not a square
  }
  const Uint128 d = c1 * c1 - 4 * c2;
  const Uint128 root = SquareRootFloor(d);
  return root * root != d;
}

}  // namespace

std::optional<Proof> ProveTwoWordPrime(const Natural& n, Work& work) {
  const Montgomery128 m(n.TwoWords());
  const Uint128 value = m.Modulus();
  if (value < kTwelveBasesBound) {
    return PassesFirstTwelvePrimes(m) ? Proof::kProven : Proof::kComposite;
  }
  // n - 1: its twos and its primes below 10^4 first; then each part of the rest that is too large
  // for one word, by rho, until F is large enough.
  ProvenPart f(value);
  f.Take(2);
  std::vector<PrimePower> small;
  std::vector<Uint128> parts{DivideOutSmallOddPrimes(f.Rest(), small)};
  for (const PrimePower& power : small) {
    f.Take(power.prime);
  }
  while (!parts.empty() && !LargeEnough(f.Value(), value)) {
    if (work.Stopped()) {
      return Proof::kProbable;
    }
    const Uint128 part = parts.back();
    parts.pop_back();
    if (part == 1) {
      continue;
    }
    if ((part >> 64) == 0) {
      for (const PrimePower& power : Factorisation(static_cast<std::uint64_t>(part))) {
        f.Take(power.prime);
      }
      continue;
    }
    const Montgomery128 part_m(part);
    if (PassesBailliePsw(part_m)) {
      const Proof proof = ProveProbablePrime(Natural::FromWide(part), work);
      if (proof == Proof::kProbable) {
        return proof;
      }
      if (proof == Proof::kProven) {
        f.Take(part);
      }
      continue;  // a composite that passed: left in R
    }
    const Uint128 factor = RhoFactor(part_m, 1, tuning::kTwoWordProofRhoSteps);
    if (factor != 1) {
      parts.push_back(part / factor);
      parts.push_back(factor);
    }
  }
  if (!LargeEnough(f.Value(), value)) {
    return std::nullopt;
  }
  const std::optional<bool> witnessed = WitnessesFound(m, f.Primes());
  if (!witnessed) {
    return std::nullopt;
  }
  if (!*witnessed) {
    return Proof::kComposite;
  }
  // Pocklington's theorem when F^2 > n; Theorem 5 otherwise.
  const Product256 square = MultiplyWide(f.Value(), f.Value());
  if (square.high != 0 || square.low > value || PassesCubeRootCondition(f.Value(), f.Rest())) {
    return Proof::kProven;
  }
  return std::nullopt;  // BLS calls n composite: the curves will say
}

}  // namespace brindaq
