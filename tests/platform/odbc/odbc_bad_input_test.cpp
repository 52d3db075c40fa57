// Sources that cannot be opened: each gives the driver's own text as a
// DataAccessError, nothing crashes, and the next connect works.
#include <gtest/gtest.h>

#include <string>

#include "fixtures/odbc_data_sources.h"
#include "fixtures/test_database.h"
#include "fixtures/test_servers.h"
#include "platform/dataset/data_access_error.h"
#include "odbc_test_support.h"

namespace quill::testing {
namespace {

// The message of the DataAccessError that opening the DSN throws.
std::string OpenError(const std::string& dsn, const std::string& user, const std::string& password) {
  Connection connection;
  connection.SetConnectionString(OdbcConnectionStringFor(dsn));
  try {
    connection.Open(user, password);
  } catch (const DataAccessError& error) {
    EXPECT_FALSE(connection.IsOpen());
    return error.what();
  }
  ADD_FAILURE() << "opened " << dsn;
  return {};
}

void ExpectNextConnectWorks(const TestDatabase& database) {
  auto connection = OpenSource(database);
  EXPECT_TRUE(connection->IsOpen());
  EXPECT_NO_THROW(connection->OpenSchema(SchemaKind::Tables));
}

TEST(OdbcBadInput, DataSourceThatDoesNotExist) {
  const std::string message = OpenError("No Such Source", "", "");
  EXPECT_NE(message.find("[IM002]"), std::string::npos) << message;
  ExpectNextConnectWorks(TestDatabase::Sqlite());
}

TEST(OdbcBadInput, DriverLibraryThatIsMissing) {
  RegisterSystemDsn("Missing Driver", "/nonexistent/libquill-missing-driver.so", {{"Database", "/tmp/x"}});
  const std::string message = OpenError("Missing Driver", "", "");
  EXPECT_NE(message.find("libquill-missing-driver.so"), std::string::npos) << message;
  EXPECT_EQ(message.front(), '[') << message;
  ExpectNextConnectWorks(TestDatabase::Sqlite());
}

TEST(OdbcBadInput, WrongPasswords) {
  TestDatabase postgres = TestDatabase::Postgres({.name = "", .bools_as_char = true, .login_in_dsn = false});
  std::string message = OpenError(postgres.Dsn(), postgres.User(), "wrong");
  EXPECT_NE(message.find("password authentication failed"), std::string::npos) << message;
  ExpectNextConnectWorks(postgres);

  TestDatabase mariadb = TestDatabase::MariaDb({.name = "", .bools_as_char = true, .login_in_dsn = false});
  message = OpenError(mariadb.Dsn(), mariadb.User(), "wrong");
  EXPECT_NE(message.find("Access denied"), std::string::npos) << message;
  ExpectNextConnectWorks(mariadb);
}

TEST(OdbcBadInput, ServerThatRefusesTheConnection) {
  TestDatabase postgres = TestDatabase::Postgres();
  RegisterSystemDsn("Closed Port", kPostgresDriver,
                    {{"Servername", "127.0.0.1"}, {"Port", std::to_string(ClosedLoopbackPort())}, {"Database", "nothing"}});
  const std::string message = OpenError("Closed Port", "quill", "quill");
  EXPECT_NE(message.find("refused"), std::string::npos) << message;
  EXPECT_EQ(message.front(), '[') << message;
  ExpectNextConnectWorks(postgres);
}

// A driver that leaves the state empty still gets its whole message through:
// the state ends at its first NUL.
TEST(OdbcBadInput, MessagesWithoutAStateComeWhole) {
  const std::string mdbtools = "/usr/lib/x86_64-linux-gnu/odbc/libmdbodbc.so";
  struct Case {
    const char* dsn;
    std::string driver;
    DsnAttributes attributes;
    std::string expected;  // part of the message
  };
  const Case cases[] = {
      {"MDBTools Without Database", mdbtools, {}, "Could not find Database parameter"},
      {"MDBTools Without Database Either", mdbtools, {{"Description", "nothing else"}},
       "Could not find Database parameter"},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.dsn);
    RegisterSystemDsn(test.dsn, test.driver, test.attributes);
    const std::string message = OpenError(test.dsn, "", "");
    EXPECT_NE(message.find(test.expected), std::string::npos) << message;
    EXPECT_EQ(message.find('\0'), std::string::npos);
    EXPECT_EQ(message.find("[]"), std::string::npos) << "no empty state in brackets: " << message;
    RemoveSystemDsn(test.dsn);
  }
  ExpectNextConnectWorks(TestDatabase::Sqlite());
}

// User name and password travel apart from the data source name, so any
// character of a password is safe.
TEST(OdbcBadInput, PasswordWithConnectionStringCharacters) {
  TestDatabase database = TestDatabase::MariaDb();
  const TestServers& servers = RunningTestServers();
  const std::string user = "u" + database.DatabaseName().substr(database.DatabaseName().size() - 12);
  const std::string password = "a;b}c{d=e'f";
  database.Execute("CREATE USER '" + user + "'@'%' IDENTIFIED BY 'a;b}c{d=e''f'");
  // A new user may enter the server but none of its databases.
  RegisterSystemDsn("Login Characters", kMariaDbDriver,
                    {{"SERVER", "127.0.0.1"}, {"PORT", std::to_string(servers.mariadb_port)}});
  Connection connection;
  connection.SetConnectionString(OdbcConnectionStringFor("Login Characters"));
  EXPECT_NO_THROW(connection.Open(user, password));
  EXPECT_TRUE(connection.IsOpen());
  connection.Close();
  EXPECT_NE(OpenError("Login Characters", user, "a;b").find("Access denied"), std::string::npos);
  database.Execute("DROP USER '" + user + "'@'%'");
}

}  // namespace
}  // namespace quill::testing
