#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/dataset/connection_backend.h"
#include "platform/sqlite/sqlite_file.h"

namespace quill {

// A SQLite file as a data source, read through the SQLite library: tables,
// columns, declared types and keys from SQLite's own catalog, each value with
// its own storage class. SQLite has no catalogs or schemas: both columns of
// the schema rowsets are NULL, a point belongs to the table's name, and a
// schema restriction is the part of a dotted name before its point.
class SqliteBackend : public ConnectionBackend {
 public:
  // Throws DataAccessError naming the file when it is missing, not a
  // database, damaged or locked.
  explicit SqliteBackend(const std::string& path);

  std::unique_ptr<Dataset> OpenSchema(SchemaKind kind, const SchemaRestrictions& restrictions) override;
  // "name", or "[name]" when no table has that bracketed name.
  std::unique_ptr<Dataset> OpenTable(const std::string& table_name) override;

 private:
  bool KeyHoldsNull(const std::string& table, const std::vector<std::pair<std::string, int64_t>>& key_columns);
  std::shared_ptr<SqliteFile> file_;
};

}  // namespace quill
