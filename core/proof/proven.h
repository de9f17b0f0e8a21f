#pragma once

// What the answers past 2^64 name or count as prime, proven: the factorisation, the primes of an
// interval and the next prime, each prime that passes the probable-prime test past 2^64 proven
// before it is handed on (ProveProbablePrime: by n - 1 for two words, by the curves above). A
// proof that is stopped, or not tried (past tuning::kProofLargestBits), leaves its prime probable,
// and says so; a number that passes the probable-prime test and is then shown composite (none is
// known) is never named prime.

#include <functional>
#include <optional>

#include "core/big/big_factorisation.h"
#include "core/big/natural.h"
#include "core/work.h"

namespace brindaq {

// Factorise, then each prime past 2^64 proven, smallest first. One whose proof was stopped or not
// tried goes to `unproven` as well; one shown composite goes to the parts not split. The
// factorisation is complete when every part is split and no proof was stopped.
BigFactors ProvenFactorisation(const Natural& n, Work& work);

// Calls `visit(p, proven)` with every prime p with first <= p <= last, ascending, as
// ForEachPrimeBetween does, each past 2^64 proven first: `proven` is false for one whose proof
// was stopped (the scan then ends, and false is returned) or not tried.
bool ForEachProvenPrimeBetween(const Natural& first, const Natural& last, Work& work,
                               const std::function<void(const Natural&, bool)>& visit);

// The smallest prime greater than n, and whether it is proven (its proof stopped, or not tried);
// nothing when the work was stopped before a probable prime was found.
struct FoundPrime {
  Natural prime;
  bool proven;
};
std::optional<FoundPrime> ProvenNextPrime(const Natural& n, Work& work);

}  // namespace brindaq
