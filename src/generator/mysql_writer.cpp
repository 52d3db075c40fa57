// The MySql dialect: back-quoted names, a table-level key, STR_TO_DATE and
// LOAD_FILE expressions, values escaped for MySql, rows wrapped at 60.

#include <string>
#include <string_view>
#include <vector>

#include "generator/dialect_values.h"
#include "generator/table_writer.h"

namespace quill {

namespace {

constexpr std::string_view kCrLf = "\r\n";

std::string DateTypeText(const Settings& settings, std::string_view type) {
  return settings.convert ? "varchar(" + settings.size + ")" : std::string(type);
}

std::string MySqlTypeText(const Field& field, const Settings& settings) {
  const std::string& c = field.ClassName();
  if (c == "TStringField" || c == "TWideStringField") {
    return field.Size() > 255 ? "longtext" : "varchar(" + std::to_string(field.Size()) + ")";
  }
  if (c == "TMemoField") return "longtext";
  if (c == "TSmallintField") return "smallint(6)";
  if (c == "TIntegerField" || c == "TAutoIncField") return "int(11)";
  if (c == "TLargeintField") return "bigint(20)";
  if (c == "TWordField") return "smallint(6) unsigned";
  if (c == "TFloatField" || c == "TBCDField") return "double";
  if (c == "TBooleanField") return "bool";
  if (c == "TDateTimeField") return DateTypeText(settings, "datetime");
  if (c == "TDateField") return DateTypeText(settings, "date");
  if (c == "TTimeField") return "time";
  if (c == "TBlobField") return settings.extract_files && !settings.save_as_raw ? "varchar(255)" : "longblob";
  if (c == "TBytesField" || c == "TVarBytesField") return "tinyblob";
  if (c == "TGuidField") return "varchar(255)";
  return {};
}

const DialectRules kMySqlRules{
    .name = "MySql",
    .quotes = {.open = "`", .close = "`", .only_when_blank = false},
    .type_text = &MySqlTypeText,
    .text_cut = 0,
    .wrap_width = 60,
};

std::string ColumnName(const Settings& settings, const std::string& field_name) {
  return QuoteIdentifier(kMySqlRules.quotes, ApplyUnderscore(settings, field_name));
}

std::string TableName(const ScriptRunState& run) {
  return QuoteTableName(kMySqlRules.quotes, run.output_schema, run.output_name);
}

// MySql reads a backslash inside a quoted text as an escape: each one is
// doubled so the value arrives as it was. Line breaks and NUL are written as
// their escapes too, because the command-line client takes CR LF for a line
// end even inside a quoted value and would drop the CR.
std::string EscapeMySqlText(std::string_view text) {
  std::string escaped;
  escaped.reserve(text.size() + 2);
  for (const char c : text) {
    switch (c) {
      case '\\':
        escaped += "\\\\";
        break;
      case '\r':
        escaped += "\\r";
        break;
      case '\n':
        escaped += "\\n";
        break;
      case '\0':
        escaped += "\\0";
        break;
      default:
        escaped += c;
    }
  }
  return escaped;
}

std::string MySqlLiteral(std::string_view text) { return SqlLiteral(EscapeMySqlText(text)); }

bool KeepsCommas(const std::string& c) {
  // BLOB texts and file paths are data, not numbers: their commas stay.
  return c == "TStringField" || c == "TWideStringField" || c == "TMemoField" || c == "TBlobField";
}

void WriteTableStatement(TableWriter& writer) {
  const Settings& settings = writer.settings;
  ScriptRunState& run = writer.run;
  std::string& text = run.table_text;
  if (settings.drop) text += "DROP TABLE IF EXISTS " + TableName(run) + ";" + std::string(kCrLf);
  text += "CREATE TABLE " + TableName(run) + " (" + std::string(kCrLf);
  // The key names are back-quoted like the columns, so blanks and reserved
  // words cannot break the clause.
  text += ColumnDefinitions(writer, {.column_name = [&](const std::string& name) { return ColumnName(settings, name); },
                                     .type_text = [&](const Field& field) { return MySqlTypeText(field, settings); },
                                     .key_form = KeyForm::kClause,
                                     .key_clause = "PRIMARY KEY("});
  text += std::string(kCrLf) + ");";
  AppendTableStatement(writer);
}

std::string FieldValue(TableWriter& writer, const Field& field) {
  const Settings& settings = writer.settings;
  const std::string& c = field.ClassName();
  ValueText value{field.AsString(), false};
  if (c == "TBlobField") {
    value = BlobValue(writer, field,
                      [](const RowBlobFile& file) { return "LOAD_FILE(" + MySqlLiteral(file.Path()) + ")"; });
  }
  // A NULL date stays NULL: STR_TO_DATE('') would give the zero date.
  if (settings.formatting && (c == "TDateTimeField" || c == "TDateField") && !field.IsNull()) {
    value = {"STR_TO_DATE(" + MySqlLiteral(field.AsString()) + "," + MySqlLiteral(settings.my_format) + ")", true};
  }
  if (c == "TBooleanField") value.text = BooleanDigits(field);
  if (c == "TFloatField") value.text = FloatText(field, settings);
  if (value.no_quote) return value.text;
  if (!KeepsCommas(c)) CommasToPoints(value.text);
  value.text = EscapeMySqlText(value.text);
  return QuoteValue(value, {.null_quoted = settings.null_quoted});
}

void WriteRowStatement(TableWriter& writer) {
  std::string& text = writer.run.table_text;
  text += "INSERT INTO " + TableName(writer.run) + " VALUES(";
  for (int i = 0; i < writer.table.FieldCount(); ++i) {
    if (i > 0) text += ",";
    text += FieldValue(writer, writer.table.FieldAt(i));
  }
  text += ");";
}

}  // namespace

void EmitMySqlTable(TableWriter& writer) {
  const Settings& settings = writer.settings;
  if (settings.content != ContentMode::DataOnly) WriteTableStatement(writer);
  if (settings.content == ContentMode::TableOnly || writer.run.empty_table) return;
  WriteRows(writer, kMySqlRules, [&] { WriteRowStatement(writer); });
}

}  // namespace quill
