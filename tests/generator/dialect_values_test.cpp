#include "generator/dialect_values.h"

#include <gtest/gtest.h>

#include <limits>
#include <ostream>
#include <utility>
#include <string>
#include <vector>

namespace quill {
namespace {

struct TextCase {
  const char* name;
  std::string text;
  std::string expected;
};

void PrintTo(const TextCase& c, std::ostream* out) { *out << c.name; }

class LowerCaseTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(LowerCaseTest, LowersEveryLetterByItsOwnMapping) { EXPECT_EQ(LowerCase(GetParam().text), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(
    Cases, LowerCaseTest,
    ::testing::Values(TextCase{"Ascii", "Order Details.ID_2", "order details.id_2"},
                      TextCase{"LatinLetters", "ÄRGER Straße ÑANDÚ", "ärger straße ñandú"},
                      TextCase{"GreekAndCyrillic", "ΣΟΦΙΑ Москва", "σοφια москва"},
                      TextCase{"InvalidBytesStayAsTheyAre", "A\xFF" "B\xC3", "a\xFF" "b\xC3"}),
    [](const ::testing::TestParamInfo<TextCase>& info) { return std::string(info.param.name); });

TEST(FirstCharacters, CountsCharactersNotBytes) {
  EXPECT_EQ(FirstCharacters("abc", 5), "abc");
  EXPECT_EQ(FirstCharacters("abcdef", 3), "abc");
  EXPECT_EQ(FirstCharacters("ééééé", 3), "ééé");
  EXPECT_EQ(FirstCharacters("", 0), "");
}

struct DateValueCase {
  const char* name;
  const char* class_name;
  FieldKind kind;
  DateTime value;
  std::string expected;
};

// Field texts in the C locale's formats; fractions of a second that are not
// zero and the sign of a negative time are kept, a midnight date-time is a date.
TEST(ValueTextOf, DatesAndTimesKeepFractionsAndSign) {
  const std::vector<DateValueCase> cases = {
      {"time with microseconds", "TTimeField", FieldKind::ftTime, {1899, 12, 30, 23, 59, 59, 999999000}, "23:59:59.999999"},
      {"time with half a second", "TTimeField", FieldKind::ftTime, {1899, 12, 30, 1, 2, 3, 500000000}, "01:02:03.5"},
      {"whole time", "TTimeField", FieldKind::ftTime, {1899, 12, 30, 1, 2, 3, 0}, "01:02:03"},
      {"negative time", "TTimeField", FieldKind::ftTime, {1899, 12, 30, 1, 2, 3, 0, true}, "-01:02:03"},
      {"negative long time with fraction", "TTimeField", FieldKind::ftTime,
       {1899, 12, 30, 838, 59, 59, 999999000, true}, "-838:59:59.999999"},
      {"date-time with fraction", "TDateTimeField", FieldKind::ftDateTime, {2004, 12, 31, 10, 11, 12, 123000000},
       "2004-12-31 10:11:12.123"},
      {"fraction just after midnight", "TDateTimeField", FieldKind::ftDateTime, {2004, 12, 31, 0, 0, 0, 1000},
       "2004-12-31 00:00:00.000001"},
      {"midnight is a date", "TDateTimeField", FieldKind::ftDateTime, {2004, 12, 31, 0, 0, 0, 0}, "2004-12-31"},
  };
  for (const DateValueCase& c : cases) {
    Field field("f", c.class_name, c.kind, 0, 0);
    field.SetDateTime(c.value);
    EXPECT_EQ(ValueTextOf(field, ClassOf(field)), c.expected) << c.name;
  }
}

TEST(TypeClassOf, AStringWithoutASizeIsTypedAsAMemo) {
  const Field sized("s", "TStringField", FieldKind::ftString, 10, 0);
  const Field unsized("u", "TStringField", FieldKind::ftString, 0, 1);
  const Field wide_unsized("w", "TWideStringField", FieldKind::ftWideString, -1, 2);
  const Field number("n", "TIntegerField", FieldKind::ftInteger, 0, 3);
  EXPECT_EQ(TypeClassOf(sized), ColumnClass::kString);
  EXPECT_EQ(TypeClassOf(unsized), ColumnClass::kMemo);
  EXPECT_EQ(TypeClassOf(wide_unsized), ColumnClass::kMemo);
  EXPECT_EQ(TypeClassOf(number), ColumnClass::kInteger);
}

TEST(IsNonFinite, OnlyNotANumberAndInfinitiesOfFloatsAndDecimals) {
  const std::vector<std::pair<std::string, bool>> decimals = {
      {"NaN", true}, {"Infinity", true}, {"-Infinity", true}, {"+inf", true},
      {"12.5", false}, {"nothing", false}, {"Inf x", false}, {"", false}};
  for (const auto& [text, expected] : decimals) {
    Field field("d", "TBCDField", FieldKind::ftBCD, 10, 0);
    field.SetText(text);
    EXPECT_EQ(IsNonFinite(field, ClassOf(field)), expected) << text;
  }
  Field real("f", "TFloatField", FieldKind::ftFloat, 0, 0);
  real.SetFloat(std::numeric_limits<double>::quiet_NaN());
  EXPECT_TRUE(IsNonFinite(real, ClassOf(real)));
  real.SetFloat(-std::numeric_limits<double>::infinity());
  EXPECT_TRUE(IsNonFinite(real, ClassOf(real)));
  real.SetFloat(1e308);
  EXPECT_FALSE(IsNonFinite(real, ClassOf(real)));
  Field text("s", "TStringField", FieldKind::ftString, 10, 0);
  text.SetText("NaN");
  EXPECT_FALSE(IsNonFinite(text, ClassOf(text)));
}

// The decimal type of a column in a dialect whose widest decimal has 38
// digits (MS SQL, Pervasive) and in MySql (65, scale up to 30).
TEST(DecimalTypeFor, KeepsAKnownTypeAndTakesTheWidestForAnUnknownOne) {
  const DecimalLimits ms_sql{.max_precision = 38, .max_scale = 38, .unknown_scale = 10};
  const DecimalLimits my_sql{.max_precision = 65, .max_scale = 30, .unknown_scale = 30};
  const struct {
    int size, scale;
    DecimalLimits limits;
    int precision, expected_scale;
  } cases[] = {
      {15, 4, ms_sql, 15, 4},   {38, 38, ms_sql, 38, 38}, {0, -1, ms_sql, 38, 10}, {0, 2, ms_sql, 38, 2},
      {65, 30, ms_sql, 38, 19}, {40, 2, ms_sql, 38, 2},   {65, 30, my_sql, 65, 30}, {0, -1, my_sql, 65, 30},
      {70, 2, my_sql, 65, 2},   {10, 12, ms_sql, 38, 12},
  };
  for (const auto& c : cases) {
    Field field("d", "TBCDField", FieldKind::ftBCD, c.size, 0);
    field.SetNumberFacts(false, c.scale);
    const DecimalType type = DecimalTypeFor(field, c.limits);
    EXPECT_EQ(type.Text(), "(" + std::to_string(c.precision) + "," + std::to_string(c.expected_scale) + ")")
        << "declared (" << c.size << "," << c.scale << ") in a dialect of " << c.limits.max_precision << " digits";
  }
}

TEST(FitsDecimal, HoldsAValueOnlyWithoutRounding) {
  const struct {
    std::string text;
    DecimalType type;
    bool fits;
  } cases[] = {
      {"99999999999.9999", {15, 4}, true},
      {"100000000000", {15, 4}, false},
      {"0.00001", {15, 4}, false},
      {"1.50000000", {3, 1}, true},       // trailing zeros of the fraction are no digits
      {"-0012.5", {3, 1}, true},          // nor leading zeros
      {"12,5", {3, 1}, true},             // a decimal comma
      {"1.5e3", {4, 0}, true},            // an exponent moves the point
      {"1.5e-3", {4, 3}, false},
      {"0", {1, 0}, true},
      {"1234567890123456789012345678901234567890", {0, 0, 38}, false},  // Oracle's number: 38 digits
      {"0.000000000000000000000000000000000000000001", {0, 0, 38}, true},
      // Oracle's number also ends before 1E126 and holds nothing nearer zero than 1E-130
      {"9.99e125", {0, 0, 38, 126, -130}, true},
      {"1e126", {0, 0, 38, 126, -130}, false},
      {"-1" + std::string(126, '0'), {0, 0, 38, 126, -130}, false},
      {"1e-130", {0, 0, 38, 126, -130}, true},
      {"-0.9e-130", {0, 0, 38, 126, -130}, false},
      {"5E-324", {0, 0, 38, 126, -130}, false},
      {"0e-400", {0, 0, 38, 126, -130}, true},
      {"123456789012345678901234567890", {0, 0, 0}, true},            // PostgreSQL's numeric
      {"NaN", {10, 2}, true},                                           // no number: the engine decides
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FitsDecimal(c.text, c.type), c.fits) << c.text << " in " << c.type.Text() << " (" << c.type.significant
                                                    << " significant)";
  }
}

TEST(AppendDurationText, WritesSignHoursAndTheFractionsDigits) {
  const struct {
    DateTime value;
    std::string expected;
  } cases[] = {
      {{1899, 12, 30, 838, 59, 59, 999999000, true}, "-838:59:59.999999"},
      {{1899, 12, 30, 100, 0, 0, 123456000, false}, "100:00:00.123456"},
      {{1899, 12, 30, 0, 0, 0, 1000, true}, "-00:00:00.000001"},
      {{1899, 12, 30, 5, 6, 7, 0, false}, "05:06:07"},
      {{1899, 12, 30, 23, 59, 59, 500000000, false}, "23:59:59.5"},
  };
  for (const auto& c : cases) {
    Field field("t", "TTimeField", FieldKind::ftTime, 0, 0);
    field.SetDateTime(c.value);
    std::string text;
    AppendDurationText(text, field);
    EXPECT_EQ(text, c.expected);
    EXPECT_LE(text.size(), static_cast<size_t>(kDurationTextWidth));
  }
}

TEST(AppendHexDigits, EveryByteAsTwoDigitsSoNoRawByteRemains) {
  std::string out = "0x";
  AppendHexDigits(out, std::string("\x00\xFF\x27\x5C\x0D\x0A", 6));
  EXPECT_EQ(out, "0x00FF275C0D0A");
  EXPECT_TRUE(IsTextBytes("Zoë"));
  EXPECT_FALSE(IsTextBytes(std::string("a\0b", 3)));
  EXPECT_FALSE(IsTextBytes("\xFF\xFE"));
}

}  // namespace
}  // namespace quill
