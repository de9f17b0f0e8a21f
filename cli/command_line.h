#pragma once

// The command line of brindaq-cli: which operation it runs on which operand texts, and what it
// prints. Nothing here touches a stream, so a whole call can be run and looked at in memory.

#include <span>
#include <string>
#include <string_view>

namespace brindaq::cli {

// The exit statuses of the program.
inline constexpr int kAnswered = 0;  // the result lines, also "NO SOLUTION !" and the like
inline constexpr int kRefused = 1;   // a notice, or output that could not be written
inline constexpr int kMisused = 2;   // the command line itself is wrong

// What one call prints on standard output and standard error, and its exit status.
struct Response {
  std::string output;
  std::string error;
  int status = kAnswered;
};

// Runs the command line `arguments`, the program's name left out:
// [OPTIONS] OPERATION [A [B [C]]].
Response Run(std::span<const std::string_view> arguments);

// The text of --help: the synopsis, every operation of the table with its caption and the
// limits of the operands it reads, the options and the exit statuses.
std::string HelpText();

}  // namespace brindaq::cli
