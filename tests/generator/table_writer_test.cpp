// The steps every dialect writer shares: quoting, names, the five-blank rule.

#include "generator/table_writer.h"

#include <gtest/gtest.h>

#include "generator/table_names.h"

namespace quill {
namespace {

constexpr IdentifierQuotes kBrackets{.open = "[", .close = "]"};

struct QuoteCase {
  std::string text;
  bool no_quote;
  QuoteRules rules;
  std::string expected;
};

TEST(QuoteValueTest, NullsExpressionsNumbersAndText) {
  const std::vector<QuoteCase> cases = {
      {"", false, {}, "NULL"},
      {"", false, {.null_quoted = true}, "''"},
      {"", true, {}, "NULL"},  // an empty expression is still NULL
      {"O'Hara", false, {}, "'O''Hara'"},
      {"''", false, {}, "''''''"},
      {"12", false, {.unquoted = NumberForm::kInteger}, "12"},
      {"-12", false, {.unquoted = NumberForm::kInteger}, "-12"},
      {"12.5", false, {.unquoted = NumberForm::kInteger}, "'12.5'"},
      {"-12.5e-3", false, {.unquoted = NumberForm::kDecimal}, "-12.5e-3"},
      {".5", false, {.unquoted = NumberForm::kDecimal}, ".5"},
      // Anything but a number of the column's form is quoted as text.
      {"0); DROP TABLE victim; --", false, {.unquoted = NumberForm::kDecimal}, "'0); DROP TABLE victim; --'"},
      {"1 OR 1=1", false, {.unquoted = NumberForm::kInteger}, "'1 OR 1=1'"},
      {"1e", false, {.unquoted = NumberForm::kDecimal}, "'1e'"},
      {"-", false, {.unquoted = NumberForm::kDecimal}, "'-'"},
      {"NAN", false, {.unquoted = NumberForm::kDecimal}, "'NAN'"},
      {"0x41", false, {.unquoted = NumberForm::kInteger}, "'0x41'"},
      {"1.5", false, {.unquoted = NumberForm::kNone}, "'1.5'"},
      {" * FROM OPENROWSET(BULK N'a', SINGLE_BLOB)", true, {}, " * FROM OPENROWSET(BULK N'a', SINGLE_BLOB)"},
      {"Grüße", false, {.prefix = "N"}, "N'Grüße'"},
      {"plain", false, {.prefix = "N"}, "N'plain'"},
      {"Grüße", false, {.prefix = "N", .prefix_non_ascii = true}, "N'Grüße'"},
      {"plain", false, {.prefix = "N", .prefix_non_ascii = true}, "'plain'"},
  };
  for (const QuoteCase& c : cases) {
    EXPECT_EQ(QuoteValue({c.text, c.no_quote}, c.rules), c.expected) << "value: " << c.text;
  }
}

TEST(QuoteIdentifierTest, ClosingQuoteIsDoubledSoNoNameEndsTheQuotesEarly) {
  EXPECT_EQ(QuoteIdentifier(kBrackets, "Orders"), "[Orders]");
  EXPECT_EQ(QuoteIdentifier(kBrackets, "a]b"), "[a]]b]");
  EXPECT_EQ(QuoteIdentifier(kBrackets, "x]; DROP TABLE y; --"), "[x]]; DROP TABLE y; --]");
  EXPECT_EQ(QuoteTableName(kBrackets, "sa]les", "Orders"), "[sa]]les].[Orders]");
  EXPECT_EQ(QuoteTableName(kBrackets, "", "Order Details"), "[Order Details]");

}

// Oracle's rule: bare only for a plain identifier that is no reserved word.
TEST(QuoteIdentifierTest, OracleQuotesEveryNameThatIsNotAPlainIdentifierOrIsReserved) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"Orders", "Orders"},
      {"order_id$2#", "order_id$2#"},
      {"Order Details", "\"Order Details\""},
      {"a\"b", "\"a\"\"b\""},
      {"it's", "\"it's\""},
      {"desc", "\"desc\""},
      {"DATE", "\"DATE\""},
      {"Number", "\"Number\""},
      {"x/**/int);drop/**/table/**/victim;--", "\"x/**/int);drop/**/table/**/victim;--\""},
      {"tab\there", "\"tab\there\""},
      {"1st", "\"1st\""},
      {"_x", "\"_x\""},
      {"Zoë", "\"Zoë\""},
      {"abcdefghijklmnopqrstuvwxyz12345", "\"abcdefghijklmnopqrstuvwxyz12345\""},
      {"", "\"\""},
  };
  for (const auto& [name, expected] : cases) EXPECT_EQ(QuoteIdentifier(OracleIdentifierQuotes(), name), expected);
}

struct SqueezeCase {
  std::string text;
  std::string expected;
};

TEST(SqueezeFiveBlanksTest, SqueezesOnlyOutsideQuotedValuesAndNames) {
  const std::string ten(10, ' ');
  const std::string seven(7, ' ');
  const std::vector<SqueezeCase> cases = {
      {"a" + ten + "b", "a  b"},          // ten blanks give two
      {"a" + seven + "b", "a   b"},       // seven give three
      {"a    b", "a    b"},              // four stay
      {"('" + ten + "')", "('" + ten + "')"},  // a value keeps its blanks
      {"('it''s" + ten + "x')" + ten, "('it''s" + ten + "x')  "},  // a doubled quote stays inside
      {"[a" + ten + "b]" + ten, "[a" + ten + "b]  "},              // so does a bracketed name
      {"[a]]" + ten + "b]", "[a]]" + ten + "b]"},                  // ... with a doubled bracket in it
      {"N'x'" + seven + "'y" + seven + "'", "N'x'   'y" + seven + "'"},
  };
  for (const SqueezeCase& c : cases) {
    std::string text = c.text;
    SqueezeFiveBlanks(text, kBrackets);
    EXPECT_EQ(text, c.expected) << "text: [" << c.text << "]";
  }
}

// Squeezed from a place outside quotes, a text keeps the bytes before it and
// gets the rest squeezed as the whole text's pass would.
TEST(SqueezeFiveBlanksTest, FromAPlaceOutsideQuotesLeavesWhatIsBeforeIt) {
  const std::string ten(10, ' ');
  const struct {
    std::string head;
    std::string tail;
    std::string expected_tail;
  } cases[] = {
      {"INSERT INTO [t" + ten + "] VALUES (", "1," + ten + "'a" + ten + "')", "1,  'a" + ten + "')"},
      {"INSERT INTO t VALUES(", "'it''s" + ten + "'" + ten + "2)", "'it''s" + ten + "'  2)"},
      {"a" + ten + "(", ten + "b", "  b"},  // the head's own blanks stay as they are
      {"VALUES (", "'x'", "'x'"},
  };
  for (const auto& c : cases) {
    std::string text = c.head + c.tail;
    SqueezeFiveBlanks(text, kBrackets, c.head.size());
    EXPECT_EQ(text, c.head + c.expected_tail) << "text: [" << c.head << c.tail << "]";
  }
}

TEST(TableNamesTest, TextFileTablesAndDuplicates) {
  EXPECT_TRUE(IsTextFileTable("clients.csv"));
  EXPECT_TRUE(IsTextFileTable("a.txt"));
  EXPECT_FALSE(IsTextFileTable("clients.CSV"));  // exact case
  EXPECT_TRUE(IsTextFileTable("csv"));           // the whole name counts when it has no "."
  EXPECT_FALSE(IsTextFileTable("dbo.Orders"));

  EXPECT_TRUE(HasDuplicateTableNames({"a.users", "b.users"}));
  EXPECT_FALSE(HasDuplicateTableNames({"a.users", "b.Users"}));      // case counts
  EXPECT_FALSE(HasDuplicateTableNames({"a.users", "b.users", "x.csv"}));  // text files skip the check
  EXPECT_TRUE(HasDuplicateTableNames({"users", "s.users"}));
  // Nothing after the point: the whole name is the table's.
  EXPECT_FALSE(HasDuplicateTableNames({"x.", "\\."}));
  EXPECT_TRUE(HasDuplicateTableNames({"x.", "s.x."}));
}

// A listed name with nothing after its first point names a table of its
// own: the whole name, never an empty one.
TEST(TableNamesTest, ANameEndingInItsFirstPointIsTheWholeName) {
  const struct {
    std::string listed;
    std::string after_schema;
  } cases[] = {{"x.", "x."}, {"\\.", "\\."}, {".", "."}, {".x", "x"}, {"s.x.", "x."}, {"s.x", "x"}, {"x", "x"}};
  Settings settings;
  settings.format = TargetDialect::PostgreSql;
  for (const auto& c : cases) {
    EXPECT_EQ(TableNameAfterSchema(c.listed), c.after_schema) << c.listed;
    EXPECT_EQ(OutputTableNameFor(settings, c.listed, false).name, c.after_schema) << c.listed;
  }
}

TEST(TableNamesTest, OutputTableNameDropsTheSourceSchemaAndTakesTheDestinationOne) {
  Settings settings;
  settings.format = TargetDialect::MsSql;
  settings.ms_schema = "sales";
  const OutputTableNameParts orders = OutputTableNameFor(settings, "dbo.Orders", false);
  EXPECT_EQ(orders.schema, "sales");
  EXPECT_EQ(orders.name, "Orders");
  EXPECT_EQ(JoinOutputTableName(TargetDialect::MsSql, orders), "sales].[Orders");
  EXPECT_EQ(JoinOutputTableName(TargetDialect::PostgreSql, orders), "sales\".\"Orders");
  EXPECT_EQ(JoinOutputTableName(TargetDialect::MySql, orders), "sales`.`Orders");

  const OutputTableNameParts clients = OutputTableNameFor(settings, "clients.csv", true);
  EXPECT_EQ(clients.name, "clients");

  settings.format = TargetDialect::Oracle;  // no destination schema in this dialect
  settings.underscore = true;
  const OutputTableNameParts details = OutputTableNameFor(settings, "Order Details", false);
  EXPECT_EQ(details.schema, "");
  EXPECT_EQ(JoinOutputTableName(TargetDialect::Oracle, details), "Order_Details");
}

}  // namespace
}  // namespace quill
