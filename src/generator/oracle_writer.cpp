// The Oracle dialect: names bare or in double quotes, 30-character column
// names, an inline key, TO_DATE and BFILENAME expressions, rows wrapped at 60.

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
constexpr int kOracleNameLength = 30;

std::string DateTypeText(const Settings& settings) {
  return settings.convert ? "varchar2(" + settings.size + ")" : "date";
}

std::string VarcharText(int size) {
  return "varchar2(" + std::to_string(size > kOracleTextLimit ? kOracleTextLimit : size) + ")";
}

std::string OracleTypeText(const Field& field, const Settings& settings) {
  switch (TypeClassOf(field)) {
    case ColumnClass::kString: return VarcharText(field.Size());
    // Oracle counts a float's precision in bits: float(8) would keep about two
    // digits of a double. The default precision keeps them all.
    case ColumnClass::kFloat: return "float";
    case ColumnClass::kDateTime: return DateTypeText(settings);
    case ColumnClass::kMemo: return "long";
    case ColumnClass::kVarBytes: return "raw";
    case ColumnClass::kBlob: return settings.extract_files && !settings.save_as_raw ? "varchar2(255)" : "bfile";
    case ColumnClass::kInteger:
    case ColumnClass::kSmallint:
    case ColumnClass::kAutoInc:
    case ColumnClass::kWord: return "integer";
    case ColumnClass::kLargeint: return field.IsUnsigned() ? "number(20)" : "integer";
    case ColumnClass::kBoolean: return "number(1)";
    case ColumnClass::kBCD: return "number";
    case ColumnClass::kWideString: return VarcharText(field.Size());
    case ColumnClass::kDate: return DateTypeText(settings);
    case ColumnClass::kTime: return DateTypeText(settings);
    case ColumnClass::kBytes: return "varchar2(255)";  // Oracle takes no varchar2 without a length
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

std::string ColumnName(const Settings& settings, const std::string& field_name) {
  return IdentifierForm(FirstCharacters(ApplyUnderscore(settings, field_name), kOracleNameLength));
}

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
    if (TypeClassOf(field) != ColumnClass::kMemo) return OracleTypeText(field, settings);
    if (in_key) return VarcharText(kOracleTextLimit);
    if (long_written) return std::string("clob");
    long_written = true;
    return std::string("long");
  };
  text += ColumnDefinitions(writer, {.column_name = [&](const std::string& name) { return ColumnName(settings, name); },
                                     .type_text = type_text,
                                     .key_form = KeyForm::kInlineUnlessComposite,
                                     .key_clause = "PRIMARY KEY ("});
  text += std::string(kCrLf) + ");";
  AppendTableStatement(writer);
}

// The value of a field into `value`, a work text kept for the whole table.
void ReadFieldValue(TableWriter& writer, const Field& field, ColumnClass c, ValueText& value) {
  const Settings& settings = writer.settings;
  value.no_quote = false;
  value.text.clear();
  // Oracle's date holds whole seconds, and TO_DATE reads no fraction.
  AppendValueText(value.text, field, c, settings.convert ? 9 : 0);
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
  if (c == ColumnClass::kFloat) value.text = FloatText(field, settings);
  if (c == ColumnClass::kWideString || c == ColumnClass::kString) KeepFirstCharacters(value.text, kOracleValueCut);
}

void WriteRowStatement(TableWriter& writer, const std::string& row_head, const std::vector<ColumnClass>& classes,
                       NonFiniteValues& non_finite, ValueText& value) {
  std::string& text = writer.run.table_text;
  text += row_head;
  for (int i = 0; i < writer.table.FieldCount(); ++i) {
    if (i > 0) text += ",";
    const Field& field = writer.table.FieldAt(i);
    if (non_finite.Refuse(field)) {
      text += "NULL";
      continue;
    }
    // Every value is quoted, numbers too; an empty one is NULL.
    ReadFieldValue(writer, field, classes[static_cast<size_t>(i)], value);
    AppendQuotedValue(text, value, {.literals = kOracleLiterals});
  }
  text += ");";
}

}  // namespace

void EmitOracleTable(TableWriter& writer) {
  const Settings& settings = writer.settings;
  if (settings.content != ContentMode::DataOnly) WriteTableStatement(writer);
  if (settings.content == ContentMode::TableOnly || writer.run.empty_table) return;
  const std::vector<ColumnClass> classes = ClassesOf(writer.table);
  NonFiniteValues non_finite(writer, classes);
  const std::string row_head = "INSERT INTO " + TableName(writer.run) + " VALUES(";
  ValueText value;  // one work text for every value of the table
  WriteRows(writer, kOracleRules, row_head, [&] { WriteRowStatement(writer, row_head, classes, non_finite, value); });
}

}  // namespace quill
