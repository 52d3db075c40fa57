// The shared step that keeps command bytes and command lines out of a
// script: which lines each client reads as a command, and the joined
// literals and one-line names written instead.

#include "generator/text_literals.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "generator/table_writer.h"

namespace quill {
namespace {

struct LineCase {
  std::string text;  // a value whose lines are looked at where they would stand
  bool batch;        // MS SQL batch clients
  bool sql_plus;     // Oracle
  bool slash;        // Pervasive
};

TEST(TextLiteralsTest, WhichLinesEachClientReadsAsACommand) {
  const std::vector<LineCase> cases = {
      {"plain text", false, false, false},
      {"a\r\nb", false, false, false},
      {"a\r\n/\r\nb", false, true, true},
      {"a\n \t/  \nb", false, true, true},
      {"a\r/\rb", false, true, true},
      {"a\r\n//\r\nb", false, false, false},
      {"a\r\n/ x\r\nb", false, false, false},
      {"a\r\n/", false, false, false},  // the closing quote follows on its line
      {"/\r\nb", false, false, false},  // the statement stands before it
      {"a\r\nGO\r\nb", true, false, false},
      {"a\r\n  go 5", true, false, false},
      {"a\r\ngoing", false, false, false},
      {"a\r\n!! rm -rf /", true, false, false},
      {"a\r\n:r other.sql", true, false, false},
      {"a\r\nexit(select 1)", true, false, false},
      {"a\r\nQuit", true, false, false},
      {"a\r\n\r\nDROP TABLE victim", false, true, false},  // a blank line ends the statement
      {"a\r\n.\r\nb", false, true, false},
      {"a\r\n#host rm x", false, true, false},
      {"a;\r\nDROP TABLE victim", false, true, false},
      {"a ; \t\r\nb", false, true, false},
      {"a;", false, false, false},
      {"a\r\n", false, false, false},
  };
  for (const LineCase& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.text));
    EXPECT_EQ(HoldsCommandLine(c.text, *DialectLiteralForm(TargetDialect::MsSql)), c.batch);
    EXPECT_EQ(HoldsCommandLine(c.text, *DialectLiteralForm(TargetDialect::Oracle)), c.sql_plus);
    EXPECT_EQ(HoldsCommandLine(c.text, *DialectLiteralForm(TargetDialect::Pervasive)), c.slash);
    EXPECT_FALSE(HoldsCommandLine(c.text, *DialectLiteralForm(TargetDialect::PostgreSql)));
  }
}

struct LiteralCase {
  TargetDialect dialect;
  std::string text;
  std::string expected;
};

TEST(TextLiteralsTest, TextsWithCommandBytesOrLinesAreJoinedLiterals) {
  const std::string nul(1, '\0');
  const std::vector<LiteralCase> cases = {
      {TargetDialect::MsSql, "it's", "'it''s'"},
      {TargetDialect::MsSql, "a\r\nb", "'a\r\nb'"},
      {TargetDialect::MsSql, "a" + nul + "b", "'a'+CHAR(0)+'b'"},
      {TargetDialect::MsSql, "x\r\nGO\r\n'y", "'x'+CHAR(13)+CHAR(10)+'GO'+CHAR(13)+CHAR(10)+'''y'"},
      {TargetDialect::MsSql, "\x1A", "CHAR(26)"},
      {TargetDialect::Oracle, "a\r\n/\r\nb", "'a'||CHR(13)||CHR(10)||'/'||CHR(13)||CHR(10)||'b'"},
      {TargetDialect::Oracle, "a\r\nb", "'a\r\nb'"},
      {TargetDialect::Oracle, "\x01x\x1B", "CHR(1)||'x'||CHR(27)"},
      {TargetDialect::Pervasive, "a\n/\nb", "CONCAT(CONCAT('a',CHAR(10)),CONCAT('/',CONCAT(CHAR(10),'b')))"},
      {TargetDialect::Pervasive, "a\x0C", "CONCAT('a',CHAR(12))"},
      {TargetDialect::Pervasive, "a\tb", "'a\tb'"},
      {TargetDialect::PostgreSql, "a\r\n/\r\n\\'b", "'a\r\n/\r\n\\''b'"},
      {TargetDialect::PostgreSql, "a\x1A", "'a'||chr(26)"},
      {TargetDialect::PostgreSql, "", "''"},
      // Marks the clients substitute inside quotes: SQL*Plus's &name, the
      // batch clients' $(name); a mark nothing follows stays as it is.
      {TargetDialect::Oracle, "AT&T", "'AT'||CHR(38)||'T'"},
      {TargetDialect::Oracle, "a&&b", "'a'||CHR(38)||CHR(38)||'b'"},
      {TargetDialect::Oracle, "a & b&", "'a & b&'"},
      {TargetDialect::MsSql, "x$(PATH)", "'x'+CHAR(36)+'(PATH)'"},
      {TargetDialect::MsSql, "US$ 5", "'US$ 5'"},
      {TargetDialect::PostgreSql, "AT&T $(x)", "'AT&T $(x)'"},
      // MS SQL: a long text starts from nvarchar(max), so the joins keep it whole.
      {TargetDialect::MsSql, std::string(4001, 'a') + "\x1A", "CAST(N'' AS nvarchar(max))+'" + std::string(4001, 'a') +
                                                                    "'+CHAR(26)"},
  };
  for (const LiteralCase& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.text));
    std::string literal;
    AppendTextLiteral(literal, c.text, DialectLiteralForm(c.dialect));
    EXPECT_EQ(literal, c.expected);
  }
  // A prefix goes before each literal of the joined form.
  std::string literal;
  AppendTextLiteral(literal, "é\x1A" "a", DialectLiteralForm(TargetDialect::MsSql), "N", true);
  EXPECT_EQ(literal, "N'é'+CHAR(26)+'a'");
}

// The texts are looked at several bytes at a time: a byte that matters is
// found wherever it stands in a word, in the last short word too.
struct ByteCase {
  char byte;
  bool found;        // by FindQuoteOrLowByte with backslash as the extra byte
  std::string ms_sql;  // the MS SQL literal of "ab" + byte + "cd", prefix N for texts beyond ASCII
};

TEST(TextLiteralsTest, EachByteThatMattersIsFoundWhereverItStands) {
  const std::vector<ByteCase> cases = {
      {'\'', true, "'ab''cd'"},      {'\\', true, "'ab\\cd'"},       {'\0', true, "'ab'+CHAR(0)+'cd'"},
      {'\x1F', true, "'ab'+CHAR(31)+'cd'"}, {'\n', true, "'ab\ncd'"},      {'\t', true, "'ab\tcd'"},
      {' ', false, "'ab cd'"},          {'\x7F', false, "'ab\x7F" "cd'"}, {'\xE9', false, "N'ab\xE9" "cd'"},
      {'$', false, "'ab$cd'"},          {'x', false, "'abxcd'"},
  };
  for (const ByteCase& c : cases) {
    for (size_t before = 0; before <= 17; ++before) {
      for (size_t after = 0; after <= 9; ++after) {
        const std::string text = std::string(before, 'a') + c.byte + std::string(after, 'd');
        SCOPED_TRACE(::testing::PrintToString(text));
        EXPECT_EQ(FindQuoteOrLowByte(text, 0, '\\'), c.found ? before : std::string::npos);
        EXPECT_EQ(FindQuoteOrLowByte(text, before + 1, '\\'), std::string::npos);
      }
    }
    const std::string text = std::string("ab") + c.byte + "cd";
    SCOPED_TRACE(::testing::PrintToString(text));
    std::string literal;
    AppendTextLiteral(literal, text, DialectLiteralForm(TargetDialect::MsSql), "N", true);
    EXPECT_EQ(literal, c.ms_sql);
    // The same byte after a long clean run, at every place of a word.
    for (size_t before = 8; before <= 24; ++before) {
      const std::string long_text = std::string(before, 'a') + text;
      std::string long_literal;
      AppendTextLiteral(long_literal, long_text, DialectLiteralForm(TargetDialect::MsSql), "N", true);
      std::string expected = c.ms_sql;
      expected.insert(expected.find('\'') + 1, std::string(before, 'a'));
      EXPECT_EQ(long_literal, expected);
    }
  }
}

struct NameCase {
  TargetDialect dialect;
  std::string name;
  std::string expected;
};

TEST(TextLiteralsTest, NamesHoldNoCommandByteAndNoCommandLine) {
  const std::vector<NameCase> cases = {
      {TargetDialect::MsSql, "a\r\nGO\r\nb", "[a  GO  b]"},
      {TargetDialect::MsSql, "a\r\nb", "[a\r\nb]"},
      {TargetDialect::Oracle, "x\n/\ny", "\"x / y\""},
      {TargetDialect::Oracle, "tab\there", "\"tab\there\""},
      {TargetDialect::Pervasive, "x\r\n /\r\ny", "\"x   /  y\""},
      {TargetDialect::Pervasive, std::string("n\0ul", 4), "\"n ul\""},
      {TargetDialect::PostgreSql, "a\x1A" "b", "\"a b\""},
      {TargetDialect::MySql, std::string("a\0b", 3), "`a b`"},
      {TargetDialect::MySql, "a\r\n/\r\nb", "`a\r\n/\r\nb`"},
      {TargetDialect::Oracle, "AT&T", "\"AT T\""},
      {TargetDialect::MsSql, "a$(b)", "[a (b)]"},
  };
  for (const NameCase& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.name));
    EXPECT_EQ(QuoteIdentifier(DialectIdentifierQuotes(c.dialect), c.name), c.expected);
  }
}

TEST(TextLiteralsTest, NulCharactersAreRemoved) {
  std::string text("a\0b\0\0c", 6);
  EXPECT_TRUE(RemoveNulCharacters(text));
  EXPECT_EQ(text, "abc");
  EXPECT_FALSE(RemoveNulCharacters(text));
  EXPECT_EQ(text, "abc");
}

}  // namespace
}  // namespace quill
