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

}  // namespace quill
