#include "platform/sqlite/sqlite_date_text.h"

namespace quill {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The two digits at text[at], or -1.
int TwoDigits(std::string_view text, size_t at) {
  if (!IsDigit(text[at]) || !IsDigit(text[at + 1])) return -1;
  return (text[at] - '0') * 10 + (text[at + 1] - '0');
}

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// "HH:MM[:SS[.f...]]" filling the whole text, into value's time parts; one to
// nine digits of fraction.
bool ReadTime(std::string_view text, DateTime& value) {
  if (text.size() < 5 || text[2] != ':') return false;
  value.hour = TwoDigits(text, 0);
  value.minute = TwoDigits(text, 3);
  if (value.hour < 0 || value.hour > 23 || value.minute < 0 || value.minute > 59) return false;
  if (text.size() == 5) return true;
  if (text.size() < 8 || text[5] != ':') return false;
  value.second = TwoDigits(text, 6);
  if (value.second < 0 || value.second > 59) return false;
  if (text.size() == 8) return true;
  const std::string_view fraction = text.substr(9);
  if (text[8] != '.' || fraction.empty() || fraction.size() > 9) return false;
  int nanoseconds = 0;
  for (const char c : fraction) {
    if (!IsDigit(c)) return false;
    nanoseconds = nanoseconds * 10 + (c - '0');
  }
  for (size_t i = fraction.size(); i < 9; ++i) nanoseconds *= 10;
  value.nanosecond = nanoseconds;
  return true;
}

}  // namespace

bool ParseDateText(std::string_view text, DateText& result) {
  result = DateText{DateTextShape::kDate, DateTime{}};
  DateTime& value = result.value;
  if (text.size() >= 3 && text[2] == ':') {
    if (!ReadTime(text, value)) return false;
    result.shape = DateTextShape::kTime;
    return true;
  }
  if (text.size() < 10 || text[4] != '-' || text[7] != '-') return false;
  const int century = TwoDigits(text, 0);
  const int year_in_century = TwoDigits(text, 2);
  value.month = TwoDigits(text, 5);
  value.day = TwoDigits(text, 8);
  if (century < 0 || year_in_century < 0) return false;
  value.year = century * 100 + year_in_century;
  if (value.year < 1 || value.month < 1 || value.month > 12 || value.day < 1 ||
      value.day > DaysInMonth(value.year, value.month)) {
    return false;
  }
  if (text.size() == 10) return true;
  if (text[10] != ' ' && text[10] != 'T') return false;
  if (!ReadTime(text.substr(11), value)) return false;
  if (!value.IsMidnight()) result.shape = DateTextShape::kDateTime;
  return true;
}

}  // namespace quill
