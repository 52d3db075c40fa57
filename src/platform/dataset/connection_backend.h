#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/dataset/dataset.h"

namespace quill {

enum class SchemaKind { Tables, Columns, PrimaryKeys };

// Restriction columns of a schema rowset, exact names (not patterns);
// nullopt or an empty text leaves one unassigned.
struct SchemaRestrictions {
  std::optional<std::string> catalog;
  std::optional<std::string> schema;
  std::optional<std::string> table;
};

// One provider behind a connection: ODBC, or the Jet stand-in.
// Schema rowsets have the columns TABLE_CATALOG, TABLE_SCHEMA, TABLE_NAME and
// TABLE_TYPE (tables), COLUMN_NAME and the rest of the ODBC result (columns,
// primary keys), rows in the driver's order. The primary keys are asked per
// table: without a table restriction the ODBC provider throws DataAccessError.
class ConnectionBackend {
 public:
  virtual ~ConnectionBackend() = default;
  virtual std::unique_ptr<Dataset> OpenSchema(SchemaKind kind, const SchemaRestrictions& restrictions) = 0;
  // A table by its listed name: "name", "[name]" or "schema.table".
  virtual std::unique_ptr<Dataset> OpenTable(const std::string& table_name) = 0;
};

}  // namespace quill
