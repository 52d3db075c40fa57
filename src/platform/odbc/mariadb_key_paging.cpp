#include "platform/odbc/mariadb_key_paging.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <set>
#include <vector>

#include "platform/odbc/fetched_text.h"
#include "platform/odbc/utf16_text.h"

namespace quill {
namespace {

// Engines whose primary key is an ordered index.
const std::set<std::string> kOrderedEngines = {"innodb", "myisam", "aria"};

// Key column types whose order a literal of their value follows exactly.
const std::set<std::string> kPageableTypes = {"tinyint", "smallint", "mediumint", "int",     "bigint",
                                              "decimal", "char",     "varchar",   "binary",  "varbinary",
                                              "date",    "datetime", "time",      "year"};

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

// Every unique index of the table, the primary key first, one row a column
// in key order: index, column, type, whole or part of the column, engine,
// whether the column takes NULL.
std::string KeyQuery(const TableReference& table) {
  const std::string schema = table.schema.empty() ? "DATABASE()" : TextLiteral(table.schema);
  return "SELECT s.INDEX_NAME, s.COLUMN_NAME, c.DATA_TYPE, "
         "CASE WHEN s.SUB_PART IS NULL THEN 'whole' ELSE 'part' END, t.ENGINE, c.IS_NULLABLE "
         "FROM information_schema.TABLES t "
         "JOIN information_schema.STATISTICS s ON s.TABLE_SCHEMA = t.TABLE_SCHEMA AND s.TABLE_NAME = t.TABLE_NAME "
         "AND s.NON_UNIQUE = 0 "
         "JOIN information_schema.COLUMNS c ON c.TABLE_SCHEMA = t.TABLE_SCHEMA AND c.TABLE_NAME = t.TABLE_NAME "
         "AND c.COLUMN_NAME = s.COLUMN_NAME "
         "WHERE t.TABLE_SCHEMA = " + schema + " AND t.TABLE_NAME = " + TextLiteral(table.table) +
         " AND t.TABLE_TYPE = 'BASE TABLE' ORDER BY s.INDEX_NAME = 'PRIMARY' DESC, s.INDEX_NAME, s.SEQ_IN_INDEX";
}

// Whether a key column holds a date that no calendar holds ('0000-00-00',
// '2020-00-15', or '2020-02-31' under ALLOW_INVALID_DATES): date arithmetic
// gives NULL for exactly those. A page statement could not compare such a
// key with a literal under every SQL mode (NO_ZERO_IN_DATE reads the
// literal as NULL), so such a table is read whole.
bool HoldsZeroDates(const OdbcSession& session, const std::string& table, const std::vector<std::string>& date_columns) {
  if (date_columns.empty()) return false;
  std::string query = "SELECT 1 FROM " + table + " WHERE ";
  for (std::size_t i = 0; i < date_columns.size(); ++i) {
    if (i > 0) query += " OR ";
    query += "(" + QuoteIdentifier(date_columns[i], session.facts().identifier_quote) + " + INTERVAL 0 DAY) IS NULL";
  }
  query += " LIMIT 1";
  std::lock_guard<std::mutex> lock(session.calls());
  OdbcHandle statement(SQL_HANDLE_STMT, session.connection());
  WideText text = Utf8ToUtf16(query);
  // A table whose dates cannot be checked is read whole too.
  if (!SQL_SUCCEEDED(SQLExecDirectW(statement.get(), text.data(), SQL_NTS))) return true;
  return SQLFetch(statement.get()) != SQL_NO_DATA;
}

}  // namespace

std::optional<KeyPaging> MariaDbKeyPaging(const OdbcSession& session, const TableReference& table) {
  // The first unique index whose columns all qualify: the primary key, or
  // (for a table without one) a unique key that no column of it leaves NULL.
  std::vector<std::string> index_order;
  std::map<std::string, std::vector<std::string>> columns;
  std::map<std::string, std::vector<std::string>> date_columns;
  std::set<std::string> unusable;
  {
    std::lock_guard<std::mutex> lock(session.calls());
    OdbcHandle statement(SQL_HANDLE_STMT, session.connection());
    WithoutEscapeClauses(statement.get());
    WideText query = Utf8ToUtf16(KeyQuery(table));
    if (!SQL_SUCCEEDED(SQLExecDirectW(statement.get(), query.data(), SQL_NTS))) return std::nullopt;
    for (;;) {
      const SQLRETURN fetched = SQLFetch(statement.get());
      if (fetched == SQL_NO_DATA) break;
      if (!SQL_SUCCEEDED(fetched)) return std::nullopt;
      const std::string index = FetchedText(statement.get(), 1);
      const std::string column = FetchedText(statement.get(), 2);
      const std::string type = Lower(FetchedText(statement.get(), 3));
      const bool pageable = !column.empty() && kPageableTypes.count(type) != 0 &&
                            FetchedText(statement.get(), 4) == "whole" &&
                            kOrderedEngines.count(Lower(FetchedText(statement.get(), 5))) != 0 &&
                            FetchedText(statement.get(), 6) == "NO";
      if (columns.count(index) == 0) index_order.push_back(index);
      columns[index].push_back(column);
      if (type == "date" || type == "datetime") date_columns[index].push_back(column);
      if (!pageable) unusable.insert(index);
    }
  }
  const std::string table_name = QualifiedTableName(table, session.facts().identifier_quote);
  for (const std::string& index : index_order) {
    if (unusable.count(index) != 0 || HoldsZeroDates(session, table_name, date_columns[index])) continue;
    KeyPaging paging;
    paging.table = table_name;
    paging.quote = session.facts().identifier_quote;
    paging.key_columns = columns[index];
    return paging;
  }
  return std::nullopt;
}

std::vector<std::string> MariaDbPrimaryKeyColumns(const OdbcSession& session, const TableReference& table) {
  const std::string schema = table.schema.empty() ? "DATABASE()" : TextLiteral(table.schema);
  const std::string query = "SELECT COLUMN_NAME FROM information_schema.STATISTICS WHERE TABLE_SCHEMA = " + schema +
                            " AND TABLE_NAME = " + TextLiteral(table.table) +
                            " AND INDEX_NAME = 'PRIMARY' ORDER BY SEQ_IN_INDEX";
  return FetchedColumnTexts(session, query).value_or(std::vector<std::string>{});
}

}  // namespace quill
