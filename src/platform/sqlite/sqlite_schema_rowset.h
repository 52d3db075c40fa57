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

// A schema rowset of a SQLite file: its few rows are read from the catalog
// at once and held. Text columns are TWideStringField, numbers TIntegerField;
// its count is unknown, as the ODBC provider's is.
class SqliteSchemaRowset : public Dataset {
 public:
  using Cell = std::variant<std::monostate, std::string, int64_t>;  // monostate = NULL

  // The columns of the kind, in the order the ODBC provider gives them:
  // TABLE_CATALOG, TABLE_SCHEMA, TABLE_NAME, then TABLE_TYPE, REMARKS
  // (tables); COLUMN_NAME, DATA_TYPE, TYPE_NAME, COLUMN_SIZE, NULLABLE,
  // COLUMN_DEF, ORDINAL_POSITION (columns); COLUMN_NAME, KEY_SEQ, PK_NAME
  // (primary keys).
  explicit SqliteSchemaRowset(SchemaKind kind);

  // One cell per column, in column order; missing cells are NULL.
  void AddRow(std::vector<Cell> cells);
  // A line for the run's log about what the rowset leaves out.
  void AddNote(std::string note) { reading_notes_.push_back(std::move(note)); }

  bool Eof() const override { return position_ >= rows_.size(); }
  void Next() override;
  void First() override;
  void Last() override { position_ = rows_.size(); }
  std::optional<int64_t> RecordCount() override { return std::nullopt; }

 private:
  void AddColumn(const std::string& name, bool text);
  void LoadRow();

  std::vector<std::vector<Cell>> rows_;
  size_t position_ = 0;
};

}  // namespace quill
