#include "platform/odbc/time_text.h"

namespace quill {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Reads exactly `count` digits at `at`, moving past them.
std::optional<int> Digits(std::string_view text, std::size_t& at, std::size_t count) {
  if (text.size() < at + count) return std::nullopt;
  int value = 0;
  for (std::size_t i = 0; i < count; ++i) {
    if (!IsDigit(text[at + i])) return std::nullopt;
    value = value * 10 + (text[at + i] - '0');
  }
  at += count;
  return value;
}

// Reads "-" and exactly two digits of at most `largest` at `at`.
std::optional<int> DatePart(std::string_view text, std::size_t& at, int largest) {
  if (at >= text.size() || text[at] != '-') return std::nullopt;
  ++at;
  const std::optional<int> part = Digits(text, at, 2);
  if (!part || *part > largest) return std::nullopt;
  return part;
}

// "+HH", "-HH:MM" or "+HH:MM:SS".
bool IsZoneOffset(std::string_view text) {
  std::size_t at = 1;
  if (!Digits(text, at, 2)) return false;
  for (int part = 0; part < 2 && at < text.size(); ++part) {
    if (text[at] != ':') return false;
    ++at;
    if (!Digits(text, at, 2)) return false;
  }
  return at == text.size();
}

int DaysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 31;
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

}  // namespace

std::optional<DateTimeText> ParseDateTimeText(std::string_view text) {
  DateTimeText date;
  std::size_t at = 0;
  const std::optional<int> year = Digits(text, at, 4);
  if (!year) return std::nullopt;
  const std::optional<int> month = DatePart(text, at, 12);
  if (!month) return std::nullopt;
  const std::optional<int> day = DatePart(text, at, 31);
  if (!day) return std::nullopt;
  date.value = DateTime{*year, *month, *day};
  if (at < text.size()) {
    if (text[at] != ' ' && text[at] != 'T') return std::nullopt;
    std::string_view clock = text.substr(at + 1);
    // A time zone's offset ("+02", "-05:30") is the session's: dropped.
    const std::size_t zone = clock.find_first_of("+-");
    if (zone != std::string_view::npos) {
      if (!IsZoneOffset(clock.substr(zone))) return std::nullopt;
      clock = clock.substr(0, zone);
    }
    const std::optional<DateTime> time = ParseTimeText(clock);
    if (!time || time->negative || time->hour > 23) return std::nullopt;
    date.value.hour = time->hour;
    date.value.minute = time->minute;
    date.value.second = time->second;
    date.value.nanosecond = time->nanosecond;
  }
  date.zero = *year == 0 || *month == 0 || *day == 0 || *day > DaysInMonth(*year, *month);
  return date;
}

std::optional<DateTime> ParseTimeText(std::string_view text) {
  DateTime value;
  std::size_t at = 0;
  if (at < text.size() && text[at] == '-') {
    value.negative = true;
    ++at;
  }
  const std::size_t hours_start = at;
  while (at < text.size() && IsDigit(text[at]) && at - hours_start < 6) value.hour = value.hour * 10 + (text[at++] - '0');
  if (at == hours_start || at >= text.size() || text[at] != ':') return std::nullopt;
  ++at;
  const std::optional<int> minute = Digits(text, at, 2);
  if (!minute || *minute > 59 || at >= text.size() || text[at] != ':') return std::nullopt;
  ++at;
  const std::optional<int> second = Digits(text, at, 2);
  if (!second || *second > 59) return std::nullopt;
  value.minute = *minute;
  value.second = *second;
  if (at < text.size() && text[at] == '.') {
    ++at;
    int scale = 100000000;
    const std::size_t fraction_start = at;
    for (; at < text.size() && IsDigit(text[at]) && at - fraction_start < 9; ++at, scale /= 10) {
      value.nanosecond += (text[at] - '0') * scale;
    }
    if (at == fraction_start) return std::nullopt;
  }
  if (at != text.size()) return std::nullopt;
  // "-00:00:00" is no time before zero.
  if (value.hour == 0 && value.minute == 0 && value.second == 0 && value.nanosecond == 0) value.negative = false;
  return value;
}

}  // namespace quill
