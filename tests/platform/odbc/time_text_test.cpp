// Times as servers write them, read into their parts.
#include "platform/odbc/time_text.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "odbc_test_support.h"

namespace quill {
namespace {

using testing::TimeValue;

TEST(TimeText, ReadsSignLongHoursAndFractions) {
  struct Case {
    std::string text;
    std::optional<DateTime> expected;
  };
  const std::vector<Case> cases = {
      {"12:34:56", TimeValue(12, 34, 56)},
      {"23:59:59.999999", TimeValue(23, 59, 59, 999999000)},
      {"00:00:00.5", TimeValue(0, 0, 0, 500000000)},
      {"01:02:03.123456789", TimeValue(1, 2, 3, 123456789)},
      {"24:00:00", TimeValue(24, 0, 0)},
      {"-01:02:03", TimeValue(1, 2, 3, 0, true)},
      {"-838:59:59.000000", TimeValue(838, 59, 59, 0, true)},
      {"838:59:59.999999", TimeValue(838, 59, 59, 999999000)},
      {"-00:00:00.500000", TimeValue(0, 0, 0, 500000000, true)},
      {"-00:00:00", TimeValue(0, 0, 0)},
      {"7:08:09", TimeValue(7, 8, 9)},
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

TEST(TimeText, ReadsDatesAndTellsZeroDates) {
  struct Case {
    std::string text;
    std::optional<DateTime> expected;
    bool zero;
  };
  const std::vector<Case> cases = {
      {"2020-01-31", DateTime{2020, 1, 31}, false},
      {"0001-01-01", DateTime{1, 1, 1}, false},
      {"9999-12-31 23:59:59.999999", DateTime{9999, 12, 31, 23, 59, 59, 999999000}, false},
      {"2024-02-29 00:00:00", DateTime{2024, 2, 29}, false},
      {"2020-06-15T12:00:00.5", DateTime{2020, 6, 15, 12, 0, 0, 500000000}, false},
      {"0000-00-00", DateTime{0, 0, 0}, true},
      {"0000-00-00 00:00:00", DateTime{0, 0, 0}, true},
      {"2020-00-15", DateTime{2020, 0, 15}, true},
      {"2020-02-00 10:00:00", DateTime{2020, 2, 0, 10}, true},
      {"0000-01-01", DateTime{0, 1, 1}, true},
      {"2020-02-31", DateTime{2020, 2, 31}, true},
      {"2023-02-29", DateTime{2023, 2, 29}, true},
      {"", std::nullopt, false},
      {"2020-13-01", std::nullopt, false},
      {"2020-01-32", std::nullopt, false},
      {"2020-1-01", std::nullopt, false},
      {"2020-01-01 24:00:00", std::nullopt, false},
      {"2020-01-01 -01:00:00", std::nullopt, false},
      {"2020-01-01 00:00:00.25+00", DateTime{2020, 1, 1, 0, 0, 0, 250000000}, false},
      {"2020-01-01 10:00:00-05:30", DateTime{2020, 1, 1, 10}, false},
      {"1900-01-01 00:00:00+00:09:21", DateTime{1900, 1, 1}, false},
      {"2020-01-01 10:00:00+5", std::nullopt, false},
      {"infinity", std::nullopt, false},
      {"-infinity", std::nullopt, false},
      {"0001-01-01 BC", std::nullopt, false},
      {"0044-03-15 12:00:00 BC", std::nullopt, false},
      {"10000-01-01 00:00:00", std::nullopt, false},
  };
  for (const Case& c : cases) {
    const std::optional<DateTimeText> date = ParseDateTimeText(c.text);
    ASSERT_EQ(date.has_value(), c.expected.has_value()) << c.text;
    if (!date) continue;
    EXPECT_EQ(date->value, *c.expected) << c.text;
    EXPECT_EQ(date->zero, c.zero) << c.text;
  }
}

}  // namespace
}  // namespace quill
