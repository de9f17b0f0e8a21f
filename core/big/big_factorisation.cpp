#include "core/big/big_factorisation.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

#include "core/arithmetic/factorisation.h"
#include "core/arithmetic/two_words.h"
#include "core/big/big_primality.h"
#include "core/big/big_split.h"
#include "core/big/small_primes.h"
#include "core/tuning.h"

namespace brindaq {
namespace {

// Steps of rho before the curves: enough for most factors up to about 10^7, a millisecond on
// numbers of a few limbs.
constexpr std::uint64_t kRhoSteps = 1 << 12;

// A part still to be told prime or split, to the power at which it divides, and the first level
// of the curves that it has not yet been through.
struct Part {
  Natural value;
  int exponent;
  std::size_t level;
};

// The factors of n below 10^4 as prime powers, divided out of n.
void DivideOutSmallPrimes(Natural& n, std::vector<BigPrimePower>& primes) {
  if (!n.IsOdd()) {
    const mp_bitcnt_t twos = mpz_scan1(n.get(), 0);
    primes.push_back({Natural(2), static_cast<int>(twos)});
    n >>= static_cast<unsigned>(twos);
  }
  for (const std::uint32_t p : SmallOddPrimeFactors(n)) {
    int exponent = 0;
    while (mpz_divisible_ui_p(n.get(), p) != 0) {
      mpz_divexact_ui(n.raw(), n.get(), p);
      ++exponent;
    }
    primes.push_back({Natural(p), exponent});
  }
}

// A part of two words, as Part: no prime below 10^4 divides it.
struct TwoWordPart {
  Uint128 value;
  int exponent;
  std::size_t level;
};

// 10^(digits - 1), the smallest number of `digits` digits, for up to 39 digits.
Uint128 SmallestOfDigits(std::size_t digits) {
  Uint128 power = 1;
  for (std::size_t i = 1; i < digits; ++i) {
    power *= 10;
  }
  return power;
}

// A factor f of a composite part of two words with 1 < f < n, in their own arithmetic: p - 1 and
// rho (unless the part comes from one that has been through them), then the levels of the
// curves for two words; a part of kSiqsFromDigits digits or more goes to the quadratic sieve once
// the curves have looked for factors of up to kTwoWordCurvesBeforeSiqsBits bits, or a share of its
// digits when that is more. The work is asked whether to stop before each curve, a few
// milliseconds at most; 1 when it was stopped.
Uint128 SplitTwoWords(const TwoWordPart& part, const Montgomery128& m, std::uint64_t& sigma,
                      Work& work) {
  static const Uint128 sieve_from = SmallestOfDigits(tuning::kSiqsFromDigits);
  const bool sieve = tuning::kSiqsFromDigits <= 39 && part.value >= sieve_from;
  // The curves' share: kCurvesShareBeforeSiqs of the digits, in bits, the first level always.
  const double curve_bits =
      std::max(static_cast<double>(tuning::kTwoWordCurvesBeforeSiqsBits),
               static_cast<double>(Natural::FromWide(part.value).DecimalDigits()) *
                   tuning::kCurvesShareBeforeSiqs * 3.3219280948873623);
  if (part.level == 0 && tuning::kTwoWordPMinusOne.b1 > 0) {
    work.Report({"P-1", "", 0, 0});
    if (const Uint128 factor = PMinusOneFactor(m, tuning::kTwoWordPMinusOne); factor != 1) {
      return factor;
    }
  }
  if (part.level == 0 && tuning::kTwoWordRhoSteps > 0) {
    work.Report({"rho", "", 0, 0});
    if (const Uint128 factor = RhoFactor(m, 1, tuning::kTwoWordRhoSteps); factor != 1) {
      return factor;
    }
  }
  for (std::size_t level = 0;;
       level = std::min(level + 1, tuning::kTwoWordCurveLevels.size() - 1)) {
    const tuning::CurveLevel& bounds = tuning::kTwoWordCurveLevels[level];
    if (sieve && bounds.factor_bits > curve_bits) {
      const Natural factor = SiqsFactor(Natural::FromWide(part.value), work);
      return factor.TwoWords();
    }
    const std::string method = "ECM B1=" + std::to_string(bounds.b1);
    // Before the sieve, the first level looks only for the factors that a few curves find.
    const int curves = sieve && level == 0
                           ? std::min(bounds.curves, tuning::kTwoWordFirstCurvesBeforeSiqs)
                           : bounds.curves;
    for (int curve = 0; curve < curves; ++curve, ++sigma) {
      if (work.Stopped()) {
        return 1;
      }
      work.Report({method, "curve", static_cast<std::uint64_t>(curve) + 1,
                   static_cast<std::uint64_t>(curves)});
      const Uint128 factor =
          EllipticCurveFactor(m, {2 * bounds.factor_bits, bounds.b1, bounds.b2}, 1, sigma);
      if (factor != 1) {
        return factor;
      }
    }
  }
}

// The factorisation of a part of two words, into `factors`, without GMP: each part below 2^64 is
// handed to the word-sized factorisation, a larger one is told prime by Baillie-PSW on
// Montgomery128, taken to its root when it is a perfect power, or split.
void FactoriseTwoWords(const TwoWordPart& whole, std::uint64_t& sigma, BigFactors& factors,
                       Work& work) {
  std::vector<TwoWordPart> parts{whole};
  while (!parts.empty()) {
    const TwoWordPart part = parts.back();
    parts.pop_back();
    if ((part.value >> 64) == 0) {
      for (const PrimePower& power : Factorisation(static_cast<std::uint64_t>(part.value))) {
        factors.primes.push_back({Natural(power.prime), power.exponent * part.exponent});
      }
      continue;
    }
    if (work.Stopped()) {
      factors.unsplit.push_back({Natural::FromWide(part.value), part.exponent});
      continue;
    }
    const Montgomery128 m(part.value);
    if (PassesBailliePsw(m)) {
      factors.primes.push_back({Natural::FromWide(part.value), part.exponent});
      continue;
    }
    if (const WidePower power = AsPerfectPower(part.value); power.exponent > 1) {
      parts.push_back({power.root, part.exponent * power.exponent, part.level});
      continue;
    }
    const Uint128 factor = SplitTwoWords(part, m, sigma, work);
    if (factor == 1) {
      factors.unsplit.push_back({Natural::FromWide(part.value), part.exponent});
      continue;
    }
    // The parts have been through p - 1 as a whole.
    const std::size_t level = std::max<std::size_t>(part.level, 1);
    parts.push_back({part.value / factor, part.exponent, level});
    parts.push_back({factor, part.exponent, level});
  }
}

// A factor f of the odd composite part with 1 < f < n: by rho, then by the levels of the curves
// from part.level on, the last repeated until one is found; 1 when the work was stopped. A part
// of kSiqsFromDigits to kSiqsUpToDigits digits goes through the curves only as far as they are the
// better bet, for factors of up to a share of its digits, and is then handed to the quadratic
// sieve, whose time depends on the size of the part alone.
Natural Split(Part& part, std::uint64_t& sigma, Work& work) {
  if (part.level == 0) {
    Natural factor = RhoFactor(part.value, 1, kRhoSteps, work);
    if (factor != 1 || work.Stopped()) {
      return factor;
    }
  }
  const std::size_t digits = part.value.DecimalDigits();
  const bool sieve = digits >= tuning::kSiqsFromDigits && digits <= tuning::kSiqsUpToDigits;
  const double curve_digits = static_cast<double>(digits) * tuning::kCurvesShareBeforeSiqs;
  const std::vector<EcmLevel>& levels = EcmLevels();
  for (;; part.level = std::min(part.level + 1, levels.size())) {
    const EcmLevel& level = levels[std::min(part.level, levels.size() - 1)];
    if (sieve && level.digits > curve_digits) {
      return SiqsFactor(part.value, work);
    }
    Natural factor = EcmFactorOnEveryCore(part.value, level, sigma, work);
    sigma += level.curves;
    if (factor != 1 || work.Stopped()) {
      return factor;
    }
  }
}

}  // namespace

BigFactors Factorise(const Natural& n, Work& work) {
  BigFactors factors;
  if (n <= 1) {
    return factors;
  }
  std::uint64_t sigma = 7;  // Suyama's parameters, a new one for each curve
  Natural rest = n;
  if (!rest.FitsWord() && rest.FitsTwoWords()) {
    // Two words from the start: the trial division too in their own arithmetic.
    work.Report({"trial division", "", 0, 0});
    Uint128 odd = rest.TwoWords();
    const int twos = CountTrailingZeros(odd);
    if (twos > 0) {
      factors.primes.push_back({Natural(2), twos});
      odd >>= twos;
    }
    std::vector<PrimePower> small;
    odd = DivideOutSmallOddPrimes(odd, small);
    for (const PrimePower& power : small) {
      factors.primes.push_back({Natural(power.prime), power.exponent});
    }
    rest = Natural(1);
    FactoriseTwoWords({odd, 1, 0}, sigma, factors, work);
  } else if (!rest.FitsWord()) {
    work.Report({"trial division", "", 0, 0});
    DivideOutSmallPrimes(rest, factors.primes);
  }
  std::vector<Part> parts{{std::move(rest), 1, 0}};
  while (!parts.empty()) {
    Part part = std::move(parts.back());
    parts.pop_back();
    if (part.value == 1) {
      continue;
    }
    if (part.value.FitsWord()) {
      for (const PrimePower& power : Factorisation(part.value.Word())) {
        factors.primes.push_back({Natural(power.prime), power.exponent * part.exponent});
      }
      continue;
    }
    if (part.value.FitsTwoWords()) {
      FactoriseTwoWords({part.value.TwoWords(), part.exponent, part.level}, sigma, factors, work);
      continue;
    }
    if (work.Stopped()) {
      factors.unsplit.push_back({std::move(part.value), part.exponent});
      continue;
    }
    const std::optional<bool> prime = IsProbablePrime(part.value, work);
    if (prime == true) {
      factors.primes.push_back({std::move(part.value), part.exponent});
      continue;
    }
    if (!prime) {
      factors.unsplit.push_back({std::move(part.value), part.exponent});
      continue;
    }
    if (const PerfectPower power = AsPerfectPower(part.value); power.exponent > 1) {
      parts.push_back({power.root, part.exponent * power.exponent, part.level});
      continue;
    }
    const Natural factor = Split(part, sigma, work);
    if (factor == 1) {
      factors.unsplit.push_back({std::move(part.value), part.exponent});
      continue;
    }
    parts.push_back({part.value / factor, part.exponent, part.level});
    parts.push_back({factor, part.exponent, part.level});
  }
  // The same prime may come from two parts: merged, ascending.
  const auto by_value = [](const BigPrimePower& a, const BigPrimePower& b) {
    return a.prime < b.prime;
  };
  std::sort(factors.primes.begin(), factors.primes.end(), by_value);
  std::vector<BigPrimePower> merged;
  for (BigPrimePower& power : factors.primes) {
    if (!merged.empty() && merged.back().prime == power.prime) {
      merged.back().exponent += power.exponent;
    } else {
      merged.push_back(std::move(power));
    }
  }
  factors.primes = std::move(merged);
  std::sort(factors.unsplit.begin(), factors.unsplit.end(), by_value);
  factors.complete = factors.unsplit.empty();
  return factors;
}

std::optional<Natural> SmallestPrimeFactor(const Natural& n, Work& work) {
  if (n.FitsWord()) {
    return Natural(SmallestPrimeFactor(n.Word()));
  }
  if (!n.IsOdd()) {
    return Natural(2);
  }
  if (const std::uint32_t p = SmallOddPrimeFactor(n); p != 0) {
    return Natural(p);
  }
  const BigFactors factors = Factorise(n, work);
  if (!factors.complete) {
    return std::nullopt;
  }
  return factors.primes.front().prime;
}

}  // namespace brindaq
