#include "platform/formatting/decimal_digits.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

namespace quill {
namespace {

void StripZeros(DecimalDigits& number) {
  const size_t first = number.digits.find_first_not_of('0');
  if (first == std::string::npos) {
    number.digits.clear();
    number.exponent = 0;
    return;
  }
  number.digits.erase(0, first);
  number.exponent -= static_cast<int>(first);
  number.digits.erase(number.digits.find_last_not_of('0') + 1);
}

// Keeps the first `keep` digits, rounding half away from zero on the digit that
// follows; the digits are exact, so a "5" there means at least one half.
void RoundAt(DecimalDigits& number, int keep) {
  if (static_cast<size_t>(keep) >= number.digits.size()) return;  // keep >= 0 here
  const bool up = number.digits[static_cast<size_t>(keep)] >= '5';
  number.digits.resize(static_cast<size_t>(keep));
  if (up) {
    int i = keep - 1;
    while (i >= 0 && number.digits[static_cast<size_t>(i)] == '9') {
      number.digits[static_cast<size_t>(i)] = '0';
      --i;
    }
    if (i >= 0) {
      ++number.digits[static_cast<size_t>(i)];
    } else {
      number.digits.insert(number.digits.begin(), '1');
      ++number.exponent;
    }
  }
  StripZeros(number);
}

}  // namespace

DecimalDigits ExactDigits(double value) {
  value = std::fabs(value);
  DecimalDigits number;
  if (value == 0) return number;
  // A double is m x 2^(e - 53) with an integer m; its exact decimal expansion
  // has at most 53 - e digits after the point (1074 for the smallest ones).
  int binary_exponent = 0;
  std::frexp(value, &binary_exponent);
  const int precision = std::clamp(53 - binary_exponent, 0, 1074);
  std::array<char, 1500> buffer;
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed, precision);
  const std::string_view text(buffer.data(), static_cast<size_t>(result.ptr - buffer.data()));
  const size_t point = text.find('.');
  const std::string_view integer_part = text.substr(0, point);
  number.digits = std::string(integer_part);
  if (point != std::string_view::npos) number.digits += text.substr(point + 1);
  number.exponent = static_cast<int>(integer_part.size());
  StripZeros(number);
  return number;
}

DecimalDigits ShortestDigits(double value) {
  value = std::fabs(value);
  DecimalDigits number;
  if (value == 0) return number;
  std::array<char, 64> buffer;
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::scientific);
  const std::string_view text(buffer.data(), static_cast<size_t>(result.ptr - buffer.data()));
  const size_t e = text.find('e');
  for (char c : text.substr(0, e)) {
    if (c != '.') number.digits += c;
  }
  int exponent = 0;
  const std::string_view exponent_text = text.substr(e + 1);
  const char* begin = exponent_text.data() + (exponent_text.front() == '+' ? 1 : 0);
  std::from_chars(begin, exponent_text.data() + exponent_text.size(), exponent);
  number.exponent = exponent + 1;
  StripZeros(number);
  return number;
}

void RoundToDecimals(DecimalDigits& number, int decimals) {
  if (number.digits.empty()) return;
  const int keep = number.exponent + decimals;
  if (keep < 0) {
    number = DecimalDigits();  // less than half of the last kept place
    return;
  }
  RoundAt(number, keep);
}

void RoundToSignificant(DecimalDigits& number, int count) { RoundAt(number, std::max(count, 1)); }

}  // namespace quill
