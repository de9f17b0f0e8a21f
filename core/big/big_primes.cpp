#include "core/big/big_primes.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/arithmetic/primality.h"
#include "core/arithmetic/sieve.h"
#include "core/big/big_primality.h"
#include "core/big/pacing.h"
#include "core/big/small_primes.h"

namespace brindaq {
namespace {

// Below 2^64 the word-sized sieve takes the interval this many numbers at a time, asking the work
// whether to stop between them (a block near 2^64 takes about a millisecond).
constexpr std::uint64_t kWordBlock = 1 << 14;

// The primes whose remainders are found between two questions to the work.
constexpr std::size_t kPrimesPerCheck = 1024;

// The sieving primes are made before the first question to the work: up to 2^25 that takes some
// 60 ms (beyond it, the survivors fall by less than 4% for each doubling).
constexpr std::uint32_t kLargestBound = 1 << 25;

// The largest prime below 2^64; above it, the next prime is past 2^64.
constexpr std::uint64_t kLargestWordPrime = 18446744073709551557u;

// The cost model of the sieve, in microseconds, measured on x86-64 with GMP 6.2: a squaring in
// Montgomery form of k limbs (about 0.0013 k^2 by schoolbook products, 0.0087 k^1.5 past 120
// limbs), and the remainder of a number of k limbs by one prime (a share of mpz_fdiv_ui by a
// product of primes, and a word division).
double SquaringCost(std::size_t limbs) {
  const auto k = static_cast<double>(limbs);
  return 0.02 + std::min(0.0013 * k * k, 0.0087 * k * std::sqrt(k));
}

double RemainderCost(std::size_t limbs) {
  return 0.004 + 0.002 * static_cast<double>(limbs);
}

// The bound of the sieving primes that costs least in all: the remainders of the primes below B,
// (and the primes themselves past 2^20, which are not in the table), against the strong tests of
// the survivors among `candidates` odd numbers, of which a share 2 e^-gamma / ln B = 1.123 / ln B
// survives (Mertens' theorem).
std::uint32_t SievingBound(const Natural& n, double candidates) {
  const std::size_t limbs = mpz_size(n.get());
  const double test = 2.0 + static_cast<double>(n.Bits()) * SquaringCost(limbs);
  std::uint32_t best_bound = 1 << 14;
  double best_cost = 0;
  for (std::uint32_t bound = 1 << 14; bound <= kLargestBound; bound *= 2) {
    const double log = std::log(static_cast<double>(bound));
    const double cost = bound / log * RemainderCost(limbs) +
                        (bound > (1 << 20) ? 0.002 * bound : 0) + candidates * 1.123 / log * test;
    if (bound == 1 << 14 || cost < best_cost) {
      best_bound = bound;
      best_cost = cost;
    }
  }
  return best_bound;
}

// The odd primes below `bound` (>= 2^14): from the table, or made for the occasion.
std::vector<std::uint32_t> SievingPrimes(std::uint32_t bound) {
  if (bound > (1 << 20)) {
    return OddPrimesBelow(bound);
  }
  const std::vector<std::uint32_t>& table = OddPrimesBelow2To20();
  return {table.begin(), std::lower_bound(table.begin(), table.end(), bound)};
}

// Which of the odd numbers base, base + 2, ..., base + 2 (count - 1) a prime of `primes`
// divides (1 where one does), for an odd base > 2^64; nothing when the work was stopped.
std::optional<std::vector<std::uint8_t>> SieveOddNumbers(const Natural& base, std::size_t count,
                                                         const std::vector<std::uint32_t>& primes,
                                                         ClockPacer& pace) {
  std::vector<std::uint8_t> composite(count, 0);
  for (std::size_t begin = 0; begin < primes.size(); begin += kPrimesPerCheck) {
    if (pace.Stopped({"sieving", "prime", begin, primes.size()})) {
      return std::nullopt;
    }
    const std::size_t end = std::min(primes.size(), begin + kPrimesPerCheck);
    ForEachRemainder(base, primes, begin, end, [&](std::uint32_t p, std::uint32_t r) {
      // The first index i with base + 2i = 0 modulo p.
      std::size_t i = 0;
      if (r != 0) {
        const std::uint32_t rest = p - r;
        i = rest % 2 == 0 ? rest / 2 : (rest + std::size_t{p}) / 2;
      }
      for (; i < count; i += p) {
        composite[i] = 1;
      }
    });
  }
  return composite;
}

// The primes from `first` to `last`, both below 2^64, a block at a time.
bool ForEachWordPrime(std::uint64_t first, std::uint64_t last, ClockPacer& pace,
                      const std::function<void(const Natural&)>& visit) {
  for (std::uint64_t low = first;; low += kWordBlock) {
    if (pace.Stopped({"sieving", "", 0, 0})) {
      return false;
    }
    const std::uint64_t high = last - low < kWordBlock ? last : low + (kWordBlock - 1);
    PrimeSegment(low, high).ForEachPrime([&visit](std::uint64_t p) { visit(Natural(p)); });
    if (high == last) {
      return true;
    }
  }
}

}  // namespace

bool ForEachPrimeBetween(const Natural& first, const Natural& last, Work& work,
                         const std::function<void(const Natural&)>& visit) {
  if (first > last) {
    return true;
  }
  ClockPacer pace(work);
  if (first.FitsWord() &&
      !ForEachWordPrime(first.Word(), last.FitsWord() ? last.Word() : UINT64_MAX, pace, visit)) {
    return false;
  }
  if (last.FitsWord()) {
    return true;
  }
  // Past 2^64, the odd numbers from the first odd one.
  Natural base = first.FitsWord() ? Natural::TwoToThe(64) : first;
  if (!base.IsOdd()) {
    base += Natural(1);
  }
  if (base > last) {
    return true;
  }
  const std::size_t count = ((last - base) >> 1).Word() + 1;
  if (pace.Stopped({"sieving", "", 0, 0})) {
    return false;
  }
  const std::vector<std::uint32_t> primes =
      SievingPrimes(SievingBound(last, static_cast<double>(count)));
  const std::optional<std::vector<std::uint8_t>> composite =
      SieveOddNumbers(base, count, primes, pace);
  if (!composite) {
    return false;
  }
  const auto survivors =
      static_cast<std::uint64_t>(std::count(composite->begin(), composite->end(), 0));
  std::uint64_t tested = 0;
  Natural candidate;
  for (std::size_t i = 0; i < count; ++i) {
    if ((*composite)[i] != 0) {
      continue;
    }
    if (pace.Stopped({"BPSW", "number", tested, survivors})) {
      return false;
    }
    ++tested;
    candidate = base + Natural(2 * std::uint64_t{i});
    const std::optional<bool> prime = PassesBailliePsw(candidate, work);
    if (!prime) {
      return false;
    }
    if (*prime) {
      visit(candidate);
    }
  }
  return true;
}

std::optional<Natural> NextPrime(const Natural& n, Work& work) {
  if (n < kLargestWordPrime) {
    return Natural(FirstPrimeAbove(n.Word()));
  }
  // Windows of odd numbers some 16 times as wide as the mean gap ln n between primes near n.
  Natural base = n < Natural::TwoToThe(64) ? Natural::TwoToThe(64) : n + Natural(1);
  if (!base.IsOdd()) {
    base += Natural(1);
  }
  const double log = 0.6931 * static_cast<double>(base.Bits());
  const auto count = static_cast<std::size_t>(std::clamp(8 * log, 256.0, 65536.0));
  const std::vector<std::uint32_t> primes = SievingPrimes(SievingBound(base, log / 2));
  ClockPacer pace(work);
  std::uint64_t tested = 0;
  for (;; base += Natural(2 * std::uint64_t{count})) {
    const std::optional<std::vector<std::uint8_t>> composite =
        SieveOddNumbers(base, count, primes, pace);
    if (!composite) {
      return std::nullopt;
    }
    for (std::size_t i = 0; i < count; ++i) {
      if ((*composite)[i] != 0) {
        continue;
      }
      if (pace.Stopped({"BPSW", "candidate", ++tested, 0})) {
        return std::nullopt;
      }
      Natural candidate = base + Natural(2 * std::uint64_t{i});
      const std::optional<bool> prime = PassesBailliePsw(candidate, work);
      if (!prime) {
        return std::nullopt;
      }
      if (*prime) {
        return candidate;
      }
    }
  }
}

}  // namespace brindaq
