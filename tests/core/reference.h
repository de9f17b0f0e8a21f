#pragma once

// Independent references for the tests of the calculations: sieves, trial division and the
// textbook strong probable-prime test on exact unsigned integers, sharing nothing with the methods
// of the operations. Header-only and self-contained, so that any test file can include it.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace brindaq::testing_reference {

// The largest r with r * r <= n.
inline std::uint64_t IntegerSquareRoot(std::uint64_t n) {
  auto root = static_cast<std::uint64_t>(std::sqrt(static_cast<double>(n)));
  while (root * root > n) {
    --root;
  }
  while ((root + 1) * (root + 1) <= n) {
    ++root;
  }
  return root;
}

// The primes up to `limit`, ascending, by the sieve of Eratosthenes.
inline std::vector<std::uint64_t> PrimesUpTo(std::uint64_t limit) {
  std::vector<bool> composite(limit + 1, false);
  std::vector<std::uint64_t> primes;
  for (std::uint64_t n = 2; n <= limit; ++n) {
    if (composite[n]) {
      continue;
    }
    primes.push_back(n);
    for (std::uint64_t multiple = n * n; multiple <= limit; multiple += n) {
      composite[multiple] = true;
    }
  }
  return primes;
}

// The smallest prime factor of every n from `first` to `last`, at index n - first, by sieving
// the segment with the primes up to the square root of `last`. A prime maps to itself; 0 and 1,
// which have no prime factor, map to 0.
inline std::vector<std::uint64_t> SmallestPrimeFactors(std::uint64_t first, std::uint64_t last) {
  std::vector<std::uint64_t> factors(last - first + 1, 0);
  for (const std::uint64_t p : PrimesUpTo(IntegerSquareRoot(last))) {
    // The first multiple of p in the segment that is not p itself.
    std::uint64_t multiple = std::max(p * p, (first + p - 1) / p * p);
    for (; multiple <= last; multiple += p) {
      if (factors[multiple - first] == 0) {
        factors[multiple - first] = p;
      }
    }
  }
  for (std::uint64_t n = std::max<std::uint64_t>(first, 2); n <= last; ++n) {
    if (factors[n - first] == 0) {
      factors[n - first] = n;
    }
  }
  return factors;
}

// Whether every n from `first` to `last` is prime, at index n - first.
inline std::vector<bool> PrimeFlags(std::uint64_t first, std::uint64_t last) {
  const std::vector<std::uint64_t> factors = SmallestPrimeFactors(first, last);
  std::vector<bool> flags(factors.size());
  for (std::uint64_t n = first; n <= last; ++n) {
    flags[n - first] = factors[n - first] == n;
  }
  return flags;
}

// The primes from `first` to `last`, both included, ascending.
inline std::vector<std::uint64_t> PrimesBetween(std::uint64_t first, std::uint64_t last) {
  std::vector<std::uint64_t> primes;
  if (first > last) {
    return primes;
  }
  const std::vector<bool> flags = PrimeFlags(first, last);
  for (std::uint64_t n = first; n <= last; ++n) {
    if (flags[n - first]) {
      primes.push_back(n);
    }
  }
  return primes;
}

// The prime factors of n >= 1, with repetition, ascending, by integer trial division.
inline std::vector<std::uint64_t> Factorise(std::uint64_t n) {
  std::vector<std::uint64_t> factors;
  for (std::uint64_t p = 2; p * p <= n; ++p) {
    while (n % p == 0) {
      factors.push_back(p);
      n /= p;
    }
  }
  if (n > 1) {
    factors.push_back(n);
  }
  return factors;
}

__extension__ typedef unsigned __int128 Wide;

// The decimal digits of any whole number below 2^128.
inline std::string DecimalText(Wide n) {
  std::string digits;
  do {
    digits.insert(digits.begin(), static_cast<char>('0' + static_cast<int>(n % 10)));
    n /= 10;
  } while (n != 0);
  return digits;
}

// Whether n < 2^64 is prime, by the strong probable-prime test to the first twelve prime bases,
// which tells every prime from every composite below 318665857834031151167461 (Jiang and Deng,
// 2014), with products taken modulo n in 128 bits.
inline bool IsPrimeBelow2To64(std::uint64_t n) {
  if (n < 2) {
    return false;
  }
  constexpr std::uint64_t kBases[] = {2, 3, 5, 7, 11, 13, 17, 19, 23, 29, 31, 37};
  for (const std::uint64_t p : kBases) {
    if (n % p == 0) {
      return n == p;
    }
  }
  std::uint64_t d = n - 1;
  int s = 0;
  for (; d % 2 == 0; d /= 2) {
    ++s;
  }
  for (const std::uint64_t base : kBases) {
    std::uint64_t x = 1;
    std::uint64_t power = base;
    for (std::uint64_t e = d; e > 0; e /= 2) {
      if (e % 2 == 1) {
        x = static_cast<std::uint64_t>(Wide{x} * power % n);
      }
      power = static_cast<std::uint64_t>(Wide{power} * power % n);
    }
    bool passes = x == 1 || x == n - 1;
    for (int r = 1; r < s && !passes; ++r) {
      x = static_cast<std::uint64_t>(Wide{x} * x % n);
      passes = x == n - 1;
    }
    if (!passes) {
      return false;
    }
  }
  return true;
}

// The number and the sum of all divisors of a number, itself included.
struct DivisorTotals {
  std::uint64_t count = 0;
  std::uint64_t sum = 0;
};

// The divisor totals of n >= 1 from its factorisation, by multiplicativity.
inline DivisorTotals DivisorTotalsOf(std::uint64_t n) {
  DivisorTotals totals{1, 1};
  const std::vector<std::uint64_t> factors = Factorise(n);
  for (std::size_t i = 0; i < factors.size();) {
    std::uint64_t exponent = 0;
    std::uint64_t power = 1;
    std::uint64_t power_sum = 1;
    const std::uint64_t p = factors[i];
    for (; i < factors.size() && factors[i] == p; ++i) {
      ++exponent;
      power *= p;
      power_sum += power;
    }
    totals.count *= exponent + 1;
    totals.sum *= power_sum;
  }
  return totals;
}

// The divisor totals of every n from 0 to `limit`, at index n, by adding each d to its
// multiples. Index 0 holds zeros.
inline std::vector<DivisorTotals> DivisorTotalsUpTo(std::uint64_t limit) {
  std::vector<DivisorTotals> totals(limit + 1);
  for (std::uint64_t d = 1; d <= limit; ++d) {
    for (std::uint64_t multiple = d; multiple <= limit; multiple += d) {
      ++totals[multiple].count;
      totals[multiple].sum += d;
    }
  }
  return totals;
}

// Odd composites below 10^8 that pass the strong probable-prime test to some of the bases 2, 7
// and 61: every one that passes two of them, the eight largest that pass each, and the first and
// last twelve Carmichael numbers (which pass Fermat's test to every base prime to them). A test
// that left out a base, took a wrong one or slipped in the strong test would call some of them
// prime. Found once by running the strong test to each base on every odd composite of a sieve.
inline constexpr std::array<std::uint64_t, 98> kStrongPseudoprimes{
    561,      1105,     1729,     2465,     2821,     6601,     8911,     10585,    15841,
    29341,    41041,    46657,    79381,    178709,   314821,   721801,   764941,   916327,
    954271,   1024651,  1590751,  1869211,  1963501,  2205967,  2269093,  2284453,  2387797,
    2814283,  3383353,  3539101,  5090821,  5489641,  6386993,  6969511,  9006401,  9863461,
    12890503, 15188557, 19328653, 20261251, 22187791, 27509653, 31470211, 36307981, 36765901,
    37649503, 37769887, 42984589, 47131657, 48191653, 51302353, 53638903, 58449847, 58986091,
    59631211, 60229121, 60581401, 69885649, 72543547, 73527301, 74927161, 77594653, 79417801,
    87318001, 87558127, 88689601, 90698401, 92625121, 93030145, 93614521, 93869665, 94536001,
    94612771, 94775927, 95002849, 95391409, 96878101, 96895441, 96904081, 97071211, 97395481,
    97496449, 97796953, 97863529, 97924217, 98061553, 98907997, 98967667, 99022019, 99036001,
    99040201, 99115297, 99438301, 99441637, 99486889, 99789673, 99830641, 99861985};

}  // namespace brindaq::testing_reference
