#pragma once

// The machinery the five dialect writers share.
//
// How a dialect writer plugs in:
//  - It is one function `void EmitXxxTable(TableWriter& writer)` (declared at
//    the bottom of this file, defined in the dialect's own .cpp), which the
//    run calls once per table with the table open on its first row.
//  - Its data lives in one `DialectRules` record: identifier quotes, type map,
//    value limits and wrap width.
//  - It builds its table statement in `writer.run.table_text` and hands it
//    over with `AppendTableStatement` (one script item, progress + 1).
//  - Unless Table Only or an empty table, it calls `WriteRows` with the one
//    step of its own, the text of the current row; `WriteRows` does the
//    progress set-up, the Escape poll, RowLimit, the five-blank rule, the wrap
//    and the hand-over of each row.
//  - Values go through `QuoteValue` (the one quoting and NULL step), names
//    through `QuoteIdentifier` / `QuoteTableName`; the primary key comes from
//    `PrimaryKeyColumns`, which knows when the rowset must not be read.
//  - A value is a quoted literal, a checked number, NULL or an expression of
//    the writer's own words around quoted literals; no value holds a run of
//    blanks outside quotes, so the five-blank rule is applied to the row head
//    once for the table. A wrapped dialect's writer records every comma it
//    writes outside quotes in `RowCommas`, so the row is wrapped from them.
//  - A value the target cannot hold is written NULL and counted in
//    `lost_values`; the run says the counts once the table is written.
//  - Errors are thrown, never swallowed: the run's per-table trap reports them.

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/user_interface.h"
#include "generator/left_out_blobs.h"
#include "generator/lost_value_counts.h"
#include "generator/script_run_state.h"
#include "generator/text_literals.h"
#include "generator/wrap_text.h"
#include "platform/dataset/dataset.h"
#include "sources/settings.h"

namespace quill {

// When a dialect may leave a name bare: a plain identifier of the dialect
// (an ASCII letter, then ASCII letters, digits, "_" and `extra_characters`,
// at most `max_length` bytes) that is none of its reserved words.
struct BareNameRule {
  std::string_view extra_characters;
  size_t max_length = 0;                     // 0: no limit
  std::span<const std::string_view> reserved;  // upper case, sorted
};

// How a dialect writes names.
struct IdentifierQuotes {
  std::string_view open;   // "[", "\"", "`"
  std::string_view close;  // "]", "\"", "`"; doubled inside a name
  // nullptr: every name is quoted; else names this rule allows stay bare.
  const BareNameRule* bare = nullptr;
  // The lines the dialect's client reads as commands (ScriptName).
  const LiteralForm* literals = nullptr;
};

// Oracle's names: bare when plain and not reserved, else in double quotes.
const IdentifierQuotes& OracleIdentifierQuotes();

// How each dialect writes its names and, but for MySql (which has escapes of
// its own), its text literals, so the table writers and the constraint
// scripts write one name alike.
const IdentifierQuotes& DialectIdentifierQuotes(TargetDialect dialect);
const LiteralForm* DialectLiteralForm(TargetDialect dialect);

// Whether `name` may be written bare under `rule`.
bool IsBareName(const BareNameRule& rule, std::string_view name);

// One dialect as data.
struct DialectRules {
  std::string_view name;  // the dialect name of the header and summary
  IdentifierQuotes quotes;
  // The type text of a column by the field's exact class name (the options are
  // read live); empty when the class is not in the dialect's map.
  std::string (*type_text)(const Field& field, const Settings& settings) = nullptr;
  int text_cut = 0;    // string values are cut to this many characters; 0: never
  int wrap_width = 0;  // row statements are wrapped at this width; 0: never
};

// What the run hands a writer for one table.
struct TableWriter {
  Settings& settings;          // read live, at the moment of use
  UserInterface& ui;           // progress, Escape, the selected node's caption
  ScriptRunState& run;
  Dataset& table;              // open, on its first row
  Dataset* primary_keys;       // COLUMN_NAME rowset; nullptr when it must not be read
  // The values this table's target could not hold, said by the run once the
  // table is written.
  LostValueCounts lost_values{ui, run.listed_table_name};
  // The BLOB values the options leave out, said the same way.
  LeftOutBlobs left_out_blobs{ui, run.listed_table_name};
  // The script item of the table statement, once AppendTableStatement wrote it.
  std::optional<size_t> table_statement_item{};
  // Set by LeaveOutKeyOfLostValues: PrimaryKeyColumns gives no key from then on.
  bool key_left_out = false;
};

// A value being built. `no_quote` is the NoQuoteFlag: the text is an SQL
// expression (or the word NULL) and gets no quotes; it holds for one value.
struct ValueText {
  std::string text;
  bool no_quote = false;
};

// The form a value must have to be written without quotes.
enum class NumberForm {
  kNone,     // always quoted
  kInteger,  // an optional "-" and digits
  kDecimal,  // an optional "-", digits with at most one ".", an optional exponent
};

struct QuoteRules {
  bool null_quoted = false;  // an empty value is '' rather than NULL
  // A value the options leave unquoted: written bare only when it has this
  // form, so no text can leave its place in the statement; else quoted.
  NumberForm unquoted = NumberForm::kNone;
  // Before the opening quote ("N" for Unicode text). With prefix_non_ascii
  // the prefix is written only for values holding characters beyond ASCII.
  std::string_view prefix = {};
  bool prefix_non_ascii = false;
  // The dialect's joined form for texts with command bytes or lines.
  const LiteralForm* literals = nullptr;
};

// Whether text is a number of the given form.
bool IsNumberText(std::string_view text, NumberForm form);

// --- shared steps -----------------------------------------------------------

// The one quoting and NULL step: an empty value becomes NULL ('' with
// null_quoted); an expression or an unquoted number stays as it is; any other
// value goes between single quotes, each quote inside doubled.
std::string QuoteValue(const ValueText& value, const QuoteRules& rules);
// QuoteValue's text appended to out: the row loop's form, without a string
// of its own for each value.
void AppendQuotedValue(std::string& out, const ValueText& value, const QuoteRules& rules);
// The same for a text that is no ValueText of its own (no_quote: an expression).
void AppendQuotedText(std::string& out, std::string_view text, bool no_quote, const QuoteRules& rules);

// A name between the dialect's quotes, the closing quote doubled inside it;
// bare when the dialect's bare rule allows it. Bytes and lines a client would
// read as commands become blanks first (ScriptName).
std::string QuoteIdentifier(const IdentifierQuotes& quotes, std::string_view name);
// The closing quote doubled, nothing else: for names whose outer quotes the
// caller writes itself.
std::string EscapeIdentifier(const IdentifierQuotes& quotes, std::string_view name);
// The table's name for the statements: schema and name each quoted and joined
// by "." when there is a destination schema, else the quoted name.
std::string QuoteTableName(const IdentifierQuotes& quotes, std::string_view schema, std::string_view name);

// Every blank becomes "_" when the option Underscore is on.
std::string ApplyUnderscore(const Settings& settings, std::string_view name);

// Every run of five blanks becomes one blank, in one left-to-right pass, but
// only outside quoted values and quoted names, so data is never changed.
// The pass starts at `from`, outside quotes, leaving the bytes before it.
void SqueezeFiveBlanks(std::string& text, const IdentifierQuotes& quotes, size_t from = 0);

// The key's column names in the rowset's order, only those that name a field
// of the table, each once; empty when the rowset must not be read.
std::vector<std::string> PrimaryKeyColumns(TableWriter& writer);

// Appends run.table_text to the script as one item, empties it and moves the
// progress bar on by one. Once the key is left out, the text takes the place
// of the table statement written before instead.
void AppendTableStatement(TableWriter& writer);

// After the rows: when values of a key column were written changed
// (lost_values: cut, NUL dropped, bad bytes replaced), two keys may now be
// equal and the engine would refuse a row, so the table statement is written
// again by `write_statement` without the primary key, in its place, and a
// red line says so. (A key value written NULL leaves its row out instead.)
void LeaveOutKeyOfLostValues(TableWriter& writer, const std::function<void()>& write_statement);

// The row loop. Sets up the progress bar from the record count, then, while
// the table is not at its end, Escape is not pressed (recorded in
// run.escape_pressed) and RowCounter < RowLimit: counts the row, calls
// build_row to write the row's statement into run.table_text, applies the
// five-blank rule and the wrap of `rules`, appends it as one item, moves to
// the next row and the progress bar on by one.
void WriteRows(TableWriter& writer, const DialectRules& rules, const std::function<void()>& build_row);
// The same for rows whose statements start with `row_head` (the writer still
// writes it): the head is squeezed and wrapped once for the table, the
// values after it are left as they are by the five-blank rule, and each row
// is wrapped from the head's end on.
void WriteRows(TableWriter& writer, const DialectRules& rules, std::string_view row_head,
               const std::function<void()>& build_row);
// The same for a writer that records in `commas`, while build_row writes
// the row after its head, every comma it writes outside quotes: the row is
// wrapped from them. WriteRows clears them before each row.
void WriteRows(TableWriter& writer, const DialectRules& rules, std::string_view row_head, RowCommas& commas,
               const std::function<void()>& build_row);

// --- the dialect writers ----------------------------------------------------

void EmitMsSqlTable(TableWriter& writer);
void EmitOracleTable(TableWriter& writer);
void EmitPervasiveTable(TableWriter& writer);
void EmitMySqlTable(TableWriter& writer);
void EmitPostgresTable(TableWriter& writer);

}  // namespace quill
