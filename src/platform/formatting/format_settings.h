#pragma once

#include <array>
#include <string>
#include <string_view>

namespace quill {

// The process-wide format variables of the class library: what the built-in
// date formatter, the field texts and the float masks follow. Texts are UTF-8;
// the separators are one character each (which may take several bytes).
struct FormatSettings {
  std::string date_separator;     // DateSeparator: what "/" writes
  std::string time_separator;     // TimeSeparator: what ":" writes
  std::string short_date_format;  // ShortDateFormat, e.g. "yyyy-mm-dd"
  std::string long_date_format;   // LongDateFormat
  std::string short_time_format;  // ShortTimeFormat, e.g. "hh:nn"
  std::string long_time_format;   // LongTimeFormat, e.g. "hh:nn:ss"
  std::array<std::string, 12> short_month_names;  // January first
  std::array<std::string, 12> long_month_names;
  std::array<std::string, 7> short_day_names;  // Sunday first
  std::array<std::string, 7> long_day_names;
  std::string time_am_string;      // TimeAMString
  std::string time_pm_string;      // TimePMString
  std::string decimal_separator;   // DecimalSeparator
  std::string thousand_separator;  // ThousandSeparator

  friend bool operator==(const FormatSettings&, const FormatSettings&) = default;
};

// The one mutable set of variables of this process. It starts with the C
// locale's values; the date-format dialog edits it at run time and every later
// formatting follows. Not thread-safe: the program formats on one thread.
FormatSettings& GlobalFormatSettings();

// The values used for the C and POSIX locales: short date "yyyy-mm-dd", long
// time "hh:nn:ss", separators "-" and ":", English names, "AM"/"PM", ".".
FormatSettings CLocaleFormatSettings();

// The values of the user's locale as the environment names it (LC_ALL, then
// LC_TIME or LC_NUMERIC, then LANG). Reads the locale without installing it, so
// the C library's own number parsing and printing stay in the C locale.
FormatSettings FormatSettingsFromEnvironment();

// Sets the global variables from the user's locale; the program calls it once
// at start.
void InitialiseFormatSettingsFromLocale();

// Translates a C library date or time pattern (nl_langinfo D_FMT, T_FMT) into
// the class library's specifiers: "%d.%m.%y" gives "dd.mm.yyyy" (two-digit
// years are widened), "%H:%M:%S" gives "hh:nn:ss"; "%r" and "%p" use
// am_pm_pattern (T_FMT_AMPM) and "ampm". Literal letters are quoted.
std::string TranslateLocalePattern(std::string_view pattern, std::string_view am_pm_pattern = "%I:%M:%S %p");

}  // namespace quill
