#include "platform/sqlite/sqlite_backend.h"

#include <sql.h>
#include <sqlext.h>

#include <optional>

#include "platform/sqlite/sqlite_column_class.h"
#include "platform/sqlite/sqlite_column_profile.h"
#include "platform/sqlite/sqlite_schema_rowset.h"
#include "platform/sqlite/sqlite_table_dataset.h"

namespace quill {
namespace {

std::optional<std::string> Assigned(const std::optional<std::string>& value) {
  if (!value || value->empty()) return std::nullopt;
  return value;
}

std::string ColumnText(sqlite3_stmt* statement, int column) {
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
  return text != nullptr ? std::string(text, static_cast<size_t>(sqlite3_column_bytes(statement, column))) : std::string();
}

SqliteSchemaRowset::Cell OptionalText(sqlite3_stmt* statement, int column) {
  if (sqlite3_column_type(statement, column) == SQLITE_NULL) return std::monostate{};
  return ColumnText(statement, column);
}

// The ODBC type code of a field class, as the columns rowset reports it.
int64_t OdbcTypeCode(FieldKind kind) {
  switch (kind) {
    case FieldKind::ftString: return SQL_VARCHAR;
    case FieldKind::ftMemo: return SQL_LONGVARCHAR;
    case FieldKind::ftSmallint: return SQL_SMALLINT;
    case FieldKind::ftInteger:
    case FieldKind::ftAutoInc: return SQL_INTEGER;
    case FieldKind::ftLargeint: return SQL_BIGINT;
    case FieldKind::ftBoolean: return SQL_BIT;
    case FieldKind::ftFloat: return SQL_DOUBLE;
    case FieldKind::ftBCD:
    case FieldKind::ftCurrency: return SQL_DECIMAL;
    case FieldKind::ftDate: return SQL_TYPE_DATE;
    case FieldKind::ftTime: return SQL_TYPE_TIME;
    case FieldKind::ftDateTime: return SQL_TYPE_TIMESTAMP;
    case FieldKind::ftBytes: return SQL_BINARY;
    case FieldKind::ftVarBytes: return SQL_VARBINARY;
    case FieldKind::ftBlob: return SQL_LONGVARBINARY;
    default: return SQL_UNKNOWN_TYPE;
  }
}

// Tables and views, each with its rowset type; a table restriction compares
// names as SQLite does, ignoring ASCII case.
constexpr char kTablesSql[] =
    "SELECT name, CASE WHEN type = 'view' THEN 'VIEW' "
    "WHEN name LIKE 'sqlite\\_%' ESCAPE '\\' THEN 'SYSTEM TABLE' ELSE 'TABLE' END AS kind "
    "FROM sqlite_schema WHERE type IN ('table', 'view') AND (?1 IS NULL OR name = ?1 COLLATE NOCASE) "
    "ORDER BY kind, name";

}  // namespace

SqliteBackend::SqliteBackend(const std::string& path) : file_(std::make_shared<SqliteFile>(path)) {
  RegisterColumnProfileFunction(*file_);
}

std::unique_ptr<Dataset> SqliteBackend::OpenSchema(SchemaKind kind, const SchemaRestrictions& restrictions) {
  std::optional<std::string> table = Assigned(restrictions.table);
  if (kind == SchemaKind::PrimaryKeys && !table) {
    throw DataAccessError("The primary keys can only be listed for a named table.");
  }
  auto rowset = std::make_unique<SqliteSchemaRowset>(kind);
  if (Assigned(restrictions.catalog)) return rowset;
  // SQLite has no schemas: callers split a listed name at its first point,
  // so a schema and a table name the table "schema.table".
  if (const std::optional<std::string> schema = Assigned(restrictions.schema)) {
    if (!table) return rowset;
    table = *schema + "." + *table;
  }

  SqliteStatement tables(*file_, kTablesSql);
  if (table) tables.BindText(1, *table);
  std::vector<std::pair<std::string, std::string>> listed;
  while (tables.Step()) listed.emplace_back(ColumnText(tables.get(), 0), ColumnText(tables.get(), 1));

  for (const auto& [name, type] : listed) {
    switch (kind) {
      case SchemaKind::Tables:
        rowset->AddRow({{}, {}, name, type});
        break;
      case SchemaKind::Columns: {
        SqliteStatement columns(*file_,
                                "SELECT name, type, \"notnull\", dflt_value FROM pragma_table_xinfo(?1) "
                                "WHERE hidden <> 1 ORDER BY cid");
        columns.BindText(1, name);
        for (int64_t position = 1; columns.Step(); ++position) {
          sqlite3_stmt* s = columns.get();
          const std::string declared_type = ColumnText(s, 1);
          const SqliteColumnClass column_class = DeclaredColumnClass(declared_type, false);
          rowset->AddRow({{}, {}, name, ColumnText(s, 0), OdbcTypeCode(column_class.kind), declared_type,
                          int64_t{column_class.size}, int64_t{sqlite3_column_int(s, 2) != 0 ? 0 : 1},
                          OptionalText(s, 3), position});
        }
        break;
      }
      case SchemaKind::PrimaryKeys: {
        SqliteStatement keys(*file_, "SELECT name, pk FROM pragma_table_info(?1) WHERE pk > 0 ORDER BY pk");
        keys.BindText(1, name);
        std::vector<std::pair<std::string, int64_t>> key_columns;
        while (keys.Step()) key_columns.emplace_back(ColumnText(keys.get(), 0), sqlite3_column_int64(keys.get(), 1));
        if (KeyHoldsNull(name, key_columns)) {
          rowset->AddNote("primary key: holds NULL values, which no other engine's key can hold; "
                          "written without a primary key");
          break;
        }
        for (const auto& [column, position] : key_columns) rowset->AddRow({{}, {}, name, column, position});
        break;
      }
    }
  }
  return rowset;
}

// SQLite lets the columns of a primary key hold NULL (other than an INTEGER
// PRIMARY KEY or a WITHOUT ROWID table's); such a key is no key elsewhere.
bool SqliteBackend::KeyHoldsNull(const std::string& table,
                                 const std::vector<std::pair<std::string, int64_t>>& key_columns) {
  if (key_columns.empty()) return false;
  std::string sql = "SELECT 1 FROM " + QuoteSqliteName(table) + " WHERE ";
  for (size_t i = 0; i < key_columns.size(); ++i) {
    if (i > 0) sql += " OR ";
    sql += QuoteSqliteName(key_columns[i].first) + " IS NULL";
  }
  sql += " LIMIT 1";
  SqliteStatement check(*file_, sql);
  return check.Step();
}

std::unique_ptr<Dataset> SqliteBackend::OpenTable(const std::string& table_name) {
  const bool bracketed = table_name.size() >= 2 && table_name.front() == '[' && table_name.back() == ']';
  if (bracketed) {
    SqliteStatement exists(*file_, kTablesSql);
    exists.BindText(1, table_name);
    if (!exists.Step()) return std::make_unique<SqliteTableDataset>(file_, table_name.substr(1, table_name.size() - 2));
  }
  return std::make_unique<SqliteTableDataset>(file_, table_name);
}

}  // namespace quill
