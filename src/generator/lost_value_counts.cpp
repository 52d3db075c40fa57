#include "generator/lost_value_counts.h"

#include <algorithm>
#include <vector>

namespace quill {

LostValueCounts::LostValueCounts(UserInterface& ui, std::string table_name, Lines lines)
    : ui_(ui), table_name_(std::move(table_name)), lines_(lines) {}

namespace {

constexpr std::string_view kWrittenNull = ": written NULL";
constexpr std::string_view kKeyRowsLeftOut = ": in the key, so their rows are left out";

}  // namespace

void LostValueCounts::Count(std::string_view column, std::string_view reason) {
  if (reason.ends_with(kWrittenNull) &&
      std::find(key_columns_.begin(), key_columns_.end(), column) != key_columns_.end()) {
    if (!key_value_lost_) key_value_lost_.emplace(std::string(column), std::string(reason));
    return;
  }
  auto [entry, added] =
      counts_.try_emplace({std::string(column), std::string(reason)}, std::make_pair(counts_.size(), uint64_t{0}));
  ++entry->second.second;
}

bool LostValueCounts::TakeRowLeftOut() {
  if (!key_value_lost_) return false;
  const auto [column, reason] = std::move(*key_value_lost_);
  key_value_lost_.reset();
  // "values wider than ...: written NULL" -> "values wider than ...: in the
  // key, so their rows are left out"
  Count(column, reason.substr(0, reason.size() - kWrittenNull.size()) + std::string(kKeyRowsLeftOut));
  return true;
}

bool LostValueCounts::CountsChanged(std::string_view column) const {
  return std::any_of(counts_.begin(), counts_.end(), [column](const auto& entry) {
    return entry.first.first == column && !entry.first.second.ends_with(kKeyRowsLeftOut);
  });
}

void LostValueCounts::Report() {
  std::vector<const decltype(counts_)::value_type*> in_order;
  in_order.reserve(counts_.size());
  for (const auto& entry : counts_) in_order.push_back(&entry);
  std::sort(in_order.begin(), in_order.end(),
            [](const auto* a, const auto* b) { return a->second.first < b->second.first; });
  for (const auto* entry : in_order) {
    const std::string line = "Table : " + table_name_ + " : column " + entry->first.first + " : " +
                             std::to_string(entry->second.second) + " " + entry->first.second + ".";
    if (lines_ == Lines::kPlain) {
      ui_.AddLogLine(line);
    } else {
      ui_.AddColoredLine(line, kLogRed);
    }
  }
  counts_.clear();
}

}  // namespace quill
