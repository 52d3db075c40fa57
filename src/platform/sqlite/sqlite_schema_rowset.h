#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "platform/dataset/connection_backend.h"
#include "platform/dataset/memory_rowset.h"

namespace quill {

// A schema rowset of a SQLite file: its few rows are read from the catalog
// at once and held. Its count is unknown, as the ODBC provider's is.
class SqliteSchemaRowset : public MemoryRowset {
 public:
  // The columns of the kind, in the order the ODBC provider gives them:
  // TABLE_CATALOG, TABLE_SCHEMA, TABLE_NAME, then TABLE_TYPE, REMARKS
  // (tables); COLUMN_NAME, DATA_TYPE, TYPE_NAME, COLUMN_SIZE, NULLABLE,
  // COLUMN_DEF, ORDINAL_POSITION (columns); COLUMN_NAME, KEY_SEQ, PK_NAME
  // (primary keys).
  explicit SqliteSchemaRowset(SchemaKind kind);

  // A line for the run's log about what the rowset leaves out.
  void AddNote(std::string note) { reading_notes_.push_back(std::move(note)); }

  std::optional<int64_t> RecordCount() override { return std::nullopt; }
};

}  // namespace quill
