#include "sources/dsn_administration.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "fixtures/odbc_configuration.h"
#include "fixtures/odbc_data_sources.h"
#include "fixtures/scripted_user_interface.h"
#include "fixtures/temporary_folder.h"
#include "sources/dsn_login_store.h"
#include "sources/package_version.h"
#include "sources/registryaccess.h"

namespace quill {
namespace {

using quill::testing::kPostgresDriver;
using quill::testing::kSqliteDriver;
using quill::testing::ScriptedUserInterface;

// The setup dialog as a user fills it: sets what the script says and records
// what it was shown.
class ScriptedSetupDialog : public DriverSetupDialog {
 public:
  bool EditSource(const std::string& driver, std::string& name, bool name_fixed,
                  SourceAttributes& attributes) override {
    ++shown;
    shown_driver = driver;
    shown_name = name;
    shown_name_fixed = name_fixed;
    shown_attributes = attributes;
    if (!accept) return false;
    if (!name_fixed && !typed_name.empty()) name = typed_name;
    attributes = typed_attributes;
    return true;
  }

  bool accept = true;
  std::string typed_name;
  SourceAttributes typed_attributes;
  int shown = 0;
  std::string shown_driver;
  std::string shown_name;
  bool shown_name_fixed = false;
  SourceAttributes shown_attributes;
};

std::vector<std::string> Sources() {
  std::vector<std::string> names;
  SystemDsnList(names);
  return names;
}

class DsnAdministrationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::ofstream(quill::testing::OdbcConfigurationFolder() + "/odbc.ini", std::ios::trunc)
        << "[Sales Data]\nDriver=SQLite3\nDatabase=/tmp/sales.db\nTimeout=100\n\n"
           "[No Driver]\nDatabase=/tmp/none.db\n";
  }
};

TEST(DsnAttributeListTest, IsTheNameBetweenDsnAndTwoNuls) {
  EXPECT_EQ(DsnAttributeList("Sales"), std::string("DSN=Sales\0\0", 11));
  EXPECT_EQ(DsnAttributeList(""), std::string("\0\0", 2));
}

TEST_F(DsnAdministrationTest, AddingOpensTheSetupDialogWithTheNameAndTheSourceIsListedAtOnce) {
  ScriptedSetupDialog dialog;
  dialog.typed_attributes = {{"Database", "/tmp/new.db"}, {"Timeout", "2000"}};
  ASSERT_TRUE(ConfigDataSource(dialog, kSqliteDriver, "New Source"));

  EXPECT_EQ(dialog.shown, 1);
  EXPECT_EQ(dialog.shown_driver, kSqliteDriver);
  EXPECT_EQ(dialog.shown_name, "New Source");
  EXPECT_FALSE(dialog.shown_name_fixed);
  EXPECT_EQ(Sources(), (std::vector<std::string>{"Sales Data", "No Driver", "New Source"}));
  EXPECT_EQ(DsnDriverName("New Source"), kSqliteDriver);
  EXPECT_EQ(ReadSourceAttributes("New Source"), dialog.typed_attributes);
  std::string dbq;
  ASSERT_TRUE(ReadRegString(RegistryRoot::LocalMachine, "SOFTWARE\\ODBC\\ODBC.INI\\New Source\\DBQ", dbq));
  EXPECT_EQ(dbq, "/tmp/new.db");
}

TEST_F(DsnAdministrationTest, AnEmptyNameIsCompletedInTheSetupDialog) {
  ScriptedSetupDialog dialog;
  dialog.typed_name = "Typed";
  ASSERT_TRUE(ConfigSystemDataSource(&dialog, InstallerRequest::AddSystemDsn, kPostgresDriver, DsnAttributeList("")));
  EXPECT_EQ(dialog.shown_name, "");
  EXPECT_EQ(DsnDriverName("Typed"), kPostgresDriver);
}

TEST_F(DsnAdministrationTest, RefusedAdditionsWriteNothing) {
  struct Case {
    const char* what;
    std::string driver;
    std::string name;
    bool accept;
    SourceAttributes attributes;
  };
  const Case cases[] = {
      {"cancelled dialog", kSqliteDriver, "Cancelled", false, {}},
      {"empty name left empty", kSqliteDriver, "", true, {}},
      {"unknown driver", "No Such Driver", "Unknown", true, {}},
      {"empty driver", "", "Empty", true, {}},
      {"bracket in the name", kSqliteDriver, "Bad]\n[Sales Data", true, {}},
      {"unixODBC's own section", kSqliteDriver, "ODBC", true, {}},
      {"line break in a value", kSqliteDriver, "Value", true, {{"Database", "x\nDriver=/bin/sh"}}},
      {"equals sign in a key", kSqliteDriver, "Key", true, {{"A=B", "1"}}},
      {"driver as attribute", kSqliteDriver, "Driver row", true, {{"Driver", "/bin/sh"}}},
  };
  for (const Case& test : cases) {
    ScriptedSetupDialog dialog;
    dialog.accept = test.accept;
    dialog.typed_attributes = test.attributes;
    EXPECT_FALSE(ConfigDataSource(dialog, test.driver, test.name)) << test.what;
    EXPECT_EQ(Sources(), (std::vector<std::string>{"Sales Data", "No Driver"})) << test.what;
  }
  EXPECT_EQ(DsnDriverName("Sales Data"), kSqliteDriver);
}

TEST_F(DsnAdministrationTest, ConfiguringShowsTheSourcesAttributesAndRewritesThem) {
  ScriptedSetupDialog dialog;
  dialog.typed_name = "Renamed";  // the name cannot change while configuring
  dialog.typed_attributes = {{"Database", "/tmp/other.db"}};
  ASSERT_TRUE(ConfigSystemDataSource(&dialog, InstallerRequest::ConfigSystemDsn, kSqliteDriver,
                                     DsnAttributeList("Sales Data")));
  EXPECT_TRUE(dialog.shown_name_fixed);
  EXPECT_EQ(dialog.shown_name, "Sales Data");
  EXPECT_EQ(dialog.shown_attributes, (SourceAttributes{{"Database", "/tmp/sales.db"}, {"Timeout", "100"}}));
  EXPECT_EQ(Sources(), (std::vector<std::string>{"Sales Data", "No Driver"}));
  EXPECT_EQ(ReadSourceAttributes("Sales Data"), dialog.typed_attributes);
  EXPECT_EQ(DsnDriverName("Sales Data"), kSqliteDriver);
}

TEST_F(DsnAdministrationTest, ConfiguringACancelledOrMissingSourceChangesNothing) {
  ScriptedSetupDialog cancelled;
  cancelled.accept = false;
  EXPECT_FALSE(ConfigSystemDataSource(&cancelled, InstallerRequest::ConfigSystemDsn, kSqliteDriver,
                                      DsnAttributeList("Sales Data")));
  ScriptedSetupDialog unused;
  EXPECT_FALSE(ConfigSystemDataSource(&unused, InstallerRequest::ConfigSystemDsn, kSqliteDriver,
                                      DsnAttributeList("Missing")));
  EXPECT_EQ(unused.shown, 0);
  EXPECT_EQ(ReadSourceAttributes("Sales Data"), (SourceAttributes{{"Database", "/tmp/sales.db"}, {"Timeout", "100"}}));
}

TEST_F(DsnAdministrationTest, RemovingForgetsTheLoginWhateverTheInstallerAnswers) {
  quill::testing::TemporaryFolder folder;
  ScriptedUserInterface ui;
  DsnLoginStore logins(folder.path(), ui);
  logins.AssignLogin("Sales Data", {"sa", "secret"}, true);
  logins.AssignLogin("No Driver", {"nd", "secret"}, true);

  EXPECT_TRUE(RemoveSystemDSN(logins, DsnDriverName("Sales Data"), "Sales Data"));
  EXPECT_EQ(Sources(), (std::vector<std::string>{"No Driver"}));
  EXPECT_EQ(logins.GetPssw("Sales Data").user_name, "");

  // A source without a driver cannot be handed to its driver's installer.
  EXPECT_EQ(DsnDriverName("No Driver"), "");
  EXPECT_FALSE(RemoveSystemDSN(logins, DsnDriverName("No Driver"), "No Driver"));
  EXPECT_EQ(Sources(), (std::vector<std::string>{"No Driver"}));
  EXPECT_EQ(logins.GetPssw("No Driver").user_name, "");
  EXPECT_FALSE(std::filesystem::exists(std::string(folder.path()) + "/pssw/No Driver.key"));

  EXPECT_FALSE(RemoveSystemDSN(logins, kSqliteDriver, "Sales Data"));
}

TEST(GetFileVersionStringTest, TakesTheVersionOfTheRealFileName) {
  quill::testing::TemporaryFolder folder;
  const std::filesystem::path base(folder.path());
  struct Case {
    const char* file_name;
    const char* version;
  };
  const Case cases[] = {
      {"libdriver.so.4.0.6019.0", "4.0.6019.0"},
      {"libsqlite3odbc-0.9998.so", "0.9998.0.0"},
      {"libmaodbc_3.1.so", "3.1.0.0"},
      {"libplain.so", ""},
      {"libfive.so.1.2.3.4.5", ""},
      {"libwide.so.70000", ""},
      {"libtext-beta.so", ""},
      {"readme.txt", ""},
  };
  for (const Case& test : cases) {
    std::ofstream(base / test.file_name) << "x";
    EXPECT_EQ(GetFileVersionString((base / test.file_name).string()), test.version) << test.file_name;
  }
  std::filesystem::create_symlink(base / "libsqlite3odbc-0.9998.so", base / "libsqlite3odbc.so");
  EXPECT_EQ(GetFileVersionString((base / "libsqlite3odbc.so").string()), "0.9998.0.0");
  EXPECT_EQ(GetFileVersionString((base / "missing.so.1.2").string()), "");
}


// A file of a package gives the package's version from dpkg's records; the
// epoch is left out, a package that is not installed gives none.
TEST(PackageVersionTest, TakesTheVersionOfThePackageListingTheFile) {
  quill::testing::TemporaryFolder folder;
  const std::filesystem::path dpkg = std::filesystem::path(folder.path()) / "dpkg";
  std::filesystem::create_directories(dpkg / "info");
  const std::filesystem::path library = std::filesystem::path(folder.path()) / "libdriver.so";
  std::ofstream(library) << "x";
  std::filesystem::create_symlink(library, std::filesystem::path(folder.path()) / "liblink.so");
  std::ofstream(dpkg / "info" / "odbc-driver:amd64.list") << "/.\n/usr\n" << library.string() << "\n";
  std::ofstream(dpkg / "info" / "gone.list") << "/opt/gone.so\n";
  std::ofstream(dpkg / "status") << "Package: gone\nStatus: deinstall ok config-files\nVersion: 9\n\n"
                                    "Package: odbc-driver\nStatus: install ok installed\nArchitecture: amd64\n"
                                    "Version: 1:13.02.0000-2+b1\nDescription: x\n";
  struct Case {
    std::string path;
    const char* version;
  };
  const Case cases[] = {
      {library.string(), "13.02.0000-2+b1"},
      {(std::filesystem::path(folder.path()) / "liblink.so").string(), "13.02.0000-2+b1"},
      {"/opt/gone.so", ""},
      {"/opt/nobody.so", ""},
  };
  for (const Case& test : cases) EXPECT_EQ(PackageVersionOfFile(test.path, dpkg.string()), test.version) << test.path;
}

// A new source's setup dialog lists the attributes its driver needs, empty;
// rows left empty are not written.
TEST_F(DsnAdministrationTest, AddingPrefillsTheAttributesTheDriverNeeds) {
  struct Case {
    const char* driver;
    std::vector<const char*> keys;
  };
  const Case cases[] = {
      {kSqliteDriver, {"Database"}},
      {kPostgresDriver, {"Servername", "Port", "Database", "Username", "Password"}},
      {quill::testing::kMariaDbDriver, {"SERVER", "PORT", "DATABASE", "USER", "PASSWORD"}},
      // The file of an Access, Excel or text source goes in Database.
      {"/usr/lib/x86_64-linux-gnu/odbc/libmdbodbc.so", {"Database"}},
  };
  int number = 0;
  for (const Case& test : cases) {
    ScriptedSetupDialog dialog;
    dialog.typed_name = "New source " + std::to_string(++number);
    dialog.typed_attributes = {{test.keys[0], "value"}, {test.keys.back(), ""}};
    ASSERT_TRUE(ConfigDataSource(dialog, test.driver, "")) << test.driver;
    SourceAttributes expected;
    for (const char* key : test.keys) expected.emplace_back(key, "");
    EXPECT_EQ(dialog.shown_attributes, expected) << test.driver;
    EXPECT_EQ(ReadSourceAttributes(dialog.typed_name), (SourceAttributes{{test.keys[0], "value"}})) << test.driver;
  }
}

// A change made to odbc.ini outside the program shows at once, and is what
// the setup dialog starts from.
TEST_F(DsnAdministrationTest, ConfiguringReadsTheFileAsItIsNow) {
  EXPECT_EQ(ReadSourceAttributes("Sales Data"), (SourceAttributes{{"Database", "/tmp/sales.db"}, {"Timeout", "100"}}));
  std::ofstream(quill::testing::OdbcConfigurationFolder() + "/odbc.ini", std::ios::trunc)
      << "[Sales Data]\nDriver=SQLite3\nDatabase=/tmp/changed.db\n";
  ScriptedSetupDialog dialog;
  dialog.typed_attributes = {{"Database", "/tmp/changed.db"}, {"Timeout", "5"}};
  ASSERT_TRUE(ConfigSystemDataSource(&dialog, InstallerRequest::ConfigSystemDsn, kSqliteDriver,
                                     DsnAttributeList("Sales Data")));
  EXPECT_EQ(dialog.shown_attributes, (SourceAttributes{{"Database", "/tmp/changed.db"}}));
  EXPECT_EQ(ReadSourceAttributes("Sales Data"), dialog.typed_attributes);
}

}  // namespace
}  // namespace quill
