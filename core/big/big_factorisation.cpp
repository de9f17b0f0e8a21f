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

// The same for a part of two words, in their own arithmetic: rho (unless the part comes from a
// larger one that has been through it), then the levels of the curves for two words; a part of
// kSiqsFromDigits digits or more goes to the quadratic sieve once the curves have looked for
// factors of up to kTwoWordCurvesBeforeSiqsBits bits. The work is asked whether to stop before
// each curve, a few milliseconds at most.
Natural SplitTwoWords(const Part& part, std::uint64_t& sigma, Work& work) {
  const Montgomery128 m(part.value.TwoWords());
  const bool sieve = part.value.DecimalDigits() >= tuning::kSiqsFromDigits;
  if (part.level == 0) {
    work.Report({"rho", "", 0, 0});
    if (const Uint128 factor = RhoFactor(m, 1, tuning::kTwoWordRhoSteps); factor != 1) {
      return Natural::FromWide(factor);
    }
  }
  for (std::size_t level = 0;;
       level = std::min(level + 1, tuning::kTwoWordCurveLevels.size() - 1)) {
    const tuning::CurveLevel& bounds = tuning::kTwoWordCurveLevels[level];
    if (sieve && bounds.factor_bits > tuning::kTwoWordCurvesBeforeSiqsBits) {
      return SiqsFactor(part.value, work);
    }
    const std::string method = "ECM B1=" + std::to_string(bounds.b1);
    for (int curve = 0; curve < bounds.curves; ++curve, ++sigma) {
      if (work.Stopped()) {
        return Natural(1);
      }
      work.Report({method, "curve", static_cast<std::uint64_t>(curve) + 1,
                   static_cast<std::uint64_t>(bounds.curves)});
      const Uint128 factor =
          EllipticCurveFactor(m, {2 * bounds.factor_bits, bounds.b1, bounds.b2}, 1, sigma);
      if (factor != 1) {
        return Natural::FromWide(factor);
      }
    }
  }
}

// A factor f of the odd composite part with 1 < f < n: by rho, then by the levels of the curves
// from part.level on, the last repeated until one is found; 1 when the work was stopped. A part
// of kSiqsFromDigits to kSiqsUpToDigits digits goes through the curves only as far as they are the
// better bet, for factors of up to a share of its digits, and is then handed to the quadratic
// sieve, whose time depends on the size of the part alone.
Natural Split(Part& part, std::uint64_t& sigma, Work& work) {
  if (part.value.FitsTwoWords()) {
    return SplitTwoWords(part, sigma, work);
  }
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
  Natural rest = n;
  if (!rest.FitsWord()) {
    work.Report({"trial division", "", 0, 0});
    DivideOutSmallPrimes(rest, factors.primes);
  }
  std::vector<Part> parts{{std::move(rest), 1, 0}};
  std::uint64_t sigma = 7;  // Suyama's parameters, a new one for each curve
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
