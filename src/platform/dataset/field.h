#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/formatting/date_time.h"

namespace quill {

// The data kind of a field, named as the class library names it.
enum class FieldKind {
  ftUnknown,
  ftString,
  ftWideString,
  ftMemo,
  ftSmallint,
  ftWord,
  ftInteger,
  ftAutoInc,
  ftLargeint,
  ftBoolean,
  ftFloat,
  ftBCD,
  ftCurrency,
  ftDate,
  ftTime,
  ftDateTime,
  ftBytes,
  ftVarBytes,
  ftBlob,
  ftGuid,
};

std::string_view FieldKindName(FieldKind kind);

// One column of an open dataset: what it is, and its value on the current row.
// The backend that reads the rows sets the value; everything above reads it.
class Field {
 public:
  Field(std::string name, std::string class_name, FieldKind kind, int size, int index);

  // Column description.
  const std::string& Name() const { return name_; }
  const std::string& ClassName() const { return class_name_; }  // "TStringField", ...
  FieldKind Kind() const { return kind_; }
  // Declared size in characters (bytes for binary columns, digits for
  // decimals; 0 for fixed-size kinds).
  int Size() const { return size_; }
  int DataSize() const { return data_size_; }
  void SetDataSize(int data_size) { data_size_ = data_size; }
  int Index() const { return index_; }  // zero-based position in the dataset
  // An integer column the source declares unsigned, and the scale of a
  // decimal column (-1 when unknown): what a target type needs beyond the class.
  bool IsUnsigned() const { return is_unsigned_; }
  int Scale() const { return scale_; }
  void SetNumberFacts(bool is_unsigned, int scale) {
    is_unsigned_ = is_unsigned;
    scale_ = scale;
  }

  // Type facts beyond the class, set by the backend once per column, so a
  // writer can choose a target type that holds every value:
  //  - a float column of single precision (its values are written as the
  //    shortest text that reads back as the same single-precision number:
  //    SetFloat keeps a value as the double of that text, so AsFloat, the
  //    field text and every float mask give it);
  //  - a time column whose values are durations (negative, or past 24 hours);
  //  - the digits of a second's fraction the declared type keeps (-1 unknown);
  //  - a decimal column sized by its values that also holds infinities,
  //    which only a decimal without a precision holds.
  bool IsSinglePrecision() const { return is_single_precision_; }
  void SetSinglePrecision(bool single) { is_single_precision_ = single; }
  bool IsDuration() const { return is_duration_; }
  void SetDuration(bool duration) { is_duration_ = duration; }
  int FractionDigits() const { return fraction_digits_; }
  void SetFractionDigits(int digits) { fraction_digits_ = digits; }
  bool HoldsInfinities() const { return holds_infinities_; }
  void SetHoldsInfinities(bool holds) { holds_infinities_ = holds; }

  // Value of the current row.
  bool IsNull() const { return is_null_; }
  // The source holds a zero date ('0000-00-00') here, which no target type
  // holds: the value reads as NULL, and the writers count and log it.
  bool IsZeroDate() const { return is_zero_date_; }
  void SetZeroDate() {
    SetNull();
    is_zero_date_ = true;
  }
  // The source holds a date or date-time beyond the calendar of DateTime
  // (PostgreSQL's 'infinity', years BC or past 9999): the value reads as
  // NULL, RawText keeps the source's own text for a target that holds it,
  // and the writers of the others count and log it.
  bool IsBeyondCalendar() const { return is_beyond_calendar_; }
  void SetBeyondCalendar(std::string_view source_text) {
    SetNull();
    text_.assign(source_text);
    is_beyond_calendar_ = true;
  }
  std::string AsString() const;  // the field text (empty for NULL)
  // The same text appended to out, without a string of its own.
  void AppendString(std::string& out) const;
  int64_t AsInteger() const;
  double AsFloat() const;
  bool AsBoolean() const;
  DateTime AsDateTime() const;
  // Text of strings, memos and GUIDs (UTF-8), decimal digits of BCD values
  // (with "." as written by the source), and the raw bytes of binary values.
  const std::string& RawText() const { return text_; }
  // Setters for the backends, one per value form. The getters convert from
  // the form last set, so any kind may carry its value as text (an unsigned
  // 64-bit value beyond the signed range arrives as its decimal digits).
  void SetNull();
  void SetInteger(int64_t value);
  void SetFloat(double value);
  void SetBoolean(bool value);
  void SetDateTime(const DateTime& value);
  void SetText(std::string_view value);  // strings, memos, GUIDs, decimals, bytes
  std::string& MutableText();             // for chunked reads into the text
  void MarkNotNull() {
    is_null_ = false;
    is_zero_date_ = false;
    is_beyond_calendar_ = false;
  }

 private:
  // Which setter gave the current value: the getters convert from it.
  enum class Stored { Integer, Float, Boolean, DateTime, Text };

  std::string name_;
  std::string class_name_;
  FieldKind kind_;
  int size_;
  int data_size_ = 0;
  int index_;
  bool is_unsigned_ = false;
  int scale_ = -1;
  bool is_single_precision_ = false;
  bool is_duration_ = false;
  int fraction_digits_ = -1;
  bool holds_infinities_ = false;
  bool is_zero_date_ = false;
  bool is_beyond_calendar_ = false;

  bool is_null_ = true;
  Stored stored_ = Stored::Text;
  int64_t integer_ = 0;
  double float_ = 0;
  bool boolean_ = false;
  DateTime date_time_;
  std::string text_;
};

}  // namespace quill
