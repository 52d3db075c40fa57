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

}  // namespace
}  // namespace quill
