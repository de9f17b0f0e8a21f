#pragma once

// Whole numbers wider than 64 bits, and the arithmetic on 64-bit numbers that needs them: a
// product of two 64-bit numbers, or a sum that passes 2^64, is exact in 128 bits.

#include <bit>
#include <cmath>
#include <concepts>
#include <cstdint>
#include <optional>
#include <tuple>
#include <utility>

namespace brindaq {

// GCC and clang give every target of the project 128-bit integers, outside ISO C++.
__extension__ typedef unsigned __int128 Uint128;
__extension__ typedef __int128 Int128;

// The largest whole number of the full range, 2^64 - 1 = 18446744073709551615.
inline constexpr std::uint64_t kLargestWhole = UINT64_MAX;

// a * b modulo m, for m >= 1: in 64 bits where the product fits them.
constexpr std::uint64_t MultiplyModulo(std::uint64_t a, std::uint64_t b, std::uint64_t m) {
  if (((a | b) >> 32) == 0) {
    return a * b % m;
  }
  return static_cast<std::uint64_t>(Uint128{a} * b % m);
}

// The largest r with r * r <= n. The root of the nearest double is within a few units of it.
inline std::uint64_t SquareRootFloor(std::uint64_t n) {
  constexpr std::uint64_t kLargestRoot = 0xFFFFFFFF;
  std::uint64_t root = static_cast<std::uint64_t>(std::sqrt(static_cast<double>(n)));
  root = root > kLargestRoot ? kLargestRoot : root;
  while (root * root > n) {
    --root;
  }
  while (root < kLargestRoot && (root + 1) * (root + 1) <= n) {
    ++root;
  }
  return root;
}

// The greatest common divisor of a and b (gcd(0, b) = b), by the binary method: no division.
constexpr std::uint64_t GreatestCommonDivisor(std::uint64_t a, std::uint64_t b) {
  if (a == 0 || b == 0) {
    return a | b;
  }
  const int shift = std::countr_zero(a | b);
  a >>= std::countr_zero(a);
  while (b != 0) {
    b >>= std::countr_zero(b);
    if (a > b) {
      const std::uint64_t t = a;
      a = b;
      b = t;
    }
    b -= a;
  }
  return a << shift;
}

// The inverse of a modulo m >= 1, as a residue below m, by the extended Euclidean algorithm on m
// and a: each remainder r_i is kept with the s_i for which r_i = s_i * a (mod m). When the last
// remainder that is not 0 is 1, its s is the inverse; otherwise a and m share a factor and there
// is none. Modulo 1 the inverse is the residue 0. Every s lies strictly between -m and m, so
// `Signed` must hold m; the quotient times an s is at most m in size.
template <typename Signed>
constexpr std::optional<std::uint64_t> InverseModuloIn(std::uint64_t a, std::uint64_t m) {
  std::uint64_t remainder = m;
  std::uint64_t next_remainder = a % m;
  Signed factor = 0;
  Signed next_factor = 1;
  while (next_remainder != 0) {
    const std::uint64_t quotient = remainder / next_remainder;
    const std::uint64_t rest = remainder - quotient * next_remainder;
    remainder = next_remainder;
    next_remainder = rest;
    const Signed next = factor - static_cast<Signed>(quotient) * next_factor;
    factor = next_factor;
    next_factor = next;
  }
  if (remainder != 1) {
    return std::nullopt;
  }
  return static_cast<std::uint64_t>(factor < 0 ? factor + static_cast<Signed>(m) : factor);
}

// The same for any m >= 1, in 64 bits where m allows it.
constexpr std::optional<std::uint64_t> InverseModulo(std::uint64_t a, std::uint64_t m) {
  return m < (std::uint64_t{1} << 62) ? InverseModuloIn<std::int64_t>(a, m)
                                      : InverseModuloIn<Int128>(a, m);
}

// The Jacobi symbol (a / n) for an odd n, by quadratic reciprocity, in words of the type Word
// (32-bit words divide the quicker).
template <typename Word>
constexpr int JacobiIn(Word a, Word n) {
  int sign = 1;
  a %= n;
  while (a != 0) {
    const int twos = std::countr_zero(a);
    a >>= twos;
    if (twos % 2 == 1 && (n % 8 == 3 || n % 8 == 5)) {
      sign = -sign;
    }
    if (a % 4 == 3 && n % 4 == 3) {
      sign = -sign;
    }
    const Word t = a;
    a = n;
    n = t;
    a %= n;
  }
  return n == 1 ? sign : 0;
}

constexpr int Jacobi(std::uint64_t a, std::uint64_t n) {
  return JacobiIn<std::uint64_t>(a, n);
}

// ---- Two words: the same for numbers below 2^128. Each takes exactly Uint128, so that a call
// with narrower numbers still finds the one-word function alone.

template <typename T>
concept TwoWords = std::same_as<T, Uint128>;

constexpr int CountTrailingZeros(Uint128 x) {
  const auto low = static_cast<std::uint64_t>(x);
  return low != 0 ? std::countr_zero(low)
                  : 64 + std::countr_zero(static_cast<std::uint64_t>(x >> 64));
}

constexpr int BitWidth(Uint128 x) {
  const auto high = static_cast<std::uint64_t>(x >> 64);
  return high != 0 ? 64 + std::bit_width(high) : std::bit_width(static_cast<std::uint64_t>(x));
}

// The binary steps go on in two words only while one of the numbers needs them.
template <TwoWords T>
constexpr T GreatestCommonDivisor(T a, T b) {
  if (a == 0 || b == 0) {
    return a | b;
  }
  const int shift = CountTrailingZeros(a | b);
  a >>= CountTrailingZeros(a);
  b >>= CountTrailingZeros(b);
  while (((a | b) >> 64) != 0) {
    if (a > b) {
      const Uint128 t = a;
      a = b;
      b = t;
    }
    b -= a;
    if (b == 0) {
      return a << shift;
    }
    b >>= CountTrailingZeros(b);
  }
  return Uint128{
             GreatestCommonDivisor(static_cast<std::uint64_t>(a), static_cast<std::uint64_t>(b))}
         << shift;
}

// x as the nearest double, or next to it.
constexpr double ToDouble(Uint128 x) {
  return static_cast<double>(static_cast<std::uint64_t>(x >> 64)) * 0x1p64 +
         static_cast<double>(static_cast<std::uint64_t>(x));
}

// The quotient and remainder of r by d, for 0 < d <= r: from the quotient of their doubles, which
// is within one of the true one while it is below 2^50 (each double is off by at most 2^-53 of
// itself, and so is their quotient), set right by a step or two; a division of two words, which
// costs some hundred cycles, is left for the quotients of more than 50 bits and divisors of more
// than 125, where a quotient off by one could pass the signed range of the remainder.
constexpr std::pair<Uint128, Uint128> DivideTwoWords(Uint128 r, Uint128 d) {
  const double estimate = ToDouble(r) / ToDouble(d);
  if ((d >> 125) != 0 || estimate >= 0x1p50) {
    return {r / d, r % d};
  }
  Uint128 quotient = static_cast<std::uint64_t>(estimate);
  auto rest = static_cast<Int128>(r - quotient * d);
  while (rest < 0) {
    --quotient;
    rest += static_cast<Int128>(d);
  }
  while (rest >= static_cast<Int128>(d)) {
    ++quotient;
    rest -= static_cast<Int128>(d);
  }
  return {quotient, static_cast<Uint128>(rest)};
}

// The inverse of a modulo m >= 1, or nothing when they share a factor. The extended Euclidean
// algorithm's factors alternate in sign, and each is the one two before plus the quotient times
// the one before in size, never above m: their sizes are kept, and the sign of the last one
// follows from how many steps there were.
template <TwoWords T>
constexpr std::optional<T> InverseModulo(T a, T m) {
  Uint128 remainder = m;
  Uint128 next_remainder = a % m;
  Uint128 factor = 0;  // the size of the factor of `remainder`
  Uint128 next_factor = 1;
  bool next_negative = false;
  while (next_remainder != 0) {
    // Most quotients are 1 (four in ten), and a division of one word is cheaper than of two.
    Uint128 quotient = 1;
    Uint128 rest = remainder - next_remainder;
    if (rest >= next_remainder) {
      if ((remainder >> 64) == 0) {
        const auto r = static_cast<std::uint64_t>(remainder);
        const auto d = static_cast<std::uint64_t>(next_remainder);
        quotient = r / d;
        rest = r % d;
      } else {
        std::tie(quotient, rest) = DivideTwoWords(remainder, next_remainder);
      }
    }
    remainder = next_remainder;
    next_remainder = rest;
    const Uint128 next = factor + quotient * next_factor;
    factor = next_factor;
    next_factor = next;
    next_negative = !next_negative;
  }
  if (remainder != 1) {
    return std::nullopt;
  }
  // `factor` belongs to the remainder 1, and its sign is the opposite of the next one's.
  return next_negative ? factor % m : (m - factor % m) % m;
}

// The Jacobi symbol (a / n) for an odd n below 2^128.
template <TwoWords T>
constexpr int Jacobi(T a, T n) {
  int sign = 1;
  a %= n;
  while (a != 0) {
    const int twos = CountTrailingZeros(a);
    a >>= twos;
    const auto n8 = static_cast<unsigned>(n % 8);
    if (twos % 2 == 1 && (n8 == 3 || n8 == 5)) {
      sign = -sign;
    }
    if (a % 4 == 3 && n % 4 == 3) {
      sign = -sign;
    }
    const Uint128 t = a;
    a = n;
    n = t;
    a %= n;
  }
  return n == 1 ? sign : 0;
}

// The largest r with r * r <= n, by Newton's iteration from above.
template <TwoWords T>
constexpr T SquareRootFloor(T n) {
  if (n < 2) {
    return n;
  }
  Uint128 root = Uint128{1} << ((BitWidth(n) + 1) / 2);  // above the root
  for (;;) {
    const Uint128 next = (root + n / root) / 2;
    if (next >= root) {
      return root;
    }
    root = next;
  }
}

}  // namespace brindaq
