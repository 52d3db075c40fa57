#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>

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
  void Count(std::string_view column, std::string_view reason);
  // "Table : T : column C : N <reason>." (red unless kPlain) for each column and reason,
  // in the order first counted; then the counts start again.
  void Report();
  bool Empty() const { return counts_.empty(); }
  // Whether any value of `column` is counted, for any reason.
  bool Counts(std::string_view column) const;

 private:
  UserInterface& ui_;
  std::string table_name_;
  Lines lines_;
  // (order first counted, column, reason) -> count
  std::map<std::pair<std::string, std::string>, std::pair<size_t, uint64_t>> counts_;
};

}  // namespace quill
