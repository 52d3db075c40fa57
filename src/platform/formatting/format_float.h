#pragma once

#include <string>
#include <string_view>

#include "platform/formatting/format_settings.h"

namespace quill {

// Formats a number with the class library's float mask: "0" and "#" digit
// placeholders, "." the decimal point (written as the decimal separator), ","
// thousand grouping, "E+", "E-", "e+", "e-" exponent forms, text in ' or "
// quotes, and up to three sections "positive;negative;zero". Digits are
// rounded half away from zero on the exact value. An empty mask gives the
// general format (FormatFloatGeneral). The first overload uses the global
// variables.
std::string FormatFloat(std::string_view mask, double value);
std::string FormatFloat(std::string_view mask, double value, const FormatSettings& settings);

// The general format: the shortest text that reads back as the same double,
// in plain decimal notation, or with an exponent ("1.5E-20", "1E20") when the
// value has more than 15 integer digits or is below 0.0001 in magnitude.
std::string FormatFloatGeneral(double value);
std::string FormatFloatGeneral(double value, const FormatSettings& settings);

// A single-precision value carried in a double (0.4f is 0.4000000059604645):
// the double of the shortest text that reads back as the same single (0.4),
// so that every later formatting writes that text. Values that are no
// single (beyond its range, NaN, infinities) stay as they are.
double ShortestSingleValue(double value);

}  // namespace quill
