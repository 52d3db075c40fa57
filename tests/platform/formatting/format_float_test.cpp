#include "platform/formatting/format_float.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/formatting/format_settings.h"
#include "platform/formatting/format_settings_guard.h"

namespace quill {
namespace {

struct MaskCase {
  const char* mask;
  double value;
  const char* expected;
};

void ExpectCases(const MaskCase* begin, const MaskCase* end, const FormatSettings& settings) {
  for (const MaskCase* c = begin; c != end; ++c) {
    EXPECT_EQ(FormatFloat(c->mask, c->value, settings), c->expected) << "mask \"" << c->mask << "\", " << c->value;
  }
}

TEST(FormatFloat, DigitPlaceholders) {
  const MaskCase cases[] = {
      {"0.00", 1234.5, "1234.50"},
      {"0.00", 0.5, "0.50"},
      {"0.00", 3, "3.00"},
      {"0", 1234.5678, "1235"},
      {"00000", 42, "00042"},
      {"0.###", 1.5, "1.5"},
      {"0.###", 2, "2"},
      {"0.###", 1.23456, "1.235"},
      {"0.0##", 2, "2.0"},
      {"#.##", 0.5, ".5"},
      {"#.##", 12.345, "12.35"},
      {"#", 0, ""},
      {"#", 7, "7"},
      {"#0.0", 0.25, "0.3"},
      {"0-00", 123, "1-23"},
      {"00", 12345, "12345"},  // digits the mask has no place for go in front
      {".00", 12.5, "12.50"},
  };
  ExpectCases(std::begin(cases), std::end(cases), CLocaleFormatSettings());
}

TEST(FormatFloat, ThousandSeparators) {
  const MaskCase cases[] = {
      {"#,##0.00", 1234567.891, "1,234,567.89"},
      {"#,##0.00", 0.5, "0.50"},
      {"#,##0.00", 999.999, "1,000.00"},
      {"#,##0", 999.5, "1,000"},
      {"#,##0", 100, "100"},
      {"#,##0", -1234567, "-1,234,567"},
      {"0,", 1234, "1,234"},  // where the comma stands does not matter
      {"#,##0", 1e15, "1,000,000,000,000,000"},
  };
  ExpectCases(std::begin(cases), std::end(cases), CLocaleFormatSettings());
}

TEST(FormatFloat, RoundsHalfAwayFromZeroOnTheExactValue) {
  const MaskCase cases[] = {
      {"0", 2.5, "3"},
      {"0", -2.5, "-3"},
      {"0", 0.5, "1"},
      {"0", -0.5, "-1"},
      {"0.00", 1.125, "1.13"},    // exactly half in binary: away from zero
      {"0.00", -1.125, "-1.13"},
      {"0.00", 1.005, "1.00"},    // the double is 1.00499999999999989...
      {"0.00", 2.675, "2.67"},    // 2.67499999999999982...
      {"0.0", 0.05, "0.1"},       // 0.05000000000000000277...
      {"0.00", 0.995, "0.99"},    // 0.99499999999999999555...
      {"0.000", 1e-300, "0.000"},
  };
  ExpectCases(std::begin(cases), std::end(cases), CLocaleFormatSettings());
}

TEST(FormatFloat, ANegativeValueThatRoundsToZeroShowsNoSign) {
  const MaskCase cases[] = {
      {"0.00", -0.001, "0.00"},
      {"0", -0.4, "0"},
      {"0.0;(0.0)", -0.04, "0.0"},
      {"0.0;(0.0);nil", -0.04, "nil"},
      {"0.0;(0.0);nil", 0.04, "nil"},
      {"0.00", -0.0, "0.00"},
      {"0.00", -1e-300, "0.00"},
  };
  ExpectCases(std::begin(cases), std::end(cases), CLocaleFormatSettings());
}

TEST(FormatFloat, Sections) {
  const MaskCase cases[] = {
      {"#;(#);zero", 5, "5"},
      {"#;(#);zero", -5, "(5)"},
      {"#;(#);zero", 0, "zero"},
      {"#;(#);zero", -0.0, "zero"},
      {"0.00;-0.00 'neg'", -1.5, "-1.50 neg"},
      {"0.00;(0.00)", 0, "0.00"},      // no zero section: the first one
      {"0.00;;zero", -1.5, "-1.50"},   // empty negative section: the first one with a sign
      {"0.00;;zero", 0, "zero"},
      {"0.0;(0.0);'-';extra", 0, "-"}, // a fourth section is ignored
      {"'a;b'0;'c;d'0", -1, "c;d1"},  // a quoted ";" separates nothing
  };
  ExpectCases(std::begin(cases), std::end(cases), CLocaleFormatSettings());
}

TEST(FormatFloat, QuotedAndOtherText) {
  const MaskCase cases[] = {
      {"'$'#,##0.00", 1234.5, "$1,234.50"},
      {"0.00\" kg\"", 12.5, "12.50 kg"},
      {"\"#\"0", 7, "#7"},
      {"'0.00'0", 7, "0.007"},
      {"[0]", 7, "[7]"},
      {"0 %", 15, "15 %"},
      {"'$'0.00", -5, "-$5.00"},  // the sign goes before everything
      {"0 'unclosed", 3, "3 unclosed"},
  };
  ExpectCases(std::begin(cases), std::end(cases), CLocaleFormatSettings());
}

TEST(FormatFloat, ExponentForms) {
  const MaskCase cases[] = {
      {"0.00E+00", 12345, "1.23E+04"},
      {"0.00E+00", 0.00012345, "1.23E-04"},
      {"0.00E+00", -12345, "-1.23E+04"},
      {"0.00E+00", 0, "0.00E+00"},
      {"0.00E+00", 1.5e300, "1.50E+300"},
      {"0.00E-00", 12345, "1.23E04"},
      {"0.00E-00", 0.00012345, "1.23E-04"},
      {"0.00e+00", 12345, "1.23e+04"},
      {"0.00e-0", 12345, "1.23e4"},
      {"0.0E+0", 9.96, "1.0E+1"},    // rounding carries into the exponent
      {"0.##E+00", 1500, "1.5E+03"},
      {"00.0E+0", 12345, "12.3E+3"},
      {"0E+0", 12345, "1E+4"},
      {"0.00E+00", 1.125, "1.13E+00"},
  };
  ExpectCases(std::begin(cases), std::end(cases), CLocaleFormatSettings());
}

TEST(FormatFloat, LargeValuesKeepEveryDigit) {
  const MaskCase cases[] = {
      {"0", 1e20, "100000000000000000000"},
      {"0.00", 123456789012345678.0, "123456789012345680.00"},
      {"#,##0", 9007199254740993.0, "9,007,199,254,740,992"},
      {"0", -1e22, "-10000000000000000000000"},
  };
  ExpectCases(std::begin(cases), std::end(cases), CLocaleFormatSettings());
}

TEST(FormatFloat, SeparatorsComeFromTheSettings) {
  FormatSettings settings = CLocaleFormatSettings();
  settings.decimal_separator = ",";
  settings.thousand_separator = ".";
  const MaskCase cases[] = {
      {"#,##0.00", 1234567.891, "1.234.567,89"},
      {"0.00E+00", 12345, "1,23E+04"},
      {"0.##", 2, "2"},
  };
  ExpectCases(std::begin(cases), std::end(cases), settings);
  settings.thousand_separator = "\u202f";  // a separator of several bytes
  EXPECT_EQ(FormatFloat("#,##0", 1234567, settings), "1\u202f234\u202f567");
}

TEST(FormatFloat, NotANumberAndInfinities) {
  const FormatSettings settings = CLocaleFormatSettings();
  EXPECT_EQ(FormatFloat("0.00", std::numeric_limits<double>::quiet_NaN(), settings), "NAN");
  EXPECT_EQ(FormatFloat("0.00", std::numeric_limits<double>::infinity(), settings), "INF");
  EXPECT_EQ(FormatFloat("#;(#)", -std::numeric_limits<double>::infinity(), settings), "-INF");
}

TEST(FormatFloat, AnEmptyMaskIsTheGeneralFormat) {
  testing::FormatSettingsGuard guard;
  EXPECT_EQ(FormatFloat("", 0.1), "0.1");
  EXPECT_EQ(FormatFloat("", 1e21), "1E21");
  GlobalFormatSettings().decimal_separator = ",";
  EXPECT_EQ(FormatFloat("", 2.5), "2,5");
  EXPECT_EQ(FormatFloat("0.0", 2.5), "2,5");
}

// A single-precision value widened to a double is written as the shortest
// text that reads back as the same single, by every formatting.
TEST(FormatFloat, SinglePrecisionValuesGiveTheirShortestText) {
  const FormatSettings settings = CLocaleFormatSettings();
  const float kSmallest = std::numeric_limits<float>::denorm_min();
  const float kLargest = std::numeric_limits<float>::max();
  struct Case {
    float single;
    const char* expected;
  };
  const Case cases[] = {
      {0.4f, "0.4"},           {3.14159f, "3.14159"},      {-0.1f, "-0.1"},      {1.0f / 3.0f, "0.33333334"},
      {16777216.0f, "16777216"}, {1e-7f, "1E-7"},          {kLargest, "3.4028235E38"},
      {-kLargest, "-3.4028235E38"}, {kSmallest, "1E-45"},   {0.0f, "0"},          {123456.79f, "123456.79"},
  };
  for (const Case& c : cases) {
    const double widened = c.single;
    const double value = ShortestSingleValue(widened);
    EXPECT_EQ(FormatFloatGeneral(value, settings), c.expected) << widened;
    EXPECT_EQ(static_cast<float>(value), c.single) << c.expected << " does not read back as the same single";
  }
  EXPECT_TRUE(std::isnan(ShortestSingleValue(std::numeric_limits<double>::quiet_NaN())));
  EXPECT_EQ(ShortestSingleValue(-std::numeric_limits<double>::infinity()), -std::numeric_limits<double>::infinity());
  EXPECT_EQ(ShortestSingleValue(1e300), 1e300);  // no single: kept
  EXPECT_EQ(FormatFloat("0.000", ShortestSingleValue(0.4f), settings), "0.400");
}

}  // namespace
}  // namespace quill
