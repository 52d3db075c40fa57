// A large PostgreSQL table is read in ranges of its pages over several
// connections in one exported snapshot. Whatever the table's history
// (updated rows living on later pages, emptied pages, a long value far in),
// the rows come exactly as the table's one plain scan gives them, and
// changes another session makes during the read are not seen.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fixtures/test_database.h"
#include "odbc_test_support.h"

namespace quill::testing {
namespace {

// Rows of about a hundred bytes: several hundred pages, a few dozen ranges.
constexpr int kRows = 40000;

struct RangeCase {
  std::string name;
  std::vector<std::string> setup;    // after the table t (id, k, memo) holds its rows
  std::vector<std::string> changes;  // by another session, after the first rows are read
  bool several_connections;          // whether the read takes further connections
};

// Every row's texts, joined: the order and the values at once.
std::vector<std::string> RowTexts(Dataset& table) {
  std::vector<std::string> rows;
  for (; !table.Eof(); table.Next()) {
    std::string row;
    for (int i = 0; i < table.FieldCount(); ++i) row += (table.FieldAt(i).IsNull() ? "NULL" : table.FieldAt(i).AsString()) + "|";
    rows.push_back(row);
  }
  return rows;
}

std::vector<std::string> QueryTexts(TestDatabase& database, const std::string& query) {
  std::vector<std::string> rows;
  for (const QueryRow& values : database.Query(query)) {
    std::string row;
    for (const auto& value : values) row += value.value_or("NULL") + "|";
    rows.push_back(row);
  }
  return rows;
}

TEST(OdbcPostgresPageRanges, RowsComeAsThePlainScanGivesThem) {
  const std::string rows = std::to_string(kRows);
  const std::vector<RangeCase> cases = {
      {"a table as it was filled", {}, {}, true},
      // New versions of the updated rows live on the last pages.
      {"updated rows", {"UPDATE t SET memo = memo || '+' WHERE k % 7 = 0"}, {}, true},
      // Whole ranges without a row, and a table that ends in empty pages.
      {"emptied pages",
       {"DELETE FROM t WHERE k BETWEEN 3000 AND 12000 OR k > 39000", "VACUUM t"}, {}, true},
      // A value longer than its first buffer, far into the table: its range
      // is read again with more room.
      {"a long value", {"UPDATE t SET memo = repeat('x', 5000) WHERE k = 31000"}, {}, true},
      // The read sees the table as it was when it began.
      {"changes during the read", {},
       {"DELETE FROM t WHERE k = 25000", "UPDATE t SET memo = 'changed' WHERE k = 30000",
        "INSERT INTO t VALUES (-1, -1, 'new')"},
       true},
      // A parent's scan takes its children's rows after its own: read with
      // its one statement.
      {"a table with a child",
       {"CREATE TABLE child (extra INT) INHERITS (t)",
        "INSERT INTO child SELECT -n, -n, 'child', n FROM generate_series(1, 100) AS n"},
       {}, false},
  };
  for (const RangeCase& c : cases) {
    SCOPED_TRACE(c.name);
    TestDatabase database = TestDatabase::Postgres();
    database.Execute("CREATE TABLE t (id INT PRIMARY KEY, k INT NOT NULL, memo TEXT)");
    database.Execute("INSERT INTO t SELECT n * 10, n, 'm' || repeat('p', 60) || n FROM generate_series(1, " + rows +
                     ") AS n");
    for (const std::string& statement : c.setup) database.Execute(statement);
    database.Execute("SET synchronize_seqscans = off");
    const std::vector<std::string> expected = QueryTexts(database, "SELECT id, k, memo FROM t");

    auto connection = OpenSource(database);
    auto table = connection->OpenTable("public.t");
    ASSERT_FALSE(table->Eof());
    EXPECT_EQ(table->RecordCount(), static_cast<int64_t>(expected.size()));
    const std::vector<QueryRow> sessions = database.Query(
        "SELECT count(*) FROM pg_catalog.pg_stat_activity WHERE datname = pg_catalog.current_database() AND pid <> "
        "pg_catalog.pg_backend_pid()");
    EXPECT_EQ(sessions.at(0).at(0).value_or("") != "1", c.several_connections) << sessions.at(0).at(0).value_or("");
    std::vector<std::string> read;
    for (int i = 0; i < 10; ++i, table->Next()) {
      std::string row;
      for (int f = 0; f < table->FieldCount(); ++f) row += table->FieldAt(f).AsString() + "|";
      read.push_back(row);
    }
    for (const std::string& change : c.changes) database.Execute(change);
    for (const std::string& row : RowTexts(*table)) read.push_back(row);
    EXPECT_EQ(read.size(), expected.size());
    EXPECT_TRUE(read == expected);
    table.reset();
    // Every connection of the read is let go with the table.
    EXPECT_NO_THROW(database.Execute("SET lock_timeout = '5s'; ALTER TABLE t ADD COLUMN z INT"));
  }
}

}  // namespace
}  // namespace quill::testing
