// Text keys that differ only where a server's usual collation does not look
// (case, accents, sharp s, composed and decomposed letters), and empty texts
// in a key, which no key may hold as NULL: a SQLite table keyed by them is
// scripted as MySql and as PostgreSQL, the real engines load every row, and
// each key arrives byte for byte.

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "fixtures/script_loaders.h"
#include "fixtures/test_database.h"
#include "generator_harness.h"

namespace quill::testing {
namespace {

struct KeyCase {
  std::string name;
  std::string key_type;            // the SQLite declared type of the key column
  std::vector<std::string> keys;   // distinct in SQLite, which compares bytes
};

const std::vector<KeyCase> kCases = {
    {"case", "TEXT", {"AI", "ai", "Ai"}},
    {"accents", "TEXT", {"resume", "résumé", "RÉSUMÉ"}},
    {"sharp s", "VARCHAR(10)", {"strasse", "straße"}},
    {"composed and decomposed", "TEXT", {"\xC3\xA9", "e\xCC\x81"}},
    {"long text key", "VARCHAR(2000)", {std::string(300, 'x') + "A", std::string(300, 'x') + "a"}},
    {"empty text", "TEXT", {"", "a"}},
    {"empty text in a sized key", "VARCHAR(10)", {"", "b"}},
    {"empty text in a long key", "VARCHAR(2000)", {"", "c"}},
};

std::string Hex(const std::string& bytes) {
  static const char* digits = "0123456789ABCDEF";
  std::string hex;
  for (unsigned char c : bytes) {
    hex += digits[c >> 4];
    hex += digits[c & 15];
  }
  return hex;
}

std::string SqliteLiteral(const std::string& text) {
  std::string literal = "'";
  for (char c : text) literal += c == '\'' ? std::string("''") : std::string(1, c);
  return literal + "'";
}

class TextKeyRoundTrip : public ::testing::TestWithParam<TargetDialect> {};

TEST_P(TextKeyRoundTrip, KeysThatDifferOnlyInCaseOrAccentsAllArrive) {
  const bool to_postgres = GetParam() == TargetDialect::PostgreSql;
  for (const KeyCase& c : kCases) {
    TestDatabase source = TestDatabase::Sqlite();
    std::string script = "CREATE TABLE keyed (name " + c.key_type + ", n INTEGER, PRIMARY KEY (name, n));";
    for (const std::string& key : c.keys) script += "INSERT INTO keyed VALUES (" + SqliteLiteral(key) + ", 1);";
    const ScriptRun created = RunSqliteScript(source, script);
    ASSERT_TRUE(created.succeeded) << c.name << ": " << created.output;

    GeneratorHarness harness;
    harness.settings.format = GetParam();
    harness.settings.drop = true;
    harness.generator.GenerateScript(source.Dsn(), "keyed");
    ASSERT_EQ(harness.ui.tabs().size(), 1u) << c.name;
    const std::string generated = harness.ScriptText();

    TestDatabase target = to_postgres ? TestDatabase::Postgres() : TestDatabase::MariaDb();
    const ScriptRun load = to_postgres ? RunPsqlScript(target, generated) : RunMariaDbScript(target, generated);
    ASSERT_TRUE(load.succeeded) << c.name << ": " << load.output << "\n--- script ---\n" << generated;

    const std::string hex = to_postgres ? "upper(encode(convert_to(name, 'UTF8'), 'hex'))" : "HEX(name)";
    std::vector<std::string> arrived;
    for (const QueryRow& row : target.Query("SELECT " + hex + " FROM keyed")) arrived.push_back(row[0].value_or("NULL"));
    std::vector<std::string> expected;
    for (const std::string& key : c.keys) expected.push_back(Hex(key));
    std::sort(arrived.begin(), arrived.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(arrived, expected) << c.name << "\n--- script ---\n" << generated;
  }
}

INSTANTIATE_TEST_SUITE_P(Targets, TextKeyRoundTrip,
                         ::testing::Values(TargetDialect::PostgreSql, TargetDialect::MySql),
                         [](const auto& info) { return info.param == TargetDialect::PostgreSql ? "PostgreSql" : "MySql"; });

}  // namespace
}  // namespace quill::testing
