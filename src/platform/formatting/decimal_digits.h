#pragma once

#include <string>

namespace quill {

// A non-negative number as decimal digits: the value is 0.digits x 10^exponent
// (so 12.5 is "125" with exponent 2). No leading zeros; zero is empty digits.
struct DecimalDigits {
  std::string digits;
  int exponent = 0;
};

// The exact decimal value of |value| (finite), every digit of it.
DecimalDigits ExactDigits(double value);

// The fewest digits of |value| (finite) that read back as the same double.
DecimalDigits ShortestDigits(double value);

// Rounds half away from zero to `decimals` digits after the decimal point.
void RoundToDecimals(DecimalDigits& number, int decimals);

// Rounds half away from zero to `count` significant digits.
void RoundToSignificant(DecimalDigits& number, int count);

}  // namespace quill
