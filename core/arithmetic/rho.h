#pragma once

// Pollard's rho method in Brent's form, written once for Montgomery64 and Montgomery128: the map
// x -> x^2 + c, y running ahead in stretches that double, and the differences x - y multiplied
// together, a batch at a time, before one greatest common divisor. When a batch overshoots (the
// product is 0 modulo n), its steps are taken again one by one.

#include <algorithm>
#include <cstdint>
#include <type_traits>
#include <utility>

#include "core/arithmetic/wide.h"
#include "core/tuning.h"

namespace brindaq {

// The divisor of n that the walk finds within about `steps` steps: 1 < divisor < n, or n when
// the walk closed its cycle without one, or 1 when the steps ran out.
template <typename M>
auto RhoWalk(const M& m, std::uint64_t c, std::uint64_t steps) {
  using W = std::remove_cvref_t<decltype(std::declval<const M&>().One())>;
  const W n = m.Modulus();
  const W add = m.Of(c);
  const auto step = [&m, add](W x) { return m.Add(m.Square(x), add); };
  constexpr std::uint64_t kBatch = tuning::kRhoBatch;
  W y = m.Of(2);
  W x = y;
  W saved = y;
  W product = m.One();
  W divisor = 1;
  std::uint64_t taken = 0;
  for (std::uint64_t stretch = 1; divisor == 1 && taken < steps; stretch *= 2) {
    x = y;
    for (std::uint64_t i = 0; i < stretch; ++i) {
      y = step(y);
    }
    taken += stretch;
    for (std::uint64_t done = 0; done < stretch && divisor == 1; done += kBatch) {
      saved = y;
      const std::uint64_t batch = std::min(kBatch, stretch - done);
      for (std::uint64_t i = 0; i < batch; ++i) {
        y = step(y);
        product = m.Multiply(product, m.Subtract(x, y));
      }
      taken += batch;
      divisor = GreatestCommonDivisor(product, n);
    }
  }
  if (divisor == n) {
    do {
      saved = step(saved);
      divisor = GreatestCommonDivisor(m.Subtract(x, saved), n);
    } while (divisor == 1);
  }
  return divisor;
}

}  // namespace brindaq
