#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "platform/formatting/date_time.h"

namespace quill::jet {

using Bytes = std::vector<std::uint8_t>;

// The Null of a variant: a value that says "no value".
struct Null {
  friend bool operator==(Null, Null) = default;
};

// What a property or a field can be given: nothing yet (Empty), Null, a
// boolean, a whole number, a floating-point number, text (UTF-8), a date-time
// or bytes.
using Variant = std::variant<std::monostate, Null, bool, std::int64_t, double, std::string, DateTime, Bytes>;

}  // namespace quill::jet
