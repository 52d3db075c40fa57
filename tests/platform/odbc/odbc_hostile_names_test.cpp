// Tables and columns named to break out of any statement that pastes a name
// into its text: on every engine, under the settings that change how a
// statement reads, each is listed, scripted and read whole, and the source
// is left as it was (the victim table is still there, every table holds the
// rows it held).
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "fixtures/odbc_data_sources.h"
#include "fixtures/test_servers.h"
#include "generator/generator_harness.h"
#include "odbc_test_support.h"
#include "platform/odbc/key_paging.h"

namespace quill::testing {
namespace {

// More rows than the first key page holds, so that MariaDB pages on from a
// hostile key.
constexpr int kRows = 150;

// The longest name each engine keeps whole (PostgreSQL cuts at 63 bytes,
// MariaDB refuses more than 64 characters).
std::size_t LongestName(Engine engine) {
  switch (engine) {
    case Engine::Postgres: return 63;
    case Engine::MariaDb: return 64;
    case Engine::Sqlite: return 1000;
  }
  return 63;
}

std::vector<std::string> HostileNames(Engine engine) {
  std::vector<std::string> names = {
      "a\\')); DROP TABLE victim; --",
      "b\"); DROP TABLE victim; --",
      "c`); DROP TABLE victim; --",
      "d'; DELETE FROM victim; --",
      "e /* x */ ; -- y",
      "f\r\ng\nh",
      "i{fn user()}?{oj j}",
      "k\\",
      "l\\'\\\"\\`",
      "m$$; DROP TABLE victim; $$",
      "n.o",
      ".p",
      "q.",
      "r\u2028s\u202Et",
      "select",
  };
  // MariaDB spells each special character of a name as five bytes of a
  // file name, which may not exceed 255: the long name is mostly letters.
  std::string long_name = "'\"`\\;-";
  while (long_name.size() < LongestName(engine)) long_name += engine == Engine::MariaDb ? "abcdef" : "'\"`\\;-";
  long_name.resize(LongestName(engine));
  names.push_back(long_name);
  return names;
}

// The key values: quotes, backslashes and comment marks; NUL where the
// engine's text holds it.
std::string KeyValue(Engine engine, int row) {
  static const std::vector<std::string> kPrefixes = {"x'", "y\\", "z\"", "w`", "u;--", "t/*", "s\\'"};
  std::string value = kPrefixes[row % kPrefixes.size()];
  if (engine != Engine::Postgres && row % 5 == 0) value += std::string(1, '\0');
  return value + std::to_string(1000 + row);
}

std::string Hex(const std::string& text) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string hex;
  for (unsigned char c : text) {
    hex += kDigits[c >> 4];
    hex += kDigits[c & 0x0F];
  }
  return hex;
}

// A text literal built from hexadecimal digits, so that the fixture's own
// statements read the same under every setting.
std::string TextFromHex(Engine engine, const std::string& text) {
  switch (engine) {
    case Engine::Postgres: return "convert_from(decode('" + Hex(text) + "', 'hex'), 'UTF8')";
    case Engine::MariaDb: return "_utf8mb4 X'" + Hex(text) + "'";
    case Engine::Sqlite: return "CAST(X'" + Hex(text) + "' AS TEXT)";
  }
  return {};
}

// What a source holds: every table with its rows, as the fixture reads them.
std::vector<std::string> SourceState(TestDatabase& db, const std::vector<std::string>& tables) {
  std::vector<std::string> state;
  for (const std::string& table : tables) {
    std::string rows;
    for (const QueryRow& row : db.Query("SELECT * FROM " + db.Quote(table))) {
      for (const auto& value : row) rows += (value ? Hex(*value) : "NULL") + ",";
      rows += ";";
    }
    state.push_back(table + ":" + rows);
  }
  std::sort(state.begin(), state.end());
  return state;
}

std::string ListedName(const TestDatabase& db, const std::string& table) {
  return db.engine() == Engine::Postgres ? "public." + table : table;
}

// Creates the hostile tables and the victim, runs every check and compares
// the source before and after.
void CheckHostileNames(TestDatabase& db, const std::function<void()>& make_hostile) {
  const Engine engine = db.engine();
  const std::vector<std::string> names = HostileNames(engine);
  const std::string key_type = engine == Engine::MariaDb ? "VARCHAR(40) CHARACTER SET utf8mb4 COLLATE utf8mb4_bin"
                                                         : "VARCHAR(40)";
  db.Execute("CREATE TABLE victim (id INT PRIMARY KEY)");
  db.Execute("INSERT INTO victim VALUES (1)");
  std::vector<std::string> tables = {"victim"};
  for (const std::string& name : names) {
    db.Execute("CREATE TABLE " + db.Quote(name) + " (" + db.Quote(name) + " " + key_type + " NOT NULL PRIMARY KEY, " +
               db.Quote("v") + " INT)");
    std::string insert = "INSERT INTO " + db.Quote(name) + " VALUES ";
    for (int row = 0; row < kRows; ++row) {
      insert += (row > 0 ? ", (" : "(") + TextFromHex(engine, KeyValue(engine, row)) + ", " + std::to_string(row) + ")";
    }
    db.Execute(insert);
    tables.push_back(name);
  }
  const std::vector<std::string> before = SourceState(db, tables);
  make_hostile();

  {
    auto connection = OpenSource(db);
    std::set<std::string> listed;
    for (auto rowset = connection->OpenSchema(SchemaKind::Tables); !rowset->Eof(); rowset->Next()) {
      listed.insert(rowset->FindField("TABLE_NAME")->AsString());
    }
    for (const std::string& name : names) {
      SCOPED_TRACE(Hex(name));
      EXPECT_EQ(listed.count(name), 1u);
      auto dataset = connection->OpenTable(ListedName(db, name));
      ASSERT_EQ(dataset->FieldCount(), 2);
      EXPECT_EQ(dataset->FieldAt(0).Name(), name);
      std::multiset<std::string> keys;
      for (const auto& row : ReadRows(*dataset)) keys.insert(row.at(0).value_or("NULL"));
      std::multiset<std::string> expected;
      for (int row = 0; row < kRows; ++row) expected.insert(KeyValue(engine, row));
      EXPECT_EQ(keys, expected);
    }
  }

  for (const std::string& name : names) {
    SCOPED_TRACE(Hex(name));
    GeneratorHarness harness;
    harness.settings.format = TargetDialect::MySql;
    harness.generator.GenerateScript(db.Dsn(), ListedName(db, name));
    EXPECT_TRUE(harness.ui.error_dialogs().empty());
    const std::vector<std::string> log = harness.ui.LogTexts();
    EXPECT_TRUE(std::any_of(log.begin(), log.end(), [&](const std::string& line) {
      return line.find("Table : " + ListedName(db, name) + " - OK") != std::string::npos;
    })) << ::testing::PrintToString(log);
    const std::vector<std::string> script = harness.Script();
    EXPECT_EQ(std::count_if(script.begin(), script.end(),
                            [](const std::string& item) { return item.rfind("INSERT INTO", 0) == 0; }),
              kRows);
  }

  EXPECT_EQ(SourceState(db, tables), before);
}

TEST(OdbcHostileNames, SqliteSourceIsListedScriptedReadAndUnchanged) {
  TestDatabase db = TestDatabase::Sqlite();
  CheckHostileNames(db, [] {});
}

TEST(OdbcHostileNames, PostgresWithStandardConformingStringsOnAndOff) {
  for (const bool conforming : {true, false}) {
    SCOPED_TRACE(conforming ? "standard_conforming_strings on" : "standard_conforming_strings off");
    TestDatabase db = TestDatabase::Postgres();
    CheckHostileNames(db, [&db, conforming] {
      // Every later session of the database starts with the setting.
      db.Execute("ALTER DATABASE " + db.Quote(db.DatabaseName()) + " SET standard_conforming_strings = " +
                 (conforming ? "on" : "off"));
      db.Disconnect();
    });
  }
}

TEST(OdbcHostileNames, MariaDbUnderHostileSqlModes) {
  const std::vector<std::string> modes = {
      "ANSI_QUOTES,NO_BACKSLASH_ESCAPES,PAD_CHAR_TO_FULL_LENGTH,PIPES_AS_CONCAT,IGNORE_SPACE",
      "ORACLE",
      "ANSI",
  };
  for (const std::string& mode : modes) {
    SCOPED_TRACE(mode);
    TestDatabase db = TestDatabase::MariaDb();
    CheckHostileNames(db, [&db, &mode] {
      // The session that the DSN opens starts in the mode.
      const TestServers& servers = RunningTestServers();
      RegisterSystemDsn(db.Dsn(), kMariaDbDriver,
                        {{"SERVER", "127.0.0.1"},
                         {"PORT", std::to_string(servers.mariadb_port)},
                         {"DATABASE", db.DatabaseName()},
                         {"USER", db.User()},
                         {"PASSWORD", db.Password()},
                         {"INITSTMT", "SET SESSION sql_mode='" + mode + "'"}});
    });
  }
}

// The literals of a key page read the same under every SQL mode: run in a
// session of each mode, the page after a hostile key starts right after it.
TEST(OdbcHostileNames, KeyPageLiteralsHoldUnderEverySqlMode) {
  TestDatabase db = TestDatabase::MariaDb();
  db.Execute("CREATE TABLE pages (k VARCHAR(20) CHARACTER SET utf8mb4 COLLATE utf8mb4_bin PRIMARY KEY, "
             "c CHAR(10) CHARACTER SET utf8mb4 COLLATE utf8mb4_bin)");
  const std::vector<std::string> keys = {"a", "a'", "a''", "a\\", "a\\'", "a\"", "a`", std::string("a\0b", 3), "a\\0",
                                         "b"};
  for (const std::string& key : keys) {
    db.Execute("INSERT INTO pages VALUES (" + TextFromHex(Engine::MariaDb, key) + ", " +
               TextFromHex(Engine::MariaDb, key) + ")");
  }
  KeyPaging paging{"`pages`", {"k"}, "`"};
  for (const std::string mode : {"ANSI_QUOTES,NO_BACKSLASH_ESCAPES,PAD_CHAR_TO_FULL_LENGTH", "ORACLE", "ANSI", ""}) {
    SCOPED_TRACE(mode);
    db.Execute(std::string("SET SESSION sql_mode = '") + mode + "'");
    // In hexadecimal digits: the fixture's driver ends a text at a NUL.
    std::vector<std::string> sorted;
    for (const QueryRow& row : db.Query("SELECT HEX(k) FROM pages ORDER BY k")) sorted.push_back(row.at(0).value());
    ASSERT_EQ(sorted.size(), keys.size());
    for (std::size_t i = 0; i + 1 < sorted.size(); ++i) {
      SCOPED_TRACE(sorted[i]);
      const auto key =
          std::find_if(keys.begin(), keys.end(), [&](const std::string& k) { return Hex(k) == sorted[i]; });
      ASSERT_NE(key, keys.end());
      const std::vector<QueryRow> next =
          db.Query("SELECT HEX(k) FROM (" + PageStatement(paging, {TextLiteral(*key)}, 1) + ") AS page");
      ASSERT_EQ(next.size(), 1u);
      EXPECT_EQ(next[0].at(0).value(), sorted[i + 1]);
    }
  }
}

}  // namespace
}  // namespace quill::testing
