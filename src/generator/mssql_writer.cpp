// The MS SQL dialect: SET DATEFORMAT, DROP with Go, CREATE with bracketed
// names, and one INSERT (or INSERT ... SELECT for raw BLOB files) per row.

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "generator/dialect_values.h"
#include "generator/table_writer.h"

namespace quill {

namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr int kMsSqlTextLimit = 8000;
constexpr int kKeyBytes = 900;  // the longest key of a clustered index
constexpr DecimalLimits kDecimalLimits{.max_precision = 38, .max_scale = 38, .unknown_scale = 10};
// The first day DATETIME holds.
constexpr int kFirstDateTimeYear = 1753;

std::string DateFormatValue(const Settings& settings) {
  static constexpr std::string_view kFormats[] = {"mdy", "myd", "dmy", "dym", "ymd", "ydm"};
  const int choice = settings.ms_format;
  if (choice < 0 || choice >= static_cast<int>(std::size(kFormats))) return "mdy";  // nothing chosen
  return std::string(kFormats[choice]);
}

std::string DateTypeText(const Settings& settings) {
  if (settings.convert) return "varchar] (" + settings.size + ")";
  return settings.ms_type == 0 ? "TIMESTAMP]" : "DATETIME]";  // DATETIME while nothing is chosen
}

std::string LimitedText(std::string_view type, int size) {
  return std::string(type) + "] (" + std::to_string(size > kMsSqlTextLimit ? kMsSqlTextLimit : size) + ")";
}

// Bytes of any length in varbinary (max); a declared length in varbinary (n).
std::string BinaryTypeText(int size) {
  return size > 0 && size <= kMsSqlTextLimit ? "varbinary] (" + std::to_string(size) + ")" : "varbinary] (max)";
}

std::string MsSqlTypeText(const Field& field, const Settings& settings) {
  switch (TypeClassOf(field)) {
    case ColumnClass::kLargeint: return field.IsUnsigned() ? "decimal] (20,0)" : "bigint]";
    case ColumnClass::kBytes:
    case ColumnClass::kVarBytes: return BinaryTypeText(field.Size());
    case ColumnClass::kBoolean: return "bit]";
    case ColumnClass::kString: return LimitedText("varchar", field.Size());
    case ColumnClass::kWideString: return LimitedText("nvarchar", field.Size());
    case ColumnClass::kDateTime: return DateTypeText(settings);
    case ColumnClass::kBCD: return "numeric] " + DecimalTypeFor(field, kDecimalLimits).Text();
    case ColumnClass::kFloat: return "float]";
    case ColumnClass::kBlob:
      return settings.extract_files && !settings.save_as_raw ? "varchar] (255)" : "varbinary] (max)";
    case ColumnClass::kInteger: return field.IsUnsigned() ? "bigint]" : "int]";
    case ColumnClass::kMemo: return "text]";
    case ColumnClass::kSmallint: return "smallint]";
    case ColumnClass::kWord: return "int]";  // unsigned 16 bits: tinyint ends at 255, smallint at 32767
    case ColumnClass::kGuid: return "varchar] (255)";
    case ColumnClass::kAutoInc: return "int]";
    case ColumnClass::kDate: return DateTypeText(settings);
    // A duration's text is longer than a time of day's.
    case ColumnClass::kTime:
      return field.IsDuration() ? "varchar] (" + std::to_string(kDurationTextWidth) + ")" : "varchar] (15)";
    case ColumnClass::kUnknown: break;
  }
  return {};
}

const DialectRules kMsSqlRules{
    .name = "MS SQL",
    .quotes = DialectIdentifierQuotes(TargetDialect::MsSql),
    .type_text = &MsSqlTypeText,
    .text_cut = kMsSqlTextLimit,
    .wrap_width = 0,
};

// Every name is bracketed, in CREATE and in INSERT alike: a reserved word
// or any other name then reads as a name. A name with a line that the batch
// clients would read as a command (GO) has its line breaks written as blanks.
std::string Bracketed(std::string_view name) { return QuoteIdentifier(kMsSqlRules.quotes, name); }

std::string TableName(const ScriptRunState& run) {
  if (run.output_schema.empty()) return Bracketed(run.output_name);
  return Bracketed(run.output_schema) + "." + Bracketed(run.output_name);
}

// The N of "a GO after every N-th row", read as the class library reads an
// integer; a text that is none, or 0, ends the table with the library's error.
int64_t GoEveryRows(const std::string& text) {
  size_t start = text.find_first_not_of(' ');
  size_t end = start;
  if (end != std::string::npos && (text[end] == '-' || text[end] == '+')) ++end;
  const size_t digits = end;
  while (end < text.size() && text[end] >= '0' && text[end] <= '9' && end - digits < 10) ++end;
  if (start == std::string::npos || end == digits || end != text.size()) {
    throw std::runtime_error("'" + text + "' is not a valid integer value");
  }
  const int64_t n = std::stoll(text.substr(start));
  if (n == 0) throw std::runtime_error("Division by zero");
  return n;
}

const LiteralForm* const kMsSqlLiterals = DialectLiteralForm(TargetDialect::MsSql);

// The binary literal of bytes: 0x and their hexadecimal digits, an expression.
ValueText BinaryLiteral(std::string_view bytes) {
  ValueText value{"0x", true};
  AppendHexDigits(value.text, bytes);
  return value;
}

constexpr std::string_view kNotTextLost = "BLOB values that are not text, which a text column cannot hold: written NULL";
constexpr std::string_view kEarlyDateLost = "dates before 1753, which DATETIME does not hold: written NULL";
constexpr std::string_view kFractionChanged =
    "date-times finer than DATETIME's 1/300 second: written to the nearest 1/300 second within their second";
constexpr std::string_view kTextCut = "values longer than 8000 characters, which the column's type cannot hold: cut";

// A BLOB column typed varbinary takes bytes only: its text from BLOBs is
// written as the binary literal of the bytes.
ValueText BlobValue(TableWriter& writer, const Field& field, bool column_holds_bytes) {
  if (writer.settings.text_from_blob) {
    if (field.IsNull()) return {};
    if (column_holds_bytes) return BinaryLiteral(field.RawText());
    if (!IsTextBytes(field.RawText())) {
      writer.lost_values.Count(field.Name(), kNotTextLost);
      return {"NULL", true};
    }
    return {field.AsString(), false};
  }
  const std::optional<RowBlobFile> file = WriteRowBlobFile(writer, field);
  if (!file) return {};
  if (writer.settings.save_as_raw) {
    std::string reference = " * FROM OPENROWSET(BULK ";
    AppendTextLiteral(reference, file->Path(), kMsSqlLiterals, "N");
    reference += ", SINGLE_BLOB)";
    return {std::move(reference), true};
  }
  return {file->Path(), false};
}

// What a column's class decides about its values, worked out once a table
// rather than for every value.
struct ColumnValueRules {
  enum class Form { kBoolean, kBinary, kBlob, kFloat, kDateTime, kDuration, kText } form;
  ColumnClass column_class;
  bool cut_text;            // sized string columns are cut to the text limit
  bool keeps_commas;        // text keeps its commas; numbers get points
  NumberForm unquoted;      // the form of a value the Quoted option leaves bare
  bool wide;                // wide text: always N'...'
  int fraction_digits;      // of a second: milliseconds for DATETIME columns
  bool blob_bytes;          // a BLOB column typed varbinary
  std::optional<DecimalType> decimal;  // a decimal column's type, which its values must fit
  std::string decimal_lost;            // the lost-value reason of a value that does not
  int key_length = 0;     // a text or binary key column typed to fit the key: its characters or bytes
  std::string key_lost;   // the lost-value reason of a value longer than that
};

ColumnValueRules ValueRulesOf(const Field& field, const Settings& settings) {
  using Form = ColumnValueRules::Form;
  const ColumnClass c = ClassOf(field);
  const bool date_time_type = (c == ColumnClass::kDateTime || c == ColumnClass::kDate) && !settings.convert;
  const Form form = c == ColumnClass::kBoolean                      ? Form::kBoolean
                    : IsBinaryClass(c)                              ? Form::kBinary
                    : c == ColumnClass::kBlob                       ? Form::kBlob
                    : c == ColumnClass::kFloat                      ? Form::kFloat
                    : date_time_type                                ? Form::kDateTime
                    : c == ColumnClass::kTime && field.IsDuration() ? Form::kDuration
                                                                    : Form::kText;
  // Blob values are paths or text here, never numbers: they stay quoted.
  NumberForm unquoted = NumberForm::kNone;
  switch (c) {
    case ColumnClass::kBoolean:
    case ColumnClass::kInteger:
    case ColumnClass::kLargeint:
    case ColumnClass::kSmallint:
    case ColumnClass::kWord:
    case ColumnClass::kAutoInc: unquoted = NumberForm::kInteger; break;
    case ColumnClass::kBCD:
    case ColumnClass::kFloat: unquoted = NumberForm::kDecimal; break;
    default: break;
  }
  const bool string = c == ColumnClass::kString || c == ColumnClass::kWideString;
  // A string column without a size is a text column: nothing is cut.
  const bool sized_string = string && TypeClassOf(field) != ColumnClass::kMemo;
  // MS SQL reads a DATETIME text with at most three digits of a second and
  // holds no finer fraction; times are text columns and keep every digit.
  const int fraction_digits = date_time_type ? 3 : 9;
  ColumnValueRules rules{form, c, sized_string, string || c == ColumnClass::kMemo || c == ColumnClass::kBlob,
                         unquoted, c == ColumnClass::kWideString, fraction_digits,
                         MsSqlTypeText(field, settings).starts_with("varbinary"), std::nullopt, {}, 0, {}};
  if (c == ColumnClass::kBCD) {
    rules.decimal = DecimalTypeFor(field, kDecimalLimits);
    rules.decimal_lost = DecimalLostReason("numeric" + rules.decimal->Text());
  }
  return rules;
}

// A DATETIME value: before 1753 it is NULL; its fraction goes to DATETIME's
// nearest 1/300 second, but never past the end of its second, so 23:59:59.999
// stays on its own day (MS SQL would round it into the next one).
void ReadDateTimeValue(TableWriter& writer, const Field& field, const ColumnValueRules& rules, ValueText& value) {
  value.text.clear();
  if (field.IsNull()) return;
  DateTime date_time = field.AsDateTime();
  if (date_time.year < kFirstDateTimeYear) {
    writer.lost_values.Count(field.Name(), kEarlyDateLost);
    value = {"NULL", true};
    return;
  }
  if (rules.column_class == ColumnClass::kDateTime) {
    const int64_t nanosecond = date_time.nanosecond;
    const int64_t ticks = std::min<int64_t>((nanosecond * 300 + 500000000) / 1000000000, 299);
    const int millisecond = static_cast<int>((ticks * 20 + 3) / 6);
    if (nanosecond != int64_t{millisecond} * 1000000) writer.lost_values.Count(field.Name(), kFractionChanged);
    date_time.nanosecond = millisecond * 1000000;
  }
  AppendDateTimeText(value.text, date_time, rules.column_class, rules.fraction_digits);
}

// The UTF-16 units of a UTF-8 text, which nvarchar(n) counts: two for a
// character beyond the Basic Multilingual Plane.
size_t Utf16Length(std::string_view text) {
  size_t units = 0;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte & 0xC0) != 0x80) units += byte >= 0xF0 ? 2 : 1;
  }
  return units;
}

// No key may hold a text column or varbinary (max): such a key column gets
// the widest nvarchar (characters) or varbinary (bytes) the key's 900 bytes
// hold, shared among such columns; 0 for every other column.
std::vector<int> KeyColumnLengths(TableWriter& writer) {
  const Settings& settings = writer.settings;
  const std::vector<std::string> key = PrimaryKeyColumns(writer);
  const auto unbounded = [&](const Field& field) {
    return TypeClassOf(field) == ColumnClass::kMemo || MsSqlTypeText(field, settings) == "varbinary] (max)";
  };
  std::vector<const Field*> in_key;
  for (const std::string& name : key) {
    const Field* field = writer.table.FindField(name);
    if (field != nullptr && unbounded(*field)) in_key.push_back(field);
  }
  std::vector<int> lengths(static_cast<size_t>(writer.table.FieldCount()), 0);
  if (in_key.empty()) return lengths;
  const int key_bytes = kKeyBytes / static_cast<int>(in_key.size());
  for (const Field* field : in_key) {
    lengths[static_cast<size_t>(field->Index())] =
        TypeClassOf(*field) == ColumnClass::kMemo ? key_bytes / 2 : key_bytes;
  }
  return lengths;
}

void ReadFieldValue(TableWriter& writer, const Field& field, const ColumnValueRules& rules, ValueText& value) {
  using Form = ColumnValueRules::Form;
  value.no_quote = false;
  switch (rules.form) {
    case Form::kBoolean:
      value.text = BooleanDigits(field);  // NULL stays NULL: unknown is not false
      break;
    case Form::kBinary:
      if (field.IsNull()) {
        value.text.clear();
      } else if (rules.key_length > 0 && field.RawText().size() > static_cast<size_t>(rules.key_length)) {
        writer.lost_values.Count(field.Name(), rules.key_lost);
        value = {"NULL", true};
      } else {
        value = BinaryLiteral(field.RawText());
      }
      return;
    case Form::kBlob:
      value = BlobValue(writer, field, rules.blob_bytes);
      break;
    case Form::kFloat:
      value.text = FloatText(field, writer.settings);
      break;
    case Form::kDateTime:
      ReadDateTimeValue(writer, field, rules, value);
      break;
    case Form::kDuration:
      value.text.clear();
      AppendDurationText(value.text, field);
      break;
    case Form::kText:
      value.text.clear();
      AppendValueText(value.text, field, rules.column_class, rules.fraction_digits);
      KeepValidUtf8(writer.lost_values, field, IsTextClass(rules.column_class), value.text);
      break;
  }
  if (rules.cut_text && value.text.size() > static_cast<size_t>(kMsSqlTextLimit)) {
    const size_t before = value.text.size();
    KeepFirstCharacters(value.text, kMsSqlTextLimit);
    if (value.text.size() != before) writer.lost_values.Count(field.Name(), kTextCut);
  }
  if (rules.key_length > 0 && !value.no_quote && Utf16Length(value.text) > static_cast<size_t>(rules.key_length)) {
    writer.lost_values.Count(field.Name(), rules.key_lost);
    value = {"NULL", true};
    return;
  }
  if (!rules.keeps_commas && !value.no_quote) CommasToPoints(value.text);
  if (rules.decimal && !value.text.empty() && !FitsDecimal(value.text, *rules.decimal)) {
    writer.lost_values.Count(field.Name(), rules.decimal_lost);
    value = {"NULL", true};
  }
}

void WriteTableStatement(TableWriter& writer) {
  const Settings& settings = writer.settings;
  ScriptRunState& run = writer.run;
  const std::string table_name = TableName(run);
  std::string& text = run.table_text;
  if (settings.formatting) text += "SET DATEFORMAT " + DateFormatValue(settings) + std::string(kCrLf);
  if (settings.drop) text += "DROP TABLE " + table_name + std::string(kCrLf) + "Go" + std::string(kCrLf);
  text += "CREATE TABLE " + table_name + " (" + std::string(kCrLf);

  // A one-column key is marked inline; a key of several columns becomes a
  // table-level clause, so the target gets the same key.
  const std::vector<std::string> key = PrimaryKeyColumns(writer);
  const bool inline_key = key.size() == 1;
  const std::vector<std::string> names = WrittenColumnNames(settings, writer.table);
  const std::vector<int> key_lengths = KeyColumnLengths(writer);
  for (int i = 0; i < writer.table.FieldCount(); ++i) {
    const Field& field = writer.table.FieldAt(i);
    if (i > 0) text += "," + std::string(kCrLf);
    const int key_length = key_lengths[static_cast<size_t>(i)];
    std::string type = key_length == 0                            ? MsSqlTypeText(field, settings)
                       : TypeClassOf(field) == ColumnClass::kMemo ? "nvarchar] (" + std::to_string(key_length) + ")"
                                                                  : BinaryTypeText(key_length);
    if (type.empty()) type = "sql_variant]";  // a class outside the map: the type that takes any value
    if (inline_key && !run.primary_key_marked && field.Name() == key.front()) {
      type += " PRIMARY KEY";
      run.primary_key_marked = true;
    }
    text += Bracketed(names[static_cast<size_t>(i)]) + " [" + type;
  }
  if (key.size() > 1) {
    text += "," + std::string(kCrLf) + "PRIMARY KEY (";
    for (size_t k = 0; k < key.size(); ++k) {
      if (k > 0) text += ",";
      text += Bracketed(names[static_cast<size_t>(writer.table.FindField(key[k])->Index())]);
    }
    text += ")";
    run.primary_key_marked = true;
  }
  text += std::string(kCrLf) + ")";
  AppendTableStatement(writer);
}

void WriteRowStatement(TableWriter& writer, const std::string& row_head,
                       const std::vector<ColumnValueRules>& columns, const std::vector<bool>& empty_kept,
                       ValuesWrittenNull& written_null, ValueText& value) {
  const Settings& settings = writer.settings;
  ScriptRunState& run = writer.run;
  std::string& text = run.table_text;
  text += row_head;
  for (int i = 0; i < writer.table.FieldCount(); ++i) {
    const Field& field = writer.table.FieldAt(i);
    const ColumnValueRules& column = columns[static_cast<std::size_t>(i)];
    if (i > 0) text += ",";
    if (written_null.Refuse(field)) {
      value = {"NULL", true};
    } else {
      ReadFieldValue(writer, field, column, value);
    }
    const QuoteRules rules{.null_quoted = WritesEmptyQuoted(settings, empty_kept, field),
                           .unquoted = settings.quoted ? column.unquoted : NumberForm::kNone,
                           .prefix = "N",
                           .prefix_non_ascii = !column.wide,
                           .literals = kMsSqlLiterals};
    AppendQuotedValue(text, value, rules);
    if (run.select_row_mode) text += " As " + Bracketed(field.Name());
  }
  const bool go_here = settings.go && static_cast<int64_t>(run.row_counter) % GoEveryRows(settings.go_lines) == 0;
  if (!run.select_row_mode) text += ")";
  if (go_here) text += std::string(kCrLf) + "GO";
}

}  // namespace

void EmitMsSqlTable(TableWriter& writer) {
  const Settings& settings = writer.settings;
  if (settings.content != ContentMode::DataOnly) WriteTableStatement(writer);
  if (settings.content == ContentMode::TableOnly || writer.run.empty_table) return;

  writer.run.select_row_mode = settings.extract_files && settings.save_as_raw;
  std::string row_head = "INSERT INTO " +
                         TableName(writer.run) + " (";
  const std::vector<std::string> names = WrittenColumnNames(settings, writer.table);
  for (size_t i = 0; i < names.size(); ++i) {
    if (i > 0) row_head += ",";
    row_head += Bracketed(names[i]);
  }
  row_head += ")" + std::string(kCrLf) + (writer.run.select_row_mode ? "   SELECT " : "   VALUES (");
  std::vector<ColumnValueRules> columns;
  const std::vector<int> key_lengths = KeyColumnLengths(writer);
  for (int i = 0; i < writer.table.FieldCount(); ++i) {
    ColumnValueRules column = ValueRulesOf(writer.table.FieldAt(i), settings);
    column.key_length = key_lengths[static_cast<size_t>(i)];
    if (column.key_length > 0) {
      column.key_lost = "values longer than the " + std::to_string(column.key_length) +
                        (column.form == ColumnValueRules::Form::kBinary ? " bytes" : " characters") +
                        " the key's index holds: written NULL";
    }
    columns.push_back(std::move(column));
  }
  ValuesWrittenNull written_null(writer, ClassesOf(writer.table), false);
  const std::vector<bool> empty_kept = EmptyTextKeptColumns(writer);
  ValueText value;  // one buffer for every value of the table
  WriteRows(writer, kMsSqlRules, row_head,
            [&] { WriteRowStatement(writer, row_head, columns, empty_kept, written_null, value); });
  LeaveOutKeyOfLostValues(writer, [&] { WriteTableStatement(writer); });
}

}  // namespace quill
