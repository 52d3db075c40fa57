#pragma once

#include <cstdint>

namespace quill {

// A calendar date and time of day as a data source holds it. Kept as parts,
// not as a serial number, so dates far before 1900 and fractions of a second
// survive unchanged; the serial form (days since 1899-12-30, the fraction the
// time of day) is what the class library's formatting and the Jet files use.
struct DateTime {
  int year = 1899;
  int month = 12;
  int day = 30;
  int hour = 0;
  int minute = 0;
  int second = 0;
  int nanosecond = 0;
  // A time value before zero (a MariaDB TIME such as -01:02:03). Time values
  // also carry hours beyond 23 (up to 838 there); dates never do either.
  bool negative = false;

  bool IsMidnight() const { return hour == 0 && minute == 0 && second == 0 && nanosecond == 0; }
  friend bool operator==(const DateTime&, const DateTime&) = default;
};

// Days since 1899-12-30 with the time of day as fraction. Before the epoch the
// fraction still counts forward from midnight (-1.25 is 1899-12-29 06:00), as
// the Jet format and the class library store it. FromSerial rounds to whole
// milliseconds and throws std::out_of_range for a serial that is not a number
// or lies outside the years 1 to 9999.
double ToSerial(const DateTime& value);
DateTime FromSerial(double serial);

}  // namespace quill
