#include "common/progress_steps.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

#include "fixtures/scripted_user_interface.h"

namespace quill {
namespace {

// Any record count a source reports, times any number of tables, gives the
// bar a number within its range, with no overflow on the way.
TEST(ProgressStepsTest, ProductsOfAnyCountStayWithinTheBarsRange) {
  const struct {
    int64_t a;
    int64_t b;
    int product;
  } cases[] = {
      {3, 4, 12},
      {0, INT64_MAX, 0},
      {-1, 5, 0},
      {5, -1, 0},
      {INT_MAX, 1, INT_MAX},
      {INT_MAX, 2, INT_MAX},
      {2, INT64_MAX, INT_MAX},
      {INT64_MAX, INT64_MAX, INT_MAX},
      {46341, 46341, INT_MAX},  // just past INT_MAX
      {46340, 46340, 2147395600},
      {1000, 2147483, 2147483000},
  };
  for (const auto& c : cases) EXPECT_EQ(ProgressProduct(c.a, c.b), c.product) << c.a << " x " << c.b;
  const struct {
    int64_t value;
    int held;
  } values[] = {{-5, 0}, {0, 0}, {7, 7}, {INT_MAX, INT_MAX}, {int64_t{INT_MAX} + 1, INT_MAX}, {INT64_MAX, INT_MAX}};
  for (const auto& v : values) EXPECT_EQ(ProgressValue(v.value), v.held) << v.value;
}

TEST(ProgressStepsTest, ThePositionStopsAtTheLargestValue) {
  testing::ScriptedUserInterface ui;
  ui.SetProgressMaximum(INT_MAX);
  ui.SetProgressPosition(INT_MAX - 2);
  for (int i = 0; i < 5; ++i) AdvanceProgress(ui);
  EXPECT_EQ(ui.ProgressPosition(), INT_MAX);
  ui.SetProgressPosition(0);
  AdvanceProgress(ui);
  EXPECT_EQ(ui.ProgressPosition(), 1);
}

}  // namespace
}  // namespace quill
