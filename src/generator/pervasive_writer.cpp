// The Pervasive dialect: every name in double quotes, 20-character column
// names, a table-level key, dates formatted by the built-in formatter, every
// value quoted, rows not wrapped.

#include <algorithm>
#include <optional>
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
constexpr DecimalLimits kDecimalLimits{.max_precision = 38, .max_scale = 38, .unknown_scale = 10};
// The longest binary(n), the fixed binary type that an index holds.
constexpr int kMaxBinary = 8000;
constexpr int kMaxKeyBinary = 255;

std::string DateTypeText(const Settings& settings, std::string_view type) {
  return settings.convert ? "char(" + settings.size + ")" : std::string(type);
}

std::string PervasiveTypeText(const Field& field, const Settings& settings) {
  switch (TypeClassOf(field)) {
    case ColumnClass::kBCD: return "decimal" + DecimalTypeFor(field, kDecimalLimits).Text();
    case ColumnClass::kBytes:
      return field.Size() > 0 && field.Size() <= kMaxBinary ? "binary(" + std::to_string(field.Size()) + ")"
                                                            : "longvarbinary";
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
    // A duration is no time of day: it is kept as its text.
    case ColumnClass::kTime: return field.IsDuration() ? "varchar(" + std::to_string(kDurationTextWidth) + ")" : "time";
    case ColumnClass::kWord: return "usmallint";  // unsigned 16 bits, not 8
    case ColumnClass::kLargeint: return field.IsUnsigned() ? "decimal(20,0)" : "bigint";
    case ColumnClass::kWideString:
      return field.Size() > 255 ? "longvarchar" : "varchar(" + std::to_string(field.Size()) + ")";
    case ColumnClass::kVarBytes: return "longvarbinary";
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
      ColumnDefinitions(writer, {.column_name =
                                     [&](const std::string& name) {
                                       return QuoteIdentifier(kPervasiveRules.quotes, name);
                                     },
                                 .type_text =
                                     [&](const Field& field, bool in_key) {
                                       // No index holds a longvarbinary: a binary key column is binary(n).
                                       if (in_key && IsBinaryClass(ClassOf(field))) {
                                         const int size = field.Size() > 0 ? field.Size() : kMaxKeyBinary;
                                         return "binary(" + std::to_string(std::min(size, kMaxKeyBinary)) + ")";
                                       }
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

constexpr std::string_view kNotTextLost = "BLOB values that are not text, which a text column cannot hold: written NULL";

// What a column decides about its values, worked out once a table.
struct PervasiveColumn {
  ColumnClass column_class;
  bool duration;
  bool blob_bytes;  // a BLOB column typed longvarbinary
  std::optional<DecimalType> decimal;  // a decimal column's type, which its values must fit
  std::string decimal_lost;
};

std::vector<PervasiveColumn> PervasiveColumns(const Dataset& table, const Settings& settings) {
  std::vector<PervasiveColumn> columns;
  for (int i = 0; i < table.FieldCount(); ++i) {
    const Field& field = table.FieldAt(i);
    const ColumnClass c = ClassOf(field);
    PervasiveColumn column{c, c == ColumnClass::kTime && field.IsDuration(),
                           PervasiveTypeText(field, settings) == "longvarbinary", std::nullopt, {}};
    if (c == ColumnClass::kBCD) {
      column.decimal = DecimalTypeFor(field, kDecimalLimits);
      column.decimal_lost = DecimalLostReason("decimal" + column.decimal->Text());
    }
    columns.push_back(std::move(column));
  }
  return columns;
}

// The value of a field into `value`, a work text kept for the whole table.
// Binary values are their hexadecimal digits, which Pervasive reads into a
// binary column as the bytes they spell, quoted like every value here.
void ReadFieldValue(TableWriter& writer, const Field& field, const PervasiveColumn& column, std::string& value) {
  const Settings& settings = writer.settings;
  const ColumnClass c = column.column_class;
  value.clear();
  if (IsBinaryClass(c)) {
    if (!field.IsNull()) AppendHexDigits(value, field.RawText());
    return;
  }
  if (column.duration) {
    AppendDurationText(value, field);
    return;
  }
  if (c != ColumnClass::kFloat) AppendValueText(value, field, c);  // a float's text is FloatText's, below
  KeepValidUtf8(writer.lost_values, field, IsTextClass(c), value);
  if (c == ColumnClass::kBlob) {
    if (settings.text_from_blob && !field.IsNull() && !IsTextBytes(field.RawText())) {
      if (column.blob_bytes) {
        AppendHexDigits(value, field.RawText());
      } else {
        writer.lost_values.Count(field.Name(), kNotTextLost);
      }
      return;
    }
    // A raw file is written but the script holds no reference to it.
    value = BlobValue(writer, field, [](const RowBlobFile&) { return std::string(); }).text;
  }
  if (settings.formatting && (c == ColumnClass::kDateTime || c == ColumnClass::kDate) && !field.IsNull()) {
    value.clear();
    AppendFormatDateTime(value, settings.pe_format, field.AsDateTime(), GlobalFormatSettings());
  }
  if (c == ColumnClass::kBoolean) value = BooleanDigits(field);
  if (c == ColumnClass::kFloat) value = FloatText(field, settings);
  if (column.decimal && !value.empty() && !FitsDecimal(value, *column.decimal)) {
    writer.lost_values.Count(field.Name(), column.decimal_lost);
    value.clear();
  }
}

// Pervasive's text ends at a NUL: it is dropped, and the value counted.
constexpr std::string_view kNulReason = "values with NUL characters, which Pervasive text cannot hold: NUL dropped";

void WriteRowStatement(TableWriter& writer, const std::string& row_head, const std::vector<PervasiveColumn>& columns,
                       const std::vector<bool>& empty_kept, ValuesWrittenNull& written_null, ValueText& value) {
  std::string& text = writer.run.table_text;
  text += row_head;
  // A line "/" alone or a command byte gets the CONCAT and CHAR() form.
  QuoteRules rules{.literals = DialectLiteralForm(TargetDialect::Pervasive)};
  for (int i = 0; i < writer.table.FieldCount(); ++i) {
    if (i > 0) text += ",";
    const Field& field = writer.table.FieldAt(i);
    if (written_null.Refuse(field)) {
      text += "NULL";
      continue;
    }
    ReadFieldValue(writer, field, columns[static_cast<size_t>(i)], value.text);
    // An empty binary value is no NULL: it stays ''.
    if (value.text.empty() && IsBinaryClass(columns[static_cast<size_t>(i)].column_class) && !field.IsNull()) {
      text += "''";
      continue;
    }
    if (RemoveNulCharacters(value.text)) writer.lost_values.Count(field.Name(), kNulReason);
    rules.null_quoted = WritesEmptyQuoted(writer.settings, empty_kept, field);
    AppendQuotedValue(text, value, rules);
  }
  text += ");";
}

}  // namespace

void EmitPervasiveTable(TableWriter& writer) {
  const Settings& settings = writer.settings;
  if (settings.content != ContentMode::DataOnly) WriteTableStatement(writer);
  if (settings.content == ContentMode::TableOnly || writer.run.empty_table) return;
  const std::vector<PervasiveColumn> columns = PervasiveColumns(writer.table, settings);
  ValuesWrittenNull written_null(writer, ClassesOf(writer.table), false);
  const std::string row_head = "INSERT INTO " + TableName(writer.run) + " VALUES (";
  const std::vector<bool> empty_kept = EmptyTextKeptColumns(writer);
  ValueText value;  // one work text for every value of the table
  WriteRows(writer, kPervasiveRules, row_head,
            [&] { WriteRowStatement(writer, row_head, columns, empty_kept, written_null, value); });
  LeaveOutKeyOfLostValues(writer, [&] { WriteTableStatement(writer); });
}

}  // namespace quill
