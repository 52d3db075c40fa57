#include "platform/formatting/format_date_time.h"

#include <algorithm>
#include <charconv>

namespace quill {
namespace {

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

bool StartsWithNoCase(std::string_view text, size_t at, std::string_view prefix) {
  if (text.size() - at < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    if (Upper(text[at + i]) != Upper(prefix[i])) return false;
  }
  return true;
}

// At least `digits` digits, as the class library's "%.*d" (the sign before
// the zeros).
void AppendNumber(std::string& out, long long number, int digits) {
  char buffer[24];
  const unsigned long long magnitude =
      number < 0 ? 0ULL - static_cast<unsigned long long>(number) : static_cast<unsigned long long>(number);
  const int length = static_cast<int>(std::to_chars(buffer, buffer + sizeof buffer, magnitude).ptr - buffer);
  if (number < 0) out += '-';
  if (length < digits) out.append(static_cast<size_t>(digits - length), '0');
  out.append(buffer, static_cast<size_t>(length));
}

// Formats the short and long date and time formats inside a format too, but
// only one level deep, so a format variable naming itself cannot loop.
constexpr int kMaxNesting = 2;

class DateTimeFormatter {
 public:
  DateTimeFormatter(const DateTime& value, const FormatSettings& settings, std::string& out)
      : value_(value), settings_(settings), out_(out) {}

  void Append(std::string_view format, int level) {
    if (level >= kMaxNesting) return;
    char last_letter = ' ';
    bool use_12_hour_clock = false;
    size_t i = 0;
    while (i < format.size()) {
      const char starter = format[i++];
      char token = Upper(starter);
      if (IsLetter(token)) {
        // An "m" after an hour is the minute, whatever stands between them
        // that is not a letter ("hh:mm", "h'h'm").
        if (token == 'M' && last_letter == 'H') token = 'N';
        last_letter = token;
      }
      const size_t start = i - 1;
      auto count_run = [&] {
        while (i < format.size() && Upper(format[i]) == Upper(starter)) ++i;
        return static_cast<int>(i - start);
      };
      switch (token) {
        case 'Y': {
          const int count = count_run();
          if (count <= 2) {
            AppendNumber(out_, value_.year % 100, 2);
          } else {
            AppendNumber(out_, value_.year, 4);
          }
          break;
        }
        case 'M': {
          const int count = count_run();
          if (count <= 2) {
            AppendNumber(out_, value_.month, count);
          } else {
            out_ += MonthName(count == 3 ? settings_.short_month_names : settings_.long_month_names);
          }
          break;
        }
        case 'D': {
          const int count = count_run();
          if (count <= 2) {
            AppendNumber(out_, value_.day, count);
          } else if (count == 3) {
            out_ += settings_.short_day_names[DayOfWeek(value_) - 1];
          } else if (count == 4) {
            out_ += settings_.long_day_names[DayOfWeek(value_) - 1];
          } else if (count == 5) {
            Append(settings_.short_date_format, level + 1);
          } else {
            Append(settings_.long_date_format, level + 1);
          }
          break;
        }
        case 'H': {
          const int count = std::min(count_run(), 2);
          if (!use_12_hour_clock) use_12_hour_clock = AmPmFollows(format, i);
          int hour = value_.hour;
          if (use_12_hour_clock) {
            if (hour == 0) {
              hour = 12;
            } else if (hour > 12) {
              hour -= 12;
            }
          }
          AppendNumber(out_, hour, count);
          break;
        }
        case 'N':
          AppendNumber(out_, value_.minute, std::min(count_run(), 2));
          break;
        case 'S':
          AppendNumber(out_, value_.second, std::min(count_run(), 2));
          break;
        case 'Z':
          AppendNumber(out_, value_.nanosecond / 1'000'000, std::min(count_run(), 3));
          break;
        case 'T':
          Append(count_run() == 1 ? settings_.short_time_format : settings_.long_time_format, level + 1);
          break;
        case 'A': {
          const bool afternoon = value_.hour >= 12;
          if (StartsWithNoCase(format, start, "am/pm")) {
            // The text of the format itself, in its own case.
            out_ += format.substr(afternoon ? start + 3 : start, 2);
            i = start + 5;
            use_12_hour_clock = true;
          } else if (StartsWithNoCase(format, start, "a/p")) {
            out_ += format.substr(afternoon ? start + 2 : start, 1);
            i = start + 3;
            use_12_hour_clock = true;
          } else if (StartsWithNoCase(format, start, "ampm")) {
            out_ += afternoon ? settings_.time_pm_string : settings_.time_am_string;
            i = start + 4;
            use_12_hour_clock = true;
          } else {
            out_ += starter;
          }
          break;
        }
        case 'C':
          count_run();
          Append(settings_.short_date_format, level + 1);
          if (value_.hour != 0 || value_.minute != 0 || value_.second != 0) {
            out_ += ' ';
            Append(settings_.long_time_format, level + 1);
          }
          break;
        case '/':
          out_ += settings_.date_separator;
          break;
        case ':':
          out_ += settings_.time_separator;
          break;
        case '\'':
        case '"': {
          const size_t close = format.find(starter, i);
          const size_t end = close == std::string_view::npos ? format.size() : close;
          out_ += format.substr(i, end - i);
          i = close == std::string_view::npos ? end : end + 1;
          break;
        }
        default:
          out_ += starter;
          break;
      }
    }
  }

 private:
  const std::string& MonthName(const std::array<std::string, 12>& names) const {
    return names[static_cast<size_t>(std::clamp(value_.month, 1, 12) - 1)];
  }

  // The hour takes the 12-hour clock when the next "a" of the format, before
  // any other hour and outside quotes, starts "am/pm", "a/p" or "ampm".
  static bool AmPmFollows(std::string_view format, size_t from) {
    bool between_quotes = false;
    for (size_t p = from; p < format.size(); ++p) {
      const char c = Upper(format[p]);
      if (c == '\'' || c == '"') {
        between_quotes = !between_quotes;
      } else if (!between_quotes && c == 'H') {
        return false;
      } else if (!between_quotes && c == 'A') {
        return StartsWithNoCase(format, p, "am/pm") || StartsWithNoCase(format, p, "a/p") ||
               StartsWithNoCase(format, p, "ampm");
      }
    }
    return false;
  }

  const DateTime& value_;
  const FormatSettings& settings_;
  std::string& out_;
};

}  // namespace

int DayOfWeek(const DateTime& value) {
  // Sakamoto's method on the proleptic Gregorian calendar: 0 = Sunday.
  static constexpr int kMonthOffsets[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
  const int month = std::clamp(value.month, 1, 12);
  long long year = value.year - (month < 3 ? 1 : 0);
  const long long floor_4 = year >= 0 ? year / 4 : (year - 3) / 4;
  const long long floor_100 = year >= 0 ? year / 100 : (year - 99) / 100;
  const long long floor_400 = year >= 0 ? year / 400 : (year - 399) / 400;
  long long day = (year + floor_4 - floor_100 + floor_400 + kMonthOffsets[month - 1] + value.day) % 7;
  if (day < 0) day += 7;
  return static_cast<int>(day) + 1;
}

void AppendFormatDateTime(std::string& out, std::string_view format, const DateTime& value,
                          const FormatSettings& settings) {
  DateTimeFormatter formatter(value, settings, out);
  formatter.Append(format.empty() ? std::string_view("c") : format, 0);
}

std::string FormatDateTime(std::string_view format, const DateTime& value, const FormatSettings& settings) {
  std::string text;
  AppendFormatDateTime(text, format, value, settings);
  return text;
}

std::string FormatDateTime(std::string_view format, const DateTime& value) {
  return FormatDateTime(format, value, GlobalFormatSettings());
}

}  // namespace quill
