#pragma once

#include "core/operations.h"

namespace brindaq::fuzz {

// Runs `operation` on `texts` in the full range and aborts with a report where the outcome breaks
// a rule; `window` is the outcome of the same click in the window's range.
void CheckFullRange(const OperationRow& operation, const OperandTexts& texts,
                    const Outcome& window);

}  // namespace brindaq::fuzz
