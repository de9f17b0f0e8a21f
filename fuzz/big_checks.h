#pragma once

#include <string>
#include <string_view>

#include "core/operations.h"

namespace brindaq::fuzz {

// What is wrong with the full range's `outcome` of `command` on `operands` past 2^64, or of an
// answer that was stopped, checked by methods that share nothing with the core's: GMP's own
// probable-prime test (Miller-Rabin to random bases), its own powers, products and inverses, and
// trying every candidate where there are few. Empty when nothing is.
std::string BigProblem(std::string_view command, const Operands& operands, const Outcome& outcome);

// Factorises a product of two to four primes of 6 to 30 digits each, 20 to 60 digits in all,
// that the bytes choose, with a second of work; aborts when the primes found and the parts left
// do not multiply to the product, when a prime found is not one of those planted, or when a
// whole factorisation does not give them all.
void CheckPlantedFactors(std::string_view bytes);

}  // namespace brindaq::fuzz
