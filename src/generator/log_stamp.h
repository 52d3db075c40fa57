#pragma once

#include <string>

#include "common/clock.h"

namespace quill {

// The current date in the system's short date format, " - ", and the current
// time in its long time format: the stamp of log lines.
std::string LogStamp(const Clock& clock);

// The same date and time joined by one blank, as the script header writes them.
std::string HeaderStamp(const Clock& clock);

}  // namespace quill
