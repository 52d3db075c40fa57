// The PostgreSQL dialect: SET datestyle, lower-case quoted names, an inline
// key, INSERT with a column list, to_timestamp / to_date and lo_import
// expressions, rows wrapped at 80.

#include <cmath>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "generator/dialect_values.h"
#include "generator/lost_value_counts.h"
#include "generator/table_writer.h"

namespace quill {

namespace {

constexpr std::string_view kCrLf = "\r\n";

std::string DateTypeText(const Settings& settings, std::string_view type) {
  return settings.convert ? "character(" + settings.size + ")" : std::string(type);
}

// PostgreSQL's numeric holds up to 1000 digits with a declared precision,
// and any number, and the infinities, without one.
constexpr int kMaxNumericPrecision = 1000;

std::string NumericTypeText(const Field& field) {
  const int precision = field.Size();
  const int scale = field.Scale();
  if (field.HoldsInfinities()) return "numeric";
  if (precision <= 0 || precision > kMaxNumericPrecision || scale < 0 || scale > precision) return "numeric";
  return "numeric(" + std::to_string(precision) + "," + std::to_string(scale) + ")";
}

std::string PostgresTypeText(const Field& field, const Settings& settings) {
  switch (TypeClassOf(field)) {
    case ColumnClass::kString:
    case ColumnClass::kWideString: return "character(" + std::to_string(field.Size()) + ")";
    case ColumnClass::kMemo: return "text";
    case ColumnClass::kSmallint: return "smallint";
    case ColumnClass::kWord: return "integer";  // unsigned 16 bits: smallint ends at 32767
    case ColumnClass::kInteger: return field.IsUnsigned() ? "bigint" : "integer";
    case ColumnClass::kLargeint: return field.IsUnsigned() ? "numeric(20)" : "bigint";
    case ColumnClass::kAutoInc: return "serial";
    case ColumnClass::kFloat: return "decimal";
    case ColumnClass::kBCD: return NumericTypeText(field);
    case ColumnClass::kBoolean: return "boolean";
    case ColumnClass::kDateTime: return DateTypeText(settings, "timestamp");
    case ColumnClass::kDate: return DateTypeText(settings, "date");
    case ColumnClass::kTime: return field.IsDuration() ? "interval" : "time";
    case ColumnClass::kBlob:
      if (settings.text_from_blob) return "text";
      return settings.extract_files && !settings.save_as_raw ? "character(255)" : "oid";
    case ColumnClass::kVarBytes:
    case ColumnClass::kBytes: return "bytea";
    case ColumnClass::kGuid: return "character(255)";
    case ColumnClass::kUnknown: break;
  }
  return {};
}

const DialectRules kPostgresRules{
    .name = "PostgreSQL",
    .quotes = DialectIdentifierQuotes(TargetDialect::PostgreSql),
    .type_text = &PostgresTypeText,
    .text_cut = 0,
    .wrap_width = 80,
};

// Command bytes are written by chr() joined with ||.
const LiteralForm* const kPostgresLiterals = DialectLiteralForm(TargetDialect::PostgreSql);

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

// The same lower-case written name in CREATE and in the INSERT column list,
// so every row names the columns that were created.
std::string ColumnName(const std::string& written_name) {
  return QuoteIdentifier(kPostgresRules.quotes, written_name);
}

std::string TableName(const ScriptRunState& run) {
  return QuoteTableName(kPostgresRules.quotes, LowerCase(run.output_schema), LowerCase(run.output_name));
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
  text += ColumnDefinitions(writer, {.column_name = [&](const std::string& name) { return ColumnName(name); },
                                     .type_text = [&](const Field& field,
                                                      bool) { return PostgresTypeText(field, settings); },
                                     .key_form = KeyForm::kInlineUnlessComposite,
                                     .key_clause = "PRIMARY KEY ("});
  text += std::string(kCrLf) + ");";
  AppendTableStatement(writer);
}

// PostgreSQL's decimal holds NaN and the infinities under these names.
std::string NonFiniteText(double value) {
  if (std::isnan(value)) return "NaN";
  return value > 0 ? "Infinity" : "-Infinity";
}

constexpr std::string_view kNulReason = "values with NUL characters, which PostgreSQL text cannot hold: NUL dropped";
constexpr std::string_view kNotTextLost = "BLOB values that are not text, which a text column cannot hold: written NULL";

// decode('...','hex'): the bytes as hexadecimal digits, read the same way
// whatever the session's string settings.
void AppendBinaryLiteral(std::string& out, std::string_view bytes, RowCommas& commas) {
  out += "decode('";
  AppendHexDigits(out, bytes);
  out += '\'';
  commas.Append(out);
  out += "'hex')";
}

// The value of a field appended to the row text `out`, each comma it holds
// outside quotes recorded in `commas`.
void AppendFieldValue(TableWriter& writer, const Field& field, ColumnClass c, const std::vector<bool>& empty_kept,
                      ValuesWrittenNull& written_null, ValueText& value, std::string& out, RowCommas& commas) {
  const Settings& settings = writer.settings;
  if (written_null.Refuse(field)) {
    out += "NULL";
    return;
  }
  // numeric(p,s) holds NaN but no infinity.
  if (c == ColumnClass::kBCD && IsNonFinite(field, c) && LowerCase(field.AsString()).find("inf") != std::string::npos &&
      NumericTypeText(field) != "numeric") {
    writer.lost_values.Count(field.Name(), kNonFiniteLost);
    out += "NULL";
    return;
  }
  // The source's own text of 'infinity', a year BC or past 9999, which
  // PostgreSQL reads back as it wrote it.
  if (field.IsBeyondCalendar()) {
    AppendTextLiteral(out, field.RawText(), kPostgresLiterals);
    return;
  }
  if (IsBinaryClass(c) && !field.IsNull()) {
    AppendBinaryLiteral(out, field.RawText(), commas);
    return;
  }
  // With TextFromBlob the column is text, which holds no other bytes.
  if (c == ColumnClass::kBlob && settings.text_from_blob && !field.IsNull() && !IsTextBytes(field.RawText())) {
    writer.lost_values.Count(field.Name(), kNotTextLost);
    out += "NULL";
    return;
  }
  value.no_quote = false;
  value.text.clear();
  if (c == ColumnClass::kFloat) {
    value.text = IsNonFinite(field, c) ? NonFiniteText(field.AsFloat()) : FloatText(field, settings);
  } else if (c == ColumnClass::kTime && field.IsDuration()) {
    AppendDurationText(value.text, field);  // an interval's text
  } else {
    AppendValueText(value.text, field, c);
    KeepValidUtf8(writer.lost_values, field, IsTextClass(c), value.text);
  }
  if (c == ColumnClass::kBlob) {
    value = BlobValue(writer, field, [](const RowBlobFile& file) {
      return "lo_import(" + SqlLiteral(file.Path(), kPostgresLiterals) + ")";
    });
  }
  // PostgreSQL text cannot hold NUL: it is dropped, and the value counted.
  if (!value.no_quote && RemoveNulCharacters(value.text)) writer.lost_values.Count(field.Name(), kNulReason);
  if (c == ColumnClass::kBoolean) value.text = BooleanDigits(field);
  // A NULL date stays NULL: to_timestamp('') would give the year 1 BC.
  const bool formatted_date = UsesFormatString(settings) && !field.IsNull();
  if (formatted_date && c == ColumnClass::kDateTime) {
    // The user's format reads whole seconds: a fraction is added as
    // microseconds, so it is neither lost nor refused.
    const int microseconds = MicrosecondsOf(field, c);
    if (field.AsDateTime().nanosecond != 0) {
      value.text.clear();
      AppendValueText(value.text, field, c, 0);
    }
    out += "to_timestamp(";
    AppendTextLiteral(out, value.text, kPostgresLiterals);
    commas.Append(out);
    AppendTextLiteral(out, settings.po_time_format, kPostgresLiterals);
    out += ')';
    if (microseconds > 0) out += " + interval '" + std::to_string(microseconds) + " microseconds'";
    return;
  }
  if (formatted_date && c == ColumnClass::kDate) {
    out += "to_date(";
    AppendTextLiteral(out, value.text, kPostgresLiterals);
    commas.Append(out);
    AppendTextLiteral(out, settings.po_date_format, kPostgresLiterals);
    out += ')';
    return;
  }
  if (value.no_quote) {
    const size_t from = out.size();
    out += value.text;
    commas.RecordExpression(out, from);
    return;
  }
  // BLOB texts and file paths are data, not numbers: their commas stay.
  if (!IsTextClass(c) && c != ColumnClass::kBlob) CommasToPoints(value.text);
  AppendQuotedValue(out, value,
                    {.null_quoted = WritesEmptyQuoted(settings, empty_kept, field), .literals = kPostgresLiterals});
}

void WriteRowStatement(TableWriter& writer, const std::string& row_head, const std::vector<ColumnClass>& classes,
                       const std::vector<bool>& empty_kept, ValuesWrittenNull& written_null, ValueText& value,
                       RowCommas& commas) {
  std::string& text = writer.run.table_text;
  text += row_head;
  for (int i = 0; i < writer.table.FieldCount(); ++i) {
    if (i > 0) commas.Append(text);
    AppendFieldValue(writer, writer.table.FieldAt(i), classes[static_cast<size_t>(i)], empty_kept, written_null, value,
                     text, commas);
  }
  text += ");";
}

}  // namespace

void EmitPostgresTable(TableWriter& writer) {
  const Settings& settings = writer.settings;
  if (settings.content != ContentMode::DataOnly) WriteTableStatement(writer);
  if (settings.content == ContentMode::TableOnly || writer.run.empty_table) return;

  std::string row_head = "INSERT INTO " + TableName(writer.run) + " (";
  const std::vector<std::string> names = WrittenColumnNames(settings, writer.table);
  for (size_t i = 0; i < names.size(); ++i) {
    if (i > 0) row_head += ",";
    row_head += ColumnName(names[i]);
  }
  row_head += ")" + std::string(kCrLf) + "   VALUES (";
  const std::vector<ColumnClass> classes = ClassesOf(writer.table);
  // PostgreSQL's numeric holds NaN and the infinities, its dates and
  // date-times 'infinity' and years BC and past 9999.
  ValuesWrittenNull written_null(writer, classes, true, true);
  const std::vector<bool> empty_kept = EmptyTextKeptColumns(writer);
  ValueText value;  // one work text for every value of the table
  RowCommas commas;
  WriteRows(writer, kPostgresRules, row_head, commas,
            [&] { WriteRowStatement(writer, row_head, classes, empty_kept, written_null, value, commas); });
  LeaveOutKeyOfLostValues(writer, [&] { WriteTableStatement(writer); });
}

}  // namespace quill
