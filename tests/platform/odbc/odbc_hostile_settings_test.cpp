// A source database, role or server whose settings differ from the defaults
// (set by its owner with ALTER DATABASE / ALTER ROLE ... SET, or by the
// server's configuration) must neither change what the program reads nor
// run code of the owner's: the script a table gives under each setting is
// the one it gives under the defaults, byte for byte, and a real engine
// loads it whole.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "fixtures/odbc_data_sources.h"
#include "fixtures/odbc_session.h"
#include "fixtures/script_loaders.h"
#include "fixtures/test_database.h"
#include "fixtures/test_servers.h"
#include "generator/generator_harness.h"
#include "odbc_test_support.h"

namespace quill::testing {
namespace {

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

// The script of one table of the data source, as the program writes it.
std::string ScriptOf(const std::string& dsn, const std::string& table, TargetDialect dialect,
                     std::vector<std::string>* log = nullptr) {
  GeneratorHarness harness;
  harness.settings.format = dialect;
  harness.generator.GenerateScript(dsn, table);
  if (log != nullptr) *log = harness.ui.LogTexts();
  if (harness.ui.tabs().size() != 1) return "(no script)";
  return harness.ScriptText();
}

std::string QueryText(TestDatabase& database, const std::string& sql) {
  const std::vector<QueryRow> rows = database.Query(sql);
  return rows.empty() || !rows[0].at(0) ? "(none)" : *rows[0].at(0);
}

// Values whose text, or whose reading, a setting could change.
void CreatePostgresValues(TestDatabase& database) {
  database.Execute(
      "CREATE TABLE public.settings (id integer PRIMARY KEY, tz timestamptz, ts timestamp(3), d date, t time, "
      "tt timetz, i interval, b bytea, f float8, r real, n numeric, m money, x text, j xml, flag boolean)");
  database.Execute(
      "INSERT INTO public.settings VALUES "
      "(1, '2021-10-31 00:30:00+00', '2020-02-29 23:59:59.999', '0001-01-01', '23:59:59.999999', '12:00:00+05:30', "
      "'178000000 years 11 mons 30 days 23:59:59.999999', '\\x00ff275c0d0a', 0.1, 0.4, "
      "'123456789012345678901234567890.123', '-92233720368547758.08', 'back\\slash '' quote', "
      "'a<b>c</b>', true), "
      "(2, '2021-10-31 01:30:00+00', '9999-12-31 00:00:00', '2004-02-29', '00:00:00', '00:00:00-12', "
      "'-1 days -00:00:01', '', 1.7976931348623157e308, 3.14159, '-0.000001', '0', '', '<r/>', false), "
      "(3, '1900-01-01 00:00:00+00', NULL, NULL, NULL, NULL, '1 mon -2 days 03:04:05.5', NULL, "
      "4.9e-324, 1.17549e-38, NULL, NULL, NULL, NULL, NULL)");
}

// Objects that a hostile owner puts in a schema of their own, ahead of
// pg_catalog in the search path: each answers wrongly where a statement
// would use it in place of the built-in.
void CreateShadowingObjects(TestDatabase& database) {
  database.Execute("CREATE SCHEMA evil");
  database.Execute("CREATE FUNCTION evil.never(name, name) RETURNS boolean LANGUAGE sql AS 'SELECT false'");
  database.Execute("CREATE FUNCTION evil.always(oid, oid) RETURNS boolean LANGUAGE sql AS 'SELECT true'");
  database.Execute("CREATE FUNCTION evil.like_all(name, text) RETURNS boolean LANGUAGE sql AS 'SELECT true'");
  database.Execute("CREATE FUNCTION evil.text_never(text, text) RETURNS boolean LANGUAGE sql AS 'SELECT false'");
  database.Execute("CREATE OPERATOR evil.= (LEFTARG = name, RIGHTARG = name, FUNCTION = evil.never)");
  database.Execute("CREATE OPERATOR evil.= (LEFTARG = oid, RIGHTARG = oid, FUNCTION = evil.always)");
  database.Execute("CREATE OPERATOR evil.= (LEFTARG = text, RIGHTARG = text, FUNCTION = evil.text_never)");
  database.Execute("CREATE OPERATOR evil.~~ (LEFTARG = name, RIGHTARG = text, FUNCTION = evil.like_all)");
  database.Execute("CREATE FUNCTION evil.quote_ident(text) RETURNS text LANGUAGE sql AS 'SELECT ''settings'''");
  database.Execute("CREATE TABLE evil.pg_type (oid oid, typbasetype oid, typname name)");
  database.Execute("INSERT INTO evil.pg_type VALUES (25, 0, 'lo'), (17, 0, 'lo')");
  database.Execute("CREATE TABLE evil.pg_attribute (attrelid oid, attname name, atttypid oid, attnum int2, atttypmod int4, "
                   "attisdropped boolean, attnotnull boolean)");
  database.Execute("CREATE DOMAIN evil.numeric AS pg_catalog.int2");
  database.Execute("CREATE DOMAIN evil.text AS pg_catalog.varchar(1)");
}

TEST(OdbcHostileSettings, PostgresDatabaseAndRoleSettingsChangeNoScript) {
  struct SettingCase {
    std::string settings;  // the ALTER ... SET clauses, one per line
    bool role = false;     // ALTER ROLE ... IN DATABASE rather than ALTER DATABASE
  };
  const std::vector<SettingCase> cases = {
      {"search_path = evil, pg_catalog, public"},
      {"search_path = evil"},
      {"search_path = ''"},
      {"standard_conforming_strings = off"},
      {"bytea_output = escape"},
      {"IntervalStyle = sql_standard"},
      {"IntervalStyle = iso_8601"},
      {"IntervalStyle = postgres_verbose"},
      {"extra_float_digits = 0"},
      {"extra_float_digits = -15"},
      {"TimeZone = 'Asia/Kolkata'"},
      {"TimeZone = 'Europe/Amsterdam'"},
      {"TimeZone = 'America/St_Johns'"},
      {"DateStyle = 'SQL, DMY'"},
      {"DateStyle = 'German'"},
      {"DateStyle = 'Postgres, YMD'"},
      {"statement_timeout = 1"},
      {"lock_timeout = 1"},
      {"idle_in_transaction_session_timeout = 1"},
      {"default_transaction_read_only = on"},
      {"default_transaction_isolation = serializable\ndefault_transaction_deferrable = on"},
      {"xmloption = document"},
      {"client_min_messages = debug5"},
      {"client_min_messages = error"},
      {"lc_monetary = 'C'"},
      {"synchronize_seqscans = on"},
      {"client_encoding = 'LATIN1'"},
      {"quote_all_identifiers = on"},
      {"force_parallel_mode = on\nparallel_setup_cost = 0\nparallel_tuple_cost = 0\nmin_parallel_table_scan_size = 0"},
      {"IntervalStyle = iso_8601\nTimeZone = 'Asia/Kathmandu'\nbytea_output = escape", true},
      {"search_path = evil, pg_catalog", true},
  };
  const std::vector<TargetDialect> dialects = {TargetDialect::PostgreSql, TargetDialect::MySql};
  for (const SettingCase& c : cases) {
    SCOPED_TRACE("settings: " + c.settings + (c.role ? " (role in database)" : ""));
    TestDatabase source = TestDatabase::Postgres();
    CreatePostgresValues(source);
    CreateShadowingObjects(source);
    std::vector<std::string> defaults;
    for (TargetDialect dialect : dialects) defaults.push_back(ScriptOf(source.Dsn(), "public.settings", dialect));
    const std::string target_of_alter = c.role ? "ROLE " + source.Quote(source.User()) + " IN DATABASE " +
                                                     source.Quote(source.DatabaseName())
                                               : "DATABASE " + source.Quote(source.DatabaseName());
    std::size_t begin = 0;
    while (begin < c.settings.size()) {
      std::size_t end = c.settings.find('\n', begin);
      if (end == std::string::npos) end = c.settings.size();
      source.Execute("ALTER " + target_of_alter + " SET " + c.settings.substr(begin, end - begin));
      begin = end + 1;
    }
    for (std::size_t i = 0; i < dialects.size(); ++i) {
      SCOPED_TRACE(dialects[i] == TargetDialect::PostgreSql ? "PostgreSQL script" : "MySql script");
      std::vector<std::string> log;
      EXPECT_EQ(ScriptOf(source.Dsn(), "public.settings", dialects[i], &log), defaults[i])
          << "log:\n" << ::testing::PrintToString(log);
    }
  }
}

// The session's settings as the program's own session has them, read
// through a view; the DSN's own libpq parameters still hold beside the
// session's startup options.
TEST(OdbcHostileSettings, PostgresSessionPinsItsSettingsAndKeepsTheDsnsParameters) {
  TestDatabase database = TestDatabase::Postgres();
  const std::vector<std::pair<std::string, std::string>> pinned = {
      {"search_path", "pg_catalog"},         {"standard_conforming_strings", "on"}, {"IntervalStyle", "postgres"},
      {"bytea_output", "hex"},               {"TimeZone", "UTC"},                   {"lock_timeout", "0"},                 {"quote_all_identifiers", "off"},      {"xmloption", "content"},
      {"application_name", "quill-dsn-option"},
  };
  std::string select;
  for (const auto& [name, value] : pinned) {
    select += std::string(select.empty() ? "" : ", ") + "current_setting('" + name + "') AS " + database.Quote(name);
  }
  // psqlodbc sets statement_timeout itself for the program's own time-out.
  select += ", current_setting('statement_timeout') AS statement_timeout";
  database.Execute("CREATE VIEW public.session_settings AS SELECT " + select);
  for (const char* hostile : {"search_path = public, pg_catalog", "standard_conforming_strings = off",
                              "IntervalStyle = iso_8601", "bytea_output = escape", "TimeZone = 'Asia/Kolkata'",
                              "statement_timeout = 100000", "lock_timeout = 100000", "quote_all_identifiers = on",
                              "xmloption = document"}) {
    database.Execute("ALTER DATABASE " + database.Quote(database.DatabaseName()) + " SET " + hostile);
  }
  const TestServers& servers = RunningTestServers();
  const std::string dsn = "Quill PG With Parameters";
  RegisterSystemDsn(dsn, kPostgresDriver,
                    {{"Servername", "127.0.0.1"},
                     {"Port", std::to_string(servers.postgres_port)},
                     {"Database", database.DatabaseName()},
                     {"Username", database.User()},
                     {"Password", database.Password()},
                     {"pqopt", "application_name=quill-dsn-option"}});
  auto connection = std::make_unique<Connection>();
  connection->SetConnectionString(OdbcConnectionStringFor(dsn));
  connection->Open(database.User(), database.Password());
  auto dataset = connection->OpenTable("public.session_settings");
  ASSERT_FALSE(dataset->Eof());
  for (const auto& [name, value] : pinned) {
    EXPECT_EQ(dataset->FindField(name)->AsString(), value) << name;
  }
  EXPECT_NE(dataset->FindField("statement_timeout")->AsString(), "100s");
}

// A login whose password holds the characters of a connection string still
// connects with the session's startup options, so that even the driver's
// own first statements (which name pg_type without its schema) never use
// the owner's objects: here a view that takes an advisory lock in the
// session that reads it.
TEST(OdbcHostileSettings, PostgresPasswordsWithBracesStillGetTheStartupOptions) {
  const TestServers& servers = RunningTestServers();
  OdbcSession admin("DRIVER={" + std::string(kPostgresDriver) + "};Servername=" + servers.postgres_socket_folder +
                    ";Port=" + std::to_string(servers.postgres_port) + ";Database=postgres;Username=" +
                    servers.postgres_admin_user);
  std::string role;
  {
    TestDatabase database = TestDatabase::Postgres();
    database.Execute("CREATE SCHEMA evil");
    database.Execute("CREATE FUNCTION evil.types() RETURNS SETOF pg_catalog.pg_type LANGUAGE plpgsql AS "
                     "'BEGIN PERFORM pg_catalog.pg_try_advisory_lock(4242); "
                     "RETURN QUERY SELECT * FROM pg_catalog.pg_type; END'");
    database.Execute("CREATE VIEW evil.pg_type AS SELECT * FROM evil.types()");
    database.Execute("CREATE TABLE public.texts (k integer PRIMARY KEY, t text)");
    database.Execute("INSERT INTO public.texts VALUES (1, 'plain text')");
    role = "r" + database.DatabaseName();
    const std::string password = "p}w{x;=}}";
    admin.Execute("CREATE ROLE " + role + " LOGIN PASSWORD 'p}w{x;=}}'");
    database.Execute("GRANT SELECT ON ALL TABLES IN SCHEMA public TO " + role);
    database.Execute("GRANT USAGE ON SCHEMA evil TO " + role);
    database.Execute("GRANT SELECT ON ALL TABLES IN SCHEMA evil TO " + role);
    database.Execute("ALTER DATABASE " + database.Quote(database.DatabaseName()) + " SET search_path = evil, pg_catalog");
    const std::string dsn = "Quill PG Brace Password";
    RegisterSystemDsn(dsn, kPostgresDriver,
                      {{"Servername", "127.0.0.1"},
                       {"Port", std::to_string(servers.postgres_port)},
                       {"Database", database.DatabaseName()},
                       {"ByteaAsLongVarBinary", "1"}});
    {
      auto connection = std::make_unique<Connection>();
      connection->SetConnectionString(OdbcConnectionStringFor(dsn));
      connection->Open(role, password);
      auto dataset = connection->OpenTable("public.texts");
      ASSERT_FALSE(dataset->Eof());
      EXPECT_EQ(dataset->FindField("t")->ClassName(), "TMemoField");
      EXPECT_EQ(dataset->FindField("t")->AsString(), "plain text");
      EXPECT_EQ(admin.Query("SELECT count(*) FROM pg_locks WHERE locktype = 'advisory' AND objid = 4242"),
                (std::vector<std::vector<std::optional<std::string>>>{{std::string("0")}}));
    }
  }
  // The database is gone, and with it what the role was granted there.
  admin.Execute("DROP ROLE " + role);
}

// The DSN's name, whatever it holds, connects with the session's startup
// options: the driver's first statements use no object of the owner's (the
// view above, which takes an advisory lock), and the DSN's own entries
// (server, database, login) still hold. A name psqlodbc cannot take bare
// gets the DSN's entries in its place; MariaDB's driver takes a braced name.
TEST(OdbcHostileSettings, DataSourceNamesOfAnyCharacterStillGetTheSessionOptions) {
  const TestServers& servers = RunningTestServers();
  OdbcSession admin("DRIVER={" + std::string(kPostgresDriver) + "};Servername=" + servers.postgres_socket_folder +
                    ";Port=" + std::to_string(servers.postgres_port) + ";Database=postgres;Username=" +
                    servers.postgres_admin_user);
  TestDatabase database = TestDatabase::Postgres();
  database.Execute("CREATE SCHEMA evil");
  database.Execute("CREATE FUNCTION evil.types() RETURNS SETOF pg_catalog.pg_type LANGUAGE plpgsql AS "
                   "'BEGIN PERFORM pg_catalog.pg_try_advisory_lock(4243); "
                   "RETURN QUERY SELECT * FROM pg_catalog.pg_type; END'");
  database.Execute("CREATE VIEW evil.pg_type AS SELECT * FROM evil.types()");
  database.Execute("CREATE TABLE public.texts (k integer PRIMARY KEY, t text)");
  database.Execute("INSERT INTO public.texts VALUES (1, 'Zoë 東京 😀')");
  database.Execute("ALTER DATABASE " + database.Quote(database.DatabaseName()) + " SET search_path = evil, pg_catalog");
  TestDatabase mariadb = TestDatabase::MariaDb();
  mariadb.Execute("CREATE TABLE texts (k INT PRIMARY KEY, t TEXT CHARACTER SET utf8mb4)");
  mariadb.Execute("INSERT INTO texts VALUES (1, _utf8mb4 X'5A6FC3AB20E69DB1E4BAAC20F09F9880')");
  // A login of connection-string characters, given when connecting.
  const std::string my_user = "u;{x}}=" + mariadb.DatabaseName().substr(mariadb.DatabaseName().size() - 8);
  const std::string my_password = "p}w{x;=}}";
  OdbcSession mariadb_admin("DRIVER={" + std::string(kMariaDbDriver) + "};SOCKET=" + servers.mariadb_socket +
                            ";UID=" + servers.mariadb_admin_user);
  mariadb_admin.Execute("CREATE USER '" + my_user + "'@'%' IDENTIFIED BY '" + my_password + "'");
  mariadb_admin.Execute("GRANT SELECT ON " + mariadb.Quote(mariadb.DatabaseName()) + ".* TO '" + my_user + "'@'%'");
  struct NameCase {
    std::string name;
    bool login_in_dsn;  // else the login is given when connecting
  };
  const std::vector<NameCase> cases = {
      {"Quill Name;semicolon", false},   {"Quill Name {brace}", false}, {"Quill Name }} closing", true},
      {"Quill Name a=b", false},         {"{Quill Name leading", true},
      {"Quill Name ;DSN=other;", false}, {"Quill Name plain", false},
      {"Quill Name é", false},           {"Quill Name ;{}= é 東京", true},
  };
  int number = 0;
  for (const NameCase& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string suffix = " " + std::to_string(++number);
    {
      SCOPED_TRACE("PostgreSQL");
      DsnAttributes attributes = {{"Servername", "127.0.0.1"},
                                  {"Port", std::to_string(servers.postgres_port)},
                                  {"Database", database.DatabaseName()},
                                  {"ByteaAsLongVarBinary", "1"}};
      if (c.login_in_dsn) {
        attributes.push_back({"Username", database.User()});
        attributes.push_back({"Password", database.Password()});
      }
      WriteSystemDsnSection(c.name + suffix + " pg", kPostgresDriver, attributes);
      Connection connection;
      connection.SetConnectionString(OdbcConnectionStringFor(c.name + suffix + " pg"));
      connection.Open(c.login_in_dsn ? "" : database.User(), c.login_in_dsn ? "" : database.Password());
      auto dataset = connection.OpenTable("public.texts");
      ASSERT_FALSE(dataset->Eof());
      EXPECT_EQ(dataset->FindField("t")->AsString(), "Zoë 東京 😀");
      EXPECT_EQ(admin.Query("SELECT count(*) FROM pg_locks WHERE locktype = 'advisory' AND objid = 4243"),
                (std::vector<std::vector<std::optional<std::string>>>{{std::string("0")}}));
    }
    {
      SCOPED_TRACE("MariaDB");
      // The DSN's own character set would give the text as Latin-1 but for
      // the session's option.
      DsnAttributes attributes = {{"SERVER", "127.0.0.1"},
                                  {"PORT", std::to_string(servers.mariadb_port)},
                                  {"DATABASE", mariadb.DatabaseName()},
                                  {"CHARSET", "latin1"}};
      if (c.login_in_dsn) {
        attributes.push_back({"USER", mariadb.User()});
        attributes.push_back({"PASSWORD", mariadb.Password()});
      }
      WriteSystemDsnSection(c.name + suffix + " my", kMariaDbDriver, attributes);
      Connection connection;
      connection.SetConnectionString(OdbcConnectionStringFor(c.name + suffix + " my"));
      connection.Open(c.login_in_dsn ? "" : my_user, c.login_in_dsn ? "" : my_password);
      auto dataset = connection.OpenTable("texts");
      ASSERT_FALSE(dataset->Eof());
      EXPECT_EQ(dataset->FindField("t")->AsString(), "Zoë 東京 😀");
    }
  }
  database.Execute("ALTER DATABASE " + database.Quote(database.DatabaseName()) + " RESET search_path");
  mariadb_admin.Execute("DROP USER '" + my_user + "'@'%'");
}

// The scripts the settings must not change hold every row and load whole.
TEST(OdbcHostileSettings, PostgresScriptsOfTheSettingsTableLoadWhole) {
  TestDatabase source = TestDatabase::Postgres();
  CreatePostgresValues(source);
  for (TargetDialect dialect : {TargetDialect::PostgreSql, TargetDialect::MySql}) {
    SCOPED_TRACE(dialect == TargetDialect::PostgreSql ? "PostgreSQL script" : "MySql script");
    const std::string script = ScriptOf(source.Dsn(), "public.settings", dialect);
    TestDatabase target = dialect == TargetDialect::PostgreSql ? TestDatabase::Postgres() : TestDatabase::MariaDb();
    const ScriptRun load =
        dialect == TargetDialect::PostgreSql ? RunPsqlScript(target, script) : RunMariaDbScript(target, script);
    ASSERT_TRUE(load.succeeded) << load.output << "\n--- script ---\n" << script;
    EXPECT_EQ(QueryText(target, "SELECT count(*) FROM settings"), "3");
    const std::string x = dialect == TargetDialect::PostgreSql ? "x" : "`x`";
    EXPECT_EQ(QueryText(target, "SELECT " + x + " FROM settings WHERE id = 1"), "back\\slash ' quote");
  }
}

// The MariaDB data source runs a statement of the DSN's when it connects,
// as a server configured with those session defaults would have it.
TEST(OdbcHostileSettings, MariaDbServerSettingsChangeNoScript) {
  const std::vector<std::string> initial_statements = {
      "SET SESSION sql_select_limit = 3",
      "SET SESSION max_statement_time = 0.000001",
      "SET SESSION max_join_size = 1",
      "SET SESSION time_zone = '+05:30'",
      "SET SESSION time_zone = '-11:00'",
      "SET SESSION sql_mode = 'ANSI_QUOTES,PAD_CHAR_TO_FULL_LENGTH,NO_BACKSLASH_ESCAPES'",
      "SET SESSION sql_mode = 'ORACLE'",
      "SET SESSION autocommit = 0",
      "SET SESSION tx_isolation = 'READ-UNCOMMITTED'",
      "SET SESSION character_set_results = latin1",
      "SET SESSION div_precision_increment = 0, big_tables = 1, max_sort_length = 64",
      "SET SESSION wait_timeout = 1, net_write_timeout = 1, lc_time_names = 'de_DE'",
      "SET SESSION sql_select_limit = 1, time_zone = '+13:00', sql_mode = 'PAD_CHAR_TO_FULL_LENGTH'",
  };
  TestDatabase source = TestDatabase::MariaDb();
  source.Execute("SET SESSION time_zone = '+00:00'");
  // A table read in key pages, and one without a key, read in one statement.
  for (const std::string& table : {std::string("keyed"), std::string("keyless")}) {
    source.Execute("CREATE TABLE " + table + " (id INT" + (table == "keyed" ? " PRIMARY KEY" : "") +
                   ", ts TIMESTAMP(6) NULL, dt DATETIME, c CHAR(5), v VARCHAR(20), f FLOAT, d DOUBLE, "
                   "n DECIMAL(30,10), t TIME(6), b VARBINARY(8))");
    source.Execute("INSERT INTO " + table +
                   " SELECT seq, FROM_UNIXTIME(1635640200 + seq * 1800), '2020-02-29 23:59:59', 'ab', "
                   "CONCAT('back\\\\slash '' ', seq), 0.4, 0.1, '-12345678901234567890.0123456789', '-838:59:59', "
                   "x'00FF275C' FROM seq_1_to_10");
  }
  const TestServers& servers = RunningTestServers();
  int number = 0;
  for (const std::string& statement : initial_statements) {
    SCOPED_TRACE("session: " + statement);
    const std::string dsn = "Quill Hostile MariaDB " + std::to_string(++number);
    RegisterSystemDsn(dsn, kMariaDbDriver,
                      {{"SERVER", "127.0.0.1"},
                       {"PORT", std::to_string(servers.mariadb_port)},
                       {"DATABASE", source.DatabaseName()},
                       {"USER", source.User()},
                       {"PASSWORD", source.Password()},
                       {"INITSTMT", statement}});
    for (const std::string& table : {std::string("keyed"), std::string("keyless")}) {
      for (TargetDialect dialect : {TargetDialect::MySql, TargetDialect::PostgreSql}) {
        SCOPED_TRACE("table " + table + (dialect == TargetDialect::MySql ? ", MySql script" : ", PostgreSQL script"));
        const std::string defaults = ScriptOf(source.Dsn(), table, dialect);
        std::vector<std::string> log;
        const std::string script = Replaced(ScriptOf(dsn, table, dialect, &log), dsn, source.Dsn());
        EXPECT_EQ(script, defaults) << "log:\n" << ::testing::PrintToString(log);
        if (script != defaults) continue;
        TestDatabase target = dialect == TargetDialect::MySql ? TestDatabase::MariaDb() : TestDatabase::Postgres();
        const ScriptRun load =
            dialect == TargetDialect::MySql ? RunMariaDbScript(target, script) : RunPsqlScript(target, script);
        ASSERT_TRUE(load.succeeded) << load.output << "\n--- script ---\n" << script;
        EXPECT_EQ(QueryText(target, "SELECT count(*) FROM " + table), "10");
      }
    }
  }
}

}  // namespace
}  // namespace quill::testing
