#include "platform/formatting/date_time.h"

#include <cmath>
#include <cstdint>
#include <stdexcept>

namespace quill {
namespace {

constexpr int64_t kMillisecondsPerDay = 86'400'000;

// Days since 1970-01-01 in the proleptic Gregorian calendar (the class library
// extends the calendar backwards the same way).
int64_t DaysFromCivil(int64_t year, int64_t month, int64_t day) {
  year -= month <= 2 ? 1 : 0;
  const int64_t era = (year >= 0 ? year : year - 399) / 400;
  const int64_t year_of_era = year - era * 400;
  const int64_t day_of_year = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const int64_t day_of_era = year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
  return era * 146097 + day_of_era - 719468;
}

void CivilFromDays(int64_t days, DateTime& out) {
  days += 719468;
  const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const int64_t day_of_era = days - era * 146097;
  const int64_t year_of_era = (day_of_era - day_of_era / 1460 + day_of_era / 36524 - day_of_era / 146096) / 365;
  const int64_t day_of_year = day_of_era - (365 * year_of_era + year_of_era / 4 - year_of_era / 100);
  const int64_t month_index = (5 * day_of_year + 2) / 153;
  out.day = static_cast<int>(day_of_year - (153 * month_index + 2) / 5 + 1);
  out.month = static_cast<int>(month_index < 10 ? month_index + 3 : month_index - 9);
  out.year = static_cast<int>(year_of_era + era * 400 + (out.month <= 2 ? 1 : 0));
}

const int64_t kEpochDays = DaysFromCivil(1899, 12, 30);
const double kFirstSerial = static_cast<double>(DaysFromCivil(1, 1, 1) - kEpochDays);             // 0001-01-01
const double kLastSerial = static_cast<double>(DaysFromCivil(10000, 1, 1) - kEpochDays);          // after 9999-12-31

}  // namespace

double ToSerial(const DateTime& value) {
  const int64_t days = DaysFromCivil(value.year, value.month, value.day) - kEpochDays;
  const double seconds = value.hour * 3600.0 + value.minute * 60.0 + value.second + value.nanosecond / 1e9;
  const double fraction = seconds / 86400.0;
  // Before the epoch the whole days count backwards but the time still counts
  // forward from that day's midnight, so the fraction goes away from zero.
  return days < 0 ? static_cast<double>(days) - fraction : static_cast<double>(days) + fraction;
}

DateTime FromSerial(double serial) {
  // -1.0 < serial < 0.0 still names 1899-12-30: the fraction is the time only.
  if (!std::isfinite(serial) || serial <= kFirstSerial - 1.0 || serial >= kLastSerial) {
    throw std::out_of_range("Invalid date serial number");
  }
  const double whole = std::trunc(serial);
  int64_t days = static_cast<int64_t>(whole);
  int64_t milliseconds = std::llround(std::fabs(serial - whole) * kMillisecondsPerDay);
  // A fraction a hair under one day rounds up to the next midnight.
  if (milliseconds >= kMillisecondsPerDay) {
    milliseconds -= kMillisecondsPerDay;
    days += 1;
  }
  DateTime result;
  CivilFromDays(days + kEpochDays, result);
  if (result.year > 9999) {
    throw std::out_of_range("Invalid date serial number");
  }
  result.hour = static_cast<int>(milliseconds / 3'600'000);
  result.minute = static_cast<int>(milliseconds / 60'000 % 60);
  result.second = static_cast<int>(milliseconds / 1000 % 60);
  result.nanosecond = static_cast<int>(milliseconds % 1000) * 1'000'000;
  return result;
}

}  // namespace quill
