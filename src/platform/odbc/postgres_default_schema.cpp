#include "platform/odbc/postgres_default_schema.h"

#include "platform/odbc/fetched_text.h"
#include "platform/odbc/utf16_text.h"
#include "platform/text/hex_digits.h"

namespace quill {

std::string PostgresDefaultSchema(const OdbcSession& session, const std::string& table) {
  // The name goes as hexadecimal digits that the server decodes: nothing in
  // it can end a literal.
  const std::string query =
      "SELECT n.nspname FROM pg_catalog.pg_class c JOIN pg_catalog.pg_namespace n ON n.oid = c.relnamespace "
      "WHERE c.relname = pg_catalog.convert_from(pg_catalog.decode('" + HexDigits(table) + "', 'hex'), 'UTF8') "
      "AND n.nspname IN (current_user, 'public') ORDER BY n.nspname = 'public' LIMIT 1";
  try {
    std::lock_guard<std::mutex> lock(session.calls());
    OdbcHandle statement(SQL_HANDLE_STMT, session.connection());
    WithoutEscapeClauses(statement.get());
    WideText text = Utf8ToUtf16(query);
    if (!SQL_SUCCEEDED(SQLExecDirectW(statement.get(), text.data(), SQL_NTS))) return {};
    if (!SQL_SUCCEEDED(SQLFetch(statement.get()))) return {};
    return FetchedText(statement.get(), 1);
  } catch (const std::exception&) {
    return {};
  }
}

}  // namespace quill
