// A foreign key between text columns of two MySql scripts: the key's table
// holds keys that differ only in case, and the referencing column is no key
// of its own. Both tables load into a real MariaDB and the constraint
// script's ALTER TABLE is taken: every text column of a script compares alike.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fixtures/script_loaders.h"
#include "fixtures/test_database.h"
#include "foreignkeys/constraint_scripts.h"
#include "generator/generator_harness.h"

namespace quill::testing {
namespace {

TEST(TextKeyForeignKey, MySqlScriptsTakeAForeignKeyBetweenTextColumns) {
  TestDatabase source = TestDatabase::Sqlite();
  source.CreateTable({"codes", {{"code", "VARCHAR(10)"}, {"label", "TEXT"}}, {"code"},
                      {{"'AI'", "'upper'"}, {"'ai'", "'lower'"}}});
  source.CreateTable({"uses", {{"id", "INTEGER"}, {"code", "VARCHAR(10)"}}, {"id"}, {{"1", "'AI'"}, {"2", "'ai'"}}});
  TestDatabase target = TestDatabase::MariaDb();
  for (const std::string table : {"codes", "uses"}) {
    GeneratorHarness harness;
    harness.settings.format = TargetDialect::MySql;
    harness.generator.GenerateScript(source.Dsn(), table);
    ASSERT_EQ(harness.ui.tabs().size(), 1u);
    const std::string script = harness.ScriptText();
    const ScriptRun load = RunMariaDbScript(target, script);
    ASSERT_TRUE(load.succeeded) << table << ": " << load.output << "\n--- script ---\n" << script;
  }
  Settings settings;
  settings.format = TargetDialect::MySql;
  ForeignKeyScripts scripts;
  AppendConstraintScripts(settings, false, {"uses", "code", "codes", "code"}, scripts);
  const ScriptRun constraint = RunMariaDbScript(target, scripts.add_constraint_script);
  EXPECT_TRUE(constraint.succeeded) << constraint.output << "\n--- script ---\n" << scripts.add_constraint_script;
  EXPECT_EQ(target.Query("SELECT u.id, c.label FROM uses u JOIN codes c ON c.code = u.code ORDER BY u.id"),
            (std::vector<QueryRow>{{"1", "upper"}, {"2", "lower"}}));
}

}  // namespace
}  // namespace quill::testing
