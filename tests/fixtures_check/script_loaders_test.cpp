#include "fixtures/script_loaders.h"

#include <gtest/gtest.h>

#include <cctype>
#include <tuple>

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

void PrintTo(const RefusedCase& test_case, std::ostream* out) { *out << test_case.title; }

const RefusedCase kRefused[] = {
    {"SyntaxError", "CREATE TABEL oops (id INTEGER);", "TABEL"},
    {"MissingTable", "INSERT INTO nowhere VALUES (1);", "nowhere"},
    {"DuplicateKey", "INSERT INTO kept VALUES (1);", "kept"},
};

struct LoaderCase {
  const char* title;
  TestDatabase (*make)(const DsnOptions&);
  ScriptRun (*load)(const TestDatabase&, const std::string&);
};

void PrintTo(const LoaderCase& test_case, std::ostream* out) { *out << test_case.title; }

const LoaderCase kLoaders[] = {
    {"Psql", &TestDatabase::Postgres, &RunPsqlScript},
    {"MariaDb", &TestDatabase::MariaDb, &RunMariaDbScript},
    {"Sqlite", &TestDatabase::Sqlite, &RunSqliteScript},
};

class RefusedScriptTest : public ::testing::TestWithParam<std::tuple<LoaderCase, RefusedCase>> {};

TEST_P(RefusedScriptTest, FailsSaysWhyAndStopsThere) {
  const auto& [loader, refused] = GetParam();
  TestDatabase db = loader.make(DsnOptions());
  const std::string script = std::string("CREATE TABLE kept (id INTEGER PRIMARY KEY);\nINSERT INTO kept VALUES (1);\n") +
                             refused.bad_statement + "\nINSERT INTO kept VALUES (2);\n";
  const ScriptRun run = loader.load(db, script);
  EXPECT_FALSE(run.succeeded);
  EXPECT_NE(run.output.find(refused.expected_output), std::string::npos) << run.output;
  std::string lower = run.output;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  EXPECT_NE(lower.find("error"), std::string::npos) << run.output;
  EXPECT_EQ(db.Query("SELECT COUNT(*) FROM kept"), (std::vector<QueryRow>{{"1"}}));
}

INSTANTIATE_TEST_SUITE_P(Statements, RefusedScriptTest,
                         ::testing::Combine(::testing::ValuesIn(kLoaders), ::testing::ValuesIn(kRefused)),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param).title) + "_" + std::get<1>(info.param).title;
                         });

}  // namespace
}  // namespace quill::testing
