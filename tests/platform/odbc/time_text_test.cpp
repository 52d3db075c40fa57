// Times as servers write them, read into their parts.
#include "platform/odbc/time_text.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace quill {
namespace {

DateTime Time(int hour, int minute, int second, int nanosecond = 0, bool negative = false) {
  DateTime value;
  value.hour = hour;
  value.minute = minute;
  value.second = second;
  value.nanosecond = nanosecond;
  value.negative = negative;
  return value;
}

TEST(TimeText, ReadsSignLongHoursAndFractions) {
  struct Case {
    std::string text;
    std::optional<DateTime> expected;
  };
  const std::vector<Case> cases = {
      {"12:34:56", Time(12, 34, 56)},
      {"23:59:59.999999", Time(23, 59, 59, 999999000)},
      {"00:00:00.5", Time(0, 0, 0, 500000000)},
      {"01:02:03.123456789", Time(1, 2, 3, 123456789)},
      {"24:00:00", Time(24, 0, 0)},
      {"-01:02:03", Time(1, 2, 3, 0, true)},
      {"-838:59:59.000000", Time(838, 59, 59, 0, true)},
      {"838:59:59.999999", Time(838, 59, 59, 999999000)},
      {"-00:00:00.500000", Time(0, 0, 0, 500000000, true)},
      {"-00:00:00", Time(0, 0, 0)},
      {"7:08:09", Time(7, 8, 9)},
      {"", std::nullopt},
      {"12:34", std::nullopt},
      {"12:60:00", std::nullopt},
      {"12:00:61", std::nullopt},
      {"12:00:00.", std::nullopt},
      {"12:00:00.1234567890", std::nullopt},
      {"12:00:00+02", std::nullopt},
      {"--1:00:00", std::nullopt},
      {"1234567:00:00", std::nullopt},
      {"ab:cd:ef", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseTimeText(c.text), c.expected) << c.text;
}

}  // namespace
}  // namespace quill
