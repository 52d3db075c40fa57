// The MS SQL dialect: SET DATEFORMAT, DROP with Go, CREATE with bracketed
// names, and one INSERT (or INSERT ... SELECT for raw BLOB files) per row.

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
  const std::string& c = field.ClassName();
  if (c == "TLargeintField") return "bigint]";
  if (c == "TBytesField") return "varchar] (15)";
  if (c == "TBooleanField") return "bit]";
  if (c == "TStringField") return LimitedText("varchar", field.Size());
  if (c == "TWideStringField") return LimitedText("nvarchar", field.Size());
  if (c == "TDateTimeField") return DateTypeText(settings);
  if (c == "TBCDField") return "numeric] (15,4)";
  if (c == "TFloatField") return "float]";
  if (c == "TBlobField") {
    return settings.extract_files && !settings.save_as_raw ? "varchar] (255)" : "varbinary] (max)";
  }
  if (c == "TIntegerField") return "int]";
  if (c == "TMemoField") return "text]";
  if (c == "TSmallintField") return "smallint]";
  if (c == "TVarBytesField") return "sql_variant]";
  if (c == "TWordField") return "int]";  // unsigned 16 bits: tinyint ends at 255, smallint at 32767
  if (c == "TGuidField") return "varchar] (255)";
  if (c == "TAutoIncField") return "int]";
  if (c == "TDateField") return DateTypeText(settings);
  if (c == "TTimeField") return "varchar] (15)";
  return {};
}

const DialectRules kMsSqlRules{
    .name = "MS SQL",
    .quotes = {.open = "[", .close = "]", .only_when_blank = false},
    .type_text = &MsSqlTypeText,
    .text_cut = kMsSqlTextLimit,
    .wrap_width = 0,
};

// A name outside brackets must be a plain identifier; anything else (a blank,
// a quote, a bracket, a leading digit) is bracketed so it cannot break the
// statement.
bool IsPlainIdentifier(std::string_view name) {
  if (name.empty()) return false;
  if (name[0] >= '0' && name[0] <= '9') return false;
  for (const char c : name) {
    const auto u = static_cast<unsigned char>(c);
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
                       c == '@' || c == '#' || c == '$' || u >= 0x80;
    if (!plain) return false;
  }
  return true;
}

std::string BareOrBracketed(std::string_view name) {
  return IsPlainIdentifier(name) ? std::string(name) : QuoteIdentifier(kMsSqlRules.quotes, name);
}

bool KeepsCommas(const std::string& c) {
  return c == "TWideStringField" || c == "TStringField" || c == "TMemoField" || c == "TBlobField";
}

bool IsUnquotedNumeric(const std::string& c) {
  // Blob values are paths or text here, never numbers: they stay quoted.
  return c == "TBCDField" || c == "TBooleanField" || c == "TIntegerField" || c == "TLargeintField" ||
         c == "TSmallintField" || c == "TWordField" || c == "TFloatField" || c == "TAutoIncField";
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

ValueText BlobValue(TableWriter& writer, const Field& field) {
  if (writer.settings.text_from_blob) return {field.AsString(), false};
  const std::optional<RowBlobFile> file = WriteRowBlobFile(writer, field);
  if (!file) return {};
  if (writer.settings.save_as_raw) {
    return {" * FROM OPENROWSET(BULK N" + SqlLiteral(file->Path()) + ", SINGLE_BLOB)", true};
  }
  return {file->Path(), false};
}

// What a column's class decides about its values, worked out once a table
// rather than for every value.
struct ColumnValueRules {
  enum class Form { kBoolean, kBytes, kBlob, kFloat, kText } form;
  bool cut_text;            // string columns are cut to the text limit
  bool keeps_commas;        // text keeps its commas; numbers get points
  bool unquoted_numeric;    // unquoted when the Quoted option is on
  std::string_view prefix;  // "N" for Unicode text
};

ColumnValueRules ValueRulesOf(const Field& field) {
  const std::string& c = field.ClassName();
  using Form = ColumnValueRules::Form;
  const Form form = c == "TBooleanField" ? Form::kBoolean
                    : c == "TBytesField" ? Form::kBytes
                    : c == "TBlobField"  ? Form::kBlob
                    : c == "TFloatField" ? Form::kFloat
                                         : Form::kText;
  return {form, c == "TWideStringField" || c == "TStringField", KeepsCommas(c), IsUnquotedNumeric(c),
          c == "TWideStringField" ? "N" : ""};
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
      value.text = field.AsString();
      break;
  }
  if (rules.cut_text) KeepFirstCharacters(value.text, kMsSqlTextLimit);
  if (!rules.keeps_commas && !value.no_quote) CommasToPoints(value.text);
}

void WriteTableStatement(TableWriter& writer) {
  const Settings& settings = writer.settings;
  ScriptRunState& run = writer.run;
  const std::string table_name = QuoteTableName(kMsSqlRules.quotes, run.output_schema, run.output_name);
  std::string& text = run.table_text;
  if (settings.formatting) text += "SET DATEFORMAT " + DateFormatValue(settings) + std::string(kCrLf);
  if (settings.drop) text += "DROP TABLE " + table_name + std::string(kCrLf) + "Go" + std::string(kCrLf);
  text += "CREATE TABLE " + table_name + " (" + std::string(kCrLf);

  // A one-column key is marked inline; a key of several columns becomes a
  // table-level clause, so the target gets the same key.
  const std::vector<std::string> key = PrimaryKeyColumns(writer);
  const bool inline_key = key.size() == 1;
  for (int i = 0; i < writer.table.FieldCount(); ++i) {
    const Field& field = writer.table.FieldAt(i);
    if (i > 0) text += "," + std::string(kCrLf);
    std::string type = MsSqlTypeText(field, settings);
    if (type.empty()) type = "sql_variant]";  // a class outside the map: the type that takes any value
    if (inline_key && !run.primary_key_marked && field.Name() == key.front()) {
      type += " PRIMARY KEY";
      run.primary_key_marked = true;
    }
    text += QuoteIdentifier(kMsSqlRules.quotes, ApplyUnderscore(settings, field.Name())) + " [" + type;
  }
  if (key.size() > 1) {
    text += "," + std::string(kCrLf) + "PRIMARY KEY (";
    for (size_t k = 0; k < key.size(); ++k) {
      if (k > 0) text += ",";
      text += QuoteIdentifier(kMsSqlRules.quotes, ApplyUnderscore(settings, key[k]));
    }
    text += ")";
    run.primary_key_marked = true;
  }
  text += std::string(kCrLf) + ")";
  AppendTableStatement(writer);
}

void WriteRowStatement(TableWriter& writer, const std::string& row_head,
                       const std::vector<ColumnValueRules>& columns, ValueText& value) {
  const Settings& settings = writer.settings;
  ScriptRunState& run = writer.run;
  std::string& text = run.table_text;
  text += row_head;
  for (int i = 0; i < writer.table.FieldCount(); ++i) {
    const Field& field = writer.table.FieldAt(i);
    const ColumnValueRules& column = columns[static_cast<std::size_t>(i)];
    if (i > 0) text += ",";
    ReadFieldValue(writer, field, column, value);
    const QuoteRules rules{.null_quoted = settings.null_quoted,
                           .unquoted = settings.quoted && column.unquoted_numeric,
                           .prefix = column.prefix};
    AppendQuotedValue(text, value, rules);
    if (run.select_row_mode) text += " As " + BareOrBracketed(field.Name());
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
                         QuoteTableName(kMsSqlRules.quotes, writer.run.output_schema, writer.run.output_name) + " (";
  for (int i = 0; i < writer.table.FieldCount(); ++i) {
    if (i > 0) row_head += ",";
    row_head += BareOrBracketed(ApplyUnderscore(settings, writer.table.FieldAt(i).Name()));
  }
  row_head += ")" + std::string(kCrLf) + (writer.run.select_row_mode ? "   SELECT " : "   VALUES (");
  std::vector<ColumnValueRules> columns;
  for (int i = 0; i < writer.table.FieldCount(); ++i) columns.push_back(ValueRulesOf(writer.table.FieldAt(i)));
  ValueText value;  // one buffer for every value of the table
  WriteRows(writer, kMsSqlRules, [&] { WriteRowStatement(writer, row_head, columns, value); });
}

}  // namespace quill
