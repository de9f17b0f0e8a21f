#pragma once

// What the core tests share: the texts of the notices, result lines written out independently of
// FormatValue, and a table of whole clicks (operation, operand texts, whole expected outcome).

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "core/operations.h"

namespace brindaq::testing_cases {

using Lines = std::vector<std::string>;

inline const std::string kTooLarge = "NUMBER TOO LARGE !";
inline const std::string kANotWhole = "A MUST BE INTEGER > 0";
inline const std::string kBNotWhole = "B MUST BE INTEGER > 0";
inline const std::string kCNotWhole = "C MUST BE INTEGER > 0";
inline const std::string kTooWide = "INTERVAL TOO LARGE !";
inline const std::string kNotEven = "A MUST BE EVEN !";

// A whole number as the usual result line shows it: four blanks, then its digits.
inline std::string Shown(std::int64_t n) {
  return "    " + std::to_string(n);
}

inline Lines Shown(std::initializer_list<std::int64_t> values) {
  Lines lines;
  for (const std::int64_t value : values) {
    lines.push_back(Shown(value));
  }
  return lines;
}

// One click: the operation, the three operand texts, and its whole outcome.
struct Click {
  const char* label;
  Operation run;
  OperandTexts texts;
  Lines lines;
  std::optional<std::string> notice;
};

inline void PrintTo(const Click& click, std::ostream* os) {
  *os << click.label;
}

// Instantiate with a table of clicks; each gives exactly its lines and notice.
class ClickTest : public testing::TestWithParam<Click> {};

}  // namespace brindaq::testing_cases
