#pragma once

// The options of brindaq-cli.

#include <optional>
#include <string_view>

namespace brindaq::cli {

enum class Option { kRaw, kJson, kFullRange, kCertificate, kTimeLimit, kHelp, kVersion, kEnd };

// The option that `argument` names, if it names one. "--time-limit" takes a value, as the next
// argument or after "=" ("--time-limit=10").
std::optional<Option> OptionNamed(std::string_view argument);

// The seconds of a time limit: a positive decimal number ("10", "0.5"); nothing for anything
// else.
std::optional<double> SecondsOf(std::string_view text);

}  // namespace brindaq::cli
