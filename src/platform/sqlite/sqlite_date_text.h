#pragma once

#include <string_view>

#include "platform/formatting/date_time.h"

namespace quill {

// What a text in a date or time column holds.
enum class DateTextShape {
  kDate,      // "YYYY-MM-DD", or a date with the time 00:00:00
  kDateTime,  // "YYYY-MM-DD HH:MM[:SS[.fff]]" (or with "T") at another time
  kTime,      // "HH:MM[:SS[.fff]]"
};

struct DateText {
  DateTextShape shape;
  DateTime value;
};

// The date, date-time or time a text holds in the forms the SQLite date
// functions write; false for any other text (time zones, out-of-range parts,
// more than nine digits of fraction), so that such a text is kept as text.
bool ParseDateText(std::string_view text, DateText& date);

}  // namespace quill
