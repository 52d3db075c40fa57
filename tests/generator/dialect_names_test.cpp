// Names that a dialect's rules make equal (PostgreSQL's lower case, Oracle's
// 30 and Pervasive's 20 characters, Underscore) stay distinct, in the table
// writers (and the foreign-key scripts, tested beside them); a real PostgreSQL loads a
// script of two tables and columns that lower-casing would have made one.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "fixtures/script_loaders.h"
#include "fixtures/test_database.h"
#include "generator/dialect_names.h"
#include "generator_harness.h"

namespace quill::testing {
namespace {

struct NamesCase {
  std::string name;
  TargetDialect dialect;
  bool underscore;
  std::vector<std::string> source;
  std::vector<std::string> expected;
};

std::string Repeated(const std::string& text, int times) {
  std::string repeated;
  for (int i = 0; i < times; ++i) repeated += text;
  return repeated;
}

TEST(DialectNamesTest, ColumnNamesThatTheDialectMakesEqualGetASuffixWithinItsLength) {
  const std::string a31 = std::string(30, 'a') + "1";
  const std::string a32 = std::string(30, 'a') + "2";
  const std::string b21 = std::string(20, 'b') + "1";
  const std::string b22 = std::string(20, 'b') + "2";
  const std::string c70(70, 'c');
  const std::string e40 = Repeated("\xC3\xA9", 40);  // 40 characters of two bytes
  const std::string e31 = Repeated("\xC3\xA9", 31);
  const std::vector<NamesCase> cases = {
      {"lower case", TargetDialect::PostgreSql, false, {"Case", "case", "CASE"}, {"case", "case_2", "case_3"}},
      {"a suffix never takes a name that is there", TargetDialect::PostgreSql, false, {"x", "X", "x_2"},
       {"x", "x_3", "x_2"}},
      {"non-ASCII lower case", TargetDialect::PostgreSql, false, {"Größe", "GRÖßE"}, {"größe", "größe_2"}},
      {"Oracle's 30 characters", TargetDialect::Oracle, false, {a31, a32}, {std::string(30, 'a'), std::string(28, 'a') + "_2"}},
      {"Pervasive's 20 characters", TargetDialect::Pervasive, false, {b21, b22},
       {std::string(20, 'b'), std::string(18, 'b') + "_2"}},
      {"Underscore", TargetDialect::MySql, true, {"a b", "a_b"}, {"a_b", "a_b_2"}},
      {"names compared without case in MySql", TargetDialect::MySql, false, {"Id", "ID"}, {"Id", "ID_2"}},
      {"distinct names stay as they are", TargetDialect::MsSql, false, {"a", "b"}, {"a", "b"}},
      {"PostgreSQL's system columns", TargetDialect::PostgreSql, false,
       {"xmin", "YMax", "XMAX", "ctid", "TableOid", "cmin", "cmax", "oid"},
       {"xmin_2", "ymax", "xmax_2", "ctid_2", "tableoid_2", "cmin_2", "cmax_2", "oid"}},
      {"a system column's suffix never takes a name that is there", TargetDialect::PostgreSql, false,
       {"xmin_2", "xmin"}, {"xmin_2", "xmin_3"}},
      {"system column names are PostgreSQL's only", TargetDialect::MySql, false, {"xmin", "ctid"}, {"xmin", "ctid"}},
      {"PostgreSQL's 63 bytes", TargetDialect::PostgreSql, false, {c70, c70 + "2", "x"},
       {std::string(63, 'c'), std::string(61, 'c') + "_2", "x"}},
      {"PostgreSQL's 63 bytes end on a whole character", TargetDialect::PostgreSql, false, {e40},
       {Repeated("\xC3\xA9", 31)}},
      {"MySql's 64 characters", TargetDialect::MySql, false, {c70, c70 + "2", e40 + e40},
       {std::string(64, 'c'), std::string(62, 'c') + "_2", Repeated("\xC3\xA9", 64)}},
      {"names within the limits stay whole", TargetDialect::PostgreSql, false, {std::string(63, 'c'), e31},
       {std::string(63, 'c'), e31}},
  };
  for (const NamesCase& c : cases) {
    Settings settings;
    settings.format = c.dialect;
    settings.underscore = c.underscore;
    EXPECT_EQ(DistinctColumnNames(settings, c.source), c.expected) << c.name;
  }
}

TEST(DialectNamesTest, TableNamesThatTheDialectMakesEqualGetASuffix) {
  Settings settings;
  settings.format = TargetDialect::PostgreSql;
  EXPECT_EQ(DistinctTableNames(settings, {"public.Case", "public.case", "public.other"}),
            (std::vector<std::string>{"Case", "case_2", "other"}));
  // The same name in two schemas is the duplicate the run asks about: kept.
  EXPECT_EQ(DistinctTableNames(settings, {"a.t", "b.t"}), (std::vector<std::string>{"t", "t"}));
}

TEST(DialectNamesTest, TableNamesLongerThanTheServerTakesAreCutAndKeptApart) {
  const std::string t70(70, 't');
  struct TableCase {
    std::string name;
    TargetDialect dialect;
    std::vector<std::string> listed;
    std::vector<std::string> expected;
  };
  const std::vector<TableCase> cases = {
      {"PostgreSQL's 63 bytes", TargetDialect::PostgreSql, {"public." + t70, "public." + t70 + "x", "public.s"},
       {std::string(63, 't'), std::string(61, 't') + "_2", "s"}},
      {"MySql's 64 characters", TargetDialect::MySql, {t70, t70 + "x"}, {std::string(64, 't'), std::string(62, 't') + "_2"}},
      {"one long name listed twice keeps its form", TargetDialect::MySql, {t70, t70}, {std::string(64, 't'), std::string(64, 't')}},
      {"Oracle's table names are not cut", TargetDialect::Oracle, {t70}, {t70}},
  };
  for (const TableCase& c : cases) {
    Settings settings;
    settings.format = c.dialect;
    EXPECT_EQ(DistinctTableNames(settings, c.listed), c.expected) << c.name;
  }
}

// Two PostgreSQL tables and two columns that differ only in case: the
// PostgreSQL script keeps them apart and loads, and the log says how.
TEST(DialectNamesTest, APostgresScriptOfNamesThatDifferInCaseLoads) {
  TestDatabase source = TestDatabase::Postgres();
  source.CreateTable({"Case", {{"Id", "integer"}, {"id", "integer"}}, {"Id"}, {{"1", "2"}}});
  source.CreateTable({"case", {{"n", "integer"}}, {}, {{"3"}}});
  GeneratorHarness harness;
  harness.settings.format = TargetDialect::PostgreSql;
  harness.ui.AnswerTableSelection(std::vector<std::string>{"public.Case", "public.case"});
  harness.ui.AnswerMessageBox(MessageAnswer::No);  // no foreign keys
  harness.generator.GenerateScript(source.Dsn(), "");
  ASSERT_EQ(harness.ui.tabs().size(), 1u);
  const std::string script = harness.ScriptText();

  TestDatabase target = TestDatabase::Postgres();
  const ScriptRun load = RunPsqlScript(target, script);
  ASSERT_TRUE(load.succeeded) << load.output << "\n--- script ---\n" << script;
  EXPECT_EQ(target.Query("SELECT id, id_2 FROM \"case\""), (std::vector<QueryRow>{{"1", "2"}}));
  EXPECT_EQ(target.Query("SELECT n FROM case_2"), (std::vector<QueryRow>{{"3"}}));
  const std::vector<std::string> log = harness.ui.LogTexts();
  const auto says = [&](const std::string& part) {
    return std::any_of(log.begin(), log.end(), [&](const std::string& line) { return line.find(part) != std::string::npos; });
  };
  EXPECT_TRUE(says("Table : public.case is written case_2")) << ::testing::PrintToString(log);
  EXPECT_TRUE(says("column id is written id_2")) << ::testing::PrintToString(log);
}

// A MariaDB table whose columns bear PostgreSQL's system column names, as
// bounding boxes do (xmin, xmax): the PostgreSQL script renames them, loads,
// and every value arrives.
TEST(DialectNamesTest, APostgresScriptOfColumnsNamedLikeSystemColumnsLoads) {
  TestDatabase source = TestDatabase::MariaDb();
  source.CreateTable({"bounds",
                      {{"id", "INT"}, {"xmin", "DOUBLE"}, {"XMax", "DOUBLE"}, {"ctid", "VARCHAR(10)"},
                       {"tableoid", "INT"}, {"cmin", "INT"}, {"cmax", "INT"}},
                      {"id"},
                      {{"1", "-1.5", "2.5", "'a'", "7", "8", "9"}}});
  GeneratorHarness harness;
  harness.settings.format = TargetDialect::PostgreSql;
  harness.generator.GenerateScript(source.Dsn(), "bounds");
  ASSERT_EQ(harness.ui.tabs().size(), 1u);
  const std::string script = harness.ScriptText();

  TestDatabase target = TestDatabase::Postgres();
  const ScriptRun load = RunPsqlScript(target, script);
  ASSERT_TRUE(load.succeeded) << load.output << "\n--- script ---\n" << script;
  EXPECT_EQ(target.Query("SELECT id, xmin_2, xmax_2, rtrim(ctid_2), tableoid_2, cmin_2, cmax_2 FROM bounds"),
            (std::vector<QueryRow>{{"1", "-1.5", "2.5", "a", "7", "8", "9"}}));
  const std::vector<std::string> log = harness.ui.LogTexts();
  EXPECT_TRUE(std::any_of(log.begin(), log.end(), [](const std::string& line) {
    return line.find("column xmin is written xmin_2, as this dialect keeps its name for a column of its own") !=
           std::string::npos;
  })) << ::testing::PrintToString(log);
}

// A SQLite table whose name and two column names are longer than the
// servers take, the columns alike in their first 70 characters: the
// PostgreSQL and MySql scripts load, and the values arrive under the names
// the run gave.
TEST(DialectNamesTest, ScriptsOfNamesLongerThanTheServersTakeLoad) {
  const std::string table(70, 't');
  const std::string column(70, 'c');
  TestDatabase source = TestDatabase::Sqlite();
  source.CreateTable({table, {{column + "1", "INTEGER"}, {column + "2", "INTEGER"}}, {}, {{"1", "2"}}});
  struct Target {
    TargetDialect dialect;
    size_t length;  // of the longest name
  };
  for (const Target& t : {Target{TargetDialect::PostgreSql, 63}, Target{TargetDialect::MySql, 64}}) {
    GeneratorHarness harness;
    harness.settings.format = t.dialect;
    harness.generator.GenerateScript(source.Dsn(), table);
    ASSERT_EQ(harness.ui.tabs().size(), 1u);
    const std::string script = harness.ScriptText();
    const bool to_postgres = t.dialect == TargetDialect::PostgreSql;
    TestDatabase target = to_postgres ? TestDatabase::Postgres() : TestDatabase::MariaDb();
    const ScriptRun load = to_postgres ? RunPsqlScript(target, script) : RunMariaDbScript(target, script);
    ASSERT_TRUE(load.succeeded) << load.output << "\n--- script ---\n" << script;
    EXPECT_EQ(load.output.find("truncated"), std::string::npos) << load.output;
    const std::string first = target.Quote(std::string(t.length, 'c'));
    const std::string second = target.Quote(std::string(t.length - 2, 'c') + "_2");
    EXPECT_EQ(target.Query("SELECT " + first + ", " + second + " FROM " + target.Quote(std::string(t.length, 't'))),
              (std::vector<QueryRow>{{"1", "2"}}))
        << script;
  }
}

}  // namespace
}  // namespace quill::testing
