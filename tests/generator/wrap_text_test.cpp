#include "generator/wrap_text.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <optional>
#include <ostream>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace quill {
namespace {

// The wrap as it was first written, one byte at a time: the reference the
// span-wise wrap must match on every text.
constexpr std::string_view kLineBreak = "\r\n";
bool IsLineBreakAt(std::string_view text, size_t at) {
  return text[at] == '\r' && at + 1 < text.size() && text[at + 1] == '\n';
}
bool IsUtf8Continuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

std::string ByteByByteWrap(std::string_view text, int limit) {
  std::string result;
  // No line can reach the limit: the text stays as it is.
  if (text.size() < static_cast<size_t>(limit)) return std::string(text);

  size_t line_start = 0;   // first byte of the current line in `text`
  size_t scan = 0;         // next byte to scan
  int line_length = 0;     // characters of the current line scanned so far
  size_t last_comma = std::string_view::npos;  // last usable comma of the line
  char quote = 0;          // the open quote character, 0 outside quotes

  auto start_line = [&](size_t at) {
    line_start = at;
    scan = at;
    line_length = 0;
    last_comma = std::string_view::npos;
    quote = 0;
  };

  while (scan < text.size()) {
    const char c = text[scan];
    if (quote != 0) {
      // The rest of a quoted stretch in one step: nothing inside it counts
      // but its characters, and a break it reaches falls after the comma
      // before it wherever inside it the limit is met.
      const size_t closing = text.find(quote, scan);
      const size_t end = closing == std::string_view::npos ? text.size() : closing + 1;
      for (size_t i = scan; i < end; ++i) line_length += IsUtf8Continuation(text[i]) ? 0 : 1;
      scan = end;
      if (closing != std::string_view::npos) quote = 0;
    } else {
      if (c == '\'' || c == '"' || c == '`') {
        // Back quotes too: a back-quoted name may hold an apostrophe, which
        // must not be taken for the start of a value.
        quote = c;
      } else if (c == ',' && scan > line_start) {
        last_comma = scan;
      } else if (IsLineBreakAt(text, scan)) {
        result.append(text.substr(line_start, scan + kLineBreak.size() - line_start));
        start_line(scan + kLineBreak.size());
        continue;
      }
      if (!IsUtf8Continuation(c)) ++line_length;
      ++scan;
    }

    if (line_length >= limit && last_comma != std::string_view::npos && last_comma + 1 < text.size()) {
      // Break after the last usable comma; the characters scanned after it
      // belong to the new line and are scanned again there, outside quotes as
      // the comma was. A CR LF right after the comma already is the break.
      size_t next = last_comma + 1;
      if (IsLineBreakAt(text, next)) {
        next += kLineBreak.size();
        result.append(text.substr(line_start, next - line_start));
      } else {
        result.append(text.substr(line_start, next - line_start));
        result.append(kLineBreak);
      }
      // Further commas and line breaks right after the break are kept as they
      // are but passed over: they do not count on the new line.
      const size_t passed_from = next;
      while (next < text.size()) {
        if (text[next] == ',') {
          ++next;
        } else if (IsLineBreakAt(text, next)) {
          next += kLineBreak.size();
        } else {
          break;
        }
      }
      result.append(text.substr(passed_from, next - passed_from));
      start_line(next);
    }
  }
  result.append(text.substr(line_start));
  return result;
}


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


// Statements built from the pieces a row holds (names in each quote kind,
// values with commas, doubled quotes, line breaks in and outside quotes,
// lone CRs, UTF-8 of two to four bytes, runs of commas, an unclosed quote),
// each wrapped at many widths, exactly as the byte-by-byte wrap does.
TEST(WrapTextSpans, MatchesTheByteByByteWrapOnEveryPieceMix) {
  const std::vector<std::string> pieces = {
      "INSERT INTO t VALUES(", "INSERT INTO `O'Brien` (`a`,`b`) VALUES(", "\"x\"\"y\"", "[n,m]", "12345", "-0.5e-3",
      "NULL", "'it''s, here'", "'a\r\nb,c'", "\r\n", "\r", ",", ",,", ", ", "'\xC3\xA9\xE5\xA4\xA7,\xF0\x9F\x98\x80'",
      "\xC3\xA9t\xC3\xA9", "STR_TO_DATE('2020-01-02','%Y-%m-%d')", "`back,tick`", "'", "\"", "     ",
      "E'\\\\x00ff'", "0x00FF27", "'" + std::string(70, 'z') + "'", std::string(90, 'w'), ");"};
  std::mt19937 random(20261210);
  std::uniform_int_distribution<size_t> piece(0, pieces.size() - 1);
  std::uniform_int_distribution<int> count(0, 40);
  for (int statement = 0; statement < 3000; ++statement) {
    std::string text;
    for (int i = count(random); i > 0; --i) text += pieces[piece(random)];
    for (const int limit : {1, 2, 5, 13, 60, 80, 200}) {
      ASSERT_EQ(WrapText(text, limit), ByteByByteWrap(text, limit)) << "limit " << limit << ": " << text;
    }
  }
}

// A row head wrapped once for the table gives every row statement the wrap
// of the whole statement; heads a row's wrap could reach back into are
// refused and the statement is wrapped whole.
TEST(WrapTextRowHead, RowsAfterAWrappedHeadWrapAsTheWholeStatement) {
  const struct {
    const char* name;
    std::string head;
    bool usable;
  } heads[] = {
      {"BareHead", "INSERT INTO t VALUES(", true},
      {"BackQuotedName", "INSERT INTO `O'Brien` VALUES(", true},
      {"ColumnsThenLineBreak", "INSERT INTO \"t\" (\"a\",\"b\",\"c\")\r\n   VALUES (", true},
      {"HeadLongerThanALine", "INSERT INTO t (" + std::string(70, 'a') + "," + std::string(70, 'b') + ",c)\r\n VALUES (",
       true},
      {"UsableCommaOnTheLastLine", "INSERT INTO t (a,b) VALUES (", false},
      {"CommaAtTheEnd", "SELECT 1,", false},
      {"LineBreakAtTheEnd", "INSERT INTO t VALUES\r\n", false},
      {"OpenQuote", "INSERT INTO t VALUES('", false},
  };
  const std::vector<std::string> pieces = {"'it''s, here'", ",", "12345", "NULL", "'a\r\nb,c'", "\r\n", "\xC3\xA9,\xE5\xA4\xA7",
                                           "STR_TO_DATE('2020-01-02','%Y')", "'" + std::string(70, 'z') + "'", ");"};
  std::mt19937 random(7);
  std::uniform_int_distribution<size_t> piece(0, pieces.size() - 1);
  for (const auto& h : heads) {
    // Wide enough that the head itself never breaks.
    EXPECT_EQ(WrapRowHead(h.head, 400).has_value(), h.usable) << h.name;
    for (const int limit : {5, 13, 60, 80}) {
      const std::optional<WrappedHead> wrapped = WrapRowHead(h.head, limit);
      for (int row = 0; row < 200; ++row) {
        std::string text = h.head;
        for (int i = static_cast<int>(random() % 30); i > 0; --i) text += pieces[piece(random)];
        ScriptBuffer script;
        AppendWrappedItem(script, text, limit, wrapped ? &*wrapped : nullptr);
        ASSERT_EQ(script.Item(0), WrapText(text, limit)) << h.name << " at " << limit << ": " << text;
      }
    }
  }
}

// The commas outside quotes of a piece, found the slow way.
std::vector<size_t> CommasOutsideQuotes(std::string_view piece) {
  std::vector<size_t> commas;
  char quote = 0;
  for (size_t i = 0; i < piece.size(); ++i) {
    if (quote != 0) {
      if (piece[i] == quote) quote = 0;
    } else if (piece[i] == '\'' || piece[i] == '"' || piece[i] == '`') {
      quote = piece[i];
    } else if (piece[i] == ',') {
      commas.push_back(i);
    }
  }
  return commas;
}

// Rows as the writers write them, a head, then values of every form the
// dialects write joined by recorded commas, wrapped from their commas at
// widths from below the head's to beyond the row: the bytes of the scanning
// wrap of the whole statement.
TEST(WrapTextRowCommas, RowsWrappedFromTheirCommasAreTheScanningWrap) {
  const std::vector<std::string> heads = {
      "INSERT INTO t VALUES(",
      "INSERT INTO `sales`.`O'Brien` VALUES(",
      "INSERT INTO \"Order Details\" VALUES (",
      "INSERT INTO \"t\" (\"id\",\"name, first\",\"it's\")\r\n   VALUES (",
      "INSERT INTO [t] ([a],[b]]c])\r\n   VALUES (",
      "INSERT INTO \"" + std::string(70, 'n') + "\" (\"" + std::string(50, 'a') + "\",\"b\")\r\n   VALUES (",
  };
  const std::vector<std::string> values = {
      "'it''s, here'",
      "NULL",
      "''",
      "12345",
      "-0.5e-3",
      "'1'",
      "'2004-12-31 10:11:12'",
      "decode('00ff2c27','hex')",
      "X'00FF2C'",
      "0x00FF2C",
      "HEXTORAW('ABCD')",
      "STR_TO_DATE('2004-12-31 10:11:12','%Y-%m-%d %H:%i:%s') + INTERVAL 5 MICROSECOND",
      "to_timestamp('2004-12-31 10:11:12','YYYY-MM-DD HH24:MI:SS') + interval '5 microseconds'",
      "to_date('2004-12-31','YYYY-MM-DD')",
      "TO_DATE('2004-12-31','YYYY-MM-DD')",
      "BFILENAME('src/pix,1/photo','1.png')",
      "lo_import('/tmp/a,b/1.png')",
      "LOAD_FILE('/tmp/x.png')",
      " * FROM OPENROWSET(BULK N'/tmp/1.png', SINGLE_BLOB)",
      "'a'||chr(13)||chr(10)||'b,c'",
      "CONCAT('a',CONCAT(CHAR(13),'b'))",
      "'ab\r\ncd,ef'",
      "'\r\n'",
      "'Zo\xC3\xAB \xE5\xA4\xA7 \xF0\x9F\x98\x80'",
      "N'Gr\xC3\xBC\xC3\x9F" "e'",
      "'\"'",
      "'`'",
      "'a\\\\'''",
      "E'\\\\x00ff'",
      "'     '",
      "'" + std::string(70, 'z') + "'",
      "'" + std::string(90, ',') + "'",
      "",
  };
  std::mt19937 random(20261211);
  std::uniform_int_distribution<size_t> value(0, values.size() - 1);
  for (const std::string& head : heads) {
    for (const int limit : {1, 2, 5, 13, 40, 60, 80, 200}) {
      const std::optional<WrappedHead> wrapped = WrapRowHead(head, limit);
      ASSERT_TRUE(wrapped.has_value()) << head;
      for (int row = 0; row < 400; ++row) {
        std::string text = head;
        RowCommas commas;
        for (int i = static_cast<int>(random() % 30); i >= 0; --i) {
          if (text.size() > head.size()) commas.Append(text);
          const std::string& piece = values[value(random)];
          for (const size_t comma : CommasOutsideQuotes(piece)) commas.Record(text.size() + comma);
          text += piece;
        }
        text += ");";
        ScriptBuffer script;
        AppendWrappedRow(script, text, *wrapped, commas.Offsets());
        ASSERT_EQ(script.Item(0), WrapText(text, limit)) << "limit " << limit << ": " << text;
      }
    }
  }
}

// An expression's commas are found where quotes leave them; one that could
// end inside quotes or holds a line break outside them is not wrapped from
// its commas.
TEST(WrapTextRowCommas, ExpressionsGiveTheirCommasOutsideQuotes) {
  const struct {
    std::string expression;
    std::vector<size_t> commas;
    bool complete;
  } cases[] = {
      {"TO_DATE('2004-12-31','YYYY-MM-DD')", {20}, true},
      {"BFILENAME('a,b','c,d')", {15}, true},
      {"lo_import('a,\"b\",`c`')", {}, true},
      {"f(\"x,y\",`p,q`,1)", {7, 13}, true},
      {"'it''s',x", {7}, true},
      {"NULL", {}, true},
      {"'open,", {}, false},
      {"a,\r\nb", {1}, false},
      {"'a\r\nb'", {}, true},
  };
  for (const auto& c : cases) {
    RowCommas commas;
    const std::string text = "VALUES(" + c.expression;
    commas.RecordExpression(text, 7);
    std::vector<size_t> found;
    for (const size_t at : commas.Offsets()) found.push_back(at - 7);
    EXPECT_EQ(found, c.commas) << c.expression;
    EXPECT_EQ(commas.Complete(), c.complete) << c.expression;
  }
}

}  // namespace
}  // namespace quill
