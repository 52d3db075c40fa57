#include "platform/formatting/field_text.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <numbers>

#include "platform/formatting/format_date_time.h"
#include "platform/formatting/format_float.h"
#include "platform/formatting/format_settings.h"
#include "platform/formatting/format_settings_guard.h"

namespace quill {
namespace {

class FieldText : public ::testing::Test {
 protected:
  testing::FormatSettingsGuard guard_;
};

TEST_F(FieldText, DatesAndTimesUseTheShortDateAndLongTime) {
  const DateTime afternoon{2004, 12, 31, 13, 5, 9, 45'000'000};
  const DateTime midnight{2004, 12, 31, 0, 0, 0, 0};
  EXPECT_EQ(DateFieldText(afternoon), "2004-12-31");
  EXPECT_EQ(TimeFieldText(afternoon), "13:05:09");
  EXPECT_EQ(TimeFieldText(midnight), "00:00:00");
  EXPECT_EQ(DateTimeFieldText(afternoon), "2004-12-31 13:05:09");
  EXPECT_EQ(DateTimeFieldText(midnight), "2004-12-31");
  EXPECT_EQ(DateTimeFieldText(DateTime{2004, 12, 31, 0, 0, 1, 0}), "2004-12-31 00:00:01");
}

// The C locale's formats are written without the general formatter: both
// must give the same texts, also for parts outside the usual ranges.
TEST_F(FieldText, TheIsoFormsAgreeWithTheGeneralFormatter) {
  const DateTime values[] = {
      {2004, 12, 31, 13, 5, 9, 45'000'000}, {1, 1, 1, 0, 0, 0, 0},       {9999, 12, 31, 23, 59, 59, 999'999'999},
      {1899, 12, 30, 0, 0, 1, 0},           {10000, 1, 2, 3, 4, 5, 0},  {2024, 2, 29, 838, 59, 59, 0},
      {-5, 1, 1, 0, 0, 0, 0},               {1899, 12, 30, 100, 0, 0, 0},
  };
  for (const DateTime& value : values) {
    EXPECT_EQ(DateFieldText(value), FormatDateTime(GlobalFormatSettings().short_date_format, value)) << value.year;
    EXPECT_EQ(TimeFieldText(value), FormatDateTime(GlobalFormatSettings().long_time_format, value)) << value.hour;
    EXPECT_EQ(DateTimeFieldText(value), FormatDateTime("c", value)) << value.year;
  }
}

TEST_F(FieldText, FollowsTheVariablesChangedAtRunTime) {
  const DateTime afternoon{2004, 12, 31, 13, 5, 9, 0};
  FormatSettings& settings = GlobalFormatSettings();
  settings.short_date_format = "dd/mm/yyyy";
  settings.date_separator = ".";
  settings.long_time_format = "hh:nn:ss ampm";
  EXPECT_EQ(DateFieldText(afternoon), "31.12.2004");
  EXPECT_EQ(TimeFieldText(afternoon), "01:05:09 PM");
  EXPECT_EQ(DateTimeFieldText(afternoon), "31.12.2004 01:05:09 PM");
}

TEST_F(FieldText, Booleans) {
  EXPECT_EQ(BooleanFieldText(true), "True");
  EXPECT_EQ(BooleanFieldText(false), "False");
}

struct FloatCase {
  double value;
  const char* expected;
};

TEST_F(FieldText, FloatsAreTheShortestTextInTheGeneralLayout) {
  const FloatCase cases[] = {
      {0.1, "0.1"},
      {1.0 / 3, "0.3333333333333333"},
      {2.0 / 3, "0.6666666666666666"},
      {0.1 + 0.2, "0.30000000000000004"},
      {100, "100"},
      {-2.5, "-2.5"},
      {0, "0"},
      {-0.0, "-0"},  // keeps the sign: reads back as the same double
      {1e21, "1E21"},
      {1e20, "1E20"},
      {1e15, "1E15"},  // 16 integer digits: exponent
      {999999999999999, "999999999999999"},
      {123456789012345, "123456789012345"},
      {123456789012345678.0, "1.2345678901234568E17"},
      {-1.5e20, "-1.5E20"},
      {0.0001, "0.0001"},
      {0.00012, "0.00012"},
      {0.00001, "1E-5"},
      {1e-7, "1E-7"},
      {1.5e-20, "1.5E-20"},
      {-1.25e-10, "-1.25E-10"},
      {DBL_MAX, "1.7976931348623157E308"},
      {DBL_MIN, "2.2250738585072014E-308"},
      {std::numeric_limits<double>::denorm_min(), "5E-324"},
      {std::numeric_limits<double>::infinity(), "INF"},
      {-std::numeric_limits<double>::infinity(), "-INF"},
      {std::numeric_limits<double>::quiet_NaN(), "NAN"},
  };
  for (const FloatCase& c : cases) {
    EXPECT_EQ(FloatFieldText(c.value), c.expected) << c.expected;
  }
}

TEST_F(FieldText, FloatTextReadsBackAsTheSameDouble) {
  const double values[] = {0.1,      1.0 / 3,   std::numbers::pi, -std::numbers::e,    1e21,   1e-7,  123456789012345678.0,
                           0.3,      2.675,     1e23,     5e-324,  DBL_MAX, -0.0, 4.35,
                           1234.5678, 9007199254740993.0, 0.1 + 0.2, 1e-5, 7e22, 1.7976931348623155e308};
  for (double value : values) {
    const std::string text = FloatFieldText(value);
    const double back = std::strtod(text.c_str(), nullptr);
    EXPECT_EQ(std::memcmp(&back, &value, sizeof value), 0) << text;
  }
}

TEST_F(FieldText, FloatsUseTheDecimalSeparator) {
  GlobalFormatSettings().decimal_separator = ",";
  EXPECT_EQ(FloatFieldText(0.1), "0,1");
  EXPECT_EQ(FloatFieldText(1.5e-20), "1,5E-20");
  EXPECT_EQ(FloatFieldText(12), "12");
  EXPECT_EQ(FormatFloatGeneral(-1234.5), "-1234,5");
}

}  // namespace
}  // namespace quill
