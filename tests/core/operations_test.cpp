#include "core/operations.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>

#include "core/text/text.h"
#include "core/window.h"

namespace brindaq {
namespace {

// Each operation has a name of its own and an operation button of its own, with a caption.
TEST(OperationTable, GivesEachOperationItsOwnNameAndButton) {
  std::set<std::string_view> commands;
  std::set<std::string_view> buttons;
  for (const OperationRow& operation : kOperations) {
    commands.insert(operation.command);
    const window::Control* button = window::ButtonOf(operation.command);
    ASSERT_NE(button, nullptr) << operation.command;
    EXPECT_EQ(button->kind, window::Kind::kOperationButton);
    EXPECT_FALSE(button->text.empty());
    EXPECT_NE(operation.write, nullptr);
    buttons.insert(button->name);
  }
  EXPECT_EQ(commands.size(), 15u);
  EXPECT_EQ(buttons.size(), 15u);
  EXPECT_FALSE(buttons.contains("Command1") || buttons.contains("Command2") ||
               buttons.contains("Command18"));
}

struct NoticeCase {
  const char* command;
  OperandTexts texts;
  const char* notice;
  std::optional<char> operand;
};

// Each kind of notice names the operand it is about, set by the check that failed: the standard
// check, the interval check and the parity check.
class NoticeOperandTest : public testing::TestWithParam<NoticeCase> {};

TEST_P(NoticeOperandTest, NamesTheBoxToCorrect) {
  const NoticeCase& c = GetParam();
  const Outcome outcome = brindaq::RunOperation(*FindCommand(c.command), c.texts, Range::kWindow);
  EXPECT_EQ(outcome.notice, c.notice);
  EXPECT_EQ(outcome.operand, c.operand);
}

INSTANTIATE_TEST_SUITE_P(
    Notices, NoticeOperandTest,
    testing::Values(NoticeCase{"primes", {"0", "9", ""}, "A MUST BE INTEGER > 0", 'A'},
                    NoticeCase{"primes", {"1", "20000", ""}, "INTERVAL TOO LARGE !", 'B'},
                    NoticeCase{"primes", {"20000000", "1E400", ""}, "NUMBER TOO LARGE !", 'A'},
                    NoticeCase{"primes", {"1", "1E400", ""}, "NUMBER TOO LARGE !", 'B'},
                    NoticeCase{"goldbach", {"100001", "", ""}, "A MUST BE EVEN !", 'A'},
                    NoticeCase{"goldbach", {"100002", "", ""}, "NUMBER TOO LARGE !", 'A'},
                    NoticeCase{"power-mod", {"2", "3", "100001"}, "NUMBER TOO LARGE !", 'C'},
                    NoticeCase{
                        "linear-congruence", {"5", "6.5", "100001"}, "B MUST BE INTEGER > 0", 'B'},
                    NoticeCase{"inverse", {"3", "", "1E400"}, "B MUST BE INTEGER > 0", 'B'}));

// Names as messages show them: nothing that a terminal acts on comes out raw.
TEST(QuotedName, EscapesWhatATerminalWouldActOnAndCutsLongNames) {
  const std::pair<std::string, std::string> cases[] = {
      {"factors", "'factors'"},
      {"", "''"},
      {"a b\\c", "'a b\\c'"},
      {"caff\xC3\xA8", "'caff\xC3\xA8'"},
      {"\x1B]0;pwned\a", "$'\\e]0;pwned\\a'"},
      {"a\nb\r\t\v\f\b", "$'a\\nb\\r\\t\\v\\f\\b'"},
      {"it's", "$'it\\'s'"},
      {std::string("a\\\x01\x7F\0", 5), "$'a\\\\\\x01\\x7F\\x00'"},
      {"\xFF\xC3", "$'\\xFF\\xC3'"},                             // not UTF-8, cut short
      {"\xC0\xAF\xED\xA0\x80", "$'\\xC0\\xAF\\xED\\xA0\\x80'"},  // overlong, a surrogate
      {"\xC2\x9B"
       "1m\xC2\xA0",
       "$'\\xC2\\x9B1m\xC2\xA0'"},  // C1 CSI escaped, no-break space kept
      {std::string(64, 'x'), "'" + std::string(64, 'x') + "'"},
      {std::string(131071, 'x'), "'" + std::string(64, 'x') + "'..."},
  };
  for (const auto& [name, quoted] : cases) {
    EXPECT_EQ(QuotedName(name), quoted) << name;
  }
  // Characters, not bytes, are counted; an escaped one counts once.
  std::string accents;
  for (int i = 0; i < 70; ++i) {
    accents += "\xC3\xA8";
  }
  EXPECT_EQ(QuotedName(accents), "'" + accents.substr(0, 128) + "'...");
  std::string newlines;
  for (int i = 0; i < 64; ++i) {
    newlines += "\\n";
  }
  EXPECT_EQ(QuotedName(std::string(65, '\n')), "$'" + newlines + "'...");
}

// The UTF-8 form of a code point, bit by bit.
std::string Encoded(char32_t c) {
  const auto byte = [](char32_t bits) { return static_cast<char>(bits); };
  if (c < 0x80) {
    return {byte(c)};
  }
  if (c < 0x800) {
    return {byte(0xC0 | c >> 6), byte(0x80 | (c & 0x3F))};
  }
  if (c < 0x10000) {
    return {byte(0xE0 | c >> 12), byte(0x80 | (c >> 6 & 0x3F)), byte(0x80 | (c & 0x3F))};
  }
  return {byte(0xF0 | c >> 18), byte(0x80 | (c >> 12 & 0x3F)), byte(0x80 | (c >> 6 & 0x3F)),
          byte(0x80 | (c & 0x3F))};
}

// Well-formed means: the encoding of a code point that is not a surrogate. Checked on every code
// point, and on every pair of first bytes (followed by continuation bytes) against decoding the
// bits and encoding them again.
TEST(Utf8CharacterSize, AcceptsExactlyTheEncodingsOfCodePoints) {
  for (char32_t c = 0; c <= 0x10FFFF; ++c) {
    if (c < 0xD800 || c > 0xDFFF) {
      const std::string encoded = Encoded(c);
      ASSERT_EQ(Utf8CharacterSize(encoded + "\x80"), encoded.size()) << static_cast<unsigned>(c);
    }
  }
  for (unsigned lead = 0; lead < 256; ++lead) {
    for (unsigned second = 0; second < 256; ++second) {
      const std::string text{static_cast<char>(lead), static_cast<char>(second), '\x80', '\x80'};
      const std::size_t size = lead < 0x80   ? 1
                               : lead < 0xC0 ? 0
                               : lead < 0xE0 ? 2
                               : lead < 0xF0 ? 3
                               : lead < 0xF8 ? 4
                                             : 0;
      char32_t c = size == 1 ? lead : lead & (0x7F >> size);
      bool continued = true;
      for (std::size_t i = 1; i < size; ++i) {
        const auto next = static_cast<unsigned char>(text[i]);
        continued = continued && (next & 0xC0) == 0x80;
        c = c << 6 | (next & 0x3F);
      }
      const bool well_formed = size > 0 && continued && c <= 0x10FFFF &&
                               (c < 0xD800 || c > 0xDFFF) && Encoded(c) == text.substr(0, size);
      ASSERT_EQ(Utf8CharacterSize(text), well_formed ? size : 0) << lead << " " << second;
    }
  }
  EXPECT_EQ(Utf8CharacterSize(""), 0u);
  EXPECT_EQ(Utf8CharacterSize("\xE2\x82"), 0u);  // cut short
}

}  // namespace
}  // namespace brindaq
