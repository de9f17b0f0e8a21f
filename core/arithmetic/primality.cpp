#include "core/arithmetic/primality.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>

#include "core/arithmetic/montgomery.h"
#include "core/arithmetic/prime_table.h"

namespace brindaq {
namespace {

// The strong probable-prime test of an odd n > 61 to the bases 2, 7 and 61 together: with
// n - 1 = d * 2^s and d odd, n passes for a base b when b^d = 1 or b^(d * 2^r) = -1 for some
// r < s. The three powers are raised side by side, so that their multiplications overlap; the
// base 2 only doubles.
bool IsStrongProbablePrimeToBases2And7And61(std::uint32_t n) {
  const Montgomery32 m(n);
  const int s = std::countr_zero(n - 1);
  const std::uint32_t d = (n - 1) >> s;
  const std::uint32_t seven = m.Of(7);
  const std::uint32_t sixty_one = m.Of(61);
  std::array<std::uint32_t, 3> powers{m.One(), m.One(), m.One()};
  for (int bit = std::bit_width(d) - 1; bit >= 0; --bit) {
    for (std::uint32_t& power : powers) {
      power = m.Multiply(power, power);
    }
    if ((d >> bit) & 1) {
      powers[0] = m.Double(powers[0]);
      powers[1] = m.Multiply(powers[1], seven);
      powers[2] = m.Multiply(powers[2], sixty_one);
    }
  }
  for (std::uint32_t power : powers) {
    power = m.Reduced(power);
    if (power == m.One()) {
      continue;
    }
    int r = 0;
    for (; r < s && power != m.MinusOne(); ++r) {
      power = m.Reduced(m.Multiply(power, power));
    }
    if (r == s) {
      return false;
    }
  }
  return true;
}

// Whether 2^(n - 1) = 1 modulo n (Fermat's test to the base 2), for four odd numbers n > 2 at
// once: their powers are raised side by side, so that the multiplications of one overlap those
// of the others. Every prime passes; a composite that passes is rare.
std::array<bool, 4> PassFermatToBase2(const std::array<std::uint32_t, 4>& ns) {
  const std::array<Montgomery32, 4> forms{Montgomery32(ns[0]), Montgomery32(ns[1]),
                                          Montgomery32(ns[2]), Montgomery32(ns[3])};
  std::array<std::uint32_t, 4> powers{};
  std::uint32_t widest = 0;
  for (std::size_t k = 0; k < 4; ++k) {
    powers[k] = forms[k].One();
    widest |= ns[k] - 1;
  }
  for (int bit = std::bit_width(widest) - 1; bit >= 0; --bit) {
    for (std::size_t k = 0; k < 4; ++k) {
      const std::uint32_t square = forms[k].Multiply(powers[k], powers[k]);
      const std::uint32_t doubled = forms[k].Double(square);
      powers[k] = ((ns[k] - 1) >> bit) & 1 ? doubled : square;
    }
  }
  std::array<bool, 4> pass{};
  for (std::size_t k = 0; k < 4; ++k) {
    pass[k] = forms[k].Reduced(powers[k]) == forms[k].One();
  }
  return pass;
}

// Whether `power`, b^d for n - 1 = d * 2^s with d odd, shows n a strong probable prime to the
// base b: b^d = 1, or b^(d * 2^r) = -1 for some r < s.
bool PassesFromOddPower(const Montgomery64& m, std::uint64_t power, int s) {
  if (power == m.One()) {
    return true;
  }
  for (int r = 0; r < s; ++r) {
    if (power == m.MinusOne()) {
      return true;
    }
    power = m.Square(power);
  }
  return false;
}

// The strong probable-prime test to the base 2 of four odd numbers above 2^30 at once: their
// powers are raised side by side, so that the multiplications of one overlap those of the
// others, and a multiplication by 2 is a doubling. A power whose exponent has fewer bits stays 1
// through the leading bits of the others.
std::array<bool, 4> PassStrongBase2(const std::array<std::uint64_t, 4>& ns) {
  const std::array<Montgomery64, 4> forms{Montgomery64(ns[0]), Montgomery64(ns[1]),
                                          Montgomery64(ns[2]), Montgomery64(ns[3])};
  std::array<std::uint64_t, 4> odd_parts{};
  std::array<int, 4> twos{};
  std::array<std::uint64_t, 4> powers{};
  std::uint64_t widest = 0;
  for (std::size_t k = 0; k < 4; ++k) {
    twos[k] = std::countr_zero(ns[k] - 1);
    odd_parts[k] = (ns[k] - 1) >> twos[k];
    powers[k] = forms[k].One();
    widest |= odd_parts[k];
  }
  for (int bit = std::bit_width(widest) - 1; bit >= 0; --bit) {
    for (std::size_t k = 0; k < 4; ++k) {
      const std::uint64_t square = forms[k].Square(powers[k]);
      powers[k] = (odd_parts[k] >> bit) & 1 ? forms[k].Add(square, square) : square;
    }
  }
  std::array<bool, 4> pass{};
  for (std::size_t k = 0; k < 4; ++k) {
    pass[k] = PassesFromOddPower(forms[k], powers[k], twos[k]);
  }
  return pass;
}

// The strong probable-prime test of an odd n > 2^30 to several bases at once, in 64-bit
// Montgomery form: the powers are raised side by side, so that their multiplications overlap.
template <std::size_t kBases>
bool IsStrongProbablePrime(const Montgomery64& m, const std::array<std::uint64_t, kBases>& bases) {
  const std::uint64_t n = m.Modulus();
  const int s = std::countr_zero(n - 1);
  const std::uint64_t d = (n - 1) >> s;
  std::array<std::uint64_t, kBases> forms{};
  std::array<std::uint64_t, kBases> powers{};
  for (std::size_t k = 0; k < kBases; ++k) {
    forms[k] = m.Of(bases[k]);
    powers[k] = m.One();
  }
  for (int bit = std::bit_width(d) - 1; bit >= 0; --bit) {
    for (std::uint64_t& power : powers) {
      power = m.Square(power);
    }
    if ((d >> bit) & 1) {
      for (std::size_t k = 0; k < kBases; ++k) {
        powers[k] = m.Multiply(powers[k], forms[k]);
      }
    }
  }
  for (std::size_t k = 0; k < kBases; ++k) {
    // A base that n divides tells nothing.
    if (forms[k] != 0 && !PassesFromOddPower(m, powers[k], s)) {
      return false;
    }
  }
  return true;
}

// The odd primes 3 to 251 as 64-bit inverses, to find a small factor of a large n by
// multiplications: n is a multiple of p exactly when n * inverse (mod 2^64) is at most
// (2^64 - 1) / p.
struct WideOddPrime {
  std::uint64_t inverse;
  std::uint64_t max_quotient;
  constexpr bool Divides(std::uint64_t n) const { return n * inverse <= max_quotient; }
};
constexpr std::size_t kWideTrialPrimes = 53;  // 3 to 251
static_assert(kOddPrimes[kWideTrialPrimes - 1].value == 251);
constexpr std::array<WideOddPrime, kWideTrialPrimes> kWideTrialDivisors = [] {
  std::array<WideOddPrime, kWideTrialPrimes> primes{};
  for (std::size_t k = 0; k < primes.size(); ++k) {
    const std::uint64_t p = kOddPrimes[k].value;
    primes[k] = {InverseModuloTwoToThe64(p), UINT64_MAX / p};
  }
  return primes;
}();

// Whether one of the first `count` trial divisors divides n.
bool HasSmallFactor(std::uint64_t n, std::size_t count) {
  for (std::size_t k = 0; k < count; ++k) {
    if (kWideTrialDivisors[k].Divides(n)) {
      return true;
    }
  }
  return false;
}

// The bases that follow 2: with it, 7 and 61 tell every prime from every composite below
// 4759123141 (Jaeschke, 1993), and these six every one below 2^64 (Sinclair, 2011).
constexpr std::array<std::uint64_t, 2> kBasesBelow4759123141{7, 61};
constexpr std::array<std::uint64_t, 6> kBasesBelow2To64{325,    9375,    28178,
                                                        450775, 9780504, 1795265022};

// The strong test to the bases after 2, for an odd n > 2^30 that passed it to the base 2.
bool PassesBasesAfter2(const Montgomery64& m) {
  return m.Modulus() < 4759123141U ? IsStrongProbablePrime(m, kBasesBelow4759123141)
                                   : IsStrongProbablePrime(m, kBasesBelow2To64);
}

// Trial division settles most numbers at once: those with a factor among the first primes, and
// those below the square of the next one.
constexpr std::size_t kQuickTrialPrimes = 15;  // 3 to 53
constexpr std::uint32_t kQuickTrialBound = 59 * 59;

// Below 2^30 the arithmetic is 32-bit.
bool IsPrimeBelow2To30(std::uint32_t n) {
  if (n == 1) {
    return false;
  }
  for (std::size_t k = 0; k < kQuickTrialPrimes; ++k) {
    if (kOddPrimes[k].Divides(n)) {
      return n == kOddPrimes[k].value;
    }
  }
  return n < kQuickTrialBound || IsStrongProbablePrimeToBases2And7And61(n);
}

}  // namespace

bool IsPrime(std::uint64_t n) {
  if (n % 2 == 0) {
    return n == 2;
  }
  if (n < (std::uint64_t{1} << 30)) {
    return IsPrimeBelow2To30(static_cast<std::uint32_t>(n));
  }
  if (HasSmallFactor(n, kQuickTrialPrimes)) {
    return false;
  }
  // All the bases side by side: one number alone is tested quickest so.
  const Montgomery64 m(n);
  return n < 4759123141U
             ? IsStrongProbablePrime<3>(m, {2, 7, 61})
             : IsStrongProbablePrime<7>(m, {2, 325, 9375, 28178, 450775, 9780504, 1795265022});
}

std::array<bool, 4> ArePrime(const std::array<std::uint64_t, 4>& ns) {
  std::array<bool, 4> prime{};
  if (ns[0] < (std::uint64_t{1} << 30) || ns[1] < (std::uint64_t{1} << 30) ||
      ns[2] < (std::uint64_t{1} << 30) || ns[3] < (std::uint64_t{1} << 30)) {
    for (std::size_t k = 0; k < 4; ++k) {
      prime[k] = IsPrime(ns[k]);
    }
    return prime;
  }
  const std::array<bool, 4> pass = PassStrongBase2(ns);
  for (std::size_t k = 0; k < 4; ++k) {
    prime[k] = pass[k] && PassesBasesAfter2(Montgomery64(ns[k]));
  }
  return prime;
}

namespace {

// The first prime above n < 10^9, where every candidate is below 2^30.
std::uint32_t FirstPrimeAboveBelow2To30(std::uint32_t n) {
  if (n < 2) {
    return 2;
  }
  // The odd numbers above n, a window at a time: the multiples of the primes below 1000 are struck
  // out. Where these are all the primes up to the square root of the window, what is left is
  // prime; otherwise it is tested in order, four at a time by Fermat's test, which only the
  // primes and a rare composite pass, and then one by one by the full test.
  constexpr std::size_t kWindow = 128;
  constexpr std::size_t kSievingPrimes = 167;  // 3 to 997
  static_assert(kOddPrimes[kSievingPrimes - 1].value == 997);
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
      const std::array<bool, 4> pass = PassFermatToBase2(batch);
      for (std::size_t j = 0; j < 4 && k + j < count; ++j) {
        if (pass[j] && IsPrime(batch[j])) {
          return batch[j];
        }
      }
    }
  }
}

// The first prime above 10^9 <= n < 18446744073709551557: the odd numbers above n in turn,
// those with a factor up to 251 passed over, and the others tested four at a time. Near 2^64 a
// prime comes every 44 numbers on average, and one odd number in ten has no factor up to 251.
// The last batch before 2^64 may take numbers that wrap past it, but 18446744073709551557, the
// largest prime below 2^64, stands before them.
std::uint64_t FirstWidePrimeAbove(std::uint64_t n) {
  std::array<std::uint64_t, 4> batch{};
  std::size_t count = 0;
  for (std::uint64_t candidate = (n + 1) | 1;; candidate += 2) {
    if (HasSmallFactor(candidate, kWideTrialPrimes)) {
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
  return n < 1000000000 ? FirstPrimeAboveBelow2To30(static_cast<std::uint32_t>(n))
                        : FirstWidePrimeAbove(n);
}

}  // namespace brindaq
