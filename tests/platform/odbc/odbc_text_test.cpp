// Text arrives as UTF-8 exactly as each engine stores it, from bound
// columns and from long ones alike.
#include <gtest/gtest.h>

#include <clocale>
#include <string>
#include <vector>

#include "fixtures/test_database.h"
#include "odbc_test_support.h"

namespace quill::testing {
namespace {

const std::vector<std::string>& Samples() {
  static const std::vector<std::string> samples = {
      "O'Brien \"quoted\"",
      "back\\slash \\n not a line end",
      "tab\there",
      "two\r\nlines\nand a lone\rreturn",
      "Gr\xC3\xBC\xC3\x9F"
      "e, \xC3\xA9t\xC3\xA9, \xD0\x9C\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB2\xD0\xB0, \xE2\x82\xAC",
      "four bytes: \xF0\x9F\x98\x80 and \xF0\x9D\x84\x9E",
      "",
  };
  return samples;
}

std::string Literal(const std::string& text, Engine engine) {
  if (engine == Engine::Sqlite) {
    // The driver garbles characters beyond 16 bits in statement texts: build
    // the value from its UTF-8 bytes instead.
    static const char* digits = "0123456789ABCDEF";
    std::string hex;
    for (unsigned char c : text) hex += std::string{digits[c >> 4], digits[c & 15]};
    return "CAST(x'" + hex + "' AS TEXT)";
  }
  std::string literal = "'";
  for (char c : text) {
    if (c == '\'') literal += "''";
    else if (c == '\\' && engine == Engine::MariaDb) literal += "\\\\";
    else literal += c;
  }
  return literal + "'";
}

std::string BlobLiteral(const std::string& bytes, Engine engine) {
  static const char* digits = "0123456789ABCDEF";
  std::string hex;
  for (unsigned char c : bytes) hex += std::string{digits[c >> 4], digits[c & 15]};
  if (engine == Engine::Postgres) return "decode('" + hex + "', 'hex')";
  return "x'" + hex + "'";
}

TestDatabase DatabaseFor(Engine engine) {
  switch (engine) {
    case Engine::Sqlite: return TestDatabase::Sqlite();
    case Engine::Postgres: return TestDatabase::Postgres();
    case Engine::MariaDb: return TestDatabase::MariaDb();
  }
  return TestDatabase::Sqlite();
}

class OdbcText : public ::testing::TestWithParam<Engine> {};

TEST_P(OdbcText, ArrivesExactlyAsStored) {
  TestDatabase database = DatabaseFor(GetParam());
  TableDescription table{"texts", {{"id", "INTEGER"}, {"short_text", "VARCHAR(100)"}, {"long_text", "TEXT"}}, {}, {}, ""};
  for (std::size_t i = 0; i < Samples().size(); ++i) {
    const std::string literal = Literal(Samples()[i], GetParam());
    table.rows.push_back({std::to_string(i), literal, literal});
  }
  database.CreateTable(table);
  auto connection = OpenSource(database);
  auto dataset = connection->OpenTable("texts");
  EXPECT_EQ(dataset->FindField("long_text")->ClassName(), "TMemoField");
  std::size_t row = 0;
  for (; !dataset->Eof(); dataset->Next(), ++row) {
    ASSERT_LT(row, Samples().size());
    EXPECT_EQ(dataset->FindField("id")->AsInteger(), static_cast<int64_t>(row));
    EXPECT_EQ(dataset->FindField("short_text")->AsString(), Samples()[row]);
    EXPECT_EQ(dataset->FindField("long_text")->AsString(), Samples()[row]);
    EXPECT_FALSE(dataset->FindField("short_text")->IsNull());
  }
  EXPECT_EQ(row, Samples().size());
}

// psqlodbc passes UTF-8 on to SQL_C_CHAR only where the program's locale
// speaks UTF-8 too (else it converts it to the locale's characters): text,
// characters of known width, enum labels, JSON and arrays arrive as stored
// under either locale.
TEST(OdbcPostgresText, ArrivesAsStoredUnderEveryLocale) {
  TestDatabase database = TestDatabase::Postgres();
  database.Execute("CREATE TYPE feeling AS ENUM ('\xC3\xBC" "ber', 'ok')");
  database.Execute(
      "CREATE TABLE texts (id INTEGER, short_text VARCHAR(100), long_text TEXT, fixed CHAR(30), label feeling, "
      "doc JSON, list TEXT[])");
  for (std::size_t i = 0; i < Samples().size(); ++i) {
    const std::string literal = Literal(Samples()[i], Engine::Postgres);
    database.Execute("INSERT INTO texts VALUES (" + std::to_string(i) + ", " + literal + ", " + literal + ", " +
                     literal + ", '\xC3\xBC" "ber', pg_catalog.json_build_array(" + literal + "), ARRAY[" + literal +
                     "])");
  }
  // What the server's own text of each value is, asked before any locale changes.
  const std::vector<QueryRow> stored = database.Query("SELECT fixed, doc::text, list::text FROM texts ORDER BY id");
  ASSERT_EQ(stored.size(), Samples().size());
  const std::string saved = std::setlocale(LC_CTYPE, nullptr);
  for (const char* locale : {"C", "C.UTF-8"}) {
    SCOPED_TRACE(locale);
    ASSERT_NE(std::setlocale(LC_CTYPE, locale), nullptr);
    auto connection = OpenSource(database);
    auto dataset = connection->OpenTable("public.texts");
    std::size_t row = 0;
    for (; !dataset->Eof(); dataset->Next(), ++row) {
      ASSERT_LT(row, Samples().size());
      EXPECT_EQ(dataset->FindField("short_text")->AsString(), Samples()[row]);
      EXPECT_EQ(dataset->FindField("long_text")->AsString(), Samples()[row]);
      EXPECT_EQ(dataset->FindField("fixed")->AsString(), stored[row][0].value_or("(NULL)"));
      EXPECT_EQ(dataset->FindField("label")->AsString(), "\xC3\xBC" "ber");
      EXPECT_EQ(dataset->FindField("doc")->AsString(), stored[row][1].value_or("(NULL)"));
      EXPECT_EQ(dataset->FindField("list")->AsString(), stored[row][2].value_or("(NULL)"));
    }
    EXPECT_EQ(row, Samples().size());
  }
  std::setlocale(LC_CTYPE, saved.c_str());
}

// Long text crosses the chunks it is read in, with 4-byte characters on
// every chunk boundary; rows of growing length outgrow the buffer of the
// rows before them (beyond 8,190 characters too, a driver's default size
// of long text), and short rows follow the longest. BLOBs of the same bytes
// beside them.
TEST_P(OdbcText, LongTextAcrossChunks) {
  TestDatabase database = DatabaseFor(GetParam());
  const std::vector<std::size_t> lengths = {10, 300, 5000, 9000, 40000, 70000, 300000, 10, 60000};
  std::vector<std::string> texts;
  const bool mariadb = GetParam() == Engine::MariaDb;
  TableDescription table{"memo",
                         {{"id", "INTEGER"},
                          {"body", mariadb ? "LONGTEXT" : "TEXT"},
                          {"data", mariadb ? "LONGBLOB" : GetParam() == Engine::Postgres ? "BYTEA" : "BLOB"}}};
  for (std::size_t length : lengths) {
    std::string text;
    while (text.size() < length) text += "a\xF0\x9F\x98\x80\xC3\xA9";
    table.rows.push_back({std::to_string(texts.size()), Literal(text, GetParam()), BlobLiteral(text, GetParam())});
    texts.push_back(text);
  }
  database.CreateTable(table);
  auto connection = OpenSource(database);
  auto dataset = connection->OpenTable("memo");
  std::size_t row = 0;
  for (; !dataset->Eof(); dataset->Next(), ++row) {
    ASSERT_LT(row, texts.size());
    EXPECT_EQ(dataset->FieldAt(0).AsInteger(), static_cast<int64_t>(row));
    EXPECT_EQ(dataset->FieldAt(1).AsString(), texts[row]) << lengths[row];
    EXPECT_EQ(dataset->FieldAt(2).RawText(), texts[row]) << lengths[row];
  }
  EXPECT_EQ(row, texts.size());
}

// Rows of many blocks arrive whole and in order while the same connection
// answers other calls between them: a count, key and column rowsets, and a
// second table read to its end. SQLite, which holds no value to its declared
// size, gets a label longer than its column late in the table.
TEST_P(OdbcText, ManyBlocksWhileTheConnectionServesOtherCalls) {
  TestDatabase database = DatabaseFor(GetParam());
  // Several blocks of rows, with work between the rows that is slow enough
  // for the blocks to be fetched ahead.
  constexpr int kRows = 30000;
  constexpr int kLongLabelRow = 25000;
  const auto label = [&](int k) {
    return GetParam() == Engine::Sqlite && k == kLongLabelRow ? std::string(300, 'x') : "row " + std::to_string(k);
  };
  std::string insert = "INSERT INTO rows_table VALUES ";
  for (int k = 1; k <= kRows; ++k) insert += (k > 1 ? ",(" : "(") + std::to_string(k) + ",'" + label(k) + "')";
  database.Execute("CREATE TABLE rows_table (id INTEGER PRIMARY KEY, label VARCHAR(20))");
  database.Execute(insert);
  auto connection = OpenSource(database);
  auto dataset = connection->OpenTable("rows_table");
  int64_t expected = 1;
  for (; !dataset->Eof(); dataset->Next(), ++expected) {
    ASSERT_EQ(dataset->FieldAt(0).AsInteger(), expected);
    ASSERT_EQ(dataset->FieldAt(1).AsString(), label(static_cast<int>(expected)));
    if (expected % 2500 == 1) {
      EXPECT_EQ(connection->OpenTable("rows_table")->RecordCount(), kRows);
      SchemaRestrictions restrictions;
      restrictions.table = "rows_table";
      EXPECT_EQ(ColumnTexts(*connection->OpenSchema(SchemaKind::PrimaryKeys, restrictions), "COLUMN_NAME"),
                (std::vector<std::string>{"id"}));
      EXPECT_EQ(ColumnTexts(*connection->OpenSchema(SchemaKind::Columns, restrictions), "COLUMN_NAME").size(), 2u);
      EXPECT_EQ(ReadRows(*connection->OpenTable("rows_table")).size(), static_cast<std::size_t>(kRows));
    }
  }
  EXPECT_EQ(expected, kRows + 1);
}

INSTANTIATE_TEST_SUITE_P(Engines, OdbcText, ::testing::Values(Engine::Sqlite, Engine::Postgres, Engine::MariaDb),
                         [](const ::testing::TestParamInfo<Engine>& info) {
                           switch (info.param) {
                             case Engine::Sqlite: return std::string("Sqlite");
                             case Engine::Postgres: return std::string("Postgres");
                             case Engine::MariaDb: return std::string("MariaDb");
                           }
                           return std::string("Unknown");
                         });

}  // namespace
}  // namespace quill::testing
