#include "fixtures/script_loaders.h"

#include <gtest/gtest.h>

#include "fixtures/test_database.h"

namespace quill::testing {
namespace {

// Generated scripts end their lines with CR LF; both clients must take them.
const char kScript[] =
    "CREATE TABLE loaded (id INTEGER PRIMARY KEY, name VARCHAR(40));\r\n"
    "INSERT INTO loaded VALUES (1, 'O''Brien');\r\n"
    "INSERT INTO loaded VALUES (2, 'Zoë 日本');\r\n";

TEST(ScriptLoadersTest, PsqlScriptLoads) {
  TestDatabase db = TestDatabase::Postgres();
  const ScriptRun run = RunPsqlScript(db, kScript);
  ASSERT_TRUE(run.succeeded) << run.output;
  EXPECT_EQ(db.Query("SELECT id, name FROM loaded ORDER BY id"),
            (std::vector<QueryRow>{{"1", "O'Brien"}, {"2", "Zoë 日本"}}));
}

TEST(ScriptLoadersTest, MariaDbScriptLoads) {
  TestDatabase db = TestDatabase::MariaDb();
  const ScriptRun run = RunMariaDbScript(db, kScript);
  ASSERT_TRUE(run.succeeded) << run.output;
  EXPECT_EQ(db.Query("SELECT id, name FROM loaded ORDER BY id"),
            (std::vector<QueryRow>{{"1", "O'Brien"}, {"2", "Zoë 日本"}}));
}

// A refused statement fails the run, says why, and stops the script there.
struct RefusedCase {
  const char* title;
  const char* bad_statement;
  const char* expected_output;
};

const RefusedCase kRefused[] = {
    {"SyntaxError", "CREATE TABEL oops (id INTEGER);", "TABEL"},
    {"MissingTable", "INSERT INTO nowhere VALUES (1);", "nowhere"},
    {"DuplicateKey", "INSERT INTO kept VALUES (1);", "uplicate"},
};

void PrintTo(const RefusedCase& test_case, std::ostream* out) { *out << test_case.title; }

class RefusedScriptTest : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(RefusedScriptTest, PsqlFails) {
  TestDatabase db = TestDatabase::Postgres();
  const std::string script = std::string("CREATE TABLE kept (id INTEGER PRIMARY KEY);\nINSERT INTO kept VALUES (1);\n") +
                             GetParam().bad_statement + "\nINSERT INTO kept VALUES (2);\n";
  const ScriptRun run = RunPsqlScript(db, script);
  EXPECT_FALSE(run.succeeded);
  EXPECT_NE(run.output.find(GetParam().expected_output), std::string::npos) << run.output;
  EXPECT_EQ(db.Query("SELECT COUNT(*) FROM kept"), (std::vector<QueryRow>{{"1"}}));
}

TEST_P(RefusedScriptTest, MariaDbFails) {
  TestDatabase db = TestDatabase::MariaDb();
  const std::string script = std::string("CREATE TABLE kept (id INTEGER PRIMARY KEY);\nINSERT INTO kept VALUES (1);\n") +
                             GetParam().bad_statement + "\nINSERT INTO kept VALUES (2);\n";
  const ScriptRun run = RunMariaDbScript(db, script);
  EXPECT_FALSE(run.succeeded);
  EXPECT_NE(run.output.find(GetParam().expected_output), std::string::npos) << run.output;
  EXPECT_EQ(db.Query("SELECT COUNT(*) FROM kept"), (std::vector<QueryRow>{{"1"}}));
}

INSTANTIATE_TEST_SUITE_P(Statements, RefusedScriptTest, ::testing::ValuesIn(kRefused),
                         [](const auto& info) { return std::string(info.param.title); });

}  // namespace
}  // namespace quill::testing
