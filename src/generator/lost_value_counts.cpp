#include "generator/lost_value_counts.h"

#include <algorithm>
#include <vector>

namespace quill {

LostValueCounts::LostValueCounts(UserInterface& ui, std::string table_name, Lines lines)
    : ui_(ui), table_name_(std::move(table_name)), lines_(lines) {}

void LostValueCounts::Count(std::string_view column, std::string_view reason) {
  auto [entry, added] =
      counts_.try_emplace({std::string(column), std::string(reason)}, std::make_pair(counts_.size(), uint64_t{0}));
  ++entry->second.second;
}

bool LostValueCounts::Counts(std::string_view column) const {
  return std::any_of(counts_.begin(), counts_.end(),
                     [column](const auto& entry) { return entry.first.first == column; });
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
