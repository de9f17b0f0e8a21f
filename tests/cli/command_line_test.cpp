// The command line run in memory: a batch answers the same however its input is cut into blocks.

#include "cli/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace brindaq::cli {
namespace {

std::string Answers(std::string_view input, std::size_t block, Format format = {}) {
  QuestionWork work;
  Batch batch(format, work);
  std::string output;
  for (std::size_t at = 0; at < input.size(); at += block) {
    for (std::string_view rest = input.substr(at, block); !rest.empty();) {
      rest.remove_prefix(batch.Read(rest, output));
    }
  }
  batch.End(output);
  return output;
}

// A byte-order mark, a carriage return and a comment, a notice, a bad line and a last line without
// a newline, cut at every place.
TEST(Batch, AnswersTheSameInBlocksOfAnySize) {
  const std::string input =
      "\xEF\xBB\xBF"
      "factors 12\r\n# note\ngoldbach 7\nfactor 1\nis-prime 7";
  const std::string expected =
      "2\n2\n3\n\nnotice: A MUST BE EVEN !\n\nerror: line 4: unknown operation 'factor'\n\n"
      "A IS A PRIME NUMBER!\n\n";
  for (std::size_t block = 1; block <= input.size(); ++block) {
    EXPECT_EQ(Answers(input, block), expected) << "blocks of " << block;
  }
  Format full;
  full.json = true;
  full.range = Range::kFull;
  EXPECT_EQ(Answers("\xEF\xBB\xBFnext-prime 1E18\n", 1, full),
            "{\"line\":1,\"operation\":\"next-prime\",\"range\":\"full\",\"operands\":[\"1E18\"],"
            "\"values\":[\"1000000000000000000\"],\"lines\":[\"1000000000000000003\"],"
            "\"notice\":null}\n");
}

}  // namespace
}  // namespace brindaq::cli
