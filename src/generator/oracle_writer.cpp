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
  const std::string& c = field.ClassName();
  if (c == "TStringField") return VarcharText(field.Size());
  // Oracle counts a float's precision in bits: float(8) would keep about two
  // digits of a double. The default precision keeps them all.
  if (c == "TFloatField") return "float";
  if (c == "TDateTimeField") return DateTypeText(settings);
  if (c == "TMemoField") return "long";
  if (c == "TVarBytesField") return "raw";
  if (c == "TBlobField") return settings.extract_files && !settings.save_as_raw ? "varchar2(255)" : "bfile";
  if (c == "TIntegerField") return "integer";
  if (c == "TSmallintField") return "integer";
  if (c == "TLargeintField") return "integer";
  if (c == "TBooleanField") return "number(1)";
  if (c == "TBCDField") return "number";
  if (c == "TWideStringField") return VarcharText(field.Size());
  if (c == "TAutoIncField") return "integer";
  if (c == "TDateField") return DateTypeText(settings);
  if (c == "TWordField") return "integer";
  if (c == "TTimeField") return DateTypeText(settings);
  if (c == "TBytesField") return "varchar2(255)";  // Oracle takes no varchar2 without a length
  if (c == "TGuidField") return "varchar(255)";
  return {};
}

// A name is bare unless it holds a blank; one holding a quote of either kind
// is quoted too, so it cannot end the statement's text.
const DialectRules kOracleRules{
    .name = "Oracle",
    .quotes = {.open = "\"", .close = "\"", .only_when_blank = true},
    .type_text = &OracleTypeText,
    .text_cut = kOracleValueCut,
    .wrap_width = 60,
};

std::string IdentifierForm(std::string_view name) {
  if (name.find('\'') != std::string_view::npos) {
    return "\"" + EscapeIdentifier(kOracleRules.quotes, name) + "\"";
  }
  return QuoteIdentifier(kOracleRules.quotes, name);
}

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
  // table-level clause, so the target gets the whole key.
  text += ColumnDefinitions(writer, {.column_name = [&](const std::string& name) { return ColumnName(settings, name); },
                                     .type_text = [&](const Field& field) { return OracleTypeText(field, settings); },
                                     .key_form = KeyForm::kInlineUnlessComposite,
                                     .key_clause = "PRIMARY KEY ("});
  text += std::string(kCrLf) + ");";
  AppendTableStatement(writer);
}

ValueText FieldValue(TableWriter& writer, const Field& field) {
  const Settings& settings = writer.settings;
  const std::string& c = field.ClassName();
  ValueText value{field.AsString(), false};
  if (c == "TBlobField") {
    value = BlobValue(writer, field, [](const RowBlobFile& file) {
      return "BFILENAME(" + SqlLiteral(file.folder) + "," + SqlLiteral(file.file_name) + ")";
    });
  }
  if (settings.formatting && (c == "TDateTimeField" || c == "TDateField")) {
    value = {"TO_DATE(" + SqlLiteral(field.AsString()) + "," + SqlLiteral(settings.or_format) + ")", true};
  }
  if (c == "TBooleanField") value.text = BooleanDigits(field);
  if (c == "TFloatField") value.text = FloatText(field, settings);
  if (c == "TWideStringField" || c == "TStringField") value.text = FirstCharacters(value.text, kOracleValueCut);
  return value;
}

void WriteRowStatement(TableWriter& writer) {
  std::string& text = writer.run.table_text;
  text += "INSERT INTO " + TableName(writer.run) + " VALUES(";
  for (int i = 0; i < writer.table.FieldCount(); ++i) {
    if (i > 0) text += ",";
    // Every value is quoted, numbers too; an empty one is NULL.
    text += QuoteValue(FieldValue(writer, writer.table.FieldAt(i)), {});
  }
  text += ");";
}

}  // namespace

void EmitOracleTable(TableWriter& writer) {
  const Settings& settings = writer.settings;
  if (settings.content != ContentMode::DataOnly) WriteTableStatement(writer);
  if (settings.content == ContentMode::TableOnly || writer.run.empty_table) return;
  WriteRows(writer, kOracleRules, [&] { WriteRowStatement(writer); });
}

}  // namespace quill
