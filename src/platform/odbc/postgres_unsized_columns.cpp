#include "platform/odbc/postgres_unsized_columns.h"


#include "platform/odbc/fetched_text.h"
#include "platform/odbc/utf16_text.h"

namespace quill {
namespace {

// A text between single quotes for a statement, each quote doubled (the
// session's strings are standard-conforming: backslashes are plain).
std::string Literal(const std::string& text) {
  std::string literal = "'";
  for (char c : text) {
    literal += c;
    if (c == '\'') literal += '\'';
  }
  return literal + "'";
}

std::string CatalogQuery(const TableReference& table) {
  const std::string relation =
      table.schema.empty() ? "quote_ident(" + Literal(table.table) + ")"
                           : "quote_ident(" + Literal(table.schema) + ") || '.' || quote_ident(" + Literal(table.table) + ")";
  return "SELECT a.attname, CASE WHEN a.atttypid = 'pg_catalog.numeric'::regtype THEN 'D' ELSE 'T' END "
         "FROM pg_catalog.pg_attribute a WHERE a.attrelid = to_regclass(" + relation + ") "
         "AND a.attnum > 0 AND NOT a.attisdropped AND a.atttypmod < 0 AND a.atttypid IN "
         "('pg_catalog.varchar'::regtype, 'pg_catalog.bpchar'::regtype, 'pg_catalog.numeric'::regtype)";
}

}  // namespace

std::map<std::string, UnsizedKind> PostgresUnsizedColumns(const OdbcSession& session, const TableReference& table) {
  std::map<std::string, UnsizedKind> columns;
  std::lock_guard<std::mutex> lock(session.calls());
  OdbcHandle statement(SQL_HANDLE_STMT, session.connection());
  WideText query = Utf8ToUtf16(CatalogQuery(table));
  if (!SQL_SUCCEEDED(SQLExecDirectW(statement.get(), query.data(), SQL_NTS))) return columns;
  while (SQL_SUCCEEDED(SQLFetch(statement.get()))) {
    const std::string name = FetchedText(statement.get(), 1);
    columns[name] = FetchedText(statement.get(), 2) == "D" ? UnsizedKind::Decimal : UnsizedKind::Text;
  }
  return columns;
}

}  // namespace quill
