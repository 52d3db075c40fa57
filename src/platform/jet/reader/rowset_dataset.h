#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "platform/dataset/connection_backend.h"
#include "platform/dataset/dataset.h"

namespace quill {

// A schema rowset of the Jet stand-in: a few rows built at once, held in
// memory. Text columns are TWideStringField, number columns TIntegerField.
class RowsetDataset : public Dataset {
 public:
  using Cell = std::variant<std::monostate, std::string, int64_t>;  // monostate = NULL

  void AddTextColumn(const std::string& name);
  void AddIntegerColumn(const std::string& name);
  // One cell per column, in column order.
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

// An empty schema rowset of the Jet stand-in with the columns of its kind:
// TABLE_CATALOG, TABLE_SCHEMA, TABLE_NAME, then TABLE_TYPE (tables);
// COLUMN_NAME, ORDINAL_POSITION, CHARACTER_MAXIMUM_LENGTH (columns);
// COLUMN_NAME, ORDINAL, PK_NAME (primary keys). Catalog and schema stay NULL.
std::unique_ptr<RowsetDataset> MakeSchemaRowset(SchemaKind kind);

}  // namespace quill
