// MariaDB tables are read in pages along their primary keys: each page starts
// after the last key of the one before, so every kind of key must give a
// literal that the server compares as it orders the key, or rows are lost or
// read twice at a page's edge.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "fixtures/test_database.h"
#include "odbc_test_support.h"

namespace quill::testing {
namespace {

// More rows than the first page holds.
constexpr int kRows = 2500;

struct PagingCase {
  std::string name;
  std::string key_columns;  // the key's column definitions
  std::string key;          // the key's column names, in key order
  std::string values;       // the key columns' values from k, 1 to kRows
  std::string options = {};
  std::string index = "PRIMARY KEY";
};

// Each key kind's table holds `k` beside its key, inserted in an order of its
// own; read through the program, the k of every row must come once each, in
// the order of the key as the server sorts it.
TEST(OdbcMariaDbPaging, EveryRowComesOnceInKeyOrderWhateverTheKey) {
  const std::vector<PagingCase> cases = {
      {"int_key", "id INT", "id", "(k * 7919) % 10007"},
      {"unsigned_key", "id BIGINT UNSIGNED", "id", "18446744073709551615 - k * 3"},
      {"decimal_key", "id DECIMAL(20,4)", "id", "(k - 1200) * 1.2345"},
      // Case, accents, quotes, backslashes and trailing blanks under a
      // collation that ignores case: the literal must compare by it.
      {"text_key", "id VARCHAR(40) CHARACTER SET utf8mb4 COLLATE utf8mb4_general_ci", "id",
       "CONCAT(ELT(k % 6 + 1, 'O''Br', '\xC3\xBCn\xC3\xAF', 'a\\\\b', 'Zed ', '\xF0\x9F\x98\x80', 'zED\"'), k)"},
      {"latin1_key", "id CHAR(12) CHARACTER SET latin1", "id",
       "CONCAT(ELT(k % 3 + 1, '\xC3\xA9t\xC3\xA9', 'Ete', 'x'), k)"},
      {"bytes_key", "id VARBINARY(16)", "id", "UNHEX(CONCAT(LPAD(HEX(k % 7), 2, '0'), '0027', HEX(k)))"},
      {"date_key", "id DATE", "id", "DATE '1000-01-01' + INTERVAL k * 97 DAY"},
      // Many keys within one second: the fraction decides.
      {"datetime_key", "id DATETIME(6)", "id", "TIMESTAMP '2020-03-29 01:59:59' + INTERVAL k * 1001 MICROSECOND"},
      {"time_key", "id TIME(2)", "id", "SEC_TO_TIME(k * 997.25 - 1000000)"},
      // The first page ends inside a group of rows that share the first key
      // column.
      {"composite_key", "grp VARCHAR(10), n INT", "grp, n", "CONCAT('g', k DIV 100), k % 100"},
      // A MyISAM table's rows lie in the order they were inserted.
      {"myisam_key", "id INT", "id", "(k * 7919) % 10007", "ENGINE=MyISAM"},
      // Without a primary key, a unique key of columns that hold no NULL.
      {"unique_key", "id INT NOT NULL, code VARCHAR(8) NOT NULL", "code, id", "(k * 7919) % 10007, CONCAT('c', k % 9)",
       "ENGINE=MyISAM", "UNIQUE KEY"},
  };
  TestDatabase database = TestDatabase::MariaDb();
  for (const PagingCase& c : cases) {
    SCOPED_TRACE(c.name);
    database.Execute("CREATE TABLE " + c.name + " (" + c.key_columns +
                     ", k INT NOT NULL, filler VARCHAR(100), " + c.index + " (" + c.key + ")) " + c.options);
    // Inserted from the last k to the first, so that neither the order of
    // insertion nor that of k is the key's.
    database.Execute("INSERT INTO " + c.name + " SELECT " + c.values + ", k, REPEAT('f', k % 100) FROM " +
                     "(SELECT CAST(seq AS SIGNED) AS k FROM seq_1_to_" + std::to_string(kRows) +
                     " ORDER BY seq DESC) AS n");
    std::vector<std::string> expected;
    for (const QueryRow& row : database.Query("SELECT k FROM " + c.name + " ORDER BY " + c.key)) {
      expected.push_back(row.at(0).value());
    }
    auto connection = OpenSource(database);
    const std::vector<std::string> read = ColumnTexts(*connection->OpenTable(c.name), "k");
    EXPECT_EQ(read.size(), expected.size());
    const std::size_t same = static_cast<std::size_t>(
        std::mismatch(read.begin(), read.end(), expected.begin(), expected.end()).first - read.begin());
    EXPECT_EQ(same, expected.size()) << "the rows differ from row " << same;
  }
}

// The next page is asked for as soon as the current one is held, from its
// last row: wherever the table ends among its pages (the first pages of a
// narrow table hold 64, 512 and 4096 rows; a row as wide as the widest
// column bound to arrays makes blocks of 63 rows, so that the first page
// takes two), every row comes once, in key order, and a table that ends on a
// full page ends there.
TEST(OdbcMariaDbPaging, EveryRowComesOnceWhereverTheTableEndsAmongItsPages) {
  struct EdgeCase {
    int rows;
    std::string filler;  // a column that sets the width of a row
  };
  const std::string kWide = "VARCHAR(16380) CHARACTER SET latin1";
  const std::vector<EdgeCase> cases = {
      {0, "INT"},     {1, "INT"},     {63, "INT"},    {64, "INT"},    {65, "INT"},    {575, "INT"},
      {576, "INT"},   {577, "INT"},   {4671, "INT"},  {4672, "INT"},  {4673, "INT"},
      {1, kWide},     {63, kWide},    {64, kWide},    {65, kWide},    {127, kWide},   {128, kWide},
      {400, kWide},
  };
  TestDatabase database = TestDatabase::MariaDb();
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const EdgeCase& c = cases[i];
    const std::string table = "edge_" + std::to_string(i);
    SCOPED_TRACE(table + ": " + std::to_string(c.rows) + " rows, filler " + c.filler);
    database.Execute("CREATE TABLE " + table + " (id INT PRIMARY KEY, k INT NOT NULL, filler " + c.filler + ")");
    if (c.rows > 0) {
      database.Execute("INSERT INTO " + table + " SELECT seq * 3, seq, NULL FROM seq_1_to_" + std::to_string(c.rows));
    }
    auto connection = OpenSource(database);
    const std::vector<std::string> read = ColumnTexts(*connection->OpenTable(table), "k");
    std::vector<std::string> expected;
    for (int k = 1; k <= c.rows; ++k) expected.push_back(std::to_string(k));
    EXPECT_EQ(read, expected);
  }
}

// A reading left part way (Escape, a failing table) may leave a page being
// fetched and the next one being run: the connection then reads the next
// table whole, and the same table again from its start.
TEST(OdbcMariaDbPaging, AReadingLeftPartWayLeavesTheConnectionReady) {
  constexpr int kTableRows = 6000;
  const std::vector<int> left_after = {0, 1, 63, 64, 65, 600, 4700};
  TestDatabase database = TestDatabase::MariaDb();
  database.Execute("CREATE TABLE left_part_way (id INT PRIMARY KEY, k INT NOT NULL)");
  database.Execute("INSERT INTO left_part_way SELECT seq, seq FROM seq_1_to_" + std::to_string(kTableRows));
  database.Execute("CREATE TABLE next_table (id INT PRIMARY KEY, k INT NOT NULL)");
  database.Execute("INSERT INTO next_table SELECT seq, seq FROM seq_1_to_" + std::to_string(kTableRows / 2));
  auto connection = OpenSource(database);
  for (int rows : left_after) {
    SCOPED_TRACE("left after " + std::to_string(rows) + " rows");
    {
      auto dataset = connection->OpenTable("left_part_way");
      for (int i = 0; i < rows && !dataset->Eof(); ++i) dataset->Next();
      ASSERT_FALSE(dataset->Eof());
    }
    EXPECT_EQ(ColumnTexts(*connection->OpenTable("next_table"), "k").size(), static_cast<std::size_t>(kTableRows / 2));
    const std::vector<std::string> again = ColumnTexts(*connection->OpenTable("left_part_way"), "k");
    ASSERT_EQ(again.size(), static_cast<std::size_t>(kTableRows));
    EXPECT_EQ(again.front(), "1");
    EXPECT_EQ(again.back(), std::to_string(kTableRows));
  }
}

// A secondary index that covers every column gives the server a cheaper
// whole-table order of its own; the pages keep to the key.
TEST(OdbcMariaDbPaging, ACoveringIndexDoesNotChangeTheOrder) {
  TestDatabase database = TestDatabase::MariaDb();
  database.Execute("CREATE TABLE covered (id INT PRIMARY KEY, name VARCHAR(20), KEY by_name (name))");
  database.Execute("INSERT INTO covered SELECT seq, CONCAT('n', " + std::to_string(kRows) + " - seq) FROM seq_1_to_" +
                   std::to_string(kRows));
  auto connection = OpenSource(database);
  std::vector<std::string> ids = ColumnTexts(*connection->OpenTable("covered"), "id");
  ASSERT_EQ(ids.size(), static_cast<std::size_t>(kRows));
  for (int i = 0; i < kRows; ++i) ASSERT_EQ(ids[i], std::to_string(i + 1));
}

// Tables that cannot be paged are read whole with the one statement.
TEST(OdbcMariaDbPaging, TablesWithoutAPageableKeyAreReadWhole) {
  TestDatabase database = TestDatabase::MariaDb();
  const std::string rows = "(SELECT CAST(seq AS SIGNED) AS k FROM seq_1_to_" + std::to_string(kRows) + ") AS n";
  database.Execute("CREATE TABLE no_key (k INT)");
  database.Execute("INSERT INTO no_key SELECT k FROM " + rows);
  database.Execute("CREATE TABLE float_key (id DOUBLE PRIMARY KEY, k INT)");
  database.Execute("INSERT INTO float_key SELECT k / 3, k FROM " + rows);
  database.Execute("CREATE TABLE enum_key (id ENUM('b', 'a', 'c'), n INT, k INT, PRIMARY KEY (id, n))");
  database.Execute("INSERT INTO enum_key SELECT ELT(k % 3 + 1, 'a', 'b', 'c'), k, k FROM " + rows);
  database.Execute("CREATE TABLE prefix_key (id VARCHAR(200), k INT, PRIMARY KEY (id(3), k))");
  database.Execute("INSERT INTO prefix_key SELECT CONCAT('p', k), k FROM " + rows);
  database.Execute("CREATE TABLE memory_key (id INT PRIMARY KEY, k INT) ENGINE=MEMORY");
  database.Execute("INSERT INTO memory_key SELECT k, k FROM " + rows);
  database.Execute("CREATE TABLE nullable_key (id INT UNIQUE, k INT) ENGINE=MyISAM");
  database.Execute("INSERT INTO nullable_key SELECT IF(k % 10 = 0, NULL, k), k FROM " + rows);
  database.Execute("CREATE VIEW a_view AS SELECT k FROM no_key");
  auto connection = OpenSource(database);
  for (const std::string table : {"no_key", "float_key", "enum_key", "prefix_key", "memory_key", "nullable_key", "a_view"}) {
    SCOPED_TRACE(table);
    std::vector<std::string> read = ColumnTexts(*connection->OpenTable(table), "k");
    std::vector<std::string> expected;
    for (const QueryRow& row : database.Query("SELECT k FROM " + table)) expected.push_back(row.at(0).value());
    std::sort(read.begin(), read.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(read, expected);
  }
}

}  // namespace
}  // namespace quill::testing
