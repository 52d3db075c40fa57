#include "platform/odbc/mariadb_scaled_doubles.h"

#include <mutex>

#include "platform/odbc/fetched_text.h"
#include "platform/odbc/key_paging.h"
#include "platform/odbc/odbc_handles.h"
#include "platform/odbc/utf16_text.h"

namespace quill {

std::optional<std::vector<std::string>> MariaDbScaledDoubleColumns(const OdbcSession& session,
                                                                  const TableReference& table) {
  const std::string schema = table.schema.empty() ? "DATABASE()" : TextLiteral(table.schema);
  const std::string query = "SELECT COLUMN_NAME FROM information_schema.COLUMNS WHERE TABLE_SCHEMA = " + schema +
                            " AND TABLE_NAME = " + TextLiteral(table.table) +
                            " AND DATA_TYPE = 'double' AND NUMERIC_SCALE IS NOT NULL";
  std::vector<std::string> columns;
  const std::lock_guard lock(session.calls());
  try {
    OdbcHandle statement(SQL_HANDLE_STMT, session.connection());
    WithoutEscapeClauses(statement.get());
    WideText text = Utf8ToUtf16(query);
    if (!SQL_SUCCEEDED(SQLExecDirectW(statement.get(), text.data(), SQL_NTS))) return std::nullopt;
    SQLRETURN fetched;
    while (SQL_SUCCEEDED(fetched = SQLFetch(statement.get()))) columns.push_back(FetchedText(statement.get(), 1));
    if (fetched != SQL_NO_DATA) return std::nullopt;
  } catch (const std::exception&) {
    return std::nullopt;
  }
  return columns;
}

}  // namespace quill
