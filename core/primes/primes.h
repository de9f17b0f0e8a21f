#pragma once

// The prime scans: the primes, the twin primes and the number of primes strictly between A and
// B, by a sieve of the interval, and the next prime after A.

#include "core/frame/frame.h"
#include "core/frame/lines.h"
#include "core/frame/operands.h"
#include "core/work.h"

namespace brindaq {

// True when no whole d with 2 <= d <= sqrt(x) divides x: the verdict of trial division, for any
// x, given by the primality test where x is whole and below 2^64.
bool IsPrimeByTrialDivision(double x);

// A and B of the three interval scans, in the window's range and in the full one.
inline constexpr OperandLimits kIntervalScanLimits{10000000, 10000000};
inline constexpr WholeLimits kFullIntervalScanLimits{kAnySize, kAnySize};

// Every prime strictly between A and B, ascending, one line each.
inline constexpr OperandRules kPrimesBetweenRules{kIntervalScanLimits, kFullIntervalScanLimits,
                                                  10000};
Outcome PrimesBetween(const OperandTexts& texts);

// Every twin-prime pair (p, p + 2) whose smaller member lies strictly between A and B.
inline constexpr OperandRules kTwinPrimesBetweenRules{kIntervalScanLimits, kFullIntervalScanLimits,
                                                      10000};
Outcome TwinPrimesBetween(const OperandTexts& texts);

// The number of primes strictly between A and B, as one line.
inline constexpr OperandRules kPrimeCountBetweenRules{kIntervalScanLimits, kFullIntervalScanLimits,
                                                      100000};
Outcome PrimeCountBetween(const OperandTexts& texts);

// The smallest prime greater than A, as one line.
inline constexpr OperandLimits kNextPrimeLimits{100000000};
inline constexpr OperandRules kNextPrimeRules{kNextPrimeLimits, {kAnySize}};
Outcome NextPrime(const OperandTexts& texts);

// The same operations in the range that the caller chooses.
namespace ranged {
Outcome PrimesBetween(const OperandTexts& texts, Range range);
Outcome TwinPrimesBetween(const OperandTexts& texts, Range range);
Outcome PrimeCountBetween(const OperandTexts& texts, Range range);
Outcome NextPrime(const OperandTexts& texts, Range range);
}  // namespace ranged

// The lines of each operation, from operands that have passed its checks, and how it ended.
namespace lines_of {
Ending PrimesBetween(const Operands& operands, Range range, LineSink& lines, Work& work);
Ending TwinPrimesBetween(const Operands& operands, Range range, LineSink& lines, Work& work);
Ending PrimeCountBetween(const Operands& operands, Range range, LineSink& lines, Work& work);
Ending NextPrime(const Operands& operands, Range range, LineSink& lines, Work& work);
}  // namespace lines_of

}  // namespace brindaq
