#include "platform/formatting/date_time.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>

namespace quill {
namespace {

DateTime At(int year, int month, int day, int hour = 0, int minute = 0, int second = 0, int millisecond = 0) {
  return DateTime{year, month, day, hour, minute, second, millisecond * 1'000'000};
}

struct SerialCase {
  DateTime value;
  double serial;
};

TEST(DateSerial, KnownDaysAndFractions) {
  const SerialCase cases[] = {
      {At(1899, 12, 30), 0.0},
      {At(1899, 12, 30, 6), 0.25},
      {At(1899, 12, 31), 1.0},
      {At(1900, 1, 1), 2.0},
      {At(1899, 12, 29), -1.0},
      {At(1899, 12, 29, 6), -1.25},  // the time counts forward from that day's midnight
      {At(1899, 12, 29, 18), -1.75},
      {At(2004, 12, 31, 12), 38352.5},
      {At(1, 1, 1), -693593.0},
      {At(100, 1, 1), -657434.0},
      {At(1850, 6, 15, 12), -18095.5},
      {At(2100, 3, 1), 73110.0},
      {At(9999, 12, 31), 2958465.0},
  };
  for (const SerialCase& c : cases) {
    EXPECT_DOUBLE_EQ(ToSerial(c.value), c.serial) << c.value.year << "-" << c.value.month << "-" << c.value.day;
    EXPECT_EQ(FromSerial(c.serial), c.value) << c.serial;
  }
}

TEST(DateSerial, RoundTripsToTheMillisecondOverTheWholeRange) {
  const DateTime values[] = {
      At(1, 1, 1, 0, 0, 0, 1),          At(100, 2, 28, 23, 59, 59, 999), At(1600, 2, 29, 12, 0, 0, 500),
      At(1850, 6, 15, 7, 8, 9, 10),     At(1899, 12, 29, 23, 59, 59, 999), At(1899, 12, 30, 0, 0, 0, 1),
      At(1900, 2, 28, 13, 14, 15, 16),  At(2000, 2, 29, 0, 0, 1),         At(2100, 3, 1, 1, 2, 3, 4),
      At(9999, 12, 31, 23, 59, 59, 999),
  };
  for (const DateTime& value : values) {
    EXPECT_EQ(FromSerial(ToSerial(value)), value) << value.year << "-" << value.month << "-" << value.day;
  }
}

TEST(DateSerial, FromSerialRoundsToWholeMilliseconds) {
  const double millisecond = 1.0 / 86'400'000;
  EXPECT_EQ(FromSerial(0.5 + 0.6 * millisecond), At(1899, 12, 30, 12, 0, 0, 1));
  EXPECT_EQ(FromSerial(0.5 + 0.4 * millisecond), At(1899, 12, 30, 12));
  // Just under a whole day goes on to the next midnight, never to 24:00.
  EXPECT_EQ(FromSerial(1.0 - 0.4 * millisecond), At(1899, 12, 31));
  EXPECT_EQ(FromSerial(-2.0 + 0.4 * millisecond), At(1899, 12, 30));
  EXPECT_EQ(FromSerial(38352.0 - 0.4 * millisecond), At(2004, 12, 31));
}

TEST(DateSerial, TheDayBeforeTheEpochAndTheEpochShareTheirTimes) {
  // Between -1 and 0 the whole day is 1899-12-30, as in the stored format.
  EXPECT_EQ(FromSerial(-0.25), At(1899, 12, 30, 6));
  EXPECT_EQ(FromSerial(0.25), At(1899, 12, 30, 6));
}

TEST(DateSerial, SerialsOutsideTheCalendarAreRefused) {
  const double bad[] = {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                        -std::numeric_limits<double>::infinity(), 2958466.0, -693594.0, 1e300, -1e300};
  for (double serial : bad) {
    EXPECT_THROW(FromSerial(serial), std::out_of_range) << serial;
  }
  EXPECT_EQ(FromSerial(-693593.5), At(1, 1, 1, 12));
  EXPECT_EQ(FromSerial(2958465.5), At(9999, 12, 31, 12));
}

}  // namespace
}  // namespace quill
