// Pollard's rho method (J. M. Pollard, "A Monte Carlo method for factorization", BIT 15, 1975) in
// R. P. Brent's form ("An improved Monte Carlo factorization algorithm", BIT 20, 1980), and the
// test for a perfect power. Rho walks x -> x^2 + c modulo n: modulo a prime p | n the walk
// repeats after about sqrt(p) steps, and then p divides a difference x - y. Brent's cycle finding
// lets y run ahead in stretches that double, and multiplies the differences together, 100 at a
// time, before one greatest common divisor; a stretch that overshoots (the gcd is n) is walked
// again one step at a time. The walk is in Montgomery form (big_montgomery.h): the form of a
// difference has the same common factors with n as the difference itself.

#include <cstddef>

#include "core/big/big_montgomery.h"
#include "core/big/big_split.h"
#include "core/big/pacing.h"

namespace brindaq {

PerfectPower AsPerfectPower(const Natural& n) {
  if (mpz_perfect_power_p(n.get()) == 0) {
    return {n, 1};
  }
  // With no prime factor below 10^4, the root is above 10^4 and k is below bits / 13.
  Natural root;
  const auto largest = static_cast<unsigned long>(n.Bits() / 13 + 1);
  for (unsigned long k = 2; k <= largest; ++k) {
    if (mpz_root(root.raw(), n.get(), k) != 0) {
      return {root, static_cast<int>(k)};
    }
  }
  return {n, 1};
}

Natural RhoFactor(const Natural& n, std::uint64_t c, std::uint64_t steps, Work& work) {
  constexpr std::uint64_t kBatch = 100;
  const BigMontgomery m(n);
  const Residue add = m.Of(Natural(c));
  const auto step = [&m, &add](Residue& x) {
    m.Square(x, x);
    m.Add(x, x, add);
  };
  StepPacer pacer(work, m.Limbs(), 30000);
  Residue y = m.Of(Natural(2));
  Residue x = y;
  Residue saved = y;
  Residue product = m.One();
  Residue difference = y;
  Natural divisor(1);
  std::uint64_t done = 0;
  for (std::uint64_t stretch = 1; divisor == 1 && done < steps; stretch *= 2) {
    x = y;
    for (std::uint64_t i = 0; i < stretch; ++i) {
      step(y);
    }
    for (std::uint64_t walked = 0; walked < stretch && divisor == 1; walked += kBatch) {
      saved = y;
      const std::uint64_t batch = std::min(kBatch, stretch - walked);
      for (std::uint64_t i = 0; i < batch; ++i) {
        step(y);
        m.Subtract(difference, x, y);
        m.Multiply(product, product, difference);
        if (pacer.Stopped({"rho", "step", done + walked + i, steps})) {
          return Natural(1);
        }
      }
      divisor = Gcd(m.RawValue(product), n);
    }
    done += 2 * stretch;
  }
  if (divisor == n) {
    // Walk the last batch again, one gcd a step.
    do {
      step(saved);
      m.Subtract(difference, x, saved);
      divisor = Gcd(m.RawValue(difference), n);
    } while (divisor == 1);
  }
  return divisor == n ? Natural(1) : divisor;
}

}  // namespace brindaq
