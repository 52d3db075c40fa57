#include "generator/log_stamp.h"

#include "platform/formatting/format_date_time.h"
#include "platform/formatting/format_settings.h"

namespace quill {

namespace {

std::string StampWith(const Clock& clock, const char* between) {
  const DateTime now = clock();
  const FormatSettings& formats = GlobalFormatSettings();
  return FormatDateTime(formats.short_date_format, now) + between + FormatDateTime(formats.long_time_format, now);
}

}  // namespace

std::string LogStamp(const Clock& clock) { return StampWith(clock, " - "); }

std::string HeaderStamp(const Clock& clock) { return StampWith(clock, " "); }

}  // namespace quill
