#include "platform/odbc/odbc_backend.h"

#include <algorithm>
#include <cctype>
#include <optional>

#include "platform/dataset/data_access_error.h"
#include "platform/odbc/odbc_result_dataset.h"
#include "platform/odbc/table_reference.h"
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

// A catalog-function argument: null when unassigned.
class Argument {
 public:
  explicit Argument(const std::optional<std::string>& value) {
    if (value) text_ = Utf8ToUtf16(*value);
  }
  SQLWCHAR* data() { return text_ ? text_->data() : nullptr; }
  SQLSMALLINT length() const { return text_ ? SQL_NTS : 0; }

 private:
  std::optional<WideText> text_;
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

}  // namespace

OdbcBackend::OdbcBackend(const std::string& data_source, const std::string& user_name, const std::string& password,
                         int connection_timeout_seconds, int command_timeout_seconds)
    : session_(std::make_shared<OdbcSession>(data_source, user_name, password, connection_timeout_seconds,
                                             command_timeout_seconds)) {}

std::unique_ptr<Dataset> OdbcBackend::OpenSchema(SchemaKind kind, const SchemaRestrictions& restrictions) {
  const OdbcDriverFacts& facts = session_->facts();
  std::optional<std::string> catalog = Assigned(restrictions.catalog);
  if (!catalog && facts.catalogs_without_schemas) {
    const std::string current = session_->CurrentCatalog();
    if (!current.empty()) catalog = current;
  }
  std::optional<std::string> schema = Assigned(restrictions.schema);
  std::optional<std::string> table = Assigned(restrictions.table);

  OdbcResultDataset::Execute execute;
  switch (kind) {
    case SchemaKind::Tables: {
      auto a = PatternArguments(catalog, schema, table, facts.search_escape);
      execute = [a](SQLHSTMT statement) {
        return SQLTablesW(statement, (*a)[0].data(), (*a)[0].length(), (*a)[1].data(), (*a)[1].length(),
                          (*a)[2].data(), (*a)[2].length(), nullptr, 0);
      };
      break;
    }
    case SchemaKind::Columns: {
      auto a = PatternArguments(catalog, schema, table, facts.search_escape);
      execute = [a](SQLHSTMT statement) {
        return SQLColumnsW(statement, (*a)[0].data(), (*a)[0].length(), (*a)[1].data(), (*a)[1].length(),
                           (*a)[2].data(), (*a)[2].length(), nullptr, 0);
      };
      break;
    }
    case SchemaKind::PrimaryKeys: {
      if (!table) throw DataAccessError("The primary keys can only be listed for a named table.");
      auto arguments = std::make_shared<std::vector<Argument>>();
      arguments->emplace_back(catalog);
      arguments->emplace_back(schema);
      arguments->emplace_back(table);
      execute = [arguments](SQLHSTMT statement) {
        auto& a = *arguments;
        return SQLPrimaryKeysW(statement, a[0].data(), a[0].length(), a[1].data(), a[1].length(), a[2].data(),
                               a[2].length());
      };
      break;
    }
  }
  OdbcResultDataset::Options options;
  options.naming = SchemaColumnName;
  options.text_as_utf8 = facts.is_sqlite;
  return std::make_unique<OdbcResultDataset>(session_, std::move(execute), std::move(options));
}

std::unique_ptr<Dataset> OdbcBackend::OpenTable(const std::string& table_name) {
  const OdbcDriverFacts& facts = session_->facts();
  const TableReference reference = ParseListedTableName(table_name, facts.schemas_in_statements);
  const std::string name = QualifiedTableName(reference, facts.identifier_quote);
  OdbcResultDataset::Options options;
  options.count_statement = "SELECT COUNT(*) FROM " + name;
  options.correct_sqlite_types = facts.is_sqlite;
  options.text_as_utf8 = facts.is_sqlite;
  options.bind_long_values = facts.is_sqlite;
  OdbcResultDataset::Execute execute;
  if (facts.is_sqlite) {
    // The SQLite driver has no wide calls: the driver manager would narrow
    // the statement's characters, so names beyond ASCII go as UTF-8 bytes.
    auto statement_text = std::make_shared<std::string>("SELECT * FROM " + name);
    execute = [statement_text](SQLHSTMT statement) {
      return SQLExecDirect(statement, reinterpret_cast<SQLCHAR*>(statement_text->data()), SQL_NTS);
    };
  } else {
    auto statement_text = std::make_shared<WideText>(Utf8ToUtf16("SELECT * FROM " + name));
    execute = [statement_text](SQLHSTMT statement) { return SQLExecDirectW(statement, statement_text->data(), SQL_NTS); };
  }
  return std::make_unique<OdbcResultDataset>(session_, std::move(execute), std::move(options));
}

}  // namespace quill
