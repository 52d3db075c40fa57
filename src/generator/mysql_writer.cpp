// The MySql dialect: back-quoted names, a table-level key, STR_TO_DATE and
// LOAD_FILE expressions, values escaped for MySql, rows wrapped at 60.

#include <algorithm>
#include <climits>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "generator/dialect_values.h"
#include "generator/table_writer.h"
#include "platform/text/text_encoding.h"

namespace quill {

namespace {

constexpr std::string_view kCrLf = "\r\n";

// InnoDB's longest index key, in bytes; a utf8mb4 character takes up to 4.
constexpr int kKeyBytes = 3072;
constexpr int kBytesPerCharacter = 4;
constexpr DecimalLimits kDecimalLimits{.max_precision = 65, .max_scale = 30, .unknown_scale = 30};
// The longest binary column written as varbinary(n), as text is varchar(n).
constexpr int kMaxVarbinary = 255;
// The fraction digits MySql keeps.
constexpr int kMaxFractionDigits = 6;
// The table's text is utf8mb4 whatever the database's default, and compares
// byte for byte, as in the sources: under a database's usual collation, keys
// that differ only in case or accents are one key, and the later rows would
// be refused as duplicates. Every text column takes it, so a foreign key
// between two text columns finds the same collation on both sides.
constexpr std::string_view kTableTextOptions = " DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_bin";

std::string DateTypeText(const Settings& settings, std::string_view type) {
  return settings.convert ? "varchar(" + settings.size + ")" : std::string(type);
}

// A text column MySql can only hold as longtext, which no key may hold.
bool IsLongText(const Field& field, ColumnClass c) {
  return c == ColumnClass::kMemo || ((c == ColumnClass::kString || c == ColumnClass::kWideString) &&
                                      (field.Size() > 255 || field.Size() <= 0));
}

// A binary column MySql holds as varbinary(n); a longer one is a longblob.
bool HasVarbinaryType(const Field& field) { return field.Size() > 0 && field.Size() <= kMaxVarbinary; }

// datetime(n) / time(n) with the fraction digits the declared type keeps;
// without fraction digits the plain type; unknown: six digits, all MySql has.
std::string WithFractionDigits(const Field& field, std::string_view type) {
  const int digits = field.FractionDigits();
  if (digits == 0) return std::string(type);
  const int kept = digits < 0 ? kMaxFractionDigits : std::min(digits, kMaxFractionDigits);
  return std::string(type) + "(" + std::to_string(kept) + ")";
}

std::string MySqlTypeText(const Field& field, const Settings& settings) {
  const ColumnClass c = TypeClassOf(field);
  switch (c) {
    case ColumnClass::kString:
    case ColumnClass::kWideString:
      return field.Size() > 255 ? "longtext" : "varchar(" + std::to_string(field.Size()) + ")";
    case ColumnClass::kMemo: return "longtext";
    case ColumnClass::kSmallint: return "smallint(6)";
    case ColumnClass::kInteger: return field.IsUnsigned() ? "int(11) unsigned" : "int(11)";
    case ColumnClass::kAutoInc: return "int(11)";
    case ColumnClass::kLargeint: return field.IsUnsigned() ? "bigint(20) unsigned" : "bigint(20)";
    case ColumnClass::kWord: return "smallint(6) unsigned";
    case ColumnClass::kFloat: return "double";
    case ColumnClass::kBCD: return "decimal" + DecimalTypeFor(field, kDecimalLimits).Text();
    case ColumnClass::kBoolean: return "bool";
    case ColumnClass::kDateTime: return DateTypeText(settings, WithFractionDigits(field, "datetime"));
    case ColumnClass::kDate: return DateTypeText(settings, "date");
    // MySql's time is a duration: it holds negative times and times past 24 hours.
    case ColumnClass::kTime: return WithFractionDigits(field, "time");
    case ColumnClass::kBlob: return settings.extract_files && !settings.save_as_raw ? "varchar(255)" : "longblob";
    case ColumnClass::kBytes:
    case ColumnClass::kVarBytes:
      return HasVarbinaryType(field) ? "varbinary(" + std::to_string(field.Size()) + ")" : "longblob";
    case ColumnClass::kGuid: return "varchar(255)";
    case ColumnClass::kUnknown: break;
  }
  return {};
}

// The bytes a key column that is not text takes in the index, at most.
int KeyBytesOf(ColumnClass c) {
  if (c == ColumnClass::kGuid || c == ColumnClass::kBlob) return 255 * kBytesPerCharacter;
  return 32;  // numbers, dates and times
}

// The length each text column of the key gets so the key fits the index:
// the room the other key columns leave is shared out, the shortest declared
// columns first, each keeping its own size when it fits. 0 for a column that
// keeps its own type.
std::vector<int> KeyTextLengths(TableWriter& writer, const std::vector<std::string>& key) {
  std::vector<int> lengths(static_cast<size_t>(writer.table.FieldCount()), 0);
  int room = kKeyBytes / kBytesPerCharacter;
  // Declared characters (long text and binary without a length: no limit),
  // field index; a binary column's room counts 4 bytes a character.
  std::vector<std::pair<int, int>> texts;
  std::vector<bool> binary(lengths.size(), false);
  for (const std::string& name : key) {
    const Field* field = writer.table.FindField(name);
    if (field == nullptr) continue;
    const ColumnClass c = ClassOf(*field);
    // A binary key column is varbinary(n) of its own length as far as the
    // index holds it; one without a length takes its share of the index, as
    // a long text does: no index holds a blob.
    if (IsBinaryClass(c)) {
      if (HasVarbinaryType(*field)) {
        room -= (field->Size() + kBytesPerCharacter - 1) / kBytesPerCharacter;
        continue;
      }
      binary[static_cast<size_t>(field->Index())] = true;
      texts.emplace_back(field->Size() > 0 ? (field->Size() + kBytesPerCharacter - 1) / kBytesPerCharacter : INT_MAX,
                         field->Index());
      continue;
    }
    if (!IsTextClass(c)) {
      room -= KeyBytesOf(c) / kBytesPerCharacter;
      continue;
    }
    texts.emplace_back(IsLongText(*field, c) ? INT_MAX : field->Size(), field->Index());
  }
  std::sort(texts.begin(), texts.end());
  for (size_t i = 0; i < texts.size(); ++i) {
    const int share = std::max(1, room / static_cast<int>(texts.size() - i));
    const auto [declared, index] = texts[i];
    const int given = std::min(declared, share);
    room -= given;
    const Field& field = writer.table.FieldAt(index);
    // A binary column gets bytes: its own length when the index holds it.
    if (binary[static_cast<size_t>(index)]) {
      lengths[static_cast<size_t>(index)] =
          declared == INT_MAX ? given * kBytesPerCharacter : std::min(field.Size(), given * kBytesPerCharacter);
      continue;
    }
    // A long text always needs a length; a declared one only when cut.
    if (declared == INT_MAX || given < declared) lengths[static_cast<size_t>(index)] = given;
  }
  return lengths;
}

const DialectRules kMySqlRules{
    .name = "MySql",
    .quotes = DialectIdentifierQuotes(TargetDialect::MySql),
    .type_text = &MySqlTypeText,
    .text_cut = 0,
    .wrap_width = 60,
};

std::string TableName(const ScriptRunState& run) {
  return QuoteTableName(kMySqlRules.quotes, run.output_schema, run.output_name);
}

// MySql reads a backslash inside a quoted text as an escape: each one is
// doubled so the value arrives as it was (the script clears
// NO_BACKSLASH_ESCAPES for itself). Line breaks, NUL and Ctrl-Z are written
// as their escapes too: the command-line client takes CR LF for a line end
// even inside a quoted value and would drop the CR, stops a line at NUL, and
// a Windows reader ends its input at Ctrl-Z.
void AppendMySqlQuoted(std::string& out, std::string_view text) {
  out += '\'';
  size_t start = 0;
  for (size_t i = FindQuoteOrLowByte(text, 0, '\\'); i != std::string_view::npos;
       i = FindQuoteOrLowByte(text, i + 1, '\\')) {
    const char* escape = nullptr;
    switch (text[i]) {
      case '\'': escape = "''"; break;
      case '\\': escape = "\\\\"; break;
      case '\r': escape = "\\r"; break;
      case '\n': escape = "\\n"; break;
      case '\0': escape = "\\0"; break;
      case '\x1A': escape = "\\Z"; break;
      default: continue;
    }
    out.append(text.substr(start, i - start));
    out += escape;
    start = i + 1;
  }
  out.append(text.substr(start));
  out += '\'';
}

std::string MySqlLiteral(std::string_view text) {
  std::string literal;
  AppendMySqlQuoted(literal, text);
  return literal;
}

// What the table's columns decide about their values, worked out once.
struct MySqlColumn {
  ColumnClass column_class;
  bool keeps_commas;    // text, memo and BLOB values keep their commas
  bool date;            // formatted through STR_TO_DATE with date formatting
  int key_text_length;  // a long text or binary key column's length; 0 otherwise
  bool binary;          // Bytes and VarBytes: binary literals
  bool duration;        // a time column of durations
  bool blob_bytes;      // a BLOB column typed longblob: BLOB text that is not text goes in as bytes
  bool empty_kept;      // a text key column: an empty text is '', never NULL
  std::optional<DecimalType> decimal;  // a decimal column's type, which its values must fit
  std::string decimal_lost;
};

std::vector<MySqlColumn> MySqlColumns(TableWriter& writer) {
  const std::vector<std::string> key = PrimaryKeyColumns(writer);
  const std::vector<int> key_text_lengths = KeyTextLengths(writer, key);
  const std::vector<bool> empty_kept = EmptyTextKeptColumns(writer);
  std::vector<MySqlColumn> columns;
  for (int i = 0; i < writer.table.FieldCount(); ++i) {
    const Field& field = writer.table.FieldAt(i);
    const ColumnClass c = ClassOf(field);
    MySqlColumn column{c,
                       IsTextClass(c) || c == ColumnClass::kBlob,
                       c == ColumnClass::kDateTime || c == ColumnClass::kDate,
                       key_text_lengths[static_cast<size_t>(i)],
                       IsBinaryClass(c),
                       c == ColumnClass::kTime && field.IsDuration(),
                       MySqlTypeText(field, writer.settings) == "longblob",
                       empty_kept[static_cast<size_t>(i)],
                       std::nullopt,
                       {}};
    if (c == ColumnClass::kBCD) {
      column.decimal = DecimalTypeFor(field, kDecimalLimits);
      column.decimal_lost = DecimalLostReason("decimal" + column.decimal->Text());
    }
    columns.push_back(std::move(column));
  }
  return columns;
}

void WriteTableStatement(TableWriter& writer, const std::vector<MySqlColumn>& columns) {
  const Settings& settings = writer.settings;
  ScriptRunState& run = writer.run;
  std::string& text = run.table_text;
  if (settings.drop) text += "DROP TABLE IF EXISTS " + TableName(run) + ";" + std::string(kCrLf);
  text += "CREATE TABLE " + TableName(run) + " (" + std::string(kCrLf);
  // The key names are back-quoted like the columns, so blanks and reserved
  // words cannot break the clause. A long text column in the key gets a
  // varchar the index can hold.
  text += ColumnDefinitions(
      writer, {.column_name = [&](const std::string& name) { return QuoteIdentifier(kMySqlRules.quotes, name); },
               .type_text =
                   [&](const Field& field, bool) {
                     const MySqlColumn& column = columns[static_cast<size_t>(field.Index())];
                     if (column.key_text_length > 0) {
                       return (column.binary ? "varbinary(" : "varchar(") + std::to_string(column.key_text_length) + ")";
                     }
                     return MySqlTypeText(field, settings);
                   },
               .key_form = KeyForm::kClause,
               .key_clause = "PRIMARY KEY("});
  text += std::string(kCrLf) + ")" + std::string(kTableTextOptions) + ";";
  AppendTableStatement(writer);
}

constexpr std::string_view kNotTextLost = "BLOB values that are not text, which a text column cannot hold: written NULL";

// X'...': the binary literal of bytes.
void AppendBinaryLiteral(std::string& out, std::string_view bytes) {
  out += "X'";
  AppendHexDigits(out, bytes);
  out += '\'';
}

// The value of a field appended to the row text `out`, each comma it holds
// outside quotes recorded in `commas`.
void AppendFieldValue(TableWriter& writer, const Field& field, const MySqlColumn& column,
                      ValuesWrittenNull& written_null, ValueText& value, std::string& out, RowCommas& commas) {
  const Settings& settings = writer.settings;
  const ColumnClass c = column.column_class;
  if (written_null.Refuse(field)) {
    out += "NULL";
    return;
  }
  const bool blob_as_bytes = c == ColumnClass::kBlob && settings.text_from_blob && !field.IsNull() &&
                             !IsTextBytes(field.RawText());
  if (blob_as_bytes && !column.blob_bytes) {
    writer.lost_values.Count(field.Name(), kNotTextLost);
    out += "NULL";
    return;
  }
  if ((column.binary || blob_as_bytes) && !field.IsNull()) {
    if (column.key_text_length > 0 && field.RawText().size() > static_cast<size_t>(column.key_text_length)) {
      throw std::runtime_error("a value of the key column " + field.Name() + " is longer than the " +
                               std::to_string(column.key_text_length) + " bytes its index can hold");
    }
    AppendBinaryLiteral(out, field.RawText());
    return;
  }
  value.no_quote = false;
  value.text.clear();
  if (column.duration) {
    AppendDurationText(value.text, field);
  } else if (c != ColumnClass::kFloat) {  // a float's text is FloatText's, below
    AppendValueText(value.text, field, c);
    KeepValidUtf8(writer.lost_values, field, IsTextClass(c), value.text);
  }
  if (c == ColumnClass::kBlob) {
    value = BlobValue(writer, field,
                      [](const RowBlobFile& file) { return "LOAD_FILE(" + MySqlLiteral(file.Path()) + ")"; });
  }
  // A NULL date stays NULL: STR_TO_DATE('') would give the zero date.
  // The user's format reads whole seconds: a fraction is added to the date
  // as microseconds, so it is neither lost nor refused.
  if (settings.formatting && column.date && !field.IsNull()) {
    const int microseconds = MicrosecondsOf(field, c);
    if (c == ColumnClass::kDateTime && field.AsDateTime().nanosecond != 0) {
      value.text.clear();
      AppendValueText(value.text, field, c, 0);
    }
    out += "STR_TO_DATE(";
    AppendMySqlQuoted(out, value.text);
    commas.Append(out);
    AppendMySqlQuoted(out, settings.my_format);
    out += ')';
    if (microseconds > 0) out += " + INTERVAL " + std::to_string(microseconds) + " MICROSECOND";
    return;
  }
  if (c == ColumnClass::kBoolean) value.text = BooleanDigits(field);
  if (c == ColumnClass::kFloat) value.text = FloatText(field, settings);
  if (value.no_quote) {
    const size_t from = out.size();
    out += value.text;
    commas.RecordExpression(out, from);
    return;
  }
  if (value.text.empty()) {
    out += settings.null_quoted || (column.empty_kept && !field.IsNull()) ? "''" : "NULL";
    return;
  }
  if (column.key_text_length > 0 && Utf8Length(value.text) > static_cast<size_t>(column.key_text_length)) {
    throw std::runtime_error("a value of the key column " + field.Name() + " is longer than the " +
                             std::to_string(column.key_text_length) + " characters its index can hold");
  }
  // A decimal the column cannot hold whole is written NULL, never rounded.
  if (column.decimal && !FitsDecimal(value.text, *column.decimal)) {
    writer.lost_values.Count(field.Name(), column.decimal_lost);
    out += "NULL";
    return;
  }
  if (!column.keeps_commas) CommasToPoints(value.text);
  AppendMySqlQuoted(out, value.text);
}

void WriteRowStatement(TableWriter& writer, const std::string& row_head, const std::vector<MySqlColumn>& columns,
                       ValuesWrittenNull& written_null, ValueText& value, RowCommas& commas) {
  std::string& text = writer.run.table_text;
  text += row_head;
  for (int i = 0; i < writer.table.FieldCount(); ++i) {
    if (i > 0) commas.Append(text);
    AppendFieldValue(writer, writer.table.FieldAt(i), columns[static_cast<size_t>(i)], written_null, value, text,
                     commas);
  }
  text += ");";
}

}  // namespace

void EmitMySqlTable(TableWriter& writer) {
  const Settings& settings = writer.settings;
  const std::vector<MySqlColumn> columns = MySqlColumns(writer);
  if (settings.content != ContentMode::DataOnly) WriteTableStatement(writer, columns);
  if (settings.content == ContentMode::TableOnly || writer.run.empty_table) return;
  ValuesWrittenNull written_null(writer, ClassesOf(writer.table), false);
  const std::string row_head = "INSERT INTO " + TableName(writer.run) + " VALUES(";
  ValueText value;  // one work text for every value of the table
  RowCommas commas;
  WriteRows(writer, kMySqlRules, row_head, commas,
            [&] { WriteRowStatement(writer, row_head, columns, written_null, value, commas); });
  LeaveOutKeyOfLostValues(writer, [&] { WriteTableStatement(writer, columns); });
}

}  // namespace quill
