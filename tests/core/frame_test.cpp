#include "core/frame/lines.h"
#include "core/frame/operands.h"

#include <gtest/gtest.h>

#include <array>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace brindaq {
namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

struct ReadCase {
  std::string text;
  double value;
};

class ReadOperandTest : public testing::TestWithParam<ReadCase> {};

TEST_P(ReadOperandTest, ReadsTheLeadingNumber) {
  const ReadCase& c = GetParam();
  const double value = ReadOperand(c.text);
  EXPECT_FALSE(std::isnan(value));
  EXPECT_EQ(value, c.value) << "text: \"" << c.text << "\"";
}

INSTANTIATE_TEST_SUITE_P(
    Prefixes, ReadOperandTest,
    testing::Values(ReadCase{"12", 12}, ReadCase{"  7", 7}, ReadCase{"12abc", 12},
                    ReadCase{"2.5", 2.5}, ReadCase{"-3", -3}, ReadCase{"", 0}, ReadCase{"abc", 0},
                    ReadCase{"1E3", 1000}, ReadCase{"1e3", 1000}, ReadCase{"3.0", 3},
                    ReadCase{"+5", 5}, ReadCase{"\t 9", 9}, ReadCase{".5", 0.5}, ReadCase{"5.", 5},
                    ReadCase{".", 0}, ReadCase{"-", 0}, ReadCase{"+", 0}, ReadCase{"-.", 0},
                    ReadCase{"1E", 1}, ReadCase{"1E+", 1}, ReadCase{"1E-2", 0.01},
                    ReadCase{"2.5E+1x", 25}, ReadCase{"1.2.3", 1.2}, ReadCase{"1,5", 1},
                    ReadCase{"12 34", 12}, ReadCase{"--5", 0}, ReadCase{"- 5", 0},
                    ReadCase{"007", 7}, ReadCase{"99999999.5", 99999999.5},
                    ReadCase{"10000000.5", 10000000.5}, ReadCase{"0.1", 0.1}));

// Texts that other number readers take for numbers have no leading number under the rule.
INSTANTIATE_TEST_SUITE_P(ForeignForms, ReadOperandTest,
                         testing::Values(ReadCase{"0x10", 0}, ReadCase{"0X1F", 0},
                                         ReadCase{"inf", 0}, ReadCase{"nan", 0},
                                         ReadCase{"Infinity", 0}, ReadCase{"-inf", 0},
                                         ReadCase{"NaN(123)", 0}, ReadCase{"&H10", 0},
                                         ReadCase{"\xEF\xBC\x95", 0}, ReadCase{"0b101", 0},
                                         ReadCase{"1_000", 1}));

INSTANTIATE_TEST_SUITE_P(BeyondDouble, ReadOperandTest,
                         testing::Values(ReadCase{"1E400", kInfinity},
                                         ReadCase{"-1E400", -kInfinity}, ReadCase{"1E-400", 0},
                                         ReadCase{"0E99999", 0},
                                         ReadCase{"1E99999999999999999999999", kInfinity},
                                         ReadCase{"0.000001E-99999999999999999999", 0},
                                         ReadCase{std::string(400, '9'), kInfinity},
                                         ReadCase{"0." + std::string(400, '0') + "1E400", 0.1},
                                         ReadCase{std::string(100000, '0') + "42", 42},
                                         ReadCase{"1." + std::string(100000, '0') + "x", 1}));

// Texts of whole digits take a quicker path than numbers in general; every text must read as the
// C library's general reading (strtod) reads it, on both sides of the 15 digits of that path.
TEST(ReadOperand, ReadsAsStrtodAroundWholeDigits) {
  const char* const before[] = {"", " ", "-", "+", "  -", "00"};
  const char* const after[] = {"", "abc", "e", "e3", "E+2", ".", ".5", " 7", "-1"};
  std::mt19937_64 random(10);
  for (std::size_t length = 1; length <= 18; ++length) {
    for (int i = 0; i < 40; ++i) {
      std::string digits;
      for (std::size_t k = 0; k < length; ++k) {
        digits += static_cast<char>('0' + random() % 10);
      }
      for (const char* const prefix : before) {
        for (const char* const suffix : after) {
          const std::string text = prefix + digits + suffix;
          ASSERT_EQ(ReadOperand(text), std::strtod(text.c_str(), nullptr)) << text;
        }
      }
    }
  }
}

TEST(ReadOperand, IgnoresTheCommaLocale) {
  const char* comma_locales[] = {"de_DE.UTF-8", "it_IT.UTF-8", "fr_FR.UTF-8", "de_DE", "it_IT"};
  const std::string saved = std::setlocale(LC_ALL, nullptr);
  bool set = false;
#if defined(__EMSCRIPTEN__)
  // The WebAssembly C library accepts a comma locale's name but keeps "." as its decimal point,
  // so no comma locale can be set there.
  static_cast<void>(comma_locales);
  const char* const missing = "the WebAssembly C library has no comma locale";
#else
  const char* const missing = "no comma locale is installed";
  for (const char* name : comma_locales) {
    if (std::setlocale(LC_ALL, name) != nullptr) {
      set = true;
      break;
    }
  }
#endif
  if (set) {
    EXPECT_STREQ(std::localeconv()->decimal_point, ",");
  }
  EXPECT_EQ(ReadOperand("2.5"), 2.5);
  EXPECT_EQ(ReadOperand("2,5"), 2);
  EXPECT_EQ(FormatValue(2.5), " 2.5");
  std::setlocale(LC_ALL, saved.c_str());
  if (!set) {
    GTEST_SKIP() << missing;
  }
}

struct CheckCase {
  double value;
  char letter;
  double limit;
  std::optional<std::string> notice;
};

class CheckOperandTest : public testing::TestWithParam<CheckCase> {};

TEST_P(CheckOperandTest, GivesTheNoticeOfTheFirstFailedCondition) {
  const CheckCase& c = GetParam();
  EXPECT_EQ(CheckOperand(c.value, c.letter, c.limit), c.notice);
}

INSTANTIATE_TEST_SUITE_P(Checks, CheckOperandTest,
                         testing::Values(CheckCase{1, 'A', 10, std::nullopt},
                                         CheckCase{10, 'A', 10, std::nullopt},
                                         CheckCase{11, 'A', 10, "NUMBER TOO LARGE !"},
                                         CheckCase{10.5, 'A', 10, "NUMBER TOO LARGE !"},
                                         CheckCase{99999999.5, 'B', 10000000, "NUMBER TOO LARGE !"},
                                         CheckCase{kInfinity, 'C', 100000, "NUMBER TOO LARGE !"},
                                         CheckCase{0, 'A', 10, "A MUST BE INTEGER > 0"},
                                         CheckCase{0, 'B', 10, "B MUST BE INTEGER > 0"},
                                         CheckCase{0, 'C', 10, "C MUST BE INTEGER > 0"},
                                         CheckCase{-4, 'A', 10, "A MUST BE INTEGER > 0"},
                                         CheckCase{3.5, 'B', 10, "B MUST BE INTEGER > 0"},
                                         CheckCase{0.5, 'C', 10, "C MUST BE INTEGER > 0"},
                                         CheckCase{-kInfinity, 'A', 10, "A MUST BE INTEGER > 0"},
                                         CheckCase{100000000, 'A', 100000000, std::nullopt},
                                         CheckCase{73, 'A', 73, std::nullopt},
                                         CheckCase{74, 'A', 73, "NUMBER TOO LARGE !"}));

struct FormatCase {
  double value;
  std::string text;
};

class FormatValueTest : public testing::TestWithParam<FormatCase> {};

TEST_P(FormatValueTest, WritesTheNumberAsTheListShowsIt) {
  EXPECT_EQ(FormatValue(GetParam().value), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Values, FormatValueTest,
    testing::Values(
        FormatCase{0, " 0"}, FormatCase{-0.0, " 0"}, FormatCase{5, " 5"}, FormatCase{17, " 17"},
        FormatCase{-3, "-3"}, FormatCase{2.5, " 2.5"}, FormatCase{-2.5, "-2.5"},
        FormatCase{10000000, " 10000000"}, FormatCase{100000007, " 100000007"},
        FormatCase{806515533049393, " 806515533049393"},
        FormatCase{999999999999999, " 999999999999999"}, FormatCase{1e15, " 1E+15"},
        FormatCase{2185143829170100, " 2.1851438291701E+15"},
        FormatCase{1304969544928657, " 1.30496954492866E+15"}, FormatCase{1e20, " 1E+20"},
        FormatCase{1e100, " 1E+100"}, FormatCase{-1e15, "-1E+15"}, FormatCase{0.1 + 0.2, " 0.3"},
        FormatCase{1.0 / 3, " 0.333333333333333"}, FormatCase{123456.789, " 123456.789"}));

// Whole values below 1E15 are written by a quicker path than the general rule; they must come
// out as the general rule, "%.15G" after the sign column, writes them.
TEST(FormatValue, WritesWholeValuesAsTheGeneralRuleDoes) {
  std::vector<double> values{-0.0, 999999999999999, -999999999999999, 1e15 - 2};
  for (double power = 1; power < 1e15; power *= 10) {
    for (const double value : {power - 1, power, power + 1}) {
      values.push_back(value);
      values.push_back(-value);
    }
  }
  for (int bit = 0; bit < 50; ++bit) {
    values.push_back(std::ldexp(1.0, bit) + 1);
  }
  std::mt19937_64 random(9);
  std::uniform_int_distribution<std::int64_t> any(-999999999999999, 999999999999999);
  for (int i = 0; i < 20000; ++i) {
    values.push_back(static_cast<double>(any(random)));
    values.push_back(static_cast<double>(any(random) % 100000000));
  }
  for (const double value : values) {
    std::array<char, 48> general{};
    std::snprintf(general.data(), general.size(), "%s%.15G", value < 0 ? "" : " ",
                  value == 0 ? 0.0 : value);
    ASSERT_EQ(FormatValue(value), general.data()) << "value " << value;
  }
}

TEST(LineWriter, JoinsTextsAndValuesIntoOneLine) {
  EXPECT_EQ((LineWriter() << " " << 25.0 << "  =  " << 3.0 << "^2"
                          << "  +  " << 4.0 << "^2")
                .Line(),
            "  25  =   3^2  +   4^2");
  EXPECT_EQ((LineWriter() << "x" << -2.5 << "" << 1e15).Line(), "x-2.5 1E+15");
  EXPECT_EQ(LineWriter().Line(), "");
  // A line longer than the buffer is kept whole.
  EXPECT_EQ((LineWriter() << std::string(200, 'x') << 1.0 << "y").Line(),
            std::string(200, 'x') + " 1y");
  EXPECT_EQ((LineWriter(Range::kFull) << std::string(70, 'x') << Whole{kLargestWhole}).Line(),
            std::string(70, 'x') + " 18446744073709551615");
  // Cut back to a common start, from the buffer and from a line that outgrew it.
  LineWriter line(Range::kFull);
  line << "ab";
  for (const std::size_t length : {3u, 150u, 2u}) {
    line.Truncate(2);
    line << std::string(length, 'y');
    EXPECT_EQ(line.Line(), "ab" + std::string(length, 'y'));
  }
  line.Truncate(100);
  EXPECT_EQ(line.Size(), 4u);
}

TEST(ValueLine, PutsFourBlanksBeforeAPositiveValue) {
  EXPECT_EQ(ValueLine(7), "    7");
  EXPECT_EQ(ValueLine(1e15), "    1E+15");
}

// Only the blanks that align a line go; blanks inside it stay.
TEST(CopiedText, DropsTheLeadingBlanksOfEachLine) {
  const std::vector<std::string> lines{"    2", "  25  =   3^2  +   4^2", "   NO TWIN PRIMES", "",
                                       "   ",   " A IS A PRIME NUMBER!"};
  EXPECT_EQ(CopiedLine(lines[1]), "25  =   3^2  +   4^2");
  EXPECT_EQ(CopiedText(lines), "2\n25  =   3^2  +   4^2\nNO TWIN PRIMES\n\n\nA IS A PRIME NUMBER!");
  EXPECT_EQ(CopiedText({}), "");
}

}  // namespace
}  // namespace brindaq
