#pragma once

#include <memory>
#include <string>

#include "platform/dataset/connection_backend.h"
#include "platform/odbc/odbc_session.h"
#include "platform/odbc/side_count.h"

namespace quill {

// The ODBC provider: an open connection to a system data source, its schema
// rowsets and its read-only tables.
//
// Schema rowsets take their restrictions as exact names (an empty text counts
// as unassigned); where a driver reports databases as catalogs and has no
// schemas, an unassigned catalog means the current database. The primary-key
// rowset is asked per table: without a table restriction it fails.
class OdbcBackend : public ConnectionBackend {
 public:
  // Throws DataAccessError with the driver's diagnostics.
  OdbcBackend(const std::string& data_source, const std::string& user_name, const std::string& password,
              int connection_timeout_seconds, int command_timeout_seconds);

  std::unique_ptr<Dataset> OpenSchema(SchemaKind kind, const SchemaRestrictions& restrictions) override;
  std::unique_ptr<Dataset> OpenTable(const std::string& table_name) override;

 private:
  std::shared_ptr<OdbcSession> session_;
  // For the counts of server tables, made beside their reading.
  std::shared_ptr<SideSession> side_session_;
};

}  // namespace quill
