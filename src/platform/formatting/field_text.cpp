#include "platform/formatting/field_text.h"

#include "platform/formatting/format_date_time.h"
#include "platform/formatting/format_float.h"
#include "platform/formatting/format_settings.h"

namespace quill {

std::string DateFieldText(const DateTime& value) {
  return FormatDateTime(GlobalFormatSettings().short_date_format, value);
}

std::string TimeFieldText(const DateTime& value) {
  return FormatDateTime(GlobalFormatSettings().long_time_format, value);
}

// "c": the short date, then a blank and the long time unless the time of day
// is midnight.
std::string DateTimeFieldText(const DateTime& value) { return FormatDateTime("c", value); }

void AppendDateTimeFieldText(std::string& out, DateTextKind kind, const DateTime& value) {
  const FormatSettings& settings = GlobalFormatSettings();
  switch (kind) {
    case DateTextKind::kDate: AppendFormatDateTime(out, settings.short_date_format, value, settings); return;
    case DateTextKind::kTime: AppendFormatDateTime(out, settings.long_time_format, value, settings); return;
    case DateTextKind::kDateTime: AppendFormatDateTime(out, "c", value, settings); return;
  }
}

std::string FloatFieldText(double value) { return FormatFloatGeneral(value); }

std::string BooleanFieldText(bool value) { return value ? "True" : "False"; }

}  // namespace quill
