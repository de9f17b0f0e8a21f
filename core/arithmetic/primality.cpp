// Whether a number below 2^64 is prime, and the next prime: which test runs for which numbers,
// and the search of the candidates above a number, sieved in windows or passed over by trial
// division, for the one that the tests call prime.

#include "core/arithmetic/primality.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <utility>

#include "core/arithmetic/montgomery.h"
#include "core/arithmetic/prime_table.h"
#include "core/arithmetic/probable_prime.h"
#include "core/tuning.h"

namespace brindaq {
namespace {

static_assert(tuning::kThirtyTwoBitBelow <= Montgomery32::kModulusBelow);
static_assert(tuning::kQuickTrialPrimes < kOddPrimeCount &&
              tuning::kNextPrimeTrialPrimes <= kOddPrimeCount &&
              tuning::kNextPrimeSievingPrimes <= kOddPrimeCount);

// Whether one of the first `count` trial divisors divides n.
bool HasSmallFactor(std::uint64_t n, std::size_t count) {
  for (std::size_t k = 0; k < count; ++k) {
    if (kWideOddPrimes[k].Divides(n)) {
      return true;
    }
  }
  return false;
}

// Trial division settles most numbers at once: those with a factor among the first primes, and
// those below the square of the next one.
constexpr std::uint32_t kQuickTrialBound =
    kOddPrimes[tuning::kQuickTrialPrimes].value * kOddPrimes[tuning::kQuickTrialPrimes].value;

// Below 2^30 the arithmetic is 32-bit.
bool IsPrimeBelow2To30(std::uint32_t n) {
  if (n == 1) {
    return false;
  }
  for (std::size_t k = 0; k < tuning::kQuickTrialPrimes; ++k) {
    if (kOddPrimes[k].Divides(n)) {
      return n == kOddPrimes[k].value;
    }
  }
  return n < kQuickTrialBound || IsStrongProbablePrimeTo2And7And61(n);
}

}  // namespace

bool IsPrime(std::uint64_t n) {
  if (n % 2 == 0) {
    return n == 2;
  }
  if (n < tuning::kThirtyTwoBitBelow) {
    return IsPrimeBelow2To30(static_cast<std::uint32_t>(n));
  }
  if (HasSmallFactor(n, tuning::kQuickTrialPrimes)) {
    return false;
  }
  const Montgomery64 m(n);
  return n < tuning::kThreeBasesBelow ? IsStrongProbablePrimeTo2And7And61(m) : PassesBailliePsw(m);
}

std::array<bool, 4> ArePrime(const std::array<std::uint64_t, 4>& ns) {
  std::array<bool, 4> prime{};
  if (std::min({ns[0], ns[1], ns[2], ns[3]}) < tuning::kThirtyTwoBitBelow) {
    for (std::size_t k = 0; k < 4; ++k) {
      prime[k] = IsPrime(ns[k]);
    }
    return prime;
  }
  const std::array<bool, 4> pass = AreStrongProbablePrimesToBase2(ns);
  for (std::size_t k = 0; k < 4; ++k) {
    prime[k] = pass[k] && PassesAfterStrongBase2(Montgomery64(ns[k]));
  }
  return prime;
}

namespace {

// Every candidate of the search in windows stays below 2^30: no two consecutive primes below
// 1294268491 lie more than 282 apart (the maximal gaps between primes), and a window reaches
// 2 * kNextPrimeWindow - 2 past its first number.
static_assert(tuning::kNextPrimeWindowsBelow + 282 + 2 * tuning::kNextPrimeWindow <=
              tuning::kThirtyTwoBitBelow);

// The first prime above n < kNextPrimeWindowsBelow, where every candidate is below 2^30.
std::uint32_t FirstPrimeAboveBelow2To30(std::uint32_t n) {
  if (n < 2) {
    return 2;
  }
  // The odd numbers above n, a window at a time: the multiples of the first odd primes are struck
  // out. Where these are all the primes up to the square root of the window, what is left is
  // prime; otherwise it is tested in order, four at a time by Fermat's test, which only the
  // primes and a rare composite pass, and then one by one by the full test.
  constexpr std::size_t kWindow = tuning::kNextPrimeWindow;
  constexpr std::size_t kSievingPrimes = tuning::kNextPrimeSievingPrimes;
  for (std::uint32_t first = (n + 1) | 1;; first += 2 * kWindow) {
    const std::uint32_t last = first + 2 * (kWindow - 1);
    std::size_t sieving = 0;
    while (sieving < kSievingPrimes &&
           kOddPrimes[sieving].value * kOddPrimes[sieving].value <= last) {
      ++sieving;
    }
    // Index i stands for first + 2i.
    std::array<bool, kWindow> struck{};
    for (std::size_t k = 0; k < sieving; ++k) {
      const std::uint32_t p = kOddPrimes[k].value;
      // The first odd multiple of p from `first` on, and never p itself.
      const std::uint32_t below = (p - first % p) % p;
      std::uint32_t i = below % 2 == 0 ? below / 2 : (below + p) / 2;
      if (first + 2 * i == p) {
        i += p;
      }
      for (; i < kWindow; i += p) {
        struck[i] = true;
      }
    }
    std::array<std::uint32_t, kWindow> left{};
    std::size_t count = 0;
    for (std::uint32_t i = 0; i < kWindow; ++i) {
      if (!struck[i]) {
        left[count++] = first + 2 * i;
      }
    }
    if (sieving < kSievingPrimes) {
      if (count > 0) {
        return left[0];
      }
      continue;
    }
    for (std::size_t k = 0; k < count; k += 4) {
      // A short last batch repeats its last number.
      std::array<std::uint32_t, 4> batch{};
      for (std::size_t j = 0; j < 4; ++j) {
        batch[j] = left[std::min(k + j, count - 1)];
      }
      const std::array<bool, 4> pass = AreFermatProbablePrimesToBase2(batch);
      for (std::size_t j = 0; j < 4 && k + j < count; ++j) {
        if (pass[j] && IsPrime(batch[j])) {
          return batch[j];
        }
      }
    }
  }
}

// The first prime above kNextPrimeWindowsBelow <= n < 18446744073709551557: the odd numbers
// above n in turn, those with a factor among the first odd primes (3 to 251) passed over. The
// first one left is tested alone, since a prime often comes soon (10^18 + 3); those after it
// four at a time. Near 2^64 a prime comes every 44 numbers on average, and one odd number in
// five has no factor up to 251. The last batch before 2^64 may take numbers that wrap past it,
// but 18446744073709551557, the largest prime below 2^64, stands before them. No candidate is
// one of the trial primes itself.
static_assert(tuning::kNextPrimeWindowsBelow > kOddPrimes[tuning::kNextPrimeTrialPrimes - 1].value);
std::uint64_t FirstWidePrimeAbove(std::uint64_t n) {
  std::array<std::uint64_t, 4> batch{};
  std::size_t count = 0;
  bool first = true;
  for (std::uint64_t candidate = (n + 1) | 1;; candidate += 2) {
    if (HasSmallFactor(candidate, tuning::kNextPrimeTrialPrimes)) {
      continue;
    }
    if (std::exchange(first, false)) {
      const Montgomery64 m(candidate);
      if (IsStrongProbablePrimeToBase2(m) && PassesAfterStrongBase2(m)) {
        return candidate;
      }
      continue;
    }
    batch[count++] = candidate;
    if (count < batch.size()) {
      continue;
    }
    const std::array<bool, 4> prime = ArePrime(batch);
    for (std::size_t k = 0; k < batch.size(); ++k) {
      if (prime[k]) {
        return batch[k];
      }
    }
    count = 0;
  }
}

}  // namespace

std::uint64_t FirstPrimeAbove(std::uint64_t n) {
  return n < tuning::kNextPrimeWindowsBelow
             ? FirstPrimeAboveBelow2To30(static_cast<std::uint32_t>(n))
             : FirstWidePrimeAbove(n);
}

}  // namespace brindaq
