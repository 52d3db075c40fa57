#include "platform/formatting/field_text.h"

#include "platform/formatting/format_date_time.h"
#include "platform/formatting/format_float.h"
#include "platform/formatting/format_settings.h"

namespace quill {
namespace {

// The C locale's formats, "yyyy-mm-dd" and "hh:nn:ss", are written directly
// for values whose parts fit them: the general formatter reads its format
// again for every value, and a script run formats a date in every row.
bool IsIsoDate(const FormatSettings& settings, const DateTime& value) {
  return settings.short_date_format == "yyyy-mm-dd" && value.year >= 0 && value.year <= 9999 && value.month >= 0 &&
         value.month <= 99 && value.day >= 0 && value.day <= 99;
}

bool IsIsoTime(const FormatSettings& settings, const DateTime& value) {
  return settings.long_time_format == "hh:nn:ss" && settings.time_separator == ":" && value.hour >= 0 &&
         value.hour <= 99 && value.minute >= 0 && value.minute <= 99 && value.second >= 0 && value.second <= 99;
}

// Two digits of number (0 to 99) at to. The texts are made in a buffer and
// appended at once: a character at a time costs a length check for each.
void PutTwoDigits(char* to, int number) {
  to[0] = static_cast<char>('0' + number / 10);
  to[1] = static_cast<char>('0' + number % 10);
}

void AppendIsoDate(std::string& out, const DateTime& value) {
  char text[10];
  PutTwoDigits(text, value.year / 100);
  PutTwoDigits(text + 2, value.year % 100);
  text[4] = '-';
  PutTwoDigits(text + 5, value.month);
  text[7] = '-';
  PutTwoDigits(text + 8, value.day);
  out.append(text, sizeof text);
}

void AppendIsoTime(std::string& out, const DateTime& value) {
  char text[8];
  PutTwoDigits(text, value.hour);
  text[2] = ':';
  PutTwoDigits(text + 3, value.minute);
  text[5] = ':';
  PutTwoDigits(text + 6, value.second);
  out.append(text, sizeof text);
}

}  // namespace

std::string DateFieldText(const DateTime& value) {
  std::string text;
  AppendDateTimeFieldText(text, DateTextKind::kDate, value);
  return text;
}

std::string TimeFieldText(const DateTime& value) {
  std::string text;
  AppendDateTimeFieldText(text, DateTextKind::kTime, value);
  return text;
}

// "c": the short date, then a blank and the long time unless the time of day
// is midnight.
std::string DateTimeFieldText(const DateTime& value) {
  std::string text;
  AppendDateTimeFieldText(text, DateTextKind::kDateTime, value);
  return text;
}

void AppendDateTimeFieldText(std::string& out, DateTextKind kind, const DateTime& value) {
  const FormatSettings& settings = GlobalFormatSettings();
  switch (kind) {
    case DateTextKind::kDate:
      if (IsIsoDate(settings, value)) {
        AppendIsoDate(out, value);
      } else {
        AppendFormatDateTime(out, settings.short_date_format, value, settings);
      }
      return;
    case DateTextKind::kTime:
      if (IsIsoTime(settings, value)) {
        AppendIsoTime(out, value);
      } else {
        AppendFormatDateTime(out, settings.long_time_format, value, settings);
      }
      return;
    case DateTextKind::kDateTime:
      if (!IsIsoDate(settings, value) || !IsIsoTime(settings, value)) {
        AppendFormatDateTime(out, "c", value, settings);
        return;
      }
      AppendIsoDate(out, value);
      if (value.hour != 0 || value.minute != 0 || value.second != 0) {
        out += ' ';
        AppendIsoTime(out, value);
      }
      return;
  }
}

std::string FloatFieldText(double value) { return FormatFloatGeneral(value); }

std::string BooleanFieldText(bool value) { return value ? "True" : "False"; }

}  // namespace quill
