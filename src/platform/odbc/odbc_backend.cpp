#include "platform/odbc/odbc_backend.h"

#include <algorithm>
#include <cctype>
#include <optional>

#include "platform/dataset/data_access_error.h"
#include "platform/odbc/mariadb_key_paging.h"
#include "platform/odbc/mariadb_scaled_doubles.h"
#include "platform/odbc/odbc_result_dataset.h"
#include "platform/odbc/postgres_declared_columns.h"
#include "platform/odbc/postgres_default_schema.h"
#include "platform/odbc/table_reference.h"
#include "platform/odbc/table_snapshot.h"
#include "platform/odbc/utf16_text.h"

namespace quill {
namespace {

std::string Upper(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::toupper(c); });
  return text;
}

// The schema rowsets name their first columns as the rest of the program
// reads them, whichever ODBC version's names the driver uses.
std::string SchemaColumnName(const std::string& name) {
  const std::string upper = Upper(name);
  if (upper == "TABLE_CAT" || upper == "TABLE_QUALIFIER") return "TABLE_CATALOG";
  if (upper == "TABLE_SCHEM" || upper == "TABLE_OWNER") return "TABLE_SCHEMA";
  return name;
}

std::optional<std::string> Assigned(const std::optional<std::string>& value) {
  if (!value || value->empty()) return std::nullopt;
  return value;
}

// Catalog functions take schema and table names as search patterns: escape
// the pattern characters so that "a_b" does not also find "axb".
std::string EscapePattern(const std::string& name, const std::string& escape) {
  if (escape.empty()) return name;
  std::string escaped;
  for (char c : name) {
    if (c == '_' || c == '%' || escape.find(c) != std::string::npos) escaped += escape;
    escaped += c;
  }
  return escaped;
}

// A catalog-function argument, for the wide calls and as UTF-8 for the
// narrow ones: null when unassigned.
class Argument {
 public:
  explicit Argument(const std::optional<std::string>& value) : narrow_(value) {
    if (value) wide_ = Utf8ToUtf16(*value);
  }
  SQLWCHAR* data() { return wide_ ? wide_->data() : nullptr; }
  SQLCHAR* narrow() { return narrow_ ? reinterpret_cast<SQLCHAR*>(narrow_->data()) : nullptr; }
  SQLSMALLINT length() const { return wide_ ? SQL_NTS : 0; }

 private:
  std::optional<std::string> narrow_;
  std::optional<WideText> wide_;
};

using Arguments = std::shared_ptr<std::vector<Argument>>;

// Catalog as it is; schema and table as escaped patterns.
Arguments PatternArguments(const std::optional<std::string>& catalog, const std::optional<std::string>& schema,
                           const std::optional<std::string>& table, const std::string& escape) {
  const auto pattern = [&escape](const std::optional<std::string>& name) -> std::optional<std::string> {
    if (!name) return std::nullopt;
    return EscapePattern(*name, escape);
  };
  auto arguments = std::make_shared<std::vector<Argument>>();
  arguments->emplace_back(catalog);
  arguments->emplace_back(pattern(schema));
  arguments->emplace_back(pattern(table));
  return arguments;
}

// How values travel from this driver, for tables and schema rowsets alike.
OdbcResultDataset::Options ReadingOptions(const OdbcDriverFacts& facts) {
  OdbcResultDataset::Options options;
  options.narrow_names = facts.is_sqlite;
  options.text_as_utf8 = facts.text_as_utf8;
  options.wide_length_from_terminator = facts.is_mariadb && !facts.text_as_utf8;
  // The SQLite driver converts its stored texts itself; servers write times
  // that a time structure cannot hold.
  options.time_as_text = !facts.is_sqlite;
  // MariaDB's TIME is a duration; its zero dates come as NULL or as dates of
  // month 0 unless read as text. PostgreSQL's dates come as text too (the
  // statement casts them): psqlodbc converts those it cannot hold to others.
  options.times_are_durations = facts.is_mariadb;
  options.dates_as_text = facts.is_mariadb || facts.is_postgres;
  return options;
}

}  // namespace

OdbcBackend::OdbcBackend(const std::string& data_source, const std::string& user_name, const std::string& password,
                         int connection_timeout_seconds, int command_timeout_seconds)
    : session_(std::make_shared<OdbcSession>(data_source, user_name, password, connection_timeout_seconds,
                                             command_timeout_seconds)) {
  if (session_->facts().is_mariadb || session_->facts().is_postgres) {
    side_session_ = std::make_shared<SideSession>(data_source, user_name, password, connection_timeout_seconds,
                                                  command_timeout_seconds);
  }
}

std::unique_ptr<Dataset> OdbcBackend::OpenSchema(SchemaKind kind, const SchemaRestrictions& restrictions) {
  const OdbcDriverFacts& facts = session_->facts();
  std::optional<std::string> catalog = Assigned(restrictions.catalog);
  if (!catalog && facts.catalogs_without_schemas) {
    const std::string current = session_->CurrentCatalog();
    if (!current.empty()) catalog = current;
  }
  std::optional<std::string> schema = Assigned(restrictions.schema);
  std::optional<std::string> table = Assigned(restrictions.table);
  // Callers split a listed name at its first point; on a source without
  // schemas the point belongs to the table's name (MariaDB's "n.o"), as it
  // does when the table is opened (ParseListedTableName).
  if (!facts.schemas_in_statements && schema && table) {
    table = *schema + "." + *table;
    schema.reset();
  }
  // psqlodbc looks for the columns and keys of a table named without its
  // schema along the session's path, which holds only pg_catalog.
  if (facts.is_postgres && !schema && table && kind != SchemaKind::Tables) {
    const std::string found = PostgresDefaultSchema(*session_, *table);
    if (!found.empty()) schema = found;
  }

  // The SQLite driver has no wide calls: the driver manager would narrow the
  // names' characters, so they go to the narrow calls as UTF-8 bytes.
  const bool narrow = facts.is_sqlite;
  OdbcResultDataset::Execute execute;
  switch (kind) {
    case SchemaKind::Tables: {
      auto a = PatternArguments(catalog, schema, table, facts.search_escape);
      execute = [a, narrow](SQLHSTMT statement) {
        auto& v = *a;
        if (narrow) {
          return SQLTables(statement, v[0].narrow(), v[0].length(), v[1].narrow(), v[1].length(), v[2].narrow(),
                           v[2].length(), nullptr, 0);
        }
        return SQLTablesW(statement, v[0].data(), v[0].length(), v[1].data(), v[1].length(), v[2].data(),
                          v[2].length(), nullptr, 0);
      };
      break;
    }
    case SchemaKind::Columns: {
      auto a = PatternArguments(catalog, schema, table, facts.search_escape);
      execute = [a, narrow](SQLHSTMT statement) {
        auto& v = *a;
        if (narrow) {
          return SQLColumns(statement, v[0].narrow(), v[0].length(), v[1].narrow(), v[1].length(), v[2].narrow(),
                            v[2].length(), nullptr, 0);
        }
        return SQLColumnsW(statement, v[0].data(), v[0].length(), v[1].data(), v[1].length(), v[2].data(),
                           v[2].length(), nullptr, 0);
      };
      break;
    }
    case SchemaKind::PrimaryKeys: {
      if (!table) throw DataAccessError("The primary keys can only be listed for a named table.");
      auto arguments = std::make_shared<std::vector<Argument>>();
      arguments->emplace_back(catalog);
      arguments->emplace_back(schema);
      arguments->emplace_back(table);
      execute = [arguments, narrow](SQLHSTMT statement) {
        auto& v = *arguments;
        if (narrow) {
          return SQLPrimaryKeys(statement, v[0].narrow(), v[0].length(), v[1].narrow(), v[1].length(),
                                v[2].narrow(), v[2].length());
        }
        return SQLPrimaryKeysW(statement, v[0].data(), v[0].length(), v[1].data(), v[1].length(), v[2].data(),
                               v[2].length());
      };
      break;
    }
  }
  OdbcResultDataset::Options options = ReadingOptions(facts);
  options.naming = SchemaColumnName;
  return std::make_unique<OdbcResultDataset>(session_, std::move(execute), std::move(options));
}

std::unique_ptr<Dataset> OdbcBackend::OpenTable(const std::string& table_name) {
  const OdbcDriverFacts& facts = session_->facts();
  TableReference reference = ParseListedTableName(table_name, facts.schemas_in_statements);
  if (facts.is_postgres && reference.schema.empty()) reference.schema = PostgresDefaultSchema(*session_, reference.table);
  const std::string name = QualifiedTableName(reference, facts.identifier_quote);
  OdbcResultDataset::Options options = ReadingOptions(facts);
  options.count_statement = "SELECT COUNT(*) FROM " + name;
  options.correct_sqlite_types = facts.is_sqlite;
  options.count_narrow = facts.is_sqlite;
  // A server counts a large table in about the time it takes to send a
  // page of it: on a connection of its own, the first rows need not wait.
  options.side_session = side_session_;
  std::string select_list = "*";
  if (facts.is_postgres) {
    PostgresTableDeclarations declarations = PostgresDeclarations(*session_, reference);
    options.declared_columns = std::move(declarations.columns);
    select_list = declarations.select_list;
  }
  // MariaDB's driver holds a whole result in memory (3.1.15 has no option to
  // stream one): its tables are read in pages along their keys.
  if (facts.is_mariadb) options.key_paging = MariaDbKeyPaging(*session_, reference);
  // A BLOB column of the key holds keys, not documents: binary values of
  // their own, never left out as BLOBs are.
  if (facts.is_mariadb) {
    for (const std::string& column : MariaDbPrimaryKeyColumns(*session_, reference)) {
      options.declared_columns.try_emplace(column, DeclaredColumn{.kind = DeclaredColumn::Kind::kKeyBytes});
    }
  }
  // A plain DOUBLE arrives exactly as its number, which is cheaper to read
  // than the driver's text of it; a DOUBLE(M,D) only as its text.
  if (facts.is_mariadb) {
    const std::optional<std::vector<std::string>> scaled = MariaDbScaledDoubleColumns(*session_, reference);
    options.doubles_as_text = !scaled;
    for (const std::string& column : scaled.value_or(std::vector<std::string>{})) {
      options.declared_columns.try_emplace(column, DeclaredColumn{.kind = DeclaredColumn::Kind::kScaledDouble});
    }
  }
  // Pages, and a statement run again for a value that outgrew its buffer,
  // all see the one state of the table.
  if (facts.is_mariadb) options.snapshot = MariaDbSnapshotPlan(*session_, reference);
  if (facts.is_postgres) options.snapshot.kind = SnapshotKind::kTransaction;
  OdbcResultDataset::Execute execute;
  if (facts.is_sqlite) {
    // The SQLite driver has no wide calls: the driver manager would narrow
    // the statement's characters, so names beyond ASCII go as UTF-8 bytes.
    auto statement_text = std::make_shared<std::string>("SELECT * FROM " + name);
    execute = [statement_text](SQLHSTMT statement) {
      return SQLExecDirect(statement, reinterpret_cast<SQLCHAR*>(statement_text->data()), SQL_NTS);
    };
  } else {
    auto statement_text = std::make_shared<WideText>(Utf8ToUtf16("SELECT " + select_list + " FROM " + name));
    execute = [statement_text](SQLHSTMT statement) { return SQLExecDirectW(statement, statement_text->data(), SQL_NTS); };
  }
  return std::make_unique<OdbcResultDataset>(session_, std::move(execute), std::move(options));
}

}  // namespace quill
