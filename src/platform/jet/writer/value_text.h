#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/formatting/date_time.h"

namespace quill::jet {

// Reading the text of a field value as the engine reads it, with the
// process's format variables, which also wrote the field texts: the decimal
// and thousand separators (groups of three digits only, so "1234.5" stays a
// fraction where "." groups thousands), the short date's order of day, month
// and year, the time separator and the AM/PM strings. ISO texts
// (yyyy-mm-dd hh:nn:ss, a point as the decimal separator) are read in every
// locale.

std::string_view TrimBlanks(std::string_view text);
// Rounds half to even, as the engine does when a fraction meets a whole-number column.
double RoundHalfEven(double value);

std::optional<double> ParseNumberText(std::string_view text);
std::optional<std::int64_t> ParseWholeNumberText(std::string_view text);
// Currency as ten-thousandths, exact for up to four decimals.
std::optional<std::int64_t> ParseCurrencyText(std::string_view text);
// A date, a date and a time, or a time alone (on 1899-12-30). Two-digit
// years are 1950-2049.
std::optional<DateTime> ParseDateText(std::string_view text);

}  // namespace quill::jet
