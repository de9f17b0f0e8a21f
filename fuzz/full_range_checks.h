#pragma once

#include <string_view>

#include "core/operations.h"

namespace brindaq::fuzz {

// Runs `operation` on `texts` in the full range and aborts with a report where the outcome breaks
// a rule; `window` is the outcome of the same click in the window's range.
void CheckFullRange(const OperationRow& operation, const OperandTexts& texts,
                    const Outcome& window);

// Reads `text` as an expression of the full range, and aborts with a report where a character
// that cannot continue an expression, put after it, changes what it reads.
void CheckExpression(std::string_view text);

}  // namespace brindaq::fuzz
