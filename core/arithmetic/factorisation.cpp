// The factorisation of a number below 2^64: trial division by the table of primes, then the
// splitting of what is left, with the primality test deciding which factors are prime.

#include "core/arithmetic/factorisation.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "core/arithmetic/montgomery.h"
#include "core/arithmetic/primality.h"
#include "core/arithmetic/prime_table.h"
#include "core/arithmetic/rho.h"
#include "core/arithmetic/wide.h"
#include "core/tuning.h"

namespace brindaq {
namespace {

// Once the primes that the primality test itself tries first are out, a rest that is prime is
// told at once by that test, rather than by trying every prime up to its square root.
constexpr std::uint64_t kLastQuickPrime = kOddPrimes[tuning::kQuickTrialPrimes - 1].value;

// What is left of a number once the primes of the table are out: 1, a prime, or a number with no
// factor below 10^4, which may be prime or not.
struct Rest {
  std::uint64_t value;
  bool prime;
};

// Divides the primes of the table out of n, smallest first, as often as they go, into `powers`.
// Stops at the first prime whose square exceeds the rest, which is then 1 or prime.
template <typename Prime>
Rest DivideOutSmallPrimes(std::uint64_t n, const std::array<Prime, kOddPrimeCount>& table,
                          std::vector<PrimePower>& powers) {
  if (n % 2 == 0) {
    const int twos = std::countr_zero(n);
    powers.push_back({2, twos});
    n >>= twos;
  }
  for (const Prime& p : table) {
    if (std::uint64_t{p.value} * p.value > n) {
      return {n, n > 1};
    }
    if (p.Divides(static_cast<decltype(p.value)>(n))) {
      powers.push_back({p.value, 0});
      for (; p.Divides(static_cast<decltype(p.value)>(n)); n /= p.value) {
        ++powers.back().exponent;
      }
    }
    if (p.value == kLastQuickPrime && IsPrime(n)) {
      return {n, true};
    }
  }
  return {n, n < kPrimeBelow};
}

// The smallest prime of the table that divides an odd n > 1; n itself when n is prime by the
// table's account (a prime's square passes n first, or n is below 10007^2); 0 when neither.
template <typename Prime>
std::uint64_t SmallestFactorInTable(std::uint64_t n,
                                    const std::array<Prime, kOddPrimeCount>& table) {
  for (const Prime& p : table) {
    if (std::uint64_t{p.value} * p.value > n) {
      return n;
    }
    if (p.Divides(static_cast<decltype(p.value)>(n))) {
      return p.value;
    }
  }
  return n < kPrimeBelow ? n : 0;
}

// The whole r with r^3 = n, if there is one.
std::uint64_t CubeRoot(std::uint64_t n) {
  const auto guess = static_cast<std::uint64_t>(std::llround(std::cbrt(static_cast<double>(n))));
  for (std::uint64_t r = guess == 0 ? 0 : guess - 1; r <= guess + 1; ++r) {
    if (r > 0 && r <= 2642245 && r * r * r == n) {  // 2642245^3 is the last cube below 2^64
      return r;
    }
  }
  return 0;
}

// Adds the prime factors of n > 1, which has no factor below 10^4, to `primes`, with repetition.
void AddPrimeFactors(std::uint64_t n, std::vector<std::uint64_t>& primes) {
  if (n < kPrimeBelow || IsPrime(n)) {
    primes.push_back(n);
    return;
  }
  std::uint64_t factor = SquareRootFloor(n);
  if (factor * factor != n) {
    factor = CubeRoot(n);
  }
  if (factor == 0) {
    factor = SplitComposite(n);
  }
  AddPrimeFactors(factor, primes);
  AddPrimeFactors(n / factor, primes);
}

}  // namespace

std::vector<PrimePower> Factorisation(std::uint64_t n) {
  std::vector<PrimePower> powers;
  if (n <= 1) {
    return powers;
  }
  // Below 2^32 the table of 32-bit inverses serves.
  const Rest rest = n < (std::uint64_t{1} << 32) ? DivideOutSmallPrimes(n, kOddPrimes, powers)
                                                 : DivideOutSmallPrimes(n, kWideOddPrimes, powers);
  if (rest.value == 1 || rest.prime) {
    if (rest.value > 1) {
      powers.push_back({rest.value, 1});
    }
    return powers;
  }
  std::vector<std::uint64_t> primes;
  AddPrimeFactors(rest.value, primes);
  std::sort(primes.begin(), primes.end());
  for (const std::uint64_t p : primes) {
    if (!powers.empty() && powers.back().prime == p) {
      ++powers.back().exponent;
    } else {
      powers.push_back({p, 1});
    }
  }
  return powers;
}

std::uint64_t SmallestPrimeFactor(std::uint64_t n) {
  if (n % 2 == 0) {
    return 2;
  }
  const std::uint64_t factor = n < (std::uint64_t{1} << 32)
                                   ? SmallestFactorInTable(n, kOddPrimes)
                                   : SmallestFactorInTable(n, kWideOddPrimes);
  // No factor below 10^4: the smallest of those that the factorisation finds.
  return factor != 0 ? factor : Factorisation(n).front().prime;
}

std::uint64_t SplitComposite(std::uint64_t n) {
  if (const std::uint64_t factor = EllipticCurveFactor(n, tuning::kCurves); factor != 0) {
    return factor;
  }
  for (std::uint64_t c = 1;; ++c) {
    if (const std::uint64_t factor = RhoFactor(n, c); factor != n) {
      return factor;
    }
  }
}

std::uint64_t RhoFactor(std::uint64_t n, std::uint64_t c) {
  return RhoWalk(Montgomery64(n), c, UINT64_MAX);
}

}  // namespace brindaq
