// What each driver says of itself when a session opens: its name and its
// identifier quote. The MDBTools driver has no wide calls and leaves its quote
// character unterminated; read through unixODBC's wide call, that answer ran
// past the end of the buffer (AddressSanitizer's heap-buffer-overflow).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fixtures/odbc_data_sources.h"
#include "fixtures/temporary_folder.h"
#include "fixtures/test_database.h"
#include "platform/jet/writer/jet_database.h"
#include "platform/odbc/odbc_session.h"

namespace quill::testing {
namespace {

// An Access file of the program's own writer with one table.
std::string WriteAccessFile(const std::string& path) {
  jet::JetDatabase database(path, jet::JetVersion::kJet4);
  database.AddTable("kept", {jet::MakeColumn("id", jet::JetType::kLongInteger)});
  database.Close();
  return path;
}

TEST(OdbcDriverFactsTest, EveryDriverGivesItsNameAndItsQuoteWhole) {
  InstallMdbToolsDriver();
  TemporaryFolder folder;
  RegisterSystemDsn("Access facts", kMdbToolsDriver, {{"Database", WriteAccessFile(folder.path() + "facts.mdb")}});
  TestDatabase sqlite = TestDatabase::Sqlite();
  TestDatabase postgres = TestDatabase::Postgres();
  TestDatabase mariadb = TestDatabase::MariaDb();
  struct Case {
    std::string dsn, user, password;
    std::string driver;  // part of the driver's file name, empty when the driver gives none
    std::string quote;
  };
  const std::vector<Case> cases = {
      {sqlite.Dsn(), sqlite.User(), sqlite.Password(), "sqlite", "\""},
      {postgres.Dsn(), postgres.User(), postgres.Password(), "psqlodbc", "\""},
      {mariadb.Dsn(), mariadb.User(), mariadb.Password(), "maodbc", "`"},
      {"Access facts", "", "", "", "\""},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.dsn);
    const OdbcSession session(test.dsn, test.user, test.password, 30, 45);
    EXPECT_NE(session.facts().driver_name.find(test.driver), std::string::npos) << session.facts().driver_name;
    EXPECT_EQ(session.facts().identifier_quote, test.quote);
  }
  RemoveSystemDsn("Access facts");
}

}  // namespace
}  // namespace quill::testing
