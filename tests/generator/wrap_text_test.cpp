#include "generator/wrap_text.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace quill {
namespace {

struct WrapCase {
  const char* name;
  std::string text;
  int limit;
  std::string expected;
};

void PrintTo(const WrapCase& c, std::ostream* out) { *out << c.name; }

class WrapTextTest : public ::testing::TestWithParam<WrapCase> {};

TEST_P(WrapTextTest, WrapsAfterTheLastUsableComma) {
  const WrapCase& c = GetParam();
  EXPECT_EQ(WrapText(c.text, c.limit), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WrapTextTest,
    ::testing::Values(
        WrapCase{"ShortTextStaysAsItIs", "a,b,c", 60, "a,b,c"},
        WrapCase{"BreaksOnceTheLimitIsReached", "a,b,c,d,e,f,g,h", 10, "a,b,c,d,e,\r\nf,g,h"},
        WrapCase{"EveryLineIsWrappedAgain", "aa,bb,cc,dd,ee,ff", 6, "aa,bb,\r\ncc,dd,\r\nee,ff"},
        WrapCase{"CommasInsideSingleQuotesNeverCount", "'a,b,c,d,e,f',g", 5, "'a,b,c,d,e,f',\r\ng"},
        WrapCase{"EachQuoteKindClosesOnlyItself", "\"a'b\",'c\"d',e", 3, "\"a'b\",\r\n'c\"d',\r\ne"},
        WrapCase{"ApostropheInABackQuotedNameOpensNoValue", "INSERT INTO `O'Brien` VALUES('a,b,c,d',1,2)", 30,
                 "INSERT INTO `O'Brien` VALUES('a,b,c,d',\r\n1,2)"},
        WrapCase{"QuotedValueMovesWholeToTheNextLine", "x,'aaaaaaaaaa,bbb',c", 5,
                 "x,\r\n'aaaaaaaaaa,bbb',\r\nc"},
        WrapCase{"LineBreakInTheTextStartsANewLine", "abc,def\r\nghi,jkl", 8, "abc,def\r\nghi,jkl"},
        WrapCase{"LinesAroundALineBreakWrapOnTheirOwn", "abc,def\r\nghi,jkl", 6, "abc,\r\ndef\r\nghi,\r\njkl"},
        WrapCase{"LineBreakInsideQuotesIsPartOfTheValue", "'ab\r\ncd',e,f", 6, "'ab\r\ncd',\r\ne,f"},
        WrapCase{"LineWithoutCommaStaysLong", "abcdefghijkl", 5, "abcdefghijkl"},
        WrapCase{"CommaAsFirstCharacterOfALineIsNotUsable", ",abcdefgh", 3, ",abcdefgh"},
        WrapCase{"NoBreakAtTheVeryEnd", "abcdef,", 3, "abcdef,"},
        WrapCase{"LineBreakRightAfterTheCommaIsTheBreak", "abc,\r\ndef", 4, "abc,\r\ndef"},
        WrapCase{"CommasRightAfterABreakArePassedOver", "abcd,,,ef", 5, "abcd,\r\n,,ef"},
        WrapCase{"CharactersAreCountedNotBytes", "ab,\xC3\xA9\xC3\xA9,cd", 6, "ab,\xC3\xA9\xC3\xA9,\r\ncd"},
        WrapCase{"CharactersInsideQuotesAreCountedNotBytes", "a,'\xC3\xA9\xC3\xA9',b", 7, "a,'\xC3\xA9\xC3\xA9',\r\nb"},
        WrapCase{"LimitReachedInsideAQuotedValueBreaksBeforeIt", "ab,'cdefghij',k", 5, "ab,\r\n'cdefghij',\r\nk"},
        WrapCase{"AnUnclosedQuoteRunsToTheEnd", "ab,'cd,ef,gh", 5, "ab,\r\n'cd,ef,gh"},
        WrapCase{"EmptyText", "", 60, ""}),
    [](const ::testing::TestParamInfo<WrapCase>& info) { return std::string(info.param.name); });

TEST(WrapTextRow, RowBreaksAtTheCommaBeforeTheSixtiethCharacter) {
  std::string row = "INSERT INTO t VALUES(";
  for (int i = 0; i < 20; ++i) row += (i ? ",'" : "'") + std::to_string(i) + "'";
  row += ");";
  const std::string wrapped = WrapText(row, 60);
  EXPECT_EQ(wrapped,
            "INSERT INTO t VALUES('0','1','2','3','4','5','6','7','8',\r\n"
            "'9','10','11','12','13','14','15','16','17','18','19');");
}

}  // namespace
}  // namespace quill
