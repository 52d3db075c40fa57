#pragma once

#include <string>
#include <string_view>

#include "platform/formatting/date_time.h"
#include "platform/formatting/format_settings.h"

namespace quill {

// Formats a date and time with the class library's date specifiers (c, d, dd,
// ddd, dddd, ddddd, dddddd, m, mm, mmm, mmmm, yy, yyyy, h, hh, n, nn, s, ss, z,
// zzz, t, tt, am/pm, a/p, ampm, "/", ":", quoted text), upper or lower case
// alike. An empty format is "c". The first overload uses the global variables.
std::string FormatDateTime(std::string_view format, const DateTime& value);
std::string FormatDateTime(std::string_view format, const DateTime& value, const FormatSettings& settings);
// The same text appended to `out`, for callers that build a longer text.
void AppendFormatDateTime(std::string& out, std::string_view format, const DateTime& value,
                          const FormatSettings& settings);

// 1 = Sunday ... 7 = Saturday, for the day names.
int DayOfWeek(const DateTime& value);

}  // namespace quill
