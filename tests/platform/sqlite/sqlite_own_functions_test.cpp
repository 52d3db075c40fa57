// The program's own SQL function (the column-profile aggregate) is for the
// program's own query: a file's view that calls it gives a clear error for
// that table, and wrong arguments are refused, never read out of bounds.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "fixtures/script_loaders.h"
#include "fixtures/test_database.h"
#include "generator/generator_harness.h"
#include "platform/connection/connection.h"
#include "platform/dataset/data_access_error.h"
#include "platform/odbc/odbc_test_support.h"
#include "platform/sqlite/sqlite_column_profile.h"
#include "platform/sqlite/sqlite_file.h"

namespace quill::testing {
namespace {

const std::vector<std::string> kCalls = {
    "quill_column_profile()",
    "quill_column_profile('1')",
    "quill_column_profile(1, a)",
    "quill_column_profile('12', a)",
    "quill_column_profile('9', a)",
    "quill_column_profile(NULL, a)",
    "quill_column_profile(x'01', a)",
};

TEST(SqliteOwnFunctions, AViewOfTheFileCannotCallTheProfileFunction) {
  TestDatabase database = TestDatabase::Sqlite();
  std::string script = "CREATE TABLE t (a TEXT); INSERT INTO t VALUES ('x'), ('y');";
  for (std::size_t i = 0; i < kCalls.size(); ++i) {
    script += "CREATE VIEW v" + std::to_string(i) + " AS SELECT " + kCalls[i] + " AS p FROM t;";
  }
  ASSERT_TRUE(RunSqliteScript(database, script).succeeded);
  database.Disconnect();

  auto connection = OpenSource(database);
  for (std::size_t i = 0; i < kCalls.size(); ++i) {
    SCOPED_TRACE(kCalls[i]);
    try {
      connection->OpenTable("v" + std::to_string(i));
      ADD_FAILURE() << "the view was read";
    } catch (const DataAccessError& error) {
      EXPECT_NE(std::string(error.what()).find("unsafe use of quill_column_profile"), std::string::npos)
          << error.what();
    }
  }
  // The table beside them reads as before.
  EXPECT_EQ(ColumnTexts(*connection->OpenTable("t"), "a"), (std::vector<std::string>{"x", "y"}));

  // A run over the views and the table: a red line for each view, the table
  // written and the run goes to its end.
  GeneratorHarness harness;
  std::vector<std::string> chosen = {"t"};
  for (std::size_t i = 0; i < kCalls.size(); ++i) chosen.push_back("v" + std::to_string(i));
  harness.ui.AnswerTableSelection(chosen);
  harness.settings.disable_warn = true;
  harness.settings.content = ContentMode::DataOnly;
  harness.generator.GenerateScript(database.Dsn(), "");
  const std::vector<std::string> log = harness.ui.LogTexts();
  int errors = 0;
  for (const std::string& line : log) errors += line.find("Error with table : v") != std::string::npos;
  EXPECT_EQ(errors, static_cast<int>(kCalls.size()));
  EXPECT_TRUE(std::any_of(log.begin(), log.end(),
                          [](const std::string& line) { return line.find("Table : t - OK") != std::string::npos; }));
}

// The program's own query with the arguments that no query of the program
// makes: an error, not a read past the arguments.
TEST(SqliteOwnFunctions, TheProfileFunctionRefusesWrongArguments) {
  TestDatabase database = TestDatabase::Sqlite();
  ASSERT_TRUE(RunSqliteScript(database, "CREATE TABLE t (a TEXT, b INT); INSERT INTO t VALUES ('x', 1), ('y', 2);")
                  .succeeded);
  database.Disconnect();
  SqliteFile file(database.DatabaseName());
  RegisterColumnProfileFunction(file);
  for (const std::string& call : kCalls) {
    SCOPED_TRACE(call);
    SqliteStatement statement(file, "SELECT " + call + " FROM t");
    EXPECT_THROW(statement.Step(), DataAccessError);
  }
  SqliteStatement right(file, "SELECT quill_column_profile('11', a, b) FROM t");
  EXPECT_TRUE(right.Step());
}

}  // namespace
}  // namespace quill::testing
