// The PostgreSQL dialect: SET datestyle, lower-case quoted names, an inline
// key, INSERT with a column list, to_timestamp / to_date and lo_import
// expressions, rows wrapped at 80.

#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "generator/dialect_values.h"
#include "generator/table_writer.h"

namespace quill {

namespace {

constexpr std::string_view kCrLf = "\r\n";

std::string DateTypeText(const Settings& settings, std::string_view type) {
  return settings.convert ? "character(" + settings.size + ")" : std::string(type);
}

std::string PostgresTypeText(const Field& field, const Settings& settings) {
  const std::string& c = field.ClassName();
  if (c == "TStringField" || c == "TWideStringField") return "character(" + std::to_string(field.Size()) + ")";
  if (c == "TMemoField") return "text";
  if (c == "TSmallintField") return "smallint";
  if (c == "TWordField") return "integer";  // unsigned 16 bits: smallint ends at 32767
  if (c == "TIntegerField") return "integer";
  if (c == "TLargeintField") return "bigint";
  if (c == "TAutoIncField") return "serial";
  if (c == "TFloatField" || c == "TBCDField") return "decimal";
  if (c == "TBooleanField") return "boolean";
  if (c == "TDateTimeField") return DateTypeText(settings, "timestamp");
  if (c == "TDateField") return DateTypeText(settings, "date");
  if (c == "TTimeField") return "time";
  if (c == "TBlobField") {
    if (settings.text_from_blob) return "text";
    return settings.extract_files && !settings.save_as_raw ? "character(255)" : "oid";
  }
  if (c == "TVarBytesField") return "bytea";
  if (c == "TBytesField") return "bit";
  if (c == "TGuidField") return "character(255)";
  return {};
}

const DialectRules kPostgresRules{
    .name = "PostgreSQL",
    .quotes = {.open = "\"", .close = "\"", .only_when_blank = false},
    .type_text = &PostgresTypeText,
    .text_cut = 0,
    .wrap_width = 80,
};

// Until a datestyle is chosen the dates are read as ISO, year first.
std::string DatestyleText(const Settings& settings) {
  static constexpr std::string_view kDatestyles[] = {"ISO, YMD",      "ISO, MDY",    "ISO, DMY",      "SQL, YMD",
                                                     "SQL, MDY",      "SQL, DMY",    "Postgres, YMD", "Postgres, MDY",
                                                     "Postgres, DMY", "German, YMD", "German, MDY",   "German, DMY"};
  const int choice = settings.po_format;
  if (choice < 0 || choice >= static_cast<int>(std::size(kDatestyles))) return std::string(kDatestyles[0]);
  return std::string(kDatestyles[choice]);
}

bool UsesFormatString(const Settings& settings) { return settings.formatting && settings.post_form_type == 1; }
bool UsesDatestyle(const Settings& settings) { return settings.formatting && settings.post_form_type != 1; }

// The same lower-case name in CREATE and in the INSERT column list, so every
// row names the columns that were created.
std::string ColumnName(const Settings& settings, const std::string& field_name) {
  return QuoteIdentifier(kPostgresRules.quotes, LowerCase(ApplyUnderscore(settings, field_name)));
}

std::string TableName(const ScriptRunState& run) {
  return QuoteTableName(kPostgresRules.quotes, LowerCase(run.output_schema), LowerCase(run.output_name));
}

bool KeepsCommas(const std::string& c) {
  // BLOB texts and file paths are data, not numbers: their commas stay.
  return c == "TStringField" || c == "TWideStringField" || c == "TMemoField" || c == "TBlobField";
}

void WriteTableStatement(TableWriter& writer) {
  const Settings& settings = writer.settings;
  ScriptRunState& run = writer.run;
  std::string& text = run.table_text;
  if (UsesDatestyle(settings)) text += "SET datestyle TO " + DatestyleText(settings) + ";" + std::string(kCrLf);
  if (settings.drop) text += "DROP TABLE IF EXISTS " + TableName(run) + ";" + std::string(kCrLf);
  text += "CREATE TABLE " + TableName(run) + " (" + std::string(kCrLf);

  // A one-column key is marked inline; a key of several columns becomes a
  // table-level clause, so the target gets the whole key.
  text += ColumnDefinitions(writer, {.column_name = [&](const std::string& name) { return ColumnName(settings, name); },
                                     .type_text = [&](const Field& field) { return PostgresTypeText(field, settings); },
                                     .key_form = KeyForm::kInlineUnlessComposite,
                                     .key_clause = "PRIMARY KEY ("});
  text += std::string(kCrLf) + ");";
  AppendTableStatement(writer);
}

std::string FieldValue(TableWriter& writer, const Field& field) {
  const Settings& settings = writer.settings;
  const std::string& c = field.ClassName();
  ValueText value{field.AsString(), false};
  if (c == "TFloatField") value.text = FloatText(field, settings);
  if (c == "TBlobField") {
    value =
        BlobValue(writer, field, [](const RowBlobFile& file) { return "lo_import(" + SqlLiteral(file.Path()) + ")"; });
  }
  if (c == "TBooleanField") value.text = BooleanDigits(field);
  // A NULL date stays NULL: to_timestamp('') would give the year 1 BC.
  const bool formatted_date = UsesFormatString(settings) && !field.IsNull();
  if (formatted_date && c == "TDateTimeField") {
    return "to_timestamp(" + SqlLiteral(field.AsString()) + "," + SqlLiteral(settings.po_time_format) + ")";
  }
  if (formatted_date && c == "TDateField") {
    return "to_date(" + SqlLiteral(field.AsString()) + "," + SqlLiteral(settings.po_date_format) + ")";
  }
  if (value.no_quote) return value.text;
  if (!KeepsCommas(c)) CommasToPoints(value.text);
  return QuoteValue(value, {.null_quoted = settings.null_quoted});
}

void WriteRowStatement(TableWriter& writer, const std::string& row_head) {
  std::string& text = writer.run.table_text;
  text += row_head;
  for (int i = 0; i < writer.table.FieldCount(); ++i) {
    if (i > 0) text += ",";
    text += FieldValue(writer, writer.table.FieldAt(i));
  }
  text += ");";
}

}  // namespace

void EmitPostgresTable(TableWriter& writer) {
  const Settings& settings = writer.settings;
  if (settings.content != ContentMode::DataOnly) WriteTableStatement(writer);
  if (settings.content == ContentMode::TableOnly || writer.run.empty_table) return;

  std::string row_head = "INSERT INTO " + TableName(writer.run) + " (";
  for (int i = 0; i < writer.table.FieldCount(); ++i) {
    if (i > 0) row_head += ",";
    row_head += ColumnName(settings, writer.table.FieldAt(i).Name());
  }
  row_head += ")" + std::string(kCrLf) + "   VALUES (";
  WriteRows(writer, kPostgresRules, [&] { WriteRowStatement(writer, row_head); });
}

}  // namespace quill
