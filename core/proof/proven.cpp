#include "core/proof/proven.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "core/big/big_primes.h"
#include "core/proof/ecpp.h"

namespace brindaq {
namespace {

// The proof of a probable prime p, or kProbable at once when the work is already stopped.
Proof ProofOf(const Natural& p, Work& work) {
  if (p.FitsWord()) {
    return Proof::kProven;  // exact below 2^64
  }
  return work.Stopped() ? Proof::kProbable : ProveProbablePrime(p, work);
}

}  // namespace

BigFactors ProvenFactorisation(const Natural& n, Work& work) {
  BigFactors factors = Factorise(n, work);
  std::vector<BigPrimePower> primes;
  bool stopped = false;
  for (BigPrimePower& power : factors.primes) {
    const Proof proof = ProofOf(power.prime, work);
    if (proof == Proof::kComposite) {
      factors.unsplit.push_back(std::move(power));
      continue;
    }
    if (proof == Proof::kProbable) {
      stopped = stopped || work.Stopped();
      factors.unproven.push_back(power.prime);
    }
    primes.push_back(std::move(power));
  }
  factors.primes = std::move(primes);
  std::sort(factors.unsplit.begin(), factors.unsplit.end(),
            [](const BigPrimePower& a, const BigPrimePower& b) { return a.prime < b.prime; });
  factors.complete = factors.unsplit.empty() && !stopped;
  return factors;
}

bool ForEachProvenPrimeBetween(const Natural& first, const Natural& last, Work& work,
                               const std::function<void(const Natural&, bool)>& visit) {
  bool stopped = false;
  const bool whole = ForEachPrimeBetween(first, last, work, [&](const Natural& p) {
    if (stopped) {
      return;
    }
    const Proof proof = ProofOf(p, work);
    if (proof != Proof::kComposite) {
      visit(p, proof == Proof::kProven);
    }
    stopped = proof == Proof::kProbable && work.Stopped();
  });
  return whole && !stopped;
}

std::optional<FoundPrime> ProvenNextPrime(const Natural& n, Work& work) {
  for (Natural after = n;;) {
    std::optional<Natural> next = NextPrime(after, work);
    if (!next) {
      return std::nullopt;
    }
    const Proof proof = ProofOf(*next, work);
    if (proof != Proof::kComposite) {
      return FoundPrime{std::move(*next), proof == Proof::kProven};
    }
    after = std::move(*next);
  }
}

}  // namespace brindaq
