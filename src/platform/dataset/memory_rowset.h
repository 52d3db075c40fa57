#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "platform/dataset/dataset.h"

namespace quill {

// A dataset of a few rows built at once and held in memory, as the backends
// give their schema rowsets. Text columns are TWideStringField, number
// columns TIntegerField.
class MemoryRowset : public Dataset {
 public:
  using Cell = std::variant<std::monostate, std::string, int64_t>;  // monostate = NULL

  void AddTextColumn(const std::string& name);
  void AddIntegerColumn(const std::string& name);
  // One cell per column, in column order; missing cells are NULL.
  void AddRow(std::vector<Cell> cells);

  bool Eof() const override { return position_ >= rows_.size(); }
  void Next() override;
  void First() override;
  void Last() override { position_ = rows_.size(); }
  std::optional<int64_t> RecordCount() override { return static_cast<int64_t>(rows_.size()); }

 private:
  void LoadRow();

  std::vector<std::vector<Cell>> rows_;
  size_t position_ = 0;
};

}  // namespace quill
