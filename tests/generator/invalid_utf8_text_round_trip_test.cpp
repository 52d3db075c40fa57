// SQLite keeps whatever bytes it is given as text: Latin-1 letters, lone
// bytes, cut and overlong sequences, surrogates. No engine's text takes
// them, and a script is UTF-8 text. Each bad byte is written as U+FFFD with
// a red line naming the column and the count; MySql and PostgreSQL load
// every row, and each value arrives as that text. A key made equal by the
// replacement is left out, so both rows still arrive.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "fixtures/script_loaders.h"
#include "fixtures/test_database.h"
#include "generator_harness.h"
#include "platform/text/hex_digits.h"
#include "platform/text/text_encoding.h"

namespace quill::testing {
namespace {

struct BadTextCase {
  std::string name;
  std::string hex;       // the bytes SQLite holds as text
  std::string expected;  // the text that must arrive
};

const std::string kReplacement = "\xEF\xBF\xBD";

const std::vector<BadTextCase> kCases = {
    {"a Latin-1 letter", "48E474", "H" + kReplacement + "t"},
    {"a lone byte 0xFF", "FF", kReplacement},
    {"a sequence cut at the end", "61C3", "a" + kReplacement},
    {"an overlong slash", "C0AF", kReplacement + kReplacement},
    {"a surrogate", "EDA080", kReplacement + kReplacement + kReplacement},
    {"good UTF-8 beside a bad byte", "C3A9E9", "\xC3\xA9" + kReplacement},
    {"good UTF-8 alone", "C3A9", "\xC3\xA9"},
};

TestDatabase SourceWithBadText(const std::string& table_sql) {
  TestDatabase source = TestDatabase::Sqlite();
  std::string script = table_sql;
  for (size_t i = 0; i < kCases.size(); ++i) {
    script += "INSERT INTO bad VALUES (" + std::to_string(i) + ", CAST(X'" + kCases[i].hex + "' AS TEXT));";
  }
  const ScriptRun created = RunSqliteScript(source, script);
  EXPECT_TRUE(created.succeeded) << created.output;
  return source;
}

int RedLinesSaying(const GeneratorHarness& harness, const std::string& words) {
  int found = 0;
  for (const LogLine& line : harness.ui.log_lines()) {
    if (line.color && line.text.find(words) != std::string::npos) ++found;
  }
  return found;
}

// The table scripted in `dialect`; empty when the run made no script.
std::string ScriptOf(GeneratorHarness& harness, const TestDatabase& source, const std::string& table,
                     TargetDialect dialect) {
  harness.settings.format = dialect;
  harness.settings.drop = true;
  harness.generator.GenerateScript(source.Dsn(), table);
  return harness.ui.tabs().size() == 1 ? harness.ScriptText() : std::string();
}

class InvalidUtf8TextRoundTrip : public ::testing::TestWithParam<TargetDialect> {
 protected:
  bool ToPostgres() const { return GetParam() == TargetDialect::PostgreSql; }
  // A fresh database of the dialect's engine with the script loaded.
  TestDatabase Loaded(const std::string& script) const {
    TestDatabase target = ToPostgres() ? TestDatabase::Postgres() : TestDatabase::MariaDb();
    const ScriptRun load = ToPostgres() ? RunPsqlScript(target, script) : RunMariaDbScript(target, script);
    EXPECT_TRUE(load.succeeded) << load.output << "\n--- script ---\n" << script;
    return target;
  }
};

TEST_P(InvalidUtf8TextRoundTrip, EveryBadByteArrivesAsTheReplacementCharacter) {
  TestDatabase source = SourceWithBadText("CREATE TABLE bad (n INTEGER PRIMARY KEY, t TEXT);");
  GeneratorHarness harness;
  const std::string generated = ScriptOf(harness, source, "bad", GetParam());
  ASSERT_FALSE(generated.empty());
  ASSERT_TRUE(IsValidUtf8(generated));
  EXPECT_EQ(RedLinesSaying(harness, "column t : 6 values that are not valid UTF-8: each bad byte written as U+FFFD"), 1);
  EXPECT_EQ(RedLinesSaying(harness, "primary key"), 0);

  TestDatabase target = Loaded(generated);
  const std::string hex = ToPostgres() ? "upper(encode(convert_to(t, 'UTF8'), 'hex'))" : "HEX(t)";
  const std::vector<QueryRow> rows = target.Query("SELECT n, " + hex + " FROM bad ORDER BY n");
  ASSERT_EQ(rows.size(), kCases.size());
  for (size_t i = 0; i < kCases.size(); ++i) {
    EXPECT_EQ(rows[i][1].value_or("NULL"), HexDigits(kCases[i].expected)) << kCases[i].name;
  }
}

TEST_P(InvalidUtf8TextRoundTrip, AKeyMadeEqualByTheReplacementIsLeftOut) {
  // 0xE4 and 0xFF are two keys in SQLite, and one text once each is U+FFFD.
  TestDatabase source = TestDatabase::Sqlite();
  const ScriptRun created = RunSqliteScript(
      source, "CREATE TABLE bad_key (t TEXT PRIMARY KEY, n INTEGER);"
              "INSERT INTO bad_key VALUES (CAST(X'E4' AS TEXT), 1), (CAST(X'FF' AS TEXT), 2), ('ok', 3);");
  ASSERT_TRUE(created.succeeded) << created.output;
  GeneratorHarness harness;
  const std::string generated = ScriptOf(harness, source, "bad_key", GetParam());
  ASSERT_FALSE(generated.empty());
  EXPECT_EQ(RedLinesSaying(harness, "primary key: t holds values written changed"), 1);
  TestDatabase target = Loaded(generated);
  EXPECT_EQ(target.Query("SELECT COUNT(*) FROM bad_key").at(0)[0].value_or(""), "3");
}

INSTANTIATE_TEST_SUITE_P(Targets, InvalidUtf8TextRoundTrip,
                         ::testing::Values(TargetDialect::PostgreSql, TargetDialect::MySql),
                         [](const auto& info) { return info.param == TargetDialect::PostgreSql ? "PostgreSql" : "MySql"; });

// The dialects without a test engine: every script is UTF-8 text, and the
// red line is said alike.
TEST(InvalidUtf8TextScripts, EveryDialectWritesUtf8Text) {
  TestDatabase source = SourceWithBadText("CREATE TABLE bad (n INTEGER PRIMARY KEY, t VARCHAR(20));");
  for (TargetDialect dialect : {TargetDialect::MsSql, TargetDialect::Oracle, TargetDialect::Pervasive}) {
    GeneratorHarness harness;
    const std::string generated = ScriptOf(harness, source, "bad", dialect);
    ASSERT_FALSE(generated.empty()) << static_cast<int>(dialect);
    EXPECT_TRUE(IsValidUtf8(generated)) << static_cast<int>(dialect);
    EXPECT_NE(generated.find("H" + kReplacement + "t"), std::string::npos) << static_cast<int>(dialect) << generated;
    EXPECT_EQ(RedLinesSaying(harness, "column t : 6 values that are not valid UTF-8"), 1) << static_cast<int>(dialect);
  }
}

}  // namespace
}  // namespace quill::testing
