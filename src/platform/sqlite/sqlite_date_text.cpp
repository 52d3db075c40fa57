#include "platform/sqlite/sqlite_date_text.h"

namespace quill {
namespace {

class Reader {
 public:
  explicit Reader(std::string_view text) : text_(text) {}

  bool AtEnd() const { return position_ == text_.size(); }
  bool Skip(char c) {
    if (position_ < text_.size() && text_[position_] == c) {
      ++position_;
      return true;
    }
    return false;
  }
  // Exactly `count` digits.
  bool Digits(int count, int& value) {
    value = 0;
    for (int i = 0; i < count; ++i) {
      if (position_ >= text_.size() || text_[position_] < '0' || text_[position_] > '9') return false;
      value = value * 10 + (text_[position_++] - '0');
    }
    return true;
  }
  // One to nine digits of a fraction, as nanoseconds.
  bool Fraction(int& nanoseconds) {
    nanoseconds = 0;
    int count = 0;
    while (position_ < text_.size() && text_[position_] >= '0' && text_[position_] <= '9') {
      if (++count > 9) return false;
      nanoseconds = nanoseconds * 10 + (text_[position_++] - '0');
    }
    if (count == 0) return false;
    for (int i = count; i < 9; ++i) nanoseconds *= 10;
    return true;
  }

 private:
  std::string_view text_;
  std::size_t position_ = 0;
};

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// "HH:MM[:SS[.fff]]" into value's time parts.
bool ReadTime(Reader& reader, DateTime& value) {
  if (!reader.Digits(2, value.hour) || !reader.Skip(':') || !reader.Digits(2, value.minute)) return false;
  if (reader.Skip(':')) {
    if (!reader.Digits(2, value.second)) return false;
    if (reader.Skip('.') && !reader.Fraction(value.nanosecond)) return false;
  }
  return value.hour <= 23 && value.minute <= 59 && value.second <= 59;
}

}  // namespace

std::optional<DateText> ParseDateText(std::string_view text) {
  DateText result{DateTextShape::kDate, DateTime{}};
  DateTime& value = result.value;
  Reader reader(text);
  if (text.size() >= 3 && text[2] == ':') {
    if (!ReadTime(reader, value) || !reader.AtEnd()) return std::nullopt;
    result.shape = DateTextShape::kTime;
    return result;
  }
  if (!reader.Digits(4, value.year) || !reader.Skip('-') || !reader.Digits(2, value.month) || !reader.Skip('-') ||
      !reader.Digits(2, value.day)) {
    return std::nullopt;
  }
  if (value.year < 1 || value.month < 1 || value.month > 12 || value.day < 1 ||
      value.day > DaysInMonth(value.year, value.month)) {
    return std::nullopt;
  }
  if (reader.AtEnd()) return result;
  if (!reader.Skip(' ') && !reader.Skip('T')) return std::nullopt;
  if (!ReadTime(reader, value) || !reader.AtEnd()) return std::nullopt;
  if (!value.IsMidnight()) result.shape = DateTextShape::kDateTime;
  return result;
}

}  // namespace quill
