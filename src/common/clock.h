#pragma once

#include <functional>

#include "platform/formatting/date_time.h"

namespace quill {

// The current local date and time. Tests replace it with a fixed clock.
using Clock = std::function<DateTime()>;
DateTime SystemNow();

}  // namespace quill
