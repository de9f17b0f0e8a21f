#include "tests/core/outcome_cases.h"

namespace brindaq::testing_cases {
namespace {

TEST_P(ClickTest, GivesTheWholeOutcome) {
  const Click& c = GetParam();
  const Outcome outcome = c.run(c.texts);
  EXPECT_EQ(outcome.lines, c.lines);
  EXPECT_EQ(outcome.notice, c.notice);
}

}  // namespace
}  // namespace brindaq::testing_cases
