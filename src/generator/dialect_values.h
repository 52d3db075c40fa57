#pragma once

#include <climits>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "generator/table_writer.h"
#include "generator/valid_utf8_text.h"
#include "platform/text/hex_digits.h"  // binary literals

namespace quill {

// Value and name steps that several dialect writers share.

// A field's class as the writers tell them apart, found once per table from
// the exact class name, so a value never compares class names.
enum class ColumnClass {
  kString, kWideString, kMemo, kSmallint, kWord, kInteger, kAutoInc, kLargeint, kBoolean, kFloat,
  kBCD, kDate, kTime, kDateTime, kBytes, kVarBytes, kBlob, kGuid, kUnknown,
};
ColumnClass ClassOf(const Field& field);
std::vector<ColumnClass> ClassesOf(const Dataset& table);
// The class a column's type is chosen by: a string column without a declared
// size takes the memo's type, as no sized type can be written for it.
ColumnClass TypeClassOf(const Field& field);

// String, wide string and memo columns: values that are text.
bool IsTextClass(ColumnClass c);

// The field's text (empty for NULL); date-times and times also keep a
// fraction of a second that is not zero, and a negative time its sign.
std::string ValueTextOf(const Field& field, ColumnClass c);
// The same text appended to out: the row loop's form, into a reused text.
// A fraction keeps at most `fraction_digits` digits, for targets whose type
// holds no finer one.
void AppendValueText(std::string& out, const Field& field, ColumnClass c, int fraction_digits = 9);
// The same text of a date, time or date-time value of class c.
void AppendDateTimeText(std::string& out, DateTime value, ColumnClass c, int fraction_digits = 9);

// The microseconds of a date-time's fraction of a second (0 for NULL and
// for other classes).
int MicrosecondsOf(const Field& field, ColumnClass c);

// A float or decimal value that is not a number or is infinite.
bool IsNonFinite(const Field& field, ColumnClass c);

// Why values are written NULL, as the red line of LostValueCounts says it
// after the count.
inline constexpr std::string_view kNonFiniteLost = "NaN or infinite values, which this dialect cannot hold: written NULL";
inline constexpr std::string_view kZeroDateLost = "zero dates, which no target type holds: written NULL";
inline constexpr std::string_view kBeyondCalendarLost =
    "dates that are infinite or beyond the years 1 to 9999, which this dialect cannot hold: written NULL";

// The values of a row that are written NULL whatever their column's type:
// zero dates, and NaN and infinities and dates beyond the calendar
// (Field::IsBeyondCalendar) in dialects that cannot hold them. Each is
// counted in the table's lost values.
class ValuesWrittenNull {
 public:
  ValuesWrittenNull(TableWriter& writer, const std::vector<ColumnClass>& classes, bool holds_non_finite,
                    bool holds_beyond_calendar = false);
  // True when the value must be written NULL (and it is counted).
  bool Refuse(const Field& field);

 private:
  TableWriter& writer_;
  std::vector<ColumnClass> classes_;
  bool holds_non_finite_;
  bool holds_beyond_calendar_;
};

// --- binary values ------------------------------------------------------------

// Bytes and VarBytes columns: values that are bytes.
bool IsBinaryClass(ColumnClass c);
// Whether a BLOB's bytes can be written as text: UTF-8 without NUL.
bool IsTextBytes(std::string_view bytes);

// --- decimals -------------------------------------------------------------------

// A decimal type of a target: precision digits in all, scale of them after
// the point. Precision 0: the dialect's decimal without a precision, holding
// at most `significant` significant digits (0: any number).
struct DecimalType {
  int precision = 0;
  int scale = 0;
  int significant = 0;
  // Precision 0 only: the most digits before the point (0: any number), and
  // the lowest power of ten a first significant digit may have.
  int max_integer_digits = 0;
  int lowest_power = INT_MIN;
  std::string Text() const { return "(" + std::to_string(precision) + "," + std::to_string(scale) + ")"; }
};

// The widest exact decimal of a dialect.
struct DecimalLimits {
  int max_precision;
  int max_scale;
  int unknown_scale;  // the scale of a column whose scale is unknown
};

// The decimal type a BCD column gets where the widest type has `limits`: the
// column's own precision and scale when they fit; else the widest precision,
// keeping the column's scale as far as half the digits allow (so neither the
// integer part nor the fraction is squeezed out), or `unknown_scale` when the
// scale is unknown.
DecimalType DecimalTypeFor(const Field& field, const DecimalLimits& limits);

// Whether a decimal's text (point or comma, an optional exponent) is held
// by the type exactly, without rounding. A text that is no number is left
// to the engine.
bool FitsDecimal(std::string_view text, const DecimalType& type);

// "values wider than decimal(p,s) ...: written NULL" for the lost-value line.
std::string DecimalLostReason(std::string_view type_text);

// --- times ------------------------------------------------------------------------

// A time column whose values are durations: "-838:59:59.999999" must fit.
inline constexpr int kDurationTextWidth = 20;
// A duration's text: an optional "-", hours (two digits at least), minutes,
// seconds and the fraction's digits without trailing zeros; empty for NULL.
void AppendDurationText(std::string& out, const Field& field);

// The first `limit` characters (UTF-8 code points) of text.
std::string FirstCharacters(std::string_view text, int limit);
// The same cut, made in place.
void KeepFirstCharacters(std::string& text, int limit);

// Every "," becomes "." (a locale's decimal comma turned into a point).
void CommasToPoints(std::string& text);

// Every occurrence of `mark` doubled.
std::string DoubleEach(std::string_view text, char mark);

// The text between single quotes, each quote inside doubled, in the
// dialect's joined form where it holds command bytes or lines: for the
// literals inside an expression such as TO_DATE('...','...').
std::string SqlLiteral(std::string_view text, const LiteralForm* form);

// Lower case by the characters' own case mapping (not only ASCII).
std::string LowerCase(std::string_view text);

// "1" or "0" for a boolean; empty for NULL, so a NULL boolean is written NULL.
std::string BooleanDigits(const Field& field);

// A float's text through the mask of the options (general format when the
// mask is empty); empty for NULL.
std::string FloatText(const Field& field, const Settings& settings);

// How a dialect writes the columns and the key of its CREATE TABLE.
enum class KeyForm {
  kInlineUnlessComposite,  // " PRIMARY KEY" after the type of a one-column key; a longer key as a clause
  kClause,                 // always the table-level clause
};

// For each column, whether an empty text is written '' rather than NULL
// even without the option that says so: the text columns of the key, which
// hold no NULL, so the row would be refused.
std::vector<bool> EmptyTextKeptColumns(TableWriter& writer);
// Whether this value, when empty, is written '': with the option, or in a
// column of EmptyTextKeptColumns, unless the value is NULL.
bool WritesEmptyQuoted(const Settings& settings, const std::vector<bool>& kept_columns, const Field& field);

// The table's column names in the dialect's form, kept distinct
// (DistinctColumnNames), in field order.
std::vector<std::string> WrittenColumnNames(const Settings& settings, const Dataset& table);
// A plain log line for each column whose written name had to take a suffix.
void SayRenamedColumns(const Settings& settings, const Dataset& table, UserInterface& ui,
                       const std::string& table_name);

struct ColumnDefinitionRules {
  // The statement's form of a written name (WrittenColumnNames): its quotes.
  std::function<std::string(const std::string& written_name)> column_name;
  // Empty for a class outside the map; in_key: the column is in the primary key.
  std::function<std::string(const Field& field, bool in_key)> type_text;
  std::string_view unknown_type = "UNKNOWN";                              // the type of such a class
  KeyForm key_form = KeyForm::kClause;
  std::string_view key_clause;  // "PRIMARY KEY (" or "PRIMARY KEY("
};

// Every column as name + " " + type, joined by "," CR LF, then the key: a
// clause "," CR LF + key_clause + the key's names in the columns' own form
// + ")", so it always names columns just written. The names are the written
// names of WrittenColumnNames. Sets PrimaryKeyMarked once
// the key is written.
std::string ColumnDefinitions(TableWriter& writer, const ColumnDefinitionRules& rules);

// The file a BLOB value of the current row was written to.
struct RowBlobFile {
  std::string folder;     // BlobFileLayout's folder, "/" between its parts
  std::string file_name;  // RowCounter + "." + extension
  std::string Path() const { return folder + "/" + file_name; }
};

// Writes the BLOB of the current row to its file (RowCounter as number);
// nullopt when the field is NULL, files are not extracted or no wanted type
// was found (those two counted in writer.left_out_blobs).
std::optional<RowBlobFile> WriteRowBlobFile(TableWriter& writer, const Field& field);

// The value of a BLOB field: its text with TextFromBlob; else, once its file
// is written, the expression `raw_reference` makes of the file (no quotes)
// with saveasraw, or the file's path without; empty when no file was written
// or the reference is empty.
ValueText BlobValue(TableWriter& writer, const Field& field,
                    const std::function<std::string(const RowBlobFile& file)>& raw_reference);

}  // namespace quill
