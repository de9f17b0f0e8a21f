#pragma once

// What every operation takes and gives back, and the two ranges it can answer in. This is the
// whole of what a caller of an operation needs; reading the operands, checking them and writing
// the lines live in operands.h and lines.h.

#include <optional>
#include <string>
#include <vector>

namespace brindaq {

// The texts of the three operand boxes A, B and C, as they stood when the button was clicked.
struct OperandTexts {
  std::string a, b, c;
};

// What one operation gives back: its result lines, in order, and at most one notice, with the
// operand that the notice is about, 'A', 'B' or 'C', so that the user can be taken back to its box.
// The operand is set by the check that failed; it is empty when there is no notice, or for a
// notice that names no operand. An answer that was stopped before its end holds the lines
// established so far, and then kStoppedLine.
struct Outcome {
  std::vector<std::string> lines;
  std::optional<std::string> notice;
  std::optional<char> operand = std::nullopt;
  bool stopped = false;
};

// The last line of an answer that was stopped before its end.
inline constexpr const char* kStoppedLine = "   CALCULATION STOPPED !";

// Past 2^64 a number is named prime only once an elliptic-curve proof has shown it. A test whose
// proof was stopped (or not tried: past 3400 bits, about 1020 digits) says what it had
// established, before kStoppedLine if it was stopped: the number passed the probable-prime test
// (Baillie-PSW), and is not proven.
inline constexpr const char* kProbablePrimeLine = " A IS A PROBABLE PRIME,";
inline constexpr const char* kNotYetProvenLine = " NOT YET PROVEN PRIME !";
// Any other answer writes each prime that it names or counts but whose proof was stopped or not
// tried on a line of its own, after this text: in its place in a list of primes or factors, and
// after the answer's lines where the answer only rests on it (the divisors, the two squares).
inline constexpr const char* kNotYetProvenPrime = " NOT YET PROVEN PRIME = ";

// The two ranges of the operations. The window's range takes the operands through a double,
// within the limits that keep the window's double arithmetic exact, and writes a number of 1E15
// or more in the exponent form. The full range reads every operand exactly, as a whole number up
// to 2^64 - 1, within wider limits, and writes every number in full digits.
enum class Range { kWindow, kFull };

}  // namespace brindaq
