// A server table's count for the progress bar is made on a connection of its
// own while the rows are read. The rows and their final count are still the
// reading's snapshot's, and a reading left while its count waits ends at once.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "fixtures/odbc_session.h"
#include "odbc_test_support.h"

namespace quill::testing {
namespace {

constexpr int kRows = 5000;

TestDatabase DatabaseOf(Engine engine) {
  TestDatabase database = engine == Engine::MariaDb ? TestDatabase::MariaDb() : TestDatabase::Postgres();
  database.Execute("CREATE TABLE t (id INT PRIMARY KEY, k INT NOT NULL)");
  database.Execute(engine == Engine::MariaDb
                       ? "INSERT INTO t SELECT seq, seq FROM seq_1_to_" + std::to_string(kRows)
                       : "INSERT INTO t SELECT k, k FROM generate_series(1, " + std::to_string(kRows) + ") AS k");
  return database;
}

// Asks for the count until it is in, for at most a minute.
Dataset::CountSoFar CountWhenIn(Dataset& table) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  Dataset::CountSoFar count = table.RecordCountSoFar();
  while (count.coming && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    count = table.RecordCountSoFar();
  }
  return count;
}

class OdbcSideCount : public ::testing::TestWithParam<Engine> {};

TEST_P(OdbcSideCount, TheRowsAndTheirCountAreTheSnapshotsWhateverTheSideCountSaw) {
  struct LeaveCase {
    const char* what;
    int rows_read;  // rows moved past before the count is asked for
    int64_t expected_count;
  };
  const std::vector<LeaveCase> cases = {
      // The side count saw the rows added after the reading began.
      {"left part-way", 10, kRows + 7},
      {"read to the end", kRows, kRows},
  };
  TestDatabase database = DatabaseOf(GetParam());
  auto connection = OpenSource(database);
  for (const LeaveCase& c : cases) {
    SCOPED_TRACE(c.what);
    database.Execute("DELETE FROM t WHERE id > " + std::to_string(kRows));
    auto table = connection->OpenTable("t");
    table->Next();  // the reading holds its snapshot
    database.Execute("INSERT INTO t SELECT id + 100000, k FROM t WHERE id <= 7");
    const Dataset::CountSoFar count = CountWhenIn(*table);
    ASSERT_FALSE(count.coming);
    EXPECT_EQ(count.rows, kRows + 7);
    for (int rows = 1; rows < c.rows_read; ++rows) table->Next();
    EXPECT_EQ(table->Eof(), c.rows_read == kRows);
    EXPECT_EQ(table->RecordCount(), c.expected_count);
  }
}

// Another session's ALTER TABLE waits for the reading's snapshot, and a count
// asked for after it waits for the ALTER. Leaving the table, or asking for
// its count, must not wait for that count.
TEST_P(OdbcSideCount, ACountWaitingBehindALockIsGivenUp) {
  struct LockCase {
    const char* what;
    bool ask_count;  // RecordCount() before the table is left
  };
  const std::vector<LockCase> cases = {{"left", false}, {"counted, then left", true}};
  TestDatabase database = DatabaseOf(GetParam());
  auto connection = OpenSource(database);
  int column = 0;
  for (const LockCase& c : cases) {
    SCOPED_TRACE(c.what);
    auto table = connection->OpenTable("t");
    table->Next();
    OdbcSession other(database.ConnectionString());
    std::thread alter([&other, &column] { other.Execute("ALTER TABLE t ADD COLUMN z" + std::to_string(++column) + " INT"); });
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    EXPECT_TRUE(table->RecordCountSoFar().coming);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    EXPECT_TRUE(table->RecordCountSoFar().coming);
    const auto start = std::chrono::steady_clock::now();
    if (c.ask_count) {
      EXPECT_EQ(table->RecordCount(), kRows);
    }
    table.reset();
    alter.join();
    // Far below any lock time-out, which the sessions do not have.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
    EXPECT_EQ(database.Query("SELECT COUNT(*) FROM t").at(0).at(0).value(), std::to_string(kRows));
  }
}

INSTANTIATE_TEST_SUITE_P(Engines, OdbcSideCount, ::testing::Values(Engine::MariaDb, Engine::Postgres),
                         [](const ::testing::TestParamInfo<Engine>& info) {
                           return info.param == Engine::MariaDb ? "MariaDb" : "Postgres";
                         });

}  // namespace
}  // namespace quill::testing
