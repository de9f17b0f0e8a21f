// The probable-prime tests on one odd modulus, in Montgomery form: the strong test (Miller and
// Rabin) to given bases, four numbers at a time to the base 2, and the extra strong Lucas test
// (Grantham, with Baillie's parameters), which with the strong test to the base 2 makes the
// Baillie-PSW test: the Lucas test that costs the fewest multiplications, two a bit.

#include "core/arithmetic/probable_prime.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>

#include "core/arithmetic/wide.h"
#include "core/tuning.h"

namespace brindaq {

// The strong probable-prime test of an odd n > 61 to the bases 2, 7 and 61 together: with
// n - 1 = d * 2^s and d odd, n passes for a base b when b^d = 1 or b^(d * 2^r) = -1 for some
// r < s. The three powers are raised side by side, so that their multiplications overlap; the
// base 2 only doubles.
bool IsStrongProbablePrimeTo2And7And61(std::uint32_t n) {
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
std::array<bool, 4> AreFermatProbablePrimesToBase2(const std::array<std::uint32_t, 4>& ns) {
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

namespace {

// The strong probable-prime test of an odd n > 2^30 to several bases at once, in 64-bit
// Montgomery form: the powers are raised side by side, so that their multiplications overlap.
template <std::size_t kBases>
bool IsStrongProbablePrime(const Montgomery64& m, const std::array<std::uint64_t, kBases>& bases) {
  const std::uint64_t n = m.Modulus();
  const int s = std::countr_zero(n - 1);
  const std::uint64_t d = (n - 1) >> s;
  // The powers b^d are raised a few bits of d at a time, from the top (four: b^0 to b^15): a
  // squaring for each bit, then one multiplication by b to those bits, from a table. No step
  // depends on a bit of d by a branch, which the processor could not foresee.
  constexpr int kWindow = tuning::kPowerWindowBits;
  std::array<std::array<std::uint64_t, 1 << kWindow>, kBases> table{};
  for (std::size_t k = 0; k < kBases; ++k) {
    table[k][0] = m.One();
    table[k][1] = m.Of(bases[k]);
    for (std::size_t e = 2; e < table[k].size(); ++e) {
      table[k][e] = m.Multiply(table[k][e - 1], table[k][1]);
    }
  }
  const int digits = (std::bit_width(d) + kWindow - 1) / kWindow;
  std::array<std::uint64_t, kBases> powers{};
  const auto digit = [d](int place) { return (d >> (kWindow * place)) & ((1 << kWindow) - 1); };
  for (std::size_t k = 0; k < kBases; ++k) {
    powers[k] = table[k][digit(digits - 1)];
  }
  for (int place = digits - 2; place >= 0; --place) {
    for (int i = 0; i < kWindow; ++i) {
      for (std::uint64_t& power : powers) {
        power = m.Square(power);
      }
    }
    const std::uint64_t bits = digit(place);
    for (std::size_t k = 0; k < kBases; ++k) {
      powers[k] = m.Multiply(powers[k], table[k][bits]);
    }
  }
  for (std::size_t k = 0; k < kBases; ++k) {
    // A base that n divides tells nothing.
    if (table[k][1] != 0 && !PassesFromOddPower(m, powers[k], s)) {
      return false;
    }
  }
  return true;
}

// `yes` where `bit` is 1, else `no`, without a branch that the processor would have to guess.
std::uint64_t Chosen(std::uint64_t bit, std::uint64_t yes, std::uint64_t no) {
  const std::uint64_t mask = 0 - bit;
  return (yes & mask) | (no & ~mask);
}

// 2^d modulo n, d read from its top bit, one bit at a time: a squaring for each, and where a
// window of bits ends (at the places wj, for windows of w bits), a multiplication by 2 to those
// bits, from a table of the powers of 2 below 2^(2^w) made by doublings.
class PowerOf2 {
  static constexpr int kWindow = tuning::kPowerWindowBits;

 public:
  PowerOf2(const Montgomery64& m, std::uint64_t d) : m_(m), d_(d), power_(m.One()) {
    table_[0] = m.One();
    for (std::size_t e = 1; e < table_.size(); ++e) {
      table_[e] = m.Add(table_[e - 1], table_[e - 1]);
    }
  }

  // The bit of d at `place`, after all those above it.
  void Step(int place) {
    power_ = m_.Square(power_);
    if (place % kWindow == 0) {
      power_ = m_.Multiply(power_, table_[(d_ >> place) & ((1 << kWindow) - 1)]);
    }
  }

  std::uint64_t Value() const { return power_; }

 private:
  const Montgomery64& m_;
  std::uint64_t d_;
  std::uint64_t power_;
  std::array<std::uint64_t, 1 << kWindow> table_{};
};

}  // namespace

// The strong probable-prime test to the base 2 of four odd numbers above 2^30 at once: their
// powers are raised side by side, so that the multiplications of one overlap those of the
// others. A power whose exponent has fewer bits stays 1 through the leading bits of the others.
std::array<bool, 4> AreStrongProbablePrimesToBase2(const std::array<std::uint64_t, 4>& ns) {
  const std::array<Montgomery64, 4> forms{Montgomery64(ns[0]), Montgomery64(ns[1]),
                                          Montgomery64(ns[2]), Montgomery64(ns[3])};
  std::array<int, 4> twos{};
  std::array<std::uint64_t, 4> odd_parts{};
  std::uint64_t widest = 0;
  for (std::size_t k = 0; k < 4; ++k) {
    twos[k] = std::countr_zero(ns[k] - 1);
    odd_parts[k] = (ns[k] - 1) >> twos[k];
    widest |= odd_parts[k];
  }
  std::array<PowerOf2, 4> powers{PowerOf2(forms[0], odd_parts[0]), PowerOf2(forms[1], odd_parts[1]),
                                 PowerOf2(forms[2], odd_parts[2]),
                                 PowerOf2(forms[3], odd_parts[3])};
  for (int place = std::bit_width(widest) - 1; place >= 0; --place) {
    for (PowerOf2& power : powers) {
      power.Step(place);
    }
  }
  std::array<bool, 4> pass{};
  for (std::size_t k = 0; k < 4; ++k) {
    pass[k] = PassesFromOddPower(forms[k], powers[k].Value(), twos[k]);
  }
  return pass;
}

namespace {

// The Lucas sequence V_k with Q = 1 modulo n, for the bits of k read so far, one more bit at a
// time, as a ladder: V_k and V_k+1 are kept, and k becomes 2k or 2k + 1 by
//   V_2k = V_k^2 - 2,  V_2k+1 = V_k V_k+1 - P,  V_2k+2 = V_k+1^2 - 2,
// two multiplications a bit that do not wait for each other (with Q = 1 no power of Q is
// carried). P is the first of 3, 4, 5, ... for which the Jacobi symbol of D = P^2 - 4 modulo n is
// -1 (Baillie's choice); a square has none, and a D that shares a factor with n shows it
// composite.
class LucasSequence {
 public:
  explicit LucasSequence(const Montgomery64& m) : m_(m), two_(m.Add(m.One(), m.One())) {
    const std::uint64_t n = m.Modulus();
    if (const std::uint64_t root = SquareRootFloor(n); root * root == n) {
      composite_ = true;
      return;
    }
    std::uint64_t p = 3;
    for (;; ++p) {
      const int symbol = Jacobi(p * p - 4, n);
      if (symbol == -1) {
        break;
      }
      if (symbol == 0) {  // D < n, so D and n share a factor
        composite_ = true;
        return;
      }
    }
    p_ = m.Of(p);
    v_ = two_;  // V_0
    v_next_ = p_;
  }

  // Whether n was already shown composite: a square, or a factor in common with D.
  bool Composite() const { return composite_; }

  void Step(std::uint64_t bit) {
    const std::uint64_t cross = m_.Subtract(m_.Multiply(v_, v_next_), p_);  // V_2k+1
    const std::uint64_t doubled = m_.Subtract(m_.Square(Chosen(bit, v_next_, v_)), two_);
    v_ = Chosen(bit, cross, doubled);
    v_next_ = Chosen(bit, doubled, cross);
  }

  // The extra strong Lucas test (Grantham), with the bits of k read being those of d,
  // n + 1 = d * 2^s, d odd: n passes when U_d = 0 and V_d = +-2, or V_(d * 2^r) = 0 for some
  // r < s - 1. D U_k = 2 V_k+1 - P V_k, and D is prime to n, so U_d = 0 exactly when
  // 2 V_d+1 = P V_d. (A prime never has V_(d * 2^(s - 1)) = 0: its V_(n + 1) is 2, not
  // 0^2 - 2, so r stops short of s - 1 and the test loses nothing by it.)
  bool Passes(int s) {
    if ((v_ == two_ || v_ == m_.Subtract(0, two_)) &&
        m_.Add(v_next_, v_next_) == m_.Multiply(p_, v_)) {
      return true;
    }
    for (int r = 0; r < s - 1; ++r) {
      if (v_ == 0) {
        return true;
      }
      v_ = m_.Subtract(m_.Square(v_), two_);
    }
    return false;
  }

 private:
  const Montgomery64& m_;
  std::uint64_t two_;
  std::uint64_t p_ = 0;
  std::uint64_t v_ = 0;       // V_k
  std::uint64_t v_next_ = 0;  // V_k+1
  bool composite_ = false;
};

// The extra strong Lucas probable-prime test of an odd n > 2^30 with no factor up to 53.
bool IsExtraStrongLucasProbablePrime(const Montgomery64& m) {
  LucasSequence lucas(m);
  if (lucas.Composite()) {
    return false;
  }
  const std::uint64_t n = m.Modulus();
  const int s = std::countr_zero(n + 1);
  const std::uint64_t d = (n + 1) >> s;
  for (int bit = std::bit_width(d) - 1; bit >= 0; --bit) {
    lucas.Step((d >> bit) & 1);
  }
  return lucas.Passes(s);
}

}  // namespace

// The Baillie-PSW test of an odd 4759123141 <= n < 2^64 with no factor up to 53: the strong test
// to the base 2 and the extra strong Lucas test, whose sequences are raised side by side. No
// composite below 2^64 passes both (Jacobsen, over Feitsma's list of the strong pseudoprimes to
// the base 2).
bool PassesBailliePsw(const Montgomery64& m) {
  LucasSequence lucas(m);
  if (lucas.Composite()) {
    return false;
  }
  const std::uint64_t n = m.Modulus();
  const int s_below = std::countr_zero(n - 1);
  const std::uint64_t d_below = (n - 1) >> s_below;
  const int s_above = std::countr_zero(n + 1);
  const std::uint64_t d_above = (n + 1) >> s_above;
  PowerOf2 power(m, d_below);
  for (int bit = std::max(std::bit_width(d_below), std::bit_width(d_above)) - 1; bit >= 0; --bit) {
    power.Step(bit);
    lucas.Step((d_above >> bit) & 1);
  }
  return PassesFromOddPower(m, power.Value(), s_below) && lucas.Passes(s_above);
}

bool IsStrongProbablePrimeToBase2(const Montgomery64& m) {
  const std::uint64_t n = m.Modulus();
  const int s = std::countr_zero(n - 1);
  const std::uint64_t d = (n - 1) >> s;
  PowerOf2 power(m, d);
  for (int place = std::bit_width(d) - 1; place >= 0; --place) {
    power.Step(place);
  }
  return PassesFromOddPower(m, power.Value(), s);
}

bool IsStrongProbablePrimeTo2And7And61(const Montgomery64& m) {
  return IsStrongProbablePrime<3>(m, {2, 7, 61});
}

bool PassesAfterStrongBase2(const Montgomery64& m) {
  return m.Modulus() < tuning::kThreeBasesBelow ? IsStrongProbablePrime<2>(m, {7, 61})
                                                : IsExtraStrongLucasProbablePrime(m);
}

}  // namespace brindaq
