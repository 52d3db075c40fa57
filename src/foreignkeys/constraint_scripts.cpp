#include "foreignkeys/constraint_scripts.h"

#include <algorithm>
#include <string_view>

#include "foreignkeys/md5.h"
#include "generator/dialect_names.h"
#include "generator/dialect_values.h"
#include "platform/text/text_encoding.h"
#include "generator/table_names.h"
#include "generator/table_writer.h"

namespace quill {
namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr size_t kShortNameLength = 20;  // Oracle and Pervasive constraint names


bool UsesShortNames(TargetDialect dialect) {
  return dialect == TargetDialect::Oracle || dialect == TargetDialect::Pervasive;
}

// Whether the engine takes the readable name whole: MySql refuses names of
// more than 64 characters and MS SQL of more than 128; PostgreSQL cuts
// names to 63 bytes without a word, so two long names could end up one.
bool FitsTheEngine(TargetDialect dialect, std::string_view name) {
  switch (dialect) {
    case TargetDialect::MySql: return Utf8Length(name) <= 64;
    case TargetDialect::MsSql: return Utf8Length(name) <= 128;
    case TargetDialect::PostgreSql: return name.size() <= 63;
    case TargetDialect::Oracle:
    case TargetDialect::Pervasive: return true;
  }
  return true;
}

// A table or constraint name as the dialect writes it, with the table
// writers' own quotes, so a name reads the same in both.
std::string NameForm(TargetDialect dialect, std::string_view name) {
  if (dialect == TargetDialect::PostgreSql) return QuoteIdentifier(DialectIdentifierQuotes(dialect), LowerCase(name));
  return QuoteIdentifier(DialectIdentifierQuotes(dialect), name);
}

// A column as the table writers write it: its distinct name among its
// table's columns when the run's columns are known, else its dialect form.
std::string ColumnForm(const Settings& settings, const ScriptTables& run_tables, const std::string& table,
                       const std::string& column) {
  std::vector<std::string> table_columns;
  for (size_t k = 0; k < run_tables.column_tables.size() && k < run_tables.columns.size(); ++k) {
    if (run_tables.column_tables[k] == table) table_columns.push_back(run_tables.columns[k]);
  }
  const auto at = std::find(table_columns.begin(), table_columns.end(), column);
  if (at == table_columns.end()) return NameForm(settings.format, DialectColumnForm(settings, column));
  const std::vector<std::string> names = DistinctColumnNames(settings, table_columns);
  return NameForm(settings.format, names[static_cast<size_t>(at - table_columns.begin())]);
}

std::string TableForm(TargetDialect dialect, const OutputTableNameParts& parts) {
  if (parts.schema.empty()) return NameForm(dialect, parts.name);
  return NameForm(dialect, parts.schema) + "." + NameForm(dialect, parts.name);
}

OutputTableNameParts TableParts(const Settings& settings, const std::string& listed_name) {
  return OutputTableNameFor(settings, listed_name, IsTextFileTable(listed_name));
}

// The table's parts with its distinct name among the run's tables.
OutputTableNameParts WrittenTableParts(const Settings& settings, const ScriptTables& run_tables,
                                       const std::string& listed_name) {
  OutputTableNameParts parts = TableParts(settings, listed_name);
  const auto at = std::find(run_tables.tables.begin(), run_tables.tables.end(), listed_name);
  if (at != run_tables.tables.end()) {
    parts.name = DistinctTableNames(settings, run_tables.tables)[static_cast<size_t>(at - run_tables.tables.begin())];
  }
  return parts;
}

}  // namespace

std::string ConstraintName(const Settings& settings, bool encrypt, const ForeignKeyValues& key) {
  const OutputTableNameParts fk_table = TableParts(settings, key.fk_table);
  const OutputTableNameParts pk_table = TableParts(settings, key.pk_table);
  const std::string names = fk_table.name + "_" + ApplyUnderscore(settings, key.fk_field) + "_" + pk_table.name +
                            "_" + ApplyUnderscore(settings, key.pk_field);
  // The destination schema exactly as typed, blanks kept.
  std::string name = fk_table.schema.empty() ? "FK_QMV_" + names : "FK_QMV_" + fk_table.schema + "_" + names;
  const bool short_names = UsesShortNames(settings.format);
  // A readable name too long for the engine gets the print as well.
  if (short_names || encrypt || !FitsTheEngine(settings.format, name)) name = MD5PrintOf(name);
  if (short_names && name.size() > kShortNameLength) name.resize(kShortNameLength);
  return name;
}

void AppendConstraintScripts(const Settings& settings, bool encrypt, const ForeignKeyValues& key,
                             ForeignKeyScripts& scripts, const ScriptTables& run_tables) {
  const TargetDialect dialect = settings.format;
  const std::string name = NameForm(dialect, ConstraintName(settings, encrypt, key));
  const std::string fk_table = TableForm(dialect, WrittenTableParts(settings, run_tables, key.fk_table));
  const std::string pk_table = TableForm(dialect, WrittenTableParts(settings, run_tables, key.pk_table));
  const std::string fk_field = ColumnForm(settings, run_tables, key.fk_table, key.fk_field);
  const std::string pk_field = ColumnForm(settings, run_tables, key.pk_table, key.pk_field);
  const std::string crlf(kCrLf);
  const std::string foreign_key = "ADD CONSTRAINT " + name + " FOREIGN KEY (" + fk_field + ") REFERENCES " + pk_table;

  std::string& drop = scripts.drop_constraint_script;
  std::string& add = scripts.add_constraint_script;
  switch (dialect) {
    case TargetDialect::MsSql:
      drop += "ALTER TABLE " + fk_table + " DROP CONSTRAINT " + name + crlf + "Go" + crlf;
      add += "ALTER TABLE " + fk_table + crlf + foreign_key + "(" + pk_field + ")" + crlf + "Go" + crlf;
      break;
    case TargetDialect::MySql:
      drop += "ALTER TABLE " + fk_table + " DROP FOREIGN KEY " + name + ";" + crlf;
      add += "ALTER TABLE " + fk_table + " " + foreign_key + "(" + pk_field + ");" + crlf;
      break;
    case TargetDialect::PostgreSql:
      drop += "ALTER TABLE " + fk_table + " DROP CONSTRAINT " + name + ";" + crlf;
      add += "ALTER TABLE " + fk_table + " " + foreign_key + " (" + pk_field + ") MATCH FULL;" + crlf;
      break;
    case TargetDialect::Oracle:
    case TargetDialect::Pervasive:
      drop += "ALTER TABLE " + fk_table + " DROP CONSTRAINT " + name + ";" + crlf;
      add += "ALTER TABLE " + fk_table + " " + foreign_key + " (" + pk_field + ");" + crlf;
      break;
  }
}

}  // namespace quill
