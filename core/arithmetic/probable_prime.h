#pragma once

// The probable-prime tests on one odd modulus that the primality test is made of. Each is told
// only odd numbers above 61 that no prime up to 53 divides.

#include <array>
#include <cstdint>

#include "core/arithmetic/montgomery.h"

namespace brindaq {

// Whether `power`, b^d for n - 1 = d * 2^s with d odd, shows n a strong probable prime to the
// base b: b^d = 1, or b^(d * 2^r) = -1 for some r < s. For either Montgomery form.
template <typename M, typename W>
bool PassesFromOddPower(const M& m, W power, int s) {
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

// The strong test to the bases 2, 7 and 61, for n < 2^30 in 32 bits and for larger n in 64;
// it tells every prime from every composite below 4759123141 (Jaeschke, 1993).
bool IsStrongProbablePrimeTo2And7And61(std::uint32_t n);
bool IsStrongProbablePrimeTo2And7And61(const Montgomery64& m);

// Whether 2^(n - 1) = 1 modulo n (Fermat's test to the base 2), for four n < 2^30 at once.
std::array<bool, 4> AreFermatProbablePrimesToBase2(const std::array<std::uint32_t, 4>& ns);

// The strong test to the base 2, for one n > 2^30, and for four at once.
bool IsStrongProbablePrimeToBase2(const Montgomery64& m);
std::array<bool, 4> AreStrongProbablePrimesToBase2(const std::array<std::uint64_t, 4>& ns);

// The Baillie-PSW test with the extra strong Lucas test, for 4759123141 <= n < 2^64: no composite
// below 2^64 passes it (Jacobsen, over Feitsma's list of the strong pseudoprimes to the base 2).
bool PassesBailliePsw(const Montgomery64& m);

// What is left of the whole test once n > 2^30 has passed the strong test to the base 2: the
// bases 7 and 61 below 4759123141, the extra strong Lucas test above.
bool PassesAfterStrongBase2(const Montgomery64& m);

}  // namespace brindaq
