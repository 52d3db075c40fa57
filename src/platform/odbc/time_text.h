#pragma once

#include <optional>
#include <string_view>

#include "platform/formatting/date_time.h"

namespace quill {

// A time of day or a duration as servers write it: "[-]H...H:MM:SS[.F...]",
// with any number of hour digits (MariaDB's TIME runs from -838:59:59 to
// 838:59:59) and up to nine digits of fraction. The date parts stay at their
// defaults. nullopt for any other text.
std::optional<DateTime> ParseTimeText(std::string_view text);

// A date or date-time as servers write it: "YYYY-MM-DD", optionally
// followed by a blank and a time as above (of at most 23 hours), and a time
// zone's offset, which is dropped (the value is the session's). `zero` says
// the date has a zero part (MariaDB's '0000-00-00', '2020-00-15') or a day
// its month lacks (MariaDB's ALLOW_INVALID_DATES: '2020-02-31'), which no
// calendar holds; its parts are kept as written. nullopt for any other text.
struct DateTimeText {
  DateTime value;
  bool zero = false;
};
std::optional<DateTimeText> ParseDateTimeText(std::string_view text);

}  // namespace quill
