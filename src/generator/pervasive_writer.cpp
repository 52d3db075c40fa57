// The Pervasive dialect: every name in double quotes, 20-character column
// names, a table-level key, dates formatted by the built-in formatter, every
// value quoted, rows not wrapped.

#include <string>
#include <string_view>
#include <vector>

#include "generator/dialect_values.h"
#include "generator/lost_value_counts.h"
#include "generator/table_writer.h"
#include "platform/formatting/format_date_time.h"
#include "platform/formatting/format_settings.h"

namespace quill {

namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr int kPervasiveNameLength = 20;

std::string DateTypeText(const Settings& settings, std::string_view type) {
  return settings.convert ? "char(" + settings.size + ")" : std::string(type);
}

std::string PervasiveTypeText(const Field& field, const Settings& settings) {
  switch (TypeClassOf(field)) {
    case ColumnClass::kBCD: return "decimal(15,4)";  // a whole-number type would lose the fraction
    case ColumnClass::kBytes: return "binary(" + std::to_string(field.Size()) + ")";
    case ColumnClass::kBoolean: return "bit";
    case ColumnClass::kString: return field.Size() > 254 ? "longvarchar" : "char(" + std::to_string(field.Size()) + ")";
    case ColumnClass::kDate: return DateTypeText(settings, "date");
    case ColumnClass::kDateTime: return DateTypeText(settings, "timestamp");
    case ColumnClass::kFloat: return "double";
    case ColumnClass::kAutoInc: return "identity";
    case ColumnClass::kBlob: return settings.extract_files && !settings.save_as_raw ? "varchar(254)" : "longvarbinary";
    case ColumnClass::kInteger: return field.IsUnsigned() ? "bigint" : "integer";
    case ColumnClass::kMemo: return "longvarchar";
    case ColumnClass::kSmallint: return "integer";
    case ColumnClass::kTime: return "time";
    case ColumnClass::kWord: return "usmallint";  // unsigned 16 bits, not 8
    case ColumnClass::kLargeint: return field.IsUnsigned() ? "decimal(20,0)" : "bigint";
    case ColumnClass::kWideString:
      return field.Size() > 255 ? "longvarchar" : "varchar(" + std::to_string(field.Size()) + ")";
    case ColumnClass::kVarBytes: return "varchar(255)";
    case ColumnClass::kGuid: return "varchar(255)";
    case ColumnClass::kUnknown: break;
  }
  return {};
}

const DialectRules kPervasiveRules{
    .name = "Pervasive",
    .quotes = DialectIdentifierQuotes(TargetDialect::Pervasive),
    .type_text = &PervasiveTypeText,
    .text_cut = 0,
    .wrap_width = 0,
};

std::string ColumnName(const Settings& settings, const std::string& field_name) {
  return QuoteIdentifier(kPervasiveRules.quotes,
                         FirstCharacters(ApplyUnderscore(settings, field_name), kPervasiveNameLength));
}

std::string TableName(const ScriptRunState& run) { return QuoteIdentifier(kPervasiveRules.quotes, run.output_name); }

void WriteTableStatement(TableWriter& writer) {
  const Settings& settings = writer.settings;
  ScriptRunState& run = writer.run;
  std::string& text = run.table_text;
  if (settings.drop) text += "DROP TABLE " + TableName(run) + ";" + std::string(kCrLf);
  text += "CREATE TABLE " + TableName(run) + std::string(kCrLf) + "(";

  // A class outside the map keeps the type of the column before it, as the
  // statement needs a type after every name; the first column falls back to
  // the type that holds any text. The key names take the columns' own form
  // (quoted, cut like them), so they name the columns just written.
  std::string type = "longvarchar";
  text +=
      ColumnDefinitions(writer, {.column_name = [&](const std::string& name) { return ColumnName(settings, name); },
                                 .type_text =
                                     [&](const Field& field, bool) {
                                       if (std::string mapped = PervasiveTypeText(field, settings); !mapped.empty()) {
                                         type = std::move(mapped);
                                       }
                                       return type;
                                     },
                                 .key_form = KeyForm::kClause,
                                 .key_clause = "PRIMARY KEY("});
  text += std::string(kCrLf) + ");";
  AppendTableStatement(writer);
}

// The value of a field into `value`, a work text kept for the whole table.
void ReadFieldValue(TableWriter& writer, const Field& field, ColumnClass c, std::string& value) {
  const Settings& settings = writer.settings;
  value.clear();
  AppendValueText(value, field, c);
  if (c == ColumnClass::kBlob) {
    // A raw file is written but the script holds no reference to it.
    value = BlobValue(writer, field, [](const RowBlobFile&) { return std::string(); }).text;
  }
  if (settings.formatting && (c == ColumnClass::kDateTime || c == ColumnClass::kDate) && !field.IsNull()) {
    value.clear();
    AppendFormatDateTime(value, settings.pe_format, field.AsDateTime(), GlobalFormatSettings());
  }
  if (c == ColumnClass::kBoolean) value = BooleanDigits(field);
  if (c == ColumnClass::kFloat) value = FloatText(field, settings);
}

// Pervasive's text ends at a NUL: it is dropped, and the value counted.
constexpr std::string_view kNulReason = "values with NUL characters, which Pervasive text cannot hold: NUL dropped";

void WriteRowStatement(TableWriter& writer, const std::string& row_head, const std::vector<ColumnClass>& classes,
                       NonFiniteValues& non_finite, LostValueCounts& lost, ValueText& value) {
  std::string& text = writer.run.table_text;
  text += row_head;
  // A line "/" alone or a command byte gets the CONCAT and CHAR() form.
  const QuoteRules rules{.null_quoted = writer.settings.null_quoted,
                         .literals = DialectLiteralForm(TargetDialect::Pervasive)};
  for (int i = 0; i < writer.table.FieldCount(); ++i) {
    if (i > 0) text += ",";
    const Field& field = writer.table.FieldAt(i);
    if (non_finite.Refuse(field)) {
      text += "NULL";
      continue;
    }
    ReadFieldValue(writer, field, classes[static_cast<size_t>(i)], value.text);
    if (RemoveNulCharacters(value.text)) lost.Count(field.Name(), kNulReason);
    AppendQuotedValue(text, value, rules);
  }
  text += ");";
}

}  // namespace

void EmitPervasiveTable(TableWriter& writer) {
  const Settings& settings = writer.settings;
  if (settings.content != ContentMode::DataOnly) WriteTableStatement(writer);
  if (settings.content == ContentMode::TableOnly || writer.run.empty_table) return;
  const std::vector<ColumnClass> classes = ClassesOf(writer.table);
  NonFiniteValues non_finite(writer, classes);
  const std::string row_head = "INSERT INTO " + TableName(writer.run) + " VALUES (";
  ValueText value;  // one work text for every value of the table
  LostValueCounts lost(writer.ui, writer.run.listed_table_name);
  WriteRows(writer, kPervasiveRules, row_head,
            [&] { WriteRowStatement(writer, row_head, classes, non_finite, lost, value); });
  lost.Report();
}

}  // namespace quill
