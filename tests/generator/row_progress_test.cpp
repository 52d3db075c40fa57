// The progress bar over a table's rows when the source's count comes while
// the rows are written.

#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "fixtures/scripted_user_interface.h"
#include "generator/table_writer.h"
#include "platform/dataset/memory_rowset.h"

namespace quill::testing {
namespace {

// Rows whose count is coming for the first `coming_asks` asks, then known
// (or, with `count` none, unknown).
class LateCountRowset : public MemoryRowset {
 public:
  LateCountRowset(int rows, int coming_asks, std::optional<int64_t> count)
      : coming_asks_(coming_asks), count_(count) {
    AddIntegerColumn("id");
    for (int row = 0; row < rows; ++row) AddRow({int64_t{row}});
    First();
  }
  CountSoFar RecordCountSoFar() override {
    ++asks_;
    if (asks_ <= coming_asks_) return {std::nullopt, true};
    return {count_, false};
  }
  int asks() const { return asks_; }

 private:
  int coming_asks_;
  std::optional<int64_t> count_;
  int asks_ = 0;
};

struct LateCountCase {
  const char* what;
  int rows;
  int coming_asks;
  std::optional<int64_t> count;
  int table_index;  // of three tables
  std::vector<int> maximums;
  // The bar's positions set outright (not the steps of one), in order.
  std::vector<int> set_positions;
  int last_position;
  int asks;
};

TEST(RowProgressTest, ACountThatComesLateSetsTheBarWhereTheRowsAre) {
  const std::vector<LateCountCase> cases = {
      {"known at once", 3000, 0, 3000, 1, {12000}, {3000}, 6000, 1},
      // Asked at the start and every 1024 rows: in after 1024 rows.
      {"in at the first asking", 3000, 1, 3000, 1, {4, 12000}, {2, 4024}, 6000, 2},
      {"in at the second asking", 3000, 2, 3000, 0, {4, 12000}, {1, 2048}, 3000, 3},
      // A count that never comes within the rows, and one the source could not make.
      {"still coming at the end", 3000, 10, 3000, 2, {4}, {3}, 3003, 3},
      {"unknown when in", 3000, 1, std::nullopt, 2, {4}, {3}, 3003, 2},
      {"none for an empty count", 3000, 1, 0, 2, {4}, {3}, 3003, 2},
  };
  for (const LateCountCase& c : cases) {
    SCOPED_TRACE(c.what);
    Settings settings;
    ScriptedUserInterface ui;
    ScriptRunState run;
    run.tables_to_process = {"a", "b", "c"};
    run.table_index = c.table_index;
    LateCountRowset table(c.rows, c.coming_asks, c.count);
    TableWriter writer{settings, ui, run, table, nullptr};
    const int before = static_cast<int>(ui.progress_positions().size());
    DialectRules rules;
    rules.name = "MySql";
    WriteRows(writer, rules, [&] { run.table_text = "row"; });

    EXPECT_EQ(ui.progress_maximums(), c.maximums);
    std::vector<int> set_positions;
    const std::vector<int>& positions = ui.progress_positions();
    for (std::size_t i = before; i < positions.size(); ++i) {
      const bool a_step = i > static_cast<std::size_t>(before) && positions[i] == positions[i - 1] + 1;
      if (!a_step) set_positions.push_back(positions[i]);
    }
    EXPECT_EQ(set_positions, c.set_positions);
    EXPECT_EQ(positions.back(), c.last_position);
    EXPECT_EQ(table.asks(), c.asks);
    EXPECT_EQ(run.script_lines.ItemCount(), static_cast<std::size_t>(c.rows));
  }
}

}  // namespace
}  // namespace quill::testing
