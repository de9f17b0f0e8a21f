#include "core/divisors/divisors.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/arithmetic/factorisation.h"
#include "core/arithmetic/primality.h"
#include "core/arithmetic/wide.h"
#include "core/big/big_factorisation.h"
#include "core/big/natural.h"
#include "core/big/small_primes.h"
#include "core/proof/certificate.h"
#include "core/proof/ecpp.h"
#include "core/proof/proven.h"

namespace brindaq {
namespace {

// The line of the prime factors that calls A prime or not: one blank, A, then the verdict.
template <typename Number>
LineWriter NumberVerdict(const Number& a, std::string_view verdict, Range range) {
  LineWriter line(range);
  line << " " << a << verdict;
  return line;
}

constexpr const char* kIsPrimeVerdict = "   IS A PRIME NUMBER !";

// Past 2^64: the primes found, with repetition, smallest first, each proven (or, when its proof
// was stopped or not tried, in its place as not yet proven); and when the work was stopped, each
// part not yet split after them, which is known to be composite but claimed as nothing more.
Ending BigPrimeFactors(const Natural& a, Range range, LineSink& lines, Work& work) {
  const BigFactors factors = ProvenFactorisation(a, work);
  if (factors.complete && factors.unproven.empty() && factors.primes.size() == 1 &&
      factors.primes.front().exponent == 1) {
    lines.Add(NumberVerdict(a, kIsPrimeVerdict, range));
    return Ending::kWhole;
  }
  for (const BigPrimePower& power : factors.primes) {
    const bool proven =
        !std::binary_search(factors.unproven.begin(), factors.unproven.end(), power.prime);
    for (int k = 0; k < power.exponent; ++k) {
      lines.Add(LineWriter(range) << (proven ? "   " : kNotYetProvenPrime) << power.prime);
    }
  }
  for (const BigPrimePower& part : factors.unsplit) {
    for (int k = 0; k < part.exponent; ++k) {
      lines.Add(LineWriter(range) << " NOT YET SPLIT = " << part.prime);
    }
  }
  return factors.complete ? Ending::kWhole : Ending::kStopped;
}

constexpr const char* kNotPrimeLine = " A IS NOT A PRIME NUMBER";

// The smallest prime factor of a composite n past 2^64, once every prime of n is proven (the
// least of them is the least only if the others are prime), and the primes that are not;
// nothing when the work was stopped.
std::optional<Natural> BigSmallestPrimeFactor(const Natural& n, Work& work,
                                              std::vector<Natural>& unproven) {
  // A factor below 10^4, found by trial division, is below any other prime of n.
  if (!n.IsOdd()) {
    return Natural(2);
  }
  if (const std::uint32_t p = SmallOddPrimeFactor(n); p != 0) {
    return Natural(p);
  }
  BigFactors factors = ProvenFactorisation(n, work);
  if (!factors.complete) {
    return std::nullopt;
  }
  unproven = std::move(factors.unproven);
  return factors.primes.front().prime;
}

}  // namespace

Ending lines_of::PrimeFactors(const Operands& operands, Range range, LineSink& lines, Work& work) {
  if (!operands.words) {
    return BigPrimeFactors(operands.exact[0], range, lines, work);
  }
  const std::uint64_t a = operands.a;
  // 1 has no prime factor and is not a prime number either.
  if (a == 1) {
    lines.Add(NumberVerdict(Whole{a}, "   IS NOT A PRIME NUMBER !", range));
    return Ending::kWhole;
  }
  // A prime A is its own one factor, and keeps its one verdict line instead.
  const std::vector<PrimePower> powers = Factorisation(a);
  if (powers.size() == 1 && powers.front().exponent == 1) {
    lines.Add(NumberVerdict(Whole{a}, kIsPrimeVerdict, range));
    return Ending::kWhole;
  }
  for (const PrimePower& power : powers) {
    for (int k = 0; k < power.exponent; ++k) {
      lines.Add(LineWriter(range) << "   " << Whole{power.prime});
    }
  }
  return Ending::kWhole;
}

Ending lines_of::PrimalityTest(const Operands& operands, Range range, LineSink& lines, Work& work) {
  if (!operands.words) {
    // The verdict, then the smallest factor: a stopped search keeps the verdict it reached.
    // A probable prime is proven before it is named prime; the certificate goes to whoever
    // asked for it.
    const Natural& a = operands.exact[0];
    Certificate certificate;
    const Proof proof = ProvePrime(a, work, work.WantsCertificate() ? &certificate : nullptr);
    if (proof == Proof::kUnknown) {
      return Ending::kStopped;
    }
    if (proof == Proof::kProbable) {
      // Stopped, or too large to prove (or no step was found): either way A is
      // named a probable prime only, and the answer says whether it was stopped.
      lines.Add(kProbablePrimeLine);
      lines.Add(kNotYetProvenLine);
      return work.Stopped() ? Ending::kStopped : Ending::kWhole;
    }
    if (proof == Proof::kProven) {
      lines.Add(" A IS A PRIME NUMBER!");
      if (work.WantsCertificate()) {
        work.TakeCertificate(CertificateText(certificate));
      }
      return Ending::kWhole;
    }
    lines.Add(kNotPrimeLine);
    std::vector<Natural> unproven;
    const std::optional<Natural> factor = BigSmallestPrimeFactor(a, work, unproven);
    if (!factor) {
      return Ending::kStopped;
    }
    lines.Add(LineWriter(range) << " FACTOR = " << *factor);
    AddNotYetProven(unproven, range, lines);
    return Ending::kWhole;
  }
  // 1 is not a prime number, and it has no prime factor to show.
  const std::uint64_t a = operands.a;
  if (a == 1) {
    lines.Add(kNotPrimeLine);
  } else if (!IsPrime(a)) {
    lines.Add(kNotPrimeLine);
    lines.Add(LineWriter(range) << " FACTOR = " << Whole{SmallestPrimeFactor(a)});
  } else {
    lines.Add(" A IS A PRIME NUMBER!");
    if (range == Range::kFull && work.WantsCertificate()) {
      work.TakeCertificate(Natural(a).ToDecimal());  // a prime below 2^64 is its own certificate
    }
  }
  return Ending::kWhole;
}

Ending lines_of::DivisorCountAndSum(const Operands& operands, Range range, LineSink& lines,
                                    Work& work) {
  // From A = p^k * ...: the divisors of A number (k + 1) * ... and add up to
  // (1 + p + ... + p^k) * ...; A itself is then taken away from both. The sum of the divisors
  // of an A below 2^64 is less than 2^67.
  if (!operands.words) {
    const Natural& a = operands.exact[0];
    const BigFactors factors = ProvenFactorisation(a, work);
    if (!factors.complete) {
      return Ending::kStopped;  // both need every prime
    }
    Natural count(1);
    Natural sum(1);
    for (const BigPrimePower& power : factors.primes) {
      count *= Natural(static_cast<std::uint64_t>(power.exponent) + 1);
      // (p^(k+1) - 1) / (p - 1)
      sum *= (Power(power.prime, static_cast<unsigned>(power.exponent) + 1) - Natural(1)) /
             (power.prime - Natural(1));
    }
    lines.Add(LineWriter(range) << " NUMBER OF DIVISORS = " << count - Natural(1));
    lines.Add(LineWriter(range) << " SUM OF DIVISORS = " << sum - a);
    AddNotYetProven(factors.unproven, range, lines);
    return Ending::kWhole;
  }
  const std::uint64_t a = operands.a;
  std::uint64_t count = 1;
  Uint128 sum = 1;
  for (const PrimePower& power : Factorisation(a)) {
    Uint128 term = 1;
    Uint128 power_sum = 1;
    for (int k = 0; k < power.exponent; ++k) {
      term *= power.prime;
      power_sum += term;
    }
    count *= static_cast<std::uint64_t>(power.exponent) + 1;
    sum *= power_sum;
  }
  lines.Add(LineWriter(range) << " NUMBER OF DIVISORS = " << Whole{count - 1});
  lines.Add(LineWriter(range) << " SUM OF DIVISORS = " << Whole{sum - a});
  return Ending::kWhole;
}

Outcome ranged::PrimeFactors(const OperandTexts& texts, Range range) {
  return Answer(texts, kPrimeFactorsRules, range, &lines_of::PrimeFactors);
}

Outcome ranged::PrimalityTest(const OperandTexts& texts, Range range) {
  return Answer(texts, kPrimalityTestRules, range, &lines_of::PrimalityTest);
}

Outcome ranged::DivisorCountAndSum(const OperandTexts& texts, Range range) {
  return Answer(texts, kDivisorCountAndSumRules, range, &lines_of::DivisorCountAndSum);
}

Outcome PrimeFactors(const OperandTexts& texts) {
  return ranged::PrimeFactors(texts, Range::kWindow);
}

Outcome PrimalityTest(const OperandTexts& texts) {
  return ranged::PrimalityTest(texts, Range::kWindow);
}

Outcome DivisorCountAndSum(const OperandTexts& texts) {
  return ranged::DivisorCountAndSum(texts, Range::kWindow);
}

}  // namespace brindaq
