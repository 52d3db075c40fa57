#pragma once

// Golden scripts of one table per case, through a whole run of the generator
// over a real test database, for the dialect writers' tests.

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "fixtures/test_database.h"
#include "generator/script_header.h"
#include "generator_harness.h"

namespace quill::testing {

struct DialectGoldenCase {
  std::string name;
  TableDescription table;
  std::function<void(Settings&)> options;
  std::vector<std::string> expected;  // the table's items of the script
};

// The items of a one-table run between the header and the foreign-key tail
// (and the session's end, for MySql).
inline std::vector<std::string> DialectTableItems(const GeneratorHarness& harness) {
  const std::vector<std::string>& script = harness.Script();
  const size_t tail = (harness.settings.content != ContentMode::DataOnly ? 1u : 0u) +
                      (ScriptSessionEnd(harness.settings.format).empty() ? 0u : 1u);
  if (script.size() < tail + 1) return {};
  return {script.begin() + 1, script.end() - static_cast<std::ptrdiff_t>(tail)};
}

// Runs each case as a one-table run in `dialect`; tables are created once by
// name, so cases may share a table.
inline void RunDialectGoldenCases(TestDatabase& db, TargetDialect dialect, const std::vector<DialectGoldenCase>& cases,
                                  const std::string& node_caption = "src") {
  std::set<std::string> created;
  for (const DialectGoldenCase& c : cases) {
    SCOPED_TRACE(c.name);
    if (created.insert(c.table.name).second) db.CreateTable(c.table);
    GeneratorHarness harness;
    harness.settings.format = dialect;
    harness.ui.SetSelectedNodeCaption(node_caption);
    if (c.options) c.options(harness.settings);
    // PostgreSQL lists its tables with their schema.
    const std::string schema = c.table.schema.empty() ? "public" : c.table.schema;
    harness.generator.GenerateScript(db.Dsn(),
                                     db.engine() == Engine::Postgres ? schema + "." + c.table.name : c.table.name);
    ASSERT_EQ(harness.ui.tabs().size(), 1u);
    EXPECT_EQ(DialectTableItems(harness), c.expected);
  }
}

inline void DataOnly(Settings& s) { s.content = ContentMode::DataOnly; }

// A PostgreSQL table whose columns arrive as the field classes SQLite cannot
// give: auto-increment, wide string, BCD, GUID, BLOB, large integer.
inline TableDescription PostgresClassesTable() {
  return {"classes",
          {{"id", "serial"}, {"name", "varchar(10)"}, {"memo", "text"}, {"amount", "numeric(10,2)"},
           {"flag", "boolean"}, {"photo", "bytea"}, {"uid", "uuid"}, {"ratio", "float8"}, {"small", "smallint"},
           {"big", "bigint"}},
          {"id"},
          {{"1", "'Grüße'", "'it''s'", "12.50", "true", "'\\x0102'", "'a0eebc99-9c0b-4ef8-bb6d-6bb9bd380a11'", "0.5",
            "7", "8"}}};
}

// Booleans as BIT, so they arrive as booleans.
inline TestDatabase PostgresWithBooleans() {
  DsnOptions options;
  options.bools_as_char = false;
  return TestDatabase::Postgres(options);
}

}  // namespace quill::testing
