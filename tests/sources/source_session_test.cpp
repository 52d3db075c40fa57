// Connecting to a system data source with the one retry without Jet, and
// listing its tables, against real drivers, servers and files.
#include "sources/source_session.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "common/silent_abort.h"
#include "fixtures/odbc_configuration.h"
#include "fixtures/odbc_data_sources.h"
#include "fixtures/scripted_user_interface.h"
#include "fixtures/test_database.h"
#include "platform/dataset/data_access_error.h"
#include "platform/jet/writer/jet_database.h"

namespace quill {
namespace {

namespace fs = std::filesystem;
using testing::ScriptedUserInterface;
using testing::TestDatabase;

constexpr char kSqliteLibrary[] = "/usr/lib/x86_64-linux-gnu/odbc/libsqlite3odbc.so";
constexpr char kMsgConnPrbl[] = "Connection problem detected, disable Jet Provider now ?";

fs::path ProcessFolder(const std::string& name) {
  const fs::path folder = fs::path(testing::OdbcConfigurationFolder()) / name;
  fs::create_directories(folder);
  return folder;
}

// The session and what it needs, made after the test's sources exist (the
// login store takes its sources from the registry when it is created).
struct Harness {
  Settings settings;
  ScriptedUserInterface ui;
  std::unique_ptr<DsnLoginStore> logins;
  std::unique_ptr<SourceSession> session;

  Harness() { Reset(); }
  void Reset() {
    logins = std::make_unique<DsnLoginStore>(ProcessFolder("program").string(), ui);
    session = std::make_unique<SourceSession>(settings, *logins, ui);
  }
  std::vector<std::string> Tables() {
    std::vector<std::string> tables;
    session->GetTableNames(tables);
    return tables;
  }
};

testing::DsnOptions WithoutLoginInDsn() {
  testing::DsnOptions options;
  options.login_in_dsn = false;
  return options;
}

TEST(IsJetDsn, OnlyTheTwoExactSpellingsOfTheDriverFileCount) {
  struct Case {
    std::string driver;
    bool jet;
  };
  const std::vector<Case> cases = {
      {"C:\\WINDOWS\\System32\\odbcjt32.dll", true},
      {"C:\\WINDOWS\\SYSTEM32\\ODBCJT32.DLL", true},
      {"/opt/odbc/odbcjt32.so", true},
      {"C:\\WINDOWS\\System32\\OdbcJt32.dll", false},
      {"C:\\WINDOWS\\System32\\odbcJT32.dll", false},
      {"/usr/lib/x86_64-linux-gnu/odbc/libsqlite3odbc.so", false},
      {"", false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsJetDsn(c.driver), c.jet) << c.driver;
}

TEST(ConnectionStrings, JetNamesTheFileAndOdbcTheSource) {
  EXPECT_EQ(JetConnectionString("/data/shop.mdb"),
            "Provider=Microsoft.Jet.OLEDB.4.0;Persist Security Info=True;Data Source=/data/shop.mdb;");
  EXPECT_EQ(JetConnectionString(""), "Provider=Microsoft.Jet.OLEDB.4.0;Persist Security Info=True;Data Source=;");
  EXPECT_EQ(OdbcConnectionString("My Source"), "Provider=MSDASQL.1;Persist Security Info=True;Data Source=My Source");
}

// A data source whose name holds ";" or quotes is the one connected to,
// never the source that its name would read as if cut there.
TEST(SourceSession, ADataSourceNameWithConnectionStringCharactersConnectsToItself) {
  TestDatabase decoy = TestDatabase::Sqlite();
  decoy.Execute("CREATE TABLE decoy_table (id INTEGER)");
  testing::RegisterSystemDsn("Quill Cut", kSqliteLibrary, {{"Database", decoy.DatabaseName()}});
  const std::vector<std::string> names = {
      "Quill Cut;x", "Quill Cut;Data Source=Quill Cut", "\"Quill Cut\"", "\"Quill Cut\";x", "'Quill Cut'",
      "Quill Cut\"", "Quill Cut=;{}",
  };
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    TestDatabase own = TestDatabase::Sqlite();
    own.Execute("CREATE TABLE own_table (id INTEGER)");
    testing::WriteSystemDsnSection(name, kSqliteLibrary, {{"Database", own.DatabaseName()}});
    Harness h;
    h.session->ConnectToSource(name);
    EXPECT_EQ(h.Tables(), std::vector<std::string>{"own_table"});
    EXPECT_TRUE(h.ui.error_dialogs().empty());
  }
}

TEST(SourceSession, SqliteListsBareNamesWithoutViewsAndAppends) {
  TestDatabase db = TestDatabase::Sqlite();
  db.Execute("CREATE TABLE alpha (id INTEGER PRIMARY KEY)");
  db.Execute("CREATE TABLE \"beta gamma\" (id INTEGER)");
  db.Execute("CREATE VIEW alpha_view AS SELECT id FROM alpha");
  Harness h;
  h.session->ConnectToSource(db.Dsn());
  EXPECT_EQ(h.session->connection().ConnectionString(), OdbcConnectionString(db.Dsn()));
  EXPECT_TRUE(h.session->connection().IsOpen());

  std::vector<std::string> tables = {"kept"};
  h.session->GetTableNames(tables);
  EXPECT_EQ(tables, (std::vector<std::string>{"kept", "alpha", "beta gamma"}));
  h.session->GetTableNames(tables);  // the list is never cleared
  EXPECT_EQ(tables, (std::vector<std::string>{"kept", "alpha", "beta gamma", "alpha", "beta gamma"}));
  EXPECT_TRUE(h.ui.error_dialogs().empty());
  EXPECT_TRUE(h.ui.message_boxes().empty());
}

TEST(SourceSession, PostgresListsSchemaPointTable) {
  TestDatabase db = TestDatabase::Postgres();
  db.CreateSchema("sales");
  db.Execute("CREATE TABLE public.\"my table\" (id integer PRIMARY KEY)");
  db.Execute("CREATE TABLE public.plain (id integer)");
  db.Execute("CREATE TABLE sales.orders (id integer)");
  db.Execute("CREATE VIEW public.plain_view AS SELECT id FROM public.plain");
  Harness h;
  h.session->ConnectToSource(db.Dsn());
  EXPECT_EQ(h.Tables(), (std::vector<std::string>{"public.my table", "public.plain", "sales.orders"}));
}

TEST(SourceSession, MariaDbListsTheCurrentDatabaseOnly) {
  TestDatabase other = TestDatabase::MariaDb();
  other.Execute("CREATE TABLE elsewhere (id INT)");
  TestDatabase db = TestDatabase::MariaDb();
  db.Execute("CREATE TABLE customers (id INT PRIMARY KEY)");
  db.Execute("CREATE TABLE `order lines` (id INT)");
  db.Execute("CREATE VIEW customer_view AS SELECT id FROM customers");
  Harness h;
  h.session->ConnectToSource(db.Dsn());
  EXPECT_EQ(h.Tables(), (std::vector<std::string>{"customers", "order lines"}));
}

TEST(SourceSession, TheLoginComesFromTheStoreBeforeEveryOpen) {
  TestDatabase db = TestDatabase::Postgres(WithoutLoginInDsn());
  db.Execute("CREATE TABLE t (id integer)");
  Harness h;
  h.logins->AssignLogin(db.Dsn(), {db.User(), db.Password()}, false);
  h.session->ConnectToSource(db.Dsn());
  EXPECT_EQ(h.session->CurrentLogin().user_name, db.User());
  EXPECT_EQ(h.session->CurrentLogin().password, db.Password());
  EXPECT_EQ(h.Tables(), (std::vector<std::string>{"public.t"}));

  // A changed login is taken at the next connect.
  h.logins->AssignLogin(db.Dsn(), {db.User(), "wrong"}, false);
  h.settings.jet_eng = true;
  EXPECT_THROW(h.session->ConnectToSource(db.Dsn()), SilentAbort);
  EXPECT_EQ(h.session->CurrentLogin().password, "wrong");
}

TEST(SourceSession, AWrongPasswordShowsTheErrorAndOffersTheRetryOnce) {
  struct Case {
    std::string name;
    bool jet_off_before;
    std::optional<MessageAnswer> answer;  // nullopt: no question is asked
    bool silent_abort;                    // else the retry's error reaches the caller
  };
  const std::vector<Case> cases = {
      {"declined", false, MessageAnswer::No, true},
      {"retried", false, MessageAnswer::Yes, false},
      {"jet already off", true, std::nullopt, true},
  };
  TestDatabase db = TestDatabase::Postgres(WithoutLoginInDsn());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Harness h;
    h.logins->AssignLogin(db.Dsn(), {db.User(), "not the password"}, false);
    h.settings.jet_eng = c.jet_off_before;
    if (c.answer) h.ui.AnswerMessageBox(*c.answer);
    if (c.silent_abort) {
      EXPECT_THROW(h.session->ConnectToSource(db.Dsn()), SilentAbort);
    } else {
      EXPECT_THROW(h.session->ConnectToSource(db.Dsn()), DataAccessError);
    }
    // The driver's own text, in one error dialog.
    ASSERT_EQ(h.ui.error_dialogs().size(), 1u);
    EXPECT_NE(h.ui.error_dialogs()[0].find("password"), std::string::npos) << h.ui.error_dialogs()[0];
    if (c.answer) {
      ASSERT_EQ(h.ui.message_boxes().size(), 1u);
      EXPECT_EQ(h.ui.message_boxes()[0].text, kMsgConnPrbl);
      EXPECT_EQ(h.ui.message_boxes()[0].icon, MessageIcon::Question);
      EXPECT_EQ(h.ui.message_boxes()[0].buttons, MessageButtons::YesNo);
    } else {
      EXPECT_TRUE(h.ui.message_boxes().empty());
    }
    EXPECT_EQ(h.settings.jet_eng, c.jet_off_before || c.answer == MessageAnswer::Yes);
    EXPECT_FALSE(h.session->connection().IsOpen());
  }
}

// A source registered with the Jet driver: its driver file is the SQLite
// driver under a Jet name, so the ODBC path works too and reads Database,
// while the Jet path opens DBQ.
class JetSourceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const fs::path drivers = ProcessFolder("drivers");
    for (const char* name : {"odbcjt32.so", "OdbcJt32.so"}) {
      if (!fs::exists(drivers / name)) fs::create_symlink(kSqliteLibrary, drivers / name);
    }
    text_folder_ = ProcessFolder("texts");
    std::ofstream(text_folder_ / "clients.csv") << "id;name\n1;Ann\n";
    sqlite_.Execute("CREATE TABLE odbc_side (id INTEGER)");
  }

  std::string Register(const std::string& name, const std::string& driver_file, const std::string& dbq) {
    testing::RegisterSystemDsn(name, (ProcessFolder("drivers") / driver_file).string(),
                               {{"DBQ", dbq}, {"Database", sqlite_.DatabaseName()}});
    return name;
  }

  TestDatabase sqlite_ = TestDatabase::Sqlite();
  fs::path text_folder_;
};

TEST_F(JetSourceTest, TheJetDriverOpensDbqThroughTheJetProvider) {
  const std::string dsn = Register("Jet Texts", "odbcjt32.so", text_folder_.string());
  Harness h;
  h.session->ConnectToSource(dsn);
  EXPECT_EQ(h.session->connection().ConnectionString(), JetConnectionString(text_folder_.string()));
  EXPECT_EQ(h.Tables(), (std::vector<std::string>{"clients.csv"}));
  EXPECT_TRUE(h.ui.error_dialogs().empty());
}

TEST_F(JetSourceTest, ProviderChoiceByDriverNameAndOption) {
  struct Case {
    std::string driver_file;
    bool jet_off;
    std::vector<std::string> tables;
  };
  const std::vector<Case> cases = {
      {"odbcjt32.so", false, {"clients.csv"}},
      {"odbcjt32.so", true, {"odbc_side"}},   // "Do not use Jet Provider"
      {"OdbcJt32.so", false, {"odbc_side"}},  // mixed case is no Jet driver
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.driver_file + (c.jet_off ? " with Jet off" : ""));
    const std::string dsn = Register("Jet Choice", c.driver_file, text_folder_.string());
    Harness h;
    h.settings.jet_eng = c.jet_off;
    h.session->ConnectToSource(dsn);
    EXPECT_EQ(h.Tables(), c.tables);
  }
}

TEST_F(JetSourceTest, AFailedJetOpenRetriesThroughOdbcAfterYes) {
  const std::string missing = (text_folder_ / "gone.mdb").string();
  const std::string dsn = Register("Jet Missing", "odbcjt32.so", missing);
  Harness h;
  h.ui.AnswerMessageBox(MessageAnswer::Yes);
  h.session->ConnectToSource(dsn);
  EXPECT_EQ(h.ui.error_dialogs(), (std::vector<std::string>{"Could not find file '" + missing + "'."}));
  ASSERT_EQ(h.ui.message_boxes().size(), 1u);
  EXPECT_EQ(h.ui.message_boxes()[0].text, kMsgConnPrbl);
  EXPECT_TRUE(h.settings.jet_eng);
  EXPECT_EQ(h.session->connection().ConnectionString(), OdbcConnectionString(dsn));
  EXPECT_EQ(h.Tables(), (std::vector<std::string>{"odbc_side"}));

  // Jet stays off: the next connect goes through ODBC without a question.
  h.session->ConnectToSource(dsn);
  EXPECT_EQ(h.ui.message_boxes().size(), 1u);
  EXPECT_EQ(h.session->connection().ConnectionString(), OdbcConnectionString(dsn));
}

TEST_F(JetSourceTest, AnEmptyDbqFailsAtOpenAndNoAborts) {
  testing::RegisterSystemDsn("Jet Without File", (ProcessFolder("drivers") / "odbcjt32.so").string(), {});
  Harness h;
  h.ui.AnswerMessageBox(MessageAnswer::No);
  EXPECT_THROW(h.session->ConnectToSource("Jet Without File"), SilentAbort);
  EXPECT_EQ(h.ui.error_dialogs(), (std::vector<std::string>{"Could not find file ''."}));
  EXPECT_FALSE(h.settings.jet_eng);
}

TEST_F(JetSourceTest, SystemTablesOnlyWithTheOption) {
  const std::string mdb = (ProcessFolder("access") / "shop.mdb").string();
  {
    jet::JetDatabase database(mdb, jet::JetVersion::kJet4);
    jet::ColumnDefinition id;
    id.name = "id";
    id.type = jet::JetType::kLongInteger;
    database.AddTable("customers", {id});
    database.Close();
  }
  const std::string dsn = Register("Jet Access", "odbcjt32.so", mdb);
  for (const bool with_system : {false, true}) {
    SCOPED_TRACE(with_system ? "with system tables" : "without system tables");
    Harness h;
    h.settings.extr_from_system = with_system;
    h.session->ConnectToSource(dsn);
    const std::vector<std::string> tables = h.Tables();
    int system_tables = 0;
    for (const std::string& table : tables) system_tables += table.rfind("MSys", 0) == 0 ? 1 : 0;
    EXPECT_EQ(std::count(tables.begin(), tables.end(), "customers"), 1);
    EXPECT_EQ(system_tables > 0, with_system);
    EXPECT_EQ(tables.size(), static_cast<size_t>(1 + system_tables));
  }
}

}  // namespace
}  // namespace quill

namespace quill {
namespace {

// A source that names a file it cannot be reached through says which file.
TEST(SourceSession, AFailedConnectionNamesTheSourceFile) {
  const std::string missing = (ProcessFolder("gone") / "moved away.sqlite").string();
  const struct {
    std::string dsn;
    std::string driver;
  } cases[] = {
      {"Missing SQLite file", "SQLite3"},
      {"Missing driver", (ProcessFolder("drivers") / "no-such-driver.so").string()},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.dsn);
    testing::RegisterSystemDsn(test.dsn, test.driver, {{"Database", missing}});
    Harness h;
    h.settings.jet_eng = true;  // no retry question
    EXPECT_THROW(h.session->ConnectToSource(test.dsn), SilentAbort);
    ASSERT_EQ(h.ui.error_dialogs().size(), 1u);
    EXPECT_NE(h.ui.error_dialogs()[0].find(missing), std::string::npos) << h.ui.error_dialogs()[0];
  }
}

}  // namespace
}  // namespace quill
