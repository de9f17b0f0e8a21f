#include "core/operations.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace brindaq {
namespace {

TEST(OperationTable, NamesTheFifteenOperationButtons) {
  std::set<std::string_view> names;
  for (const OperationButton& operation : kOperationButtons) {
    names.insert(operation.name);
    EXPECT_NE(operation.run, nullptr);
    EXPECT_FALSE(operation.caption.empty());
  }
  EXPECT_EQ(names.size(), 15u);
  EXPECT_FALSE(names.contains("Command1") || names.contains("Command2") ||
               names.contains("Command18"));
}

struct NoticeCase {
  const char* button;
  OperandTexts texts;
  const char* notice;
  std::optional<char> operand;
};

class NoticeOperandTest : public testing::TestWithParam<NoticeCase> {};

TEST_P(NoticeOperandTest, NamesTheBoxToCorrect) {
  const NoticeCase& c = GetParam();
  for (const OperationButton& operation : kOperationButtons) {
    if (operation.name == c.button) {
      EXPECT_EQ(operation.run(c.texts).notice, c.notice);
      EXPECT_EQ(NoticeOperand(operation, c.texts, c.notice), c.operand);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Notices, NoticeOperandTest,
    testing::Values(NoticeCase{"Command3", {"0", "9", ""}, "A MUST BE INTEGER > 0", 'A'},
                    NoticeCase{"Command3", {"1", "20000", ""}, "INTERVAL TOO LARGE !", 'B'},
                    NoticeCase{"Command3", {"20000000", "1E400", ""}, "NUMBER TOO LARGE !", 'A'},
                    NoticeCase{"Command3", {"1", "1E400", ""}, "NUMBER TOO LARGE !", 'B'},
                    NoticeCase{"Command8", {"100001", "", ""}, "A MUST BE EVEN !", 'A'},
                    NoticeCase{"Command8", {"100002", "", ""}, "NUMBER TOO LARGE !", 'A'},
                    NoticeCase{"Command12", {"2", "3", "100001"}, "NUMBER TOO LARGE !", 'C'},
                    NoticeCase{"Command14", {"5", "6.5", "100001"}, "B MUST BE INTEGER > 0", 'B'},
                    NoticeCase{"Command16", {"3", "", "1E400"}, "B MUST BE INTEGER > 0", 'B'}));

}  // namespace
}  // namespace brindaq
