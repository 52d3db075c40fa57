#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/user_interface.h"

namespace quill {

// Values of one table that the target cannot hold as the source holds them
// (a zero date, NaN, a NUL in text, a number too wide): each is written NULL
// or changed, counted by column and reason, and said in one red log line per
// column and reason once the table is written, so nothing changes silently.
class LostValueCounts {
 public:
  // How the lines are logged: red for values the target could not hold,
  // plain for values an option leaves out on purpose (LeftOutBlobs).
  enum class Lines { kRed, kPlain };
  // `table_name`: the table as listed, for the log lines.
  LostValueCounts(UserInterface& ui, std::string table_name, Lines lines = Lines::kRed);
  // One more value of `column` lost for `reason`, a text such as
  // "zero dates, which no target type holds: written NULL".
  // A value of a key column that would be written NULL is no value the
  // key can take: the row is left out instead (TakeRowLeftOut), and counted
  // so.
  void Count(std::string_view column, std::string_view reason);
  // The columns of the table's primary key, as the rows name them.
  void SetKeyColumns(std::vector<std::string> columns) { key_columns_ = std::move(columns); }
  const std::vector<std::string>& KeyColumns() const { return key_columns_; }
  // True once per row whose key lost a value since the last call: the row
  // must be left out. Its count is made here.
  bool TakeRowLeftOut();
  // "Table : T : column C : N <reason>." (red unless kPlain) for each column and reason,
  // in the order first counted; then the counts start again.
  void Report();
  bool Empty() const { return counts_.empty(); }
  // Whether values of `column` were written changed (cut, NUL dropped, bad
  // bytes replaced), not counting the rows left out for their key.
  bool CountsChanged(std::string_view column) const;

 private:
  UserInterface& ui_;
  std::string table_name_;
  Lines lines_;
  std::vector<std::string> key_columns_;
  std::optional<std::pair<std::string, std::string>> key_value_lost_;  // column, reason of the current row
  // (order first counted, column, reason) -> count
  std::map<std::pair<std::string, std::string>, std::pair<size_t, uint64_t>> counts_;
};

}  // namespace quill
