// The Oracle dialect: names bare or in double quotes, 30-character column
// names, an inline key, TO_DATE and BFILENAME expressions, rows wrapped at 60.

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "generator/dialect_values.h"
#include "generator/table_writer.h"

namespace quill {

namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr int kOracleTextLimit = 4000;
constexpr int kOracleValueCut = 3997;
// The longest raw, and the most bytes one HEXTORAW literal carries.
constexpr int kOracleRawLimit = 2000;
// number without a precision keeps 38 significant digits, from 1E-130 up to
// below 1E126; float has the same range.
constexpr int kOracleNumberDigits = 38;
constexpr int kOracleNumberIntegerDigits = 126;
constexpr int kOracleNumberLowestPower = -130;

std::string DateTypeText(const Settings& settings) {
  return settings.convert ? "varchar2(" + settings.size + ")" : "date";
}

std::string VarcharText(int size) {
  return "varchar2(" + std::to_string(size > kOracleTextLimit ? kOracleTextLimit : size) + ")";
}

std::string BinaryTypeText(int size) {
  return size > 0 && size <= kOracleRawLimit ? "raw(" + std::to_string(size) + ")" : "blob";
}

// number(p,s) for a precision and scale Oracle takes, else number, which
// holds any scale.
DecimalType NumberType(const Field& field) {
  const int precision = field.Size();
  const int scale = field.Scale();
  if (precision > 0 && precision <= kOracleNumberDigits && scale >= 0 && scale <= precision) return {precision, scale};
  return {.significant = kOracleNumberDigits,
          .max_integer_digits = kOracleNumberIntegerDigits,
          .lowest_power = kOracleNumberLowestPower};
}

// Whether a float is within the range of Oracle's float (zero is).
bool FitsOracleFloat(double value) {
  const double magnitude = std::fabs(value);
  return magnitude == 0 || (magnitude < 1e126 && magnitude >= 1e-130);
}

std::string NumberTypeText(const Field& field) {
  const DecimalType type = NumberType(field);
  return type.precision == 0 ? "number" : "number" + type.Text();
}

std::string OracleTypeText(const Field& field, const Settings& settings) {
  switch (TypeClassOf(field)) {
    case ColumnClass::kString: return VarcharText(field.Size());
    // Oracle counts a float's precision in bits: float(8) would keep about two
    // digits of a double. The default precision keeps them all.
    case ColumnClass::kFloat: return "float";
    case ColumnClass::kDateTime: return DateTypeText(settings);
    case ColumnClass::kMemo: return "long";
    case ColumnClass::kBytes:
    case ColumnClass::kVarBytes: return BinaryTypeText(field.Size());
    case ColumnClass::kBlob: return settings.extract_files && !settings.save_as_raw ? "varchar2(255)" : "bfile";
    case ColumnClass::kInteger:
    case ColumnClass::kSmallint:
    case ColumnClass::kAutoInc:
    case ColumnClass::kWord: return "integer";
    case ColumnClass::kLargeint: return field.IsUnsigned() ? "number(20)" : "integer";
    case ColumnClass::kBoolean: return "number(1)";
    case ColumnClass::kBCD: return NumberTypeText(field);
    case ColumnClass::kWideString: return VarcharText(field.Size());
    case ColumnClass::kDate: return DateTypeText(settings);
    // A duration is no time of day: it is kept as its text.
    case ColumnClass::kTime: return field.IsDuration() ? VarcharText(kDurationTextWidth) : DateTypeText(settings);
    case ColumnClass::kGuid: return "varchar(255)";
    case ColumnClass::kUnknown: break;
  }
  return {};
}

// A name is bare only when it is a plain identifier and no reserved word;
// any other name is double-quoted, so it cannot break the statement.
const DialectRules kOracleRules{
    .name = "Oracle",
    .quotes = OracleIdentifierQuotes(),
    .type_text = &OracleTypeText,
    .text_cut = kOracleValueCut,
    .wrap_width = 60,
};

// Text literals joined by CHR() where a line would read as a SQL*Plus
// command ("/" alone, a blank line, ...) or a command byte stands.
const LiteralForm* const kOracleLiterals = DialectLiteralForm(TargetDialect::Oracle);

std::string IdentifierForm(std::string_view name) { return QuoteIdentifier(kOracleRules.quotes, name); }

std::string TableName(const ScriptRunState& run) { return IdentifierForm(run.output_name); }

void WriteTableStatement(TableWriter& writer) {
  const Settings& settings = writer.settings;
  ScriptRunState& run = writer.run;
  std::string& text = run.table_text;
  if (settings.drop) text += "DROP TABLE " + TableName(run) + ";" + std::string(kCrLf);
  text += "CREATE TABLE " + TableName(run) + " (" + std::string(kCrLf);

  // A one-column key is marked inline; a key of several columns becomes a
  // table-level clause, so the target gets the whole key. Oracle takes one
  // long column a table and none in a key: the first memo column outside the
  // key is long, further ones clob, and a memo key column varchar2(4000).
  bool long_written = false;
  const auto type_text = [&](const Field& field, bool in_key) {
    // No key holds a blob: a binary key column is the longest raw.
    if (in_key && IsBinaryClass(ClassOf(field))) {
      return BinaryTypeText(std::min(field.Size() > 0 ? field.Size() : kOracleRawLimit, kOracleRawLimit));
    }
    if (TypeClassOf(field) != ColumnClass::kMemo) return OracleTypeText(field, settings);
    if (in_key) return VarcharText(kOracleTextLimit);
    if (long_written) return std::string("clob");
    long_written = true;
    return std::string("long");
  };
  text += ColumnDefinitions(writer, {.column_name = [&](const std::string& name) { return IdentifierForm(name); },
                                     .type_text = type_text,
                                     .key_form = KeyForm::kInlineUnlessComposite,
                                     .key_clause = "PRIMARY KEY ("});
  text += std::string(kCrLf) + ");";
  AppendTableStatement(writer);
}

constexpr std::string_view kLongBinaryLost =
    "binary values longer than 2000 bytes, more than one Oracle literal carries: written NULL";
constexpr std::string_view kFractionCut =
    "date-times with fractions of a second, which Oracle's date does not hold: written to the whole second";
constexpr std::string_view kTextCut = "values longer than 3997 characters, which the column's type cannot hold: cut";
constexpr std::string_view kNotTextLost = "BLOB values that are not text, which a text column cannot hold: written NULL";
constexpr std::string_view kFloatRangeLost =
    "values from 1E126 up or nearer zero than 1E-130, which Oracle's float does not hold: written NULL";

// What a column decides about its values, worked out once a table.
struct OracleColumn {
  ColumnClass column_class;
  bool cut_text;  // sized string columns: cut to the value limit
  bool duration;
  std::optional<DecimalType> number;  // a decimal column's type, which its values must fit
  std::string number_lost;
};

std::vector<OracleColumn> OracleColumns(const Dataset& table) {
  std::vector<OracleColumn> columns;
  for (int i = 0; i < table.FieldCount(); ++i) {
    const Field& field = table.FieldAt(i);
    const ColumnClass c = ClassOf(field);
    OracleColumn column{c, (c == ColumnClass::kWideString || c == ColumnClass::kString) &&
                               TypeClassOf(field) != ColumnClass::kMemo,
                        c == ColumnClass::kTime && field.IsDuration(), std::nullopt, {}};
    if (c == ColumnClass::kBCD) {
      column.number = NumberType(field);
      column.number_lost = DecimalLostReason(NumberTypeText(field));
    }
    columns.push_back(std::move(column));
  }
  return columns;
}

// The value of a field into `value`, a work text kept for the whole table.
void ReadFieldValue(TableWriter& writer, const Field& field, const OracleColumn& column, ValueText& value) {
  const Settings& settings = writer.settings;
  const ColumnClass c = column.column_class;
  value.no_quote = false;
  value.text.clear();
  const bool blob_bytes = c == ColumnClass::kBlob && settings.text_from_blob && !field.IsNull() &&
                          !IsTextBytes(field.RawText());
  if (blob_bytes) {
    writer.lost_values.Count(field.Name(), kNotTextLost);
    return;
  }
  if (IsBinaryClass(c)) {
    if (field.IsNull()) return;
    if (field.RawText().size() > static_cast<size_t>(kOracleRawLimit)) {
      writer.lost_values.Count(field.Name(), kLongBinaryLost);
      return;
    }
    value = {"HEXTORAW('", true};
    AppendHexDigits(value.text, field.RawText());
    value.text += "')";
    return;
  }
  if (column.duration) {
    AppendDurationText(value.text, field);
    return;
  }
  // Oracle's date holds whole seconds, and TO_DATE reads no fraction.
  if (!settings.convert && (c == ColumnClass::kDateTime || c == ColumnClass::kTime) && !field.IsNull() &&
      field.AsDateTime().nanosecond != 0) {
    writer.lost_values.Count(field.Name(), kFractionCut);
  }
  // A float's text is FloatText's, below.
  if (c != ColumnClass::kFloat) AppendValueText(value.text, field, c, settings.convert ? 9 : 0);
  KeepValidUtf8(writer.lost_values, field, IsTextClass(c), value.text);
  if (c == ColumnClass::kBlob) {
    value = BlobValue(writer, field, [](const RowBlobFile& file) {
      return "BFILENAME(" + SqlLiteral(file.folder, kOracleLiterals) + "," +
             SqlLiteral(file.file_name, kOracleLiterals) + ")";
    });
  }
  if (settings.formatting && (c == ColumnClass::kDateTime || c == ColumnClass::kDate)) {
    value = {"TO_DATE(" + SqlLiteral(value.text, kOracleLiterals) + "," +
                 SqlLiteral(settings.or_format, kOracleLiterals) + ")",
             true};
  }
  if (c == ColumnClass::kBoolean) value.text = BooleanDigits(field);
  if (c == ColumnClass::kFloat && !field.IsNull()) {
    if (!FitsOracleFloat(field.AsFloat())) {
      writer.lost_values.Count(field.Name(), kFloatRangeLost);
      return;
    }
    value.text = FloatText(field, settings);
  }
  if (column.cut_text && value.text.size() > static_cast<size_t>(kOracleValueCut)) {
    const size_t before = value.text.size();
    KeepFirstCharacters(value.text, kOracleValueCut);
    if (value.text.size() != before) writer.lost_values.Count(field.Name(), kTextCut);
  }
  if (column.number && !value.text.empty() && !FitsDecimal(value.text, *column.number)) {
    writer.lost_values.Count(field.Name(), column.number_lost);
    value.text.clear();
  }
}

void WriteRowStatement(TableWriter& writer, const std::string& row_head, const std::vector<OracleColumn>& columns,
                       ValuesWrittenNull& written_null, ValueText& value, RowCommas& commas) {
  std::string& text = writer.run.table_text;
  text += row_head;
  for (int i = 0; i < writer.table.FieldCount(); ++i) {
    if (i > 0) commas.Append(text);
    const Field& field = writer.table.FieldAt(i);
    if (written_null.Refuse(field)) {
      text += "NULL";
      continue;
    }
    // Every value is quoted, numbers too; an empty one is NULL. An
    // expression (TO_DATE('..','..')) holds commas of its own.
    ReadFieldValue(writer, field, columns[static_cast<size_t>(i)], value);
    const size_t from = text.size();
    AppendQuotedValue(text, value, {.literals = kOracleLiterals});
    if (value.no_quote) commas.RecordExpression(text, from);
  }
  text += ");";
}

}  // namespace

void EmitOracleTable(TableWriter& writer) {
  const Settings& settings = writer.settings;
  if (settings.content != ContentMode::DataOnly) WriteTableStatement(writer);
  if (settings.content == ContentMode::TableOnly || writer.run.empty_table) return;
  const std::vector<OracleColumn> columns = OracleColumns(writer.table);
  ValuesWrittenNull written_null(writer, ClassesOf(writer.table), false);
  const std::string row_head = "INSERT INTO " + TableName(writer.run) + " VALUES(";
  ValueText value;  // one work text for every value of the table
  RowCommas commas;
  WriteRows(writer, kOracleRules, row_head, commas,
            [&] { WriteRowStatement(writer, row_head, columns, written_null, value, commas); });
  LeaveOutKeyOfLostValues(writer, [&] { WriteTableStatement(writer); });
}

}  // namespace quill
