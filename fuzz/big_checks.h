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

}  // namespace brindaq::fuzz
