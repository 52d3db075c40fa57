#include "platform/odbc/mariadb_scaled_doubles.h"

#include "platform/odbc/fetched_text.h"
#include "platform/odbc/key_paging.h"

namespace quill {

std::optional<std::vector<std::string>> MariaDbScaledDoubleColumns(const OdbcSession& session,
                                                                  const TableReference& table) {
  const std::string schema = table.schema.empty() ? "DATABASE()" : TextLiteral(table.schema);
  const std::string query = "SELECT COLUMN_NAME FROM information_schema.COLUMNS WHERE TABLE_SCHEMA = " + schema +
                            " AND TABLE_NAME = " + TextLiteral(table.table) +
                            " AND DATA_TYPE = 'double' AND NUMERIC_SCALE IS NOT NULL";
  return FetchedColumnTexts(session, query);
}

}  // namespace quill
