#pragma once

// The options of brindaq-cli.

#include <optional>
#include <string_view>

namespace brindaq::cli {

enum class Option { kRaw, kJson, kFullRange, kHelp, kVersion, kEnd };

// The option that `argument` names, if it names one.
std::optional<Option> OptionNamed(std::string_view argument);

}  // namespace brindaq::cli
