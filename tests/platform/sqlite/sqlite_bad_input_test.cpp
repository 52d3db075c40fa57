// A SQLite file that cannot be read gives a clear error naming the file, and
// the next connection works.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "fixtures/script_loaders.h"
#include "fixtures/test_database.h"
#include "platform/connection/connection.h"
#include "platform/dataset/data_access_error.h"
#include "platform/odbc/odbc_test_support.h"

namespace quill::testing {
namespace {

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// A database of a thousand rows whose pages after the first are overwritten:
// the header and catalog read, the table's pages do not.
void Damage(const TestDatabase& database) {
  std::fstream file(database.DatabaseName(), std::ios::binary | std::ios::in | std::ios::out);
  file.seekp(4096);
  const std::string garbage(8192, '\x5a');
  file.write(garbage.data(), static_cast<std::streamsize>(garbage.size()));
}

// Everything the file's owner can do to the file while a source names it.
struct BadFileCase {
  std::string name;
  std::function<void(TestDatabase&)> spoil;
  std::string expected_text;
};

class SqliteBadFileTest : public ::testing::TestWithParam<BadFileCase> {};

TEST_P(SqliteBadFileTest, GivesAClearErrorNamingTheFileAndTheNextConnectionWorks) {
  TestDatabase database = TestDatabase::Sqlite();
  ASSERT_TRUE(RunSqliteScript(database,
                              "PRAGMA page_size = 4096; CREATE TABLE t (k INTEGER PRIMARY KEY, v TEXT);"
                              "WITH RECURSIVE n(k) AS (SELECT 1 UNION ALL SELECT k + 1 FROM n WHERE k < 1000) "
                              "INSERT INTO t SELECT k, printf('%.*c', 50, 'v') FROM n;")
                  .succeeded);
  database.Disconnect();
  sqlite3* holder = nullptr;  // the other program of the locked case
  if (GetParam().name == "Locked") {
    ASSERT_EQ(sqlite3_open(database.DatabaseName().c_str(), &holder), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(holder, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
  } else {
    GetParam().spoil(database);
  }
  try {
    auto connection = OpenSource(database);
    for (auto table = connection->OpenTable("t"); !table->Eof(); table->Next()) {
    }
    FAIL() << "read a spoiled file";
  } catch (const DataAccessError& error) {
    const std::string text = error.what();
    EXPECT_NE(text.find(database.DatabaseName()), std::string::npos) << text;
    EXPECT_NE(text.find(GetParam().expected_text), std::string::npos) << text;
  }
  sqlite3_close(holder);
  if (GetParam().name == "Missing") {
    EXPECT_FALSE(std::filesystem::exists(database.DatabaseName())) << "created";
  }

  TestDatabase good = TestDatabase::Sqlite();
  good.Execute("CREATE TABLE ok (k INTEGER)");
  good.Execute("INSERT INTO ok VALUES (1)");
  EXPECT_EQ(OpenSource(good)->OpenTable("ok")->FieldAt(0).AsInteger(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Files, SqliteBadFileTest,
    ::testing::Values(
        BadFileCase{"NotADatabase", [](TestDatabase& d) { WriteBytes(d.DatabaseName(), std::string(5000, 'x')); },
                    "file is not a database"},
        BadFileCase{"Empty", [](TestDatabase& d) { WriteBytes(d.DatabaseName(), ""); }, "no such table"},
        BadFileCase{"Damaged", Damage, "malformed"},
        BadFileCase{"Missing", [](TestDatabase& d) { std::filesystem::remove(d.DatabaseName()); }, "does not exist"},
        BadFileCase{"Locked", nullptr, "locked"},
        BadFileCase{"Fifo",
                    [](TestDatabase& d) {
                      std::filesystem::remove(d.DatabaseName());
                      ASSERT_EQ(::mkfifo(d.DatabaseName().c_str(), 0600), 0);
                    },
                    "not a plain file"}),
    [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace quill::testing
