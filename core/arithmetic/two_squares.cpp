// Every way of writing a number as a sum of two squares: by trying each x for a small number, by
// the Gaussian primes over its prime factors for a larger one.

#include "core/arithmetic/two_squares.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <utility>

#include "core/arithmetic/factorisation.h"
#include "core/arithmetic/montgomery.h"
#include "core/arithmetic/wide.h"
#include "core/tuning.h"

namespace brindaq {
namespace {

// A Gaussian integer. Every one formed here divides n < 2^64 in norm, so both of its parts lie
// below 2^32 in magnitude, and a product of two parts is exact in 128 bits.
struct Gaussian {
  std::int64_t re;
  std::int64_t im;
};

Gaussian operator*(Gaussian u, Gaussian v) {
  return {static_cast<std::int64_t>(Int128{u.re} * v.re - Int128{u.im} * v.im),
          static_cast<std::int64_t>(Int128{u.re} * v.im + Int128{u.im} * v.re)};
}

Gaussian Power(Gaussian u, int e) {
  Gaussian result{1, 0};
  for (int k = 0; k < e; ++k) {
    result = result * u;
  }
  return result;
}

// a + bi with a^2 + b^2 = p, for a prime p = 1 (mod 4).
Gaussian GaussianPrimeOver(std::uint64_t p) {
  // A square root t of -1: c^((p - 1) / 4) for any c that is not a square modulo p.
  std::uint64_t c = 2;
  while (Jacobi(c, p) != -1) {
    ++c;
  }
  const Montgomery64 m(p);
  std::uint64_t r0 = p;
  std::uint64_t r1 = m.ValueOf(m.Power(m.Of(c), (p - 1) / 4));
  // Euclid's algorithm on p and t: the first remainder below the square root of p is a.
  while (Uint128{r1} * r1 > p) {
    r0 = std::exchange(r1, r0 % r1);
  }
  const std::uint64_t b = SquareRootFloor(p - r1 * r1);
  return {static_cast<std::int64_t>(r1), static_cast<std::int64_t>(b)};
}

}  // namespace

std::vector<SquarePair> SumsOfTwoSquares(std::uint64_t n) {
  std::vector<SquarePair> pairs;
  // A small n is quicker by trying each x up to the square root of n / 2, with y the square root
  // of what is left.
  if (n < tuning::kSquaresTriedBelow) {
    for (std::uint64_t x = 1; 2 * x * x <= n; ++x) {
      const std::uint64_t y = SquareRootFloor(n - x * x);
      if (x * x + y * y == n) {
        pairs.push_back({x, y});
      }
    }
    return pairs;
  }
  // What every product has in common, and for each prime 1 (mod 4) the choices of its power.
  Gaussian common{1, 0};
  std::vector<std::vector<Gaussian>> choices;
  for (const PrimePower& power : Factorisation(n)) {
    if (power.prime == 2) {
      common = common * Power({1, 1}, power.exponent);
    } else if (power.prime % 4 == 3) {
      if (power.exponent % 2 == 1) {
        return pairs;
      }
      common = common * Power({static_cast<std::int64_t>(power.prime), 0}, power.exponent / 2);
    } else {
      const Gaussian pi = GaussianPrimeOver(power.prime);
      const Gaussian conjugate{pi.re, -pi.im};
      std::vector<Gaussian>& options = choices.emplace_back();
      for (int k = 0; k <= power.exponent; ++k) {
        options.push_back(Power(pi, k) * Power(conjugate, power.exponent - k));
      }
    }
  }
  // Every product of one choice for each prime, depth first.
  const auto visit = [&](const auto& self, std::size_t depth, Gaussian product) -> void {
    if (depth == choices.size()) {
      const std::uint64_t a = static_cast<std::uint64_t>(product.re < 0 ? -product.re : product.re);
      const std::uint64_t b = static_cast<std::uint64_t>(product.im < 0 ? -product.im : product.im);
      if (a != 0 && b != 0) {
        pairs.push_back({std::min(a, b), std::max(a, b)});
      }
      return;
    }
    for (const Gaussian& option : choices[depth]) {
      self(self, depth + 1, product * option);
    }
  };
  visit(visit, 0, common);
  // A product and its conjugate, and the same one times a unit, give the same pair.
  std::sort(pairs.begin(), pairs.end(),
            [](const SquarePair& u, const SquarePair& v) { return u.x < v.x; });
  pairs.erase(std::unique(pairs.begin(), pairs.end(),
                          [](const SquarePair& u, const SquarePair& v) { return u.x == v.x; }),
              pairs.end());
  return pairs;
}

}  // namespace brindaq
