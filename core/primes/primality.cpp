#include "core/primes/primality.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>

#include "core/primes/prime_table.h"

namespace brindaq {
namespace {

// Arithmetic modulo an odd n < 2^30 in Montgomery form: x stands for x * 2^32 mod n, so that a
// product is reduced by two multiplications and a shift instead of a division. Values are kept
// below 2n and brought below n only to be compared.
class Montgomery {
 public:
  explicit Montgomery(std::uint32_t n) : n_(n) {
    // -1/n modulo 2^32, by Newton's iteration as for the table of primes.
    std::uint32_t inverse = n;
    for (int i = 0; i < 4; ++i) {
      inverse *= 2 - n * inverse;
    }
    minus_inverse_ = 0 - inverse;
    one_ = static_cast<std::uint32_t>((std::uint64_t{1} << 32) % n);
  }

  std::uint32_t One() const { return one_; }
  std::uint32_t MinusOne() const { return n_ - one_; }

  // The form of a whole number c < 2^32.
  std::uint32_t Of(std::uint32_t c) const {
    return static_cast<std::uint32_t>(std::uint64_t{one_} * c % n_);
  }

  // x * y: below 4n^2 < n * 2^32 before the reduction, so below 2n after it.
  std::uint32_t Multiply(std::uint32_t x, std::uint32_t y) const {
    const std::uint64_t product = std::uint64_t{x} * y;
    const std::uint32_t m = static_cast<std::uint32_t>(product) * minus_inverse_;
    return static_cast<std::uint32_t>((product + std::uint64_t{m} * n_) >> 32);
  }

  std::uint32_t Double(std::uint32_t x) const {
    const std::uint32_t twice = 2 * x;
    return twice >= 2 * n_ ? twice - 2 * n_ : twice;
  }

  // The value below n that x stands for, in the same form.
  std::uint32_t Reduced(std::uint32_t x) const { return x >= n_ ? x - n_ : x; }

 private:
  std::uint32_t n_;
  std::uint32_t minus_inverse_;
  std::uint32_t one_;
};

// The strong probable-prime test of an odd n > 61 to the bases 2, 7 and 61 together: with
// n - 1 = d * 2^s and d odd, n passes for a base b when b^d = 1 or b^(d * 2^r) = -1 for some
// r < s. The three powers are raised side by side, so that their multiplications overlap; the
// base 2 only doubles.
bool IsStrongProbablePrimeToBases2And7And61(std::uint32_t n) {
  const Montgomery m(n);
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
  const std::array<Montgomery, 4> forms{Montgomery(ns[0]), Montgomery(ns[1]), Montgomery(ns[2]),
                                        Montgomery(ns[3])};
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

// Trial division settles most numbers at once: those with a factor among the first primes, and
// those below the square of the next one.
constexpr std::size_t kQuickTrialPrimes = 15;  // 3 to 53
constexpr std::uint32_t kQuickTrialBound = 59 * 59;

}  // namespace

bool IsPrime(std::uint32_t n) {
  if (n % 2 == 0) {
    return n == 2;
  }
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

std::uint32_t SmallestPrimeFactor(std::uint32_t n) {
  if (n % 2 == 0) {
    return 2;
  }
  for (const OddPrime& p : kOddPrimes) {
    if (p.value * p.value > n) {
      break;
    }
    if (p.Divides(n)) {
      return p.value;
    }
  }
  return n;
}

std::uint32_t FirstPrimeAbove(std::uint32_t n) {
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

}  // namespace brindaq
