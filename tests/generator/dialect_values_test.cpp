#include "generator/dialect_values.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

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

}  // namespace
}  // namespace quill
