#pragma once

#include <string>

#include "platform/formatting/date_time.h"

namespace quill {

// The text the data-access layer gives for a field's value (NULL, the empty
// text, is the caller's case). All follow the global format variables.
std::string DateFieldText(const DateTime& value);      // short date format
std::string TimeFieldText(const DateTime& value);      // long time format
std::string DateTimeFieldText(const DateTime& value);  // both, time left out at midnight
std::string FloatFieldText(double value);              // shortest text that reads back the same
std::string BooleanFieldText(bool value);              // "True" / "False"

// The date, time or date-time text of a field of that kind, appended to out.
enum class DateTextKind { kDate, kTime, kDateTime };
void AppendDateTimeFieldText(std::string& out, DateTextKind kind, const DateTime& value);

}  // namespace quill
