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

std::string MsSqlTypeText(const Field& field, const Settings& settings) {
  switch (TypeClassOf(field)) {
    case ColumnClass::kLargeint: return field.IsUnsigned() ? "decimal] (20,0)" : "bigint]";
    case ColumnClass::kBytes: return "varchar] (15)";
    case ColumnClass::kBoolean: return "bit]";
    case ColumnClass::kString: return LimitedText("varchar", field.Size());
    case ColumnClass::kWideString: return LimitedText("nvarchar", field.Size());
    case ColumnClass::kDateTime: return DateTypeText(settings);
    case ColumnClass::kBCD: return "numeric] (15,4)";
    case ColumnClass::kFloat: return "float]";
    case ColumnClass::kBlob:
      return settings.extract_files && !settings.save_as_raw ? "varchar] (255)" : "varbinary] (max)";
    case ColumnClass::kInteger: return field.IsUnsigned() ? "bigint]" : "int]";
    case ColumnClass::kMemo: return "text]";
    case ColumnClass::kSmallint: return "smallint]";
    case ColumnClass::kVarBytes: return "sql_variant]";
    case ColumnClass::kWord: return "int]";  // unsigned 16 bits: tinyint ends at 255, smallint at 32767
    case ColumnClass::kGuid: return "varchar] (255)";
    case ColumnClass::kAutoInc: return "int]";
    case ColumnClass::kDate: return DateTypeText(settings);
    case ColumnClass::kTime: return "varchar] (15)";
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

ValueText BlobValue(TableWriter& writer, const Field& field) {
  if (writer.settings.text_from_blob) return {field.AsString(), false};
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
  enum class Form { kBoolean, kBytes, kBlob, kFloat, kText } form;
  ColumnClass column_class;
  bool cut_text;            // string columns are cut to the text limit
  bool keeps_commas;        // text keeps its commas; numbers get points
  NumberForm unquoted;      // the form of a value the Quoted option leaves bare
  bool wide;                // wide text: always N'...'
  int fraction_digits;      // of a second: milliseconds for DATETIME columns
};

ColumnValueRules ValueRulesOf(const Field& field, const Settings& settings) {
  using Form = ColumnValueRules::Form;
  const ColumnClass c = ClassOf(field);
  const Form form = c == ColumnClass::kBoolean ? Form::kBoolean
                    : c == ColumnClass::kBytes ? Form::kBytes
                    : c == ColumnClass::kBlob  ? Form::kBlob
                    : c == ColumnClass::kFloat ? Form::kFloat
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
  // MS SQL reads a DATETIME text with at most three digits of a second and
  // holds no finer fraction; times are text columns and keep every digit.
  const int fraction_digits = c == ColumnClass::kDateTime && !settings.convert ? 3 : 9;
  return {form, c, string, string || c == ColumnClass::kMemo || c == ColumnClass::kBlob, unquoted,
          c == ColumnClass::kWideString, fraction_digits};
}

void ReadFieldValue(TableWriter& writer, const Field& field, const ColumnValueRules& rules, ValueText& value) {
  using Form = ColumnValueRules::Form;
  value.no_quote = false;
  switch (rules.form) {
    case Form::kBoolean:
      value.text = BooleanDigits(field);  // NULL stays NULL: unknown is not false
      break;
    case Form::kBytes:
      value.text = field.IsNull() ? "" : "Binary Data.";
      break;
    case Form::kBlob:
      value = BlobValue(writer, field);
      break;
    case Form::kFloat:
      value.text = FloatText(field, writer.settings);
      break;
    case Form::kText:
      value.text.clear();
      AppendValueText(value.text, field, rules.column_class, rules.fraction_digits);
      break;
  }
  if (rules.cut_text) KeepFirstCharacters(value.text, kMsSqlTextLimit);
  if (!rules.keeps_commas && !value.no_quote) CommasToPoints(value.text);
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
  // No key may hold a text column: a memo key column gets the widest
  // nvarchar the key's 900 bytes hold, shared among such columns.
  int memo_key_columns = 0;
  for (const std::string& name : key) {
    const Field* field = writer.table.FindField(name);
    if (field != nullptr && TypeClassOf(*field) == ColumnClass::kMemo) ++memo_key_columns;
  }
  for (int i = 0; i < writer.table.FieldCount(); ++i) {
    const Field& field = writer.table.FieldAt(i);
    if (i > 0) text += "," + std::string(kCrLf);
    const bool memo_in_key = TypeClassOf(field) == ColumnClass::kMemo &&
                             std::find(key.begin(), key.end(), field.Name()) != key.end();
    std::string type = memo_in_key ? "nvarchar] (" + std::to_string(kKeyBytes / 2 / memo_key_columns) + ")"
                                   : MsSqlTypeText(field, settings);
    if (type.empty()) type = "sql_variant]";  // a class outside the map: the type that takes any value
    if (inline_key && !run.primary_key_marked && field.Name() == key.front()) {
      type += " PRIMARY KEY";
      run.primary_key_marked = true;
    }
    text += Bracketed(ApplyUnderscore(settings, field.Name())) + " [" + type;
  }
  if (key.size() > 1) {
    text += "," + std::string(kCrLf) + "PRIMARY KEY (";
    for (size_t k = 0; k < key.size(); ++k) {
      if (k > 0) text += ",";
      text += Bracketed(ApplyUnderscore(settings, key[k]));
    }
    text += ")";
    run.primary_key_marked = true;
  }
  text += std::string(kCrLf) + ")";
  AppendTableStatement(writer);
}

void WriteRowStatement(TableWriter& writer, const std::string& row_head,
                       const std::vector<ColumnValueRules>& columns, NonFiniteValues& non_finite,
                       ValueText& value) {
  const Settings& settings = writer.settings;
  ScriptRunState& run = writer.run;
  std::string& text = run.table_text;
  text += row_head;
  for (int i = 0; i < writer.table.FieldCount(); ++i) {
    const Field& field = writer.table.FieldAt(i);
    const ColumnValueRules& column = columns[static_cast<std::size_t>(i)];
    if (i > 0) text += ",";
    if (non_finite.Refuse(field)) {
      value = {};
    } else {
      ReadFieldValue(writer, field, column, value);
    }
    const QuoteRules rules{.null_quoted = settings.null_quoted,
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
  for (int i = 0; i < writer.table.FieldCount(); ++i) {
    if (i > 0) row_head += ",";
    row_head += Bracketed(ApplyUnderscore(settings, writer.table.FieldAt(i).Name()));
  }
  row_head += ")" + std::string(kCrLf) + (writer.run.select_row_mode ? "   SELECT " : "   VALUES (");
  std::vector<ColumnValueRules> columns;
  for (int i = 0; i < writer.table.FieldCount(); ++i) columns.push_back(ValueRulesOf(writer.table.FieldAt(i), settings));
  NonFiniteValues non_finite(writer, ClassesOf(writer.table));
  ValueText value;  // one buffer for every value of the table
  WriteRows(writer, kMsSqlRules, row_head,
            [&] { WriteRowStatement(writer, row_head, columns, non_finite, value); });
}

}  // namespace quill
