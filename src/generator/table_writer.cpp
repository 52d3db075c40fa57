#include "generator/table_writer.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <optional>

#include "common/progress_steps.h"
#include "generator/wrap_text.h"

namespace quill {

namespace {

// Appends text to out with every occurrence of mark doubled.
void AppendDoublingEvery(std::string& out, std::string_view text, std::string_view mark) {
  if (mark.empty()) {
    out.append(text);
    return;
  }
  size_t start = 0;
  for (size_t found = text.find(mark); found != std::string_view::npos; found = text.find(mark, start)) {
    out.append(text.substr(start, found + mark.size() - start));
    out.append(mark);
    start = found + mark.size();
  }
  out.append(text.substr(start));
}

std::string DoubleEvery(std::string_view text, std::string_view mark) {
  std::string result;
  result.reserve(text.size() + 2);
  AppendDoublingEvery(result, text, mark);
  return result;
}

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// Oracle's reserved words: names it refuses bare.
constexpr std::string_view kOracleReserved[] = {
    "ACCESS",    "ADD",        "ALL",       "ALTER",      "AND",        "ANY",       "AS",        "ASC",
    "AUDIT",     "BETWEEN",    "BY",        "CHAR",       "CHECK",      "CLUSTER",   "COLUMN",    "COMMENT",
    "COMPRESS",  "CONNECT",    "CREATE",    "CURRENT",    "DATE",       "DECIMAL",   "DEFAULT",   "DELETE",
    "DESC",      "DISTINCT",   "DROP",      "ELSE",       "EXCLUSIVE",  "EXISTS",    "FILE",      "FLOAT",
    "FOR",       "FROM",       "GRANT",     "GROUP",      "HAVING",     "IDENTIFIED", "IMMEDIATE", "IN",
    "INCREMENT", "INDEX",      "INITIAL",   "INSERT",     "INTEGER",    "INTERSECT", "INTO",      "IS",
    "LEVEL",     "LIKE",       "LOCK",      "LONG",       "MAXEXTENTS", "MINUS",     "MLSLABEL",  "MODE",
    "MODIFY",    "NOAUDIT",    "NOCOMPRESS", "NOT",       "NOWAIT",     "NULL",      "NUMBER",    "OF",
    "OFFLINE",   "ON",         "ONLINE",    "OPTION",     "OR",         "ORDER",     "PCTFREE",   "PRIOR",
    "PRIVILEGES", "PUBLIC",    "RAW",       "RENAME",     "RESOURCE",   "REVOKE",    "ROW",       "ROWID",
    "ROWNUM",    "ROWS",       "SELECT",    "SESSION",    "SET",        "SHARE",     "SIZE",      "SMALLINT",
    "START",     "SUCCESSFUL", "SYNONYM",   "SYSDATE",    "TABLE",      "THEN",      "TO",        "TRIGGER",
    "UID",       "UNION",      "UNIQUE",    "UPDATE",     "USER",       "VALIDATE",  "VALUES",    "VARCHAR",
    "VARCHAR2",  "VIEW",       "WHENEVER",  "WHERE",      "WITH"};

constexpr BareNameRule kOracleBareNames{.extra_characters = "$#", .max_length = 30, .reserved = kOracleReserved};

// MS SQL joins strings of up to 8000 bytes into one of at most 8000 bytes:
// a longer text starts from an empty nvarchar(max).
constexpr LiteralForm kMsSqlLiterals{.char_function = "CHAR",
                                     .join = "+",
                                     .command_line = &IsBatchCommandLine,
                                     .substitution_mark = '$',
                                     .substitutes = &IsBatchVariable,
                                     .long_text = 4000,
                                     .long_start = "CAST(N'' AS nvarchar(max))"};
constexpr LiteralForm kOracleLiterals{.char_function = "CHR",
                                      .join = "||",
                                      .command_line = &IsSqlPlusCommandLine,
                                      .substitution_mark = '&',
                                      .substitutes = &IsSqlPlusSubstitution};
constexpr LiteralForm kPervasiveLiterals{.char_function = "CHAR", .join = "", .command_line = &IsSlashLine};
constexpr LiteralForm kPostgresLiterals{.char_function = "chr", .join = "||", .command_line = nullptr};

constexpr IdentifierQuotes kMsSqlQuotes{.open = "[", .close = "]", .literals = &kMsSqlLiterals};
constexpr IdentifierQuotes kOracleQuotes{
    .open = "\"", .close = "\"", .bare = &kOracleBareNames, .literals = &kOracleLiterals};
constexpr IdentifierQuotes kPervasiveQuotes{.open = "\"", .close = "\"", .literals = &kPervasiveLiterals};
constexpr IdentifierQuotes kMySqlQuotes{.open = "`", .close = "`"};
constexpr IdentifierQuotes kPostgresQuotes{.open = "\"", .close = "\"", .literals = &kPostgresLiterals};

// The bar for a table's rows: one step per row of every table when the
// count is known, else one step per table; `rows_written` of the table are
// behind.
void SetRowProgress(TableWriter& writer, int64_t rows, int64_t rows_written) {
  const int64_t tables = static_cast<int64_t>(writer.run.tables_to_process.size());
  if (rows <= 0) {
    writer.ui.SetProgressMaximum(ProgressValue(tables + 1));
    writer.ui.SetProgressPosition(ProgressValue(int64_t{writer.run.table_index} + 1 + rows_written));
  } else {
    writer.ui.SetProgressMaximum(ProgressProduct(tables + 1, rows));
    writer.ui.SetProgressPosition(ProgressValue(ProgressProduct(rows, writer.run.table_index) + rows_written));
  }
}

// The record count as far as the source has it (none when unreadable).
Dataset::CountSoFar ProgressCount(TableWriter& writer) {
  try {
    return writer.table.RecordCountSoFar();
  } catch (const std::exception&) {
    return {};  // an unreadable count is treated as none
  }
}

// Sets the bar before the rows; whether the count is still coming, to be
// asked for again as the rows are written (AskForRowCount).
bool StartRowProgress(TableWriter& writer) {
  const Dataset::CountSoFar count = ProgressCount(writer);
  SetRowProgress(writer, count.rows.value_or(0), 0);
  return count.coming;
}

// Every so many rows while the count is coming: once it is in, the bar
// counts rows from where the table's rows are. Whether it is still coming.
bool AskForRowCount(TableWriter& writer, int64_t rows_written) {
  constexpr int64_t kRowsBetweenAsking = 1024;
  if (rows_written % kRowsBetweenAsking != 0) return true;
  const Dataset::CountSoFar count = ProgressCount(writer);
  if (count.coming) return true;
  if (count.rows.value_or(0) > 0) SetRowProgress(writer, *count.rows, rows_written);
  return false;
}

}  // namespace

bool IsNumberText(std::string_view text, NumberForm form) {
  if (form == NumberForm::kNone) return false;
  size_t i = 0;
  if (i < text.size() && text[i] == '-') ++i;
  auto digits = [&] {
    const size_t start = i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
    return i - start;
  };
  size_t count = digits();
  if (form == NumberForm::kDecimal && i < text.size() && text[i] == '.') {
    ++i;
    count += digits();
  }
  if (count == 0) return false;
  if (form == NumberForm::kDecimal && i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    if (digits() == 0) return false;
  }
  return i == text.size();
}

void AppendQuotedText(std::string& out, std::string_view text, bool no_quote, const QuoteRules& rules) {
  if (text.empty()) {
    out += rules.null_quoted ? "''" : "NULL";
    return;
  }
  if (no_quote || IsNumberText(text, rules.unquoted)) {
    out += text;
    return;
  }
  AppendTextLiteral(out, text, rules.literals, rules.prefix, rules.prefix_non_ascii);
}

void AppendQuotedValue(std::string& out, const ValueText& value, const QuoteRules& rules) {
  AppendQuotedText(out, value.text, value.no_quote, rules);
}

std::string QuoteValue(const ValueText& value, const QuoteRules& rules) {
  std::string quoted;
  AppendQuotedValue(quoted, value, rules);
  return quoted;
}

const IdentifierQuotes& OracleIdentifierQuotes() { return kOracleQuotes; }

const IdentifierQuotes& DialectIdentifierQuotes(TargetDialect dialect) {
  switch (dialect) {
    case TargetDialect::MsSql: return kMsSqlQuotes;
    case TargetDialect::Oracle: return kOracleQuotes;
    case TargetDialect::Pervasive: return kPervasiveQuotes;
    case TargetDialect::MySql: return kMySqlQuotes;
    case TargetDialect::PostgreSql: return kPostgresQuotes;
  }
  return kMySqlQuotes;
}

const LiteralForm* DialectLiteralForm(TargetDialect dialect) { return DialectIdentifierQuotes(dialect).literals; }

bool IsBareName(const BareNameRule& rule, std::string_view name) {
  if (name.empty() || !IsAsciiLetter(name[0])) return false;
  if (rule.max_length > 0 && name.size() > rule.max_length) return false;
  for (const char c : name) {
    const bool plain = IsAsciiLetter(c) || (c >= '0' && c <= '9') || c == '_' ||
                       rule.extra_characters.find(c) != std::string_view::npos;
    if (!plain) return false;
  }
  std::string upper(name);
  for (char& c : upper) c = AsciiUpper(c);
  return !std::binary_search(rule.reserved.begin(), rule.reserved.end(), std::string_view(upper));
}

std::string EscapeIdentifier(const IdentifierQuotes& quotes, std::string_view name) {
  return DoubleEvery(name, quotes.close);
}

std::string QuoteIdentifier(const IdentifierQuotes& quotes, std::string_view name) {
  const std::string written = ScriptName(name, quotes.literals);
  if (quotes.bare != nullptr && IsBareName(*quotes.bare, written)) return written;
  std::string quoted(quotes.open);
  quoted += EscapeIdentifier(quotes, written);
  quoted += quotes.close;
  return quoted;
}

std::string QuoteTableName(const IdentifierQuotes& quotes, std::string_view schema, std::string_view name) {
  if (schema.empty()) return QuoteIdentifier(quotes, name);
  return QuoteIdentifier(quotes, schema) + "." + QuoteIdentifier(quotes, name);
}

std::string ApplyUnderscore(const Settings& settings, std::string_view name) {
  std::string result(name);
  if (settings.underscore) std::replace(result.begin(), result.end(), ' ', '_');
  return result;
}

void SqueezeFiveBlanks(std::string& text, const IdentifierQuotes& quotes, size_t from) {
  // A quoted stretch opens at ' or at the dialect's opening name quote and
  // ends at its closing character; a doubled closing character stays inside.
  // The text only shrinks, so it is squeezed in place.
  if (text.find("     ", from) == std::string::npos) return;  // most rows: nothing to do
  const char name_open = quotes.open.size() == 1 ? quotes.open[0] : '\0';
  const char name_close = quotes.close.size() == 1 ? quotes.close[0] : '\0';
  char closing = '\0';  // '\0' while outside quotes
  size_t out = from;
  size_t i = from;
  while (i < text.size()) {
    const char c = text[i];
    if (closing != '\0') {
      text[out++] = c;
      ++i;
      if (c == closing) {
        if (i < text.size() && text[i] == closing) {
          text[out++] = text[i];
          ++i;
        } else {
          closing = '\0';
        }
      }
      continue;
    }
    if (c == '\'') {
      closing = '\'';
    } else if (name_open != '\0' && c == name_open) {
      closing = name_close;
    } else if (c == ' ' && text.compare(i, 5, "     ") == 0) {
      text[out++] = ' ';
      i += 5;
      continue;
    }
    text[out++] = c;
    ++i;
  }
  text.resize(out);
}

std::vector<std::string> PrimaryKeyColumns(TableWriter& writer) {
  std::vector<std::string> columns;
  if (writer.primary_keys == nullptr || writer.run.text_file_table || writer.settings.extr_from_system ||
      writer.key_left_out) {
    return columns;
  }
  Dataset& keys = *writer.primary_keys;
  Field* column_name = keys.FindField("COLUMN_NAME");
  if (column_name == nullptr) return columns;
  for (keys.First(); !keys.Eof(); keys.Next()) {
    std::string name = column_name->AsString();
    bool is_field = false;
    for (int i = 0; i < writer.table.FieldCount() && !is_field; ++i) {
      is_field = writer.table.FieldAt(i).Name() == name;
    }
    if (is_field && std::find(columns.begin(), columns.end(), name) == columns.end()) {
      columns.push_back(std::move(name));
    }
  }
  return columns;
}

void AppendTableStatement(TableWriter& writer) {
  ScriptBuffer& script = writer.run.script_lines;
  if (writer.key_left_out && writer.table_statement_item) {
    script.ReplaceItem(*writer.table_statement_item, writer.run.table_text);
    writer.run.table_text.clear();
    return;
  }
  writer.table_statement_item = script.ItemCount();
  script.AppendItem(writer.run.table_text);
  writer.run.table_text.clear();
  AdvanceProgress(writer.ui);
}

void LeaveOutKeyOfLostValues(TableWriter& writer, const std::function<void()>& write_statement) {
  if (!writer.table_statement_item || writer.key_left_out) return;
  std::string columns;
  // The key's columns as the rows were written with them.
  for (const std::string& column : writer.lost_values.KeyColumns()) {
    if (writer.lost_values.CountsChanged(column)) columns += (columns.empty() ? "" : ", ") + column;
  }
  if (columns.empty()) return;
  writer.key_left_out = true;
  writer.run.primary_key_marked = false;
  const std::string row_text = std::move(writer.run.table_text);
  writer.run.table_text.clear();
  write_statement();
  writer.run.table_text = row_text;
  writer.ui.AddColoredLine("Table : " + writer.run.listed_table_name + " - primary key: " + columns +
                               " holds values written changed, which can make two keys equal; "
                               "written without a primary key",
                           kLogRed);
}

namespace {

// Whether the five-blank rule leaves the head as it is and ends it outside
// quotes with no blank pending, so that a row starting with it is squeezed
// the same from the head's end on.
bool SqueezesAsItIs(std::string_view head, const IdentifierQuotes& quotes) {
  if (head.empty() || head.back() == ' ') return false;
  std::string probe = std::string(head) + "     x";
  SqueezeFiveBlanks(probe, quotes);
  return probe.size() == head.size() + 2 && probe.compare(0, head.size(), head) == 0;
}

}  // namespace

namespace {

// The row loop of the WriteRows forms; `commas` is null when the writer
// records none.
void WriteRowsOf(TableWriter& writer, const DialectRules& rules, std::string_view row_head, RowCommas* commas,
                 const std::function<void()>& build_row) {
  bool count_coming = StartRowProgress(writer);
  writer.lost_values.SetKeyColumns(PrimaryKeyColumns(writer));
  ScriptRunState& run = writer.run;
  run.row_counter = 0;
  // The head every row starts with is squeezed and wrapped once, here. The
  // values after it hold no run of blanks outside quotes (they are quoted
  // literals, checked numbers, NULL and the writers' own expressions around
  // quoted literals), so the five-blank rule leaves such a row as it is.
  const bool head_as_it_is = SqueezesAsItIs(row_head, rules.quotes);
  const std::optional<WrappedHead> wrapped_head =
      head_as_it_is && rules.wrap_width > 0 ? WrapRowHead(row_head, rules.wrap_width) : std::nullopt;
  while (!writer.table.Eof()) {
    if (writer.ui.EscapePressed()) {
      run.escape_pressed = true;
      break;
    }
    if (run.row_counter >= run.row_limit) break;
    ++run.row_counter;
    run.table_text.clear();
    if (commas != nullptr) commas->Clear();
    build_row();
    const bool starts_with_head = head_as_it_is && run.table_text.starts_with(row_head);
    if (!starts_with_head) SqueezeFiveBlanks(run.table_text, rules.quotes);
    // A row whose key lost a value would be refused by the engine: it is
    // left out, and counted.
    if (writer.lost_values.TakeRowLeftOut()) {
      // nothing of the row is written
    } else if (rules.wrap_width <= 0) {
      // The work text keeps its room for the next row.
      run.script_lines.AppendItem(run.table_text);
    } else if (starts_with_head && wrapped_head && commas != nullptr && commas->Complete()) {
      // The writer recorded where the row's commas went: the row is wrapped
      // from them.
      AppendWrappedRow(run.script_lines, run.table_text, *wrapped_head, commas->Offsets());
    } else {
      AppendWrappedItem(run.script_lines, run.table_text, rules.wrap_width,
                        starts_with_head && wrapped_head ? &*wrapped_head : nullptr);
    }
    run.table_text.clear();
    writer.table.Next();
    AdvanceProgress(writer.ui);
    if (count_coming) count_coming = AskForRowCount(writer, run.row_counter);
  }
}

}  // namespace

void WriteRows(TableWriter& writer, const DialectRules& rules, const std::function<void()>& build_row) {
  WriteRowsOf(writer, rules, {}, nullptr, build_row);
}

void WriteRows(TableWriter& writer, const DialectRules& rules, std::string_view row_head,
               const std::function<void()>& build_row) {
  WriteRowsOf(writer, rules, row_head, nullptr, build_row);
}

void WriteRows(TableWriter& writer, const DialectRules& rules, std::string_view row_head, RowCommas& commas,
               const std::function<void()>& build_row) {
  WriteRowsOf(writer, rules, row_head, &commas, build_row);
}

}  // namespace quill
