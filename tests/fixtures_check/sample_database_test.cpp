// The sample database that ./run.sh registers, and the registration itself.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "fixtures/odbc_session.h"
#include "fixtures/run_program.h"
#include "fixtures/script_loaders.h"
#include "fixtures/test_database.h"

namespace quill::testing {
namespace {

std::string ReadText(const std::string& path) {
  std::ifstream file(path);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

std::string SampleScript() { return ReadText(std::string(QUILL_SOURCE_DIR) + "/resources/sample.sql"); }

TEST(SampleDatabaseTest, HoldsKeysTextDatesNullsAndAPicture) {
  TestDatabase db = TestDatabase::Sqlite();
  const ScriptRun run = RunSqliteScript(db, SampleScript());
  ASSERT_TRUE(run.succeeded) << run.output;
  EXPECT_EQ(db.Query("SELECT name FROM pragma_table_info('order_lines') WHERE pk > 0 ORDER BY pk"),
            (std::vector<QueryRow>{{"order_id"}, {"line_number"}}));
  for (const char* table : {"customers", "products", "orders"}) {
    EXPECT_EQ(db.Query(std::string("SELECT COUNT(*) FROM pragma_table_info('") + table + "') WHERE pk > 0"),
              (std::vector<QueryRow>{{"1"}}))
        << table;
  }
  EXPECT_EQ(db.Query("SELECT name, city FROM customers WHERE customer_id IN (1, 4) ORDER BY customer_id"),
            (std::vector<QueryRow>{{"Jeanne d'Arc", "Orléans"}, {"Ōsaka Trading 大阪", "Ōsaka"}}));
  EXPECT_EQ(db.Query("SELECT hex(substr(picture, 1, 8)) FROM products WHERE picture IS NOT NULL"),
            (std::vector<QueryRow>{{"89504E470D0A1A0A"}}));
  EXPECT_EQ(db.Query("SELECT birth_date FROM customers WHERE customer_id IN (2, 3) ORDER BY customer_id"),
            (std::vector<QueryRow>{{"1975-05-05"}, {std::nullopt}}));
}

TEST(RegisterSampleSourceTest, RegistersTheSampleForQueries) {
  TestDatabase sample = TestDatabase::Sqlite();
  ASSERT_TRUE(RunSqliteScript(sample, SampleScript()).succeeded);
  // The script works on the system configuration that ODBCSYSINI names,
  // which here is this test process's private one.
  const ProgramRun run = RunProgram({std::string(QUILL_SOURCE_DIR) + "/scripts/register-sample-source.sh",
                                     sample.DatabaseName()});
  ASSERT_TRUE(run.succeeded) << run.output;
  OdbcSession session("DSN=Quillmarsh Sample", TextApi::Utf8);
  EXPECT_EQ(session.Query("SELECT COUNT(*) FROM customers"), (std::vector<QueryRow>{{"5"}}));
}

// An existing source of the sample's name is pointed at this sample only when
// it pointed at another copy of the sample; the user's own source is kept,
// with a message saying how to remove it.
TEST(RegisterSampleSourceTest, RepointsOnlyAnotherCopyOfTheSample) {
  TestDatabase sample = TestDatabase::Sqlite();
  const struct {
    std::string existing;  // the Database of an existing source; empty: none
    bool repointed;
    std::string message;
  } cases[] = {
      {"", true, "Registered"},
      {sample.DatabaseName(), true, "already"},
      {"/gone/checkout/build/program/sample.sqlite", true, "now points at this checkout's sample"},
      {"/usr/lib/quillmarsh/sample.sqlite", true, "now points at this checkout's sample"},
      {"/home/someone/accounts.sqlite", false, "odbcinst -u -s -l -n \"Quillmarsh Sample\""},
  };
  for (const auto& test : cases) {
    std::string folder = (std::filesystem::temp_directory_path() / "quill-sample-odbc-XXXXXX").string();
    ASSERT_NE(mkdtemp(folder.data()), nullptr);
    std::ofstream(folder + "/odbc.ini")
        << (test.existing.empty() ? "" : "[Quillmarsh Sample]\nDriver=SQLite3\nDatabase=" + test.existing + "\n");
    const ProgramRun run = RunProgram({std::string(QUILL_SOURCE_DIR) + "/scripts/register-sample-source.sh",
                                       sample.DatabaseName()},
                                      {"ODBCSYSINI=" + folder, "ODBCINI=" + folder + "/user-odbc.ini"});
    const std::string sources = ReadText(folder + "/odbc.ini");
    std::filesystem::remove_all(folder);
    EXPECT_TRUE(run.succeeded) << test.existing << run.output;
    EXPECT_NE(run.output.find(test.message), std::string::npos) << test.existing << run.output;
    const std::string expected = "Database=" + (test.repointed ? sample.DatabaseName() : test.existing) + "\n";
    EXPECT_NE(sources.find(expected), std::string::npos) << test.existing << sources;
    EXPECT_EQ(sources.find("[Quillmarsh Sample]"), sources.rfind("[Quillmarsh Sample]")) << sources;
  }
}

TEST(RegisterSampleSourceTest, AddsTheSqlite3DriverWhenTheConfigurationLacksIt) {
  TestDatabase sample = TestDatabase::Sqlite();
  std::string folder = (std::filesystem::temp_directory_path() / "quill-bare-odbc-XXXXXX").string();
  ASSERT_NE(mkdtemp(folder.data()), nullptr);
  const ProgramRun run = RunProgram({std::string(QUILL_SOURCE_DIR) + "/scripts/register-sample-source.sh",
                                     sample.DatabaseName()},
                                    {"ODBCSYSINI=" + folder, "ODBCINI=" + folder + "/user-odbc.ini"});
  const std::string drivers = ReadText(folder + "/odbcinst.ini");
  const std::string sources = ReadText(folder + "/odbc.ini");
  std::filesystem::remove_all(folder);
  ASSERT_TRUE(run.succeeded) << run.output;
  EXPECT_NE(drivers.find("[SQLite3]"), std::string::npos) << drivers;
  EXPECT_NE(drivers.find("libsqlite3odbc.so"), std::string::npos) << drivers;
  EXPECT_NE(sources.find("[Quillmarsh Sample]"), std::string::npos) << sources;
  EXPECT_NE(sources.find("Database=" + sample.DatabaseName()), std::string::npos) << sources;
}

TEST(RegisterSampleSourceTest, MissingDatabaseFileFails) {
  const ProgramRun run =
      RunProgram({std::string(QUILL_SOURCE_DIR) + "/scripts/register-sample-source.sh", "/nonexistent/sample.sqlite"});
  EXPECT_FALSE(run.succeeded);
}

}  // namespace
}  // namespace quill::testing
