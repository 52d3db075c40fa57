#include "platform/dataset/field.h"

#include <charconv>
#include <cmath>
#include <utility>

#include "platform/formatting/field_text.h"
#include "platform/formatting/format_float.h"
#include "platform/formatting/format_settings.h"

namespace quill {

std::string_view FieldKindName(FieldKind kind) {
  switch (kind) {
    case FieldKind::ftUnknown: return "ftUnknown";
    case FieldKind::ftString: return "ftString";
    case FieldKind::ftWideString: return "ftWideString";
    case FieldKind::ftMemo: return "ftMemo";
    case FieldKind::ftSmallint: return "ftSmallint";
    case FieldKind::ftWord: return "ftWord";
    case FieldKind::ftInteger: return "ftInteger";
    case FieldKind::ftAutoInc: return "ftAutoInc";
    case FieldKind::ftLargeint: return "ftLargeint";
    case FieldKind::ftBoolean: return "ftBoolean";
    case FieldKind::ftFloat: return "ftFloat";
    case FieldKind::ftBCD: return "ftBCD";
    case FieldKind::ftCurrency: return "ftCurrency";
    case FieldKind::ftDate: return "ftDate";
    case FieldKind::ftTime: return "ftTime";
    case FieldKind::ftDateTime: return "ftDateTime";
    case FieldKind::ftBytes: return "ftBytes";
    case FieldKind::ftVarBytes: return "ftVarBytes";
    case FieldKind::ftBlob: return "ftBlob";
    case FieldKind::ftGuid: return "ftGuid";
  }
  return "ftUnknown";
}

Field::Field(std::string name, std::string class_name, FieldKind kind, int size, int index)
    : name_(std::move(name)), class_name_(std::move(class_name)), kind_(kind), size_(size), index_(index) {}

std::string Field::AsString() const {
  if (is_null_) return {};
  switch (stored_) {
    case Stored::Integer:
      return std::to_string(integer_);
    case Stored::Float:
      return FloatFieldText(float_);
    case Stored::Boolean:
      return BooleanFieldText(boolean_);
    case Stored::DateTime:
      if (kind_ == FieldKind::ftDate) return DateFieldText(date_time_);
      if (kind_ == FieldKind::ftTime) return TimeFieldText(date_time_);
      return DateTimeFieldText(date_time_);
    case Stored::Text:
      break;
  }
  if (kind_ != FieldKind::ftBCD && kind_ != FieldKind::ftCurrency) return text_;
  // The source writes decimals with a point; the field text uses the
  // program's decimal separator.
  const std::string& separator = GlobalFormatSettings().decimal_separator;
  const std::size_t point = text_.find('.');
  if (point == std::string::npos || separator == ".") return text_;
  return text_.substr(0, point) + separator + text_.substr(point + 1);
}

void Field::AppendString(std::string& out) const {
  if (is_null_) return;
  switch (stored_) {
    case Stored::Integer: {
      char digits[24];
      const auto result = std::to_chars(digits, digits + sizeof digits, integer_);
      out.append(digits, result.ptr);
      return;
    }
    case Stored::DateTime:
      AppendDateTimeFieldText(out,
                              kind_ == FieldKind::ftDate   ? DateTextKind::kDate
                              : kind_ == FieldKind::ftTime ? DateTextKind::kTime
                                                           : DateTextKind::kDateTime,
                              date_time_);
      return;
    case Stored::Text:
      if (kind_ != FieldKind::ftBCD && kind_ != FieldKind::ftCurrency) {
        out += text_;
        return;
      }
      break;
    default:
      break;
  }
  out += AsString();
}

int64_t Field::AsInteger() const {
  if (is_null_) return 0;
  switch (stored_) {
    case Stored::Integer: return integer_;
    case Stored::Float: return static_cast<int64_t>(std::trunc(float_));
    case Stored::Boolean: return boolean_ ? 1 : 0;
    case Stored::DateTime: return static_cast<int64_t>(std::trunc(ToSerial(date_time_)));
    case Stored::Text: break;
  }
  int64_t value = 0;
  std::from_chars(text_.data(), text_.data() + text_.size(), value);
  return value;
}

double Field::AsFloat() const {
  if (is_null_) return 0;
  switch (stored_) {
    case Stored::Integer: return static_cast<double>(integer_);
    case Stored::Float: return float_;
    case Stored::Boolean: return boolean_ ? 1 : 0;
    case Stored::DateTime: return ToSerial(date_time_);
    case Stored::Text: break;
  }
  double value = 0;
  std::from_chars(text_.data(), text_.data() + text_.size(), value);
  return value;
}

bool Field::AsBoolean() const {
  if (is_null_) return false;
  switch (stored_) {
    case Stored::Integer: return integer_ != 0;
    case Stored::Float: return float_ != 0;
    case Stored::Boolean: return boolean_;
    case Stored::DateTime: return false;
    case Stored::Text: break;
  }
  return text_ == "1" || text_ == "-1" || text_ == "True" || text_ == "true" || text_ == "TRUE" || text_ == "t";
}

DateTime Field::AsDateTime() const {
  if (is_null_) return DateTime{};
  switch (stored_) {
    case Stored::DateTime: return date_time_;
    case Stored::Float: return FromSerial(float_);
    case Stored::Integer: return FromSerial(static_cast<double>(integer_));
    default: return DateTime{};
  }
}

void Field::SetNull() {
  is_null_ = true;
  is_zero_date_ = false;
  is_beyond_calendar_ = false;
}

void Field::SetInteger(int64_t value) {
  is_null_ = false;
  is_zero_date_ = false;
  is_beyond_calendar_ = false;
  stored_ = Stored::Integer;
  integer_ = value;
}

void Field::SetFloat(double value) {
  is_null_ = false;
  is_zero_date_ = false;
  is_beyond_calendar_ = false;
  stored_ = Stored::Float;
  float_ = is_single_precision_ ? ShortestSingleValue(value) : value;
}

void Field::SetBoolean(bool value) {
  is_null_ = false;
  is_zero_date_ = false;
  is_beyond_calendar_ = false;
  stored_ = Stored::Boolean;
  boolean_ = value;
}

void Field::SetDateTime(const DateTime& value) {
  is_null_ = false;
  is_zero_date_ = false;
  is_beyond_calendar_ = false;
  stored_ = Stored::DateTime;
  date_time_ = value;
}

void Field::SetText(std::string_view value) {
  is_null_ = false;
  is_zero_date_ = false;
  is_beyond_calendar_ = false;
  stored_ = Stored::Text;
  text_.assign(value.data(), value.size());
}

std::string& Field::MutableText() {
  stored_ = Stored::Text;
  return text_;
}

}  // namespace quill
