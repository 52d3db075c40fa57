#include "platform/registry/registry.h"

#include <gtest/gtest.h>
#include <odbcinst.h>

#include <filesystem>
#include <fstream>
#include <regex>

#include "fixtures/odbc_configuration.h"
#include "platform/registry/registry_sources.h"

namespace quill {
namespace {

constexpr char kLibraries[] = "/usr/lib/x86_64-linux-gnu/odbc/";

void WriteOdbcIni(const std::string& text) {
  std::ofstream(quill::testing::OdbcConfigurationFolder() + "/odbc.ini", std::ios::trunc) << text;
}

std::string Text(const RegistryValue& value) {
  EXPECT_EQ(value.type, kRegSz);
  EXPECT_FALSE(value.data.empty());
  EXPECT_EQ(value.data.back(), 0);
  return std::string(value.data.begin(), value.data.end() - 1);
}

std::vector<std::pair<std::string, std::string>> TextValues(const RegistryKey& key) {
  std::vector<std::pair<std::string, std::string>> values;
  for (const RegistryValue& value : key.values) values.emplace_back(value.name, Text(value));
  return values;
}

class RegistryOdbcTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteOdbcIni(
        "[ODBC]\n"
        "Trace=No\n"
        "\n"
        "[Zoo Sample Data]\n"
        "Description=Animals\n"
        "Driver=SQLite3\n"
        "Database=/srv/zoo.db\n"
        "\n"
        "[Accounts 2024]\n"
        "Driver=PostgreSQL Unicode\n"
        "Servername=127.0.0.1\n"
        "Port=5432\n"
        "\n"
        "[By Path]\n"
        "Driver=/opt/odbc/libcustom.so\n"
        "DBQ=/srv/by path.mdb\n"
        "Database=ignored for DBQ\n");
  }
};

TEST_F(RegistryOdbcTest, DataSourcesAreTheSystemSectionsInFileOrderWithTheirDriverName) {
  const std::optional<RegistryKey> key =
      OpenRegistryKey(RegistryRoot::LocalMachine, "SOFTWARE\\ODBC\\ODBC.INI\\ODBC Data Sources");
  ASSERT_TRUE(key);
  EXPECT_EQ(TextValues(*key), (std::vector<std::pair<std::string, std::string>>{
                                  {"Zoo Sample Data", "SQLite3"},
                                  {"Accounts 2024", "PostgreSQL Unicode"},
                                  {"By Path", "/opt/odbc/libcustom.so"}}));
  EXPECT_TRUE(key->sub_keys.empty());
}

TEST_F(RegistryOdbcTest, ASourceKeyResolvesItsDriverLibraryAndGivesDatabaseAsDbq) {
  const std::optional<RegistryKey> zoo =
      OpenRegistryKey(RegistryRoot::LocalMachine, "SOFTWARE\\ODBC\\ODBC.INI\\Zoo Sample Data");
  ASSERT_TRUE(zoo);
  EXPECT_EQ(TextValues(*zoo), (std::vector<std::pair<std::string, std::string>>{
                                  {"Description", "Animals"},
                                  {"Driver", std::string(kLibraries) + "libsqlite3odbc.so"},
                                  {"Database", "/srv/zoo.db"},
                                  {"DBQ", "/srv/zoo.db"}}));

  const std::optional<RegistryKey> by_path =
      OpenRegistryKey(RegistryRoot::LocalMachine, "software\\odbc\\odbc.ini\\BY PATH");
  ASSERT_TRUE(by_path);
  EXPECT_EQ(TextValues(*by_path), (std::vector<std::pair<std::string, std::string>>{
                                      {"Driver", "/opt/odbc/libcustom.so"},
                                      {"DBQ", "/srv/by path.mdb"},
                                      {"Database", "ignored for DBQ"}}));

  const std::optional<RegistryKey> server =
      OpenRegistryKey(RegistryRoot::LocalMachine, "SOFTWARE\\ODBC\\ODBC.INI\\Accounts 2024");
  ASSERT_TRUE(server);
  EXPECT_EQ(server->FindValue("DBQ"), nullptr);
  ASSERT_NE(server->FindValue("driver"), nullptr);
  EXPECT_EQ(Text(*server->FindValue("driver")), std::string(kLibraries) + "psqlodbcw.so");
}

TEST_F(RegistryOdbcTest, DriversAreTheSectionsOfOdbcinstIni) {
  const std::optional<RegistryKey> drivers =
      OpenRegistryKey(RegistryRoot::LocalMachine, "SOFTWARE\\ODBC\\ODBCINST.INI\\ODBC Drivers");
  ASSERT_TRUE(drivers);
  std::vector<std::string> names;
  for (const RegistryValue& value : drivers->values) {
    names.push_back(value.name);
    EXPECT_EQ(Text(value), "Installed");
  }
  EXPECT_EQ(names, (std::vector<std::string>{"SQLite3", "PostgreSQL Unicode", "MariaDB Unicode"}));

  const std::optional<RegistryKey> maria =
      OpenRegistryKey(RegistryRoot::LocalMachine, "SOFTWARE\\ODBC\\ODBCINST.INI\\MariaDB Unicode");
  ASSERT_TRUE(maria);
  ASSERT_NE(maria->FindValue("Driver"), nullptr);
  EXPECT_EQ(Text(*maria->FindValue("Driver")), std::string(kLibraries) + "libmaodbc.so");
}

TEST_F(RegistryOdbcTest, ParentKeysListTheirSubKeys) {
  EXPECT_EQ(OpenRegistryKey(RegistryRoot::LocalMachine, "SOFTWARE\\ODBC\\ODBC.INI")->sub_keys,
            (std::vector<std::string>{"ODBC Data Sources", "Zoo Sample Data", "Accounts 2024", "By Path"}));
  EXPECT_EQ(OpenRegistryKey(RegistryRoot::LocalMachine, "SOFTWARE\\ODBC")->sub_keys,
            (std::vector<std::string>{"ODBC.INI", "ODBCINST.INI"}));
}

TEST_F(RegistryOdbcTest, MissingKeysDoNotOpen) {
  for (const char* path : {"SOFTWARE\\ODBC\\ODBC.INI\\No Such Source", "SOFTWARE\\ODBC\\ODBC.INI\\ODBC",
                           "SOFTWARE\\ODBC\\ODBC.INI\\Zoo Sample Data\\Deeper", "SOFTWARE\\Other",
                           "SOFTWARE\\ODBC\\ODBCINST.INI\\No Such Driver", "SOFTWARE\\"}) {
    EXPECT_FALSE(OpenRegistryKey(RegistryRoot::LocalMachine, path)) << path;
  }
}

TEST_F(RegistryOdbcTest, EveryOpenReadsTheConfigurationAgain) {
  WriteOdbcIni("[Later Source]\nDriver=SQLite3\n");
  const std::optional<RegistryKey> key =
      OpenRegistryKey(RegistryRoot::LocalMachine, "SOFTWARE\\ODBC\\ODBC.INI\\ODBC Data Sources");
  ASSERT_TRUE(key);
  ASSERT_EQ(key->values.size(), 1u);
  EXPECT_EQ(key->values[0].name, "Later Source");
}

TEST_F(RegistryOdbcTest, ASourceWrittenThroughUnixOdbcShowsAtOnce) {
  ASSERT_TRUE(SQLSetConfigMode(ODBC_SYSTEM_DSN));
  ASSERT_TRUE(SQLWriteDSNToIni("Added In This Run", "SQLite3"));
  ASSERT_TRUE(SQLWritePrivateProfileString("Added In This Run", "Database", "/srv/added.db", "ODBC.INI"));
  SQLSetConfigMode(ODBC_BOTH_DSN);

  const std::optional<RegistryKey> sources =
      OpenRegistryKey(RegistryRoot::LocalMachine, "SOFTWARE\\ODBC\\ODBC.INI\\ODBC Data Sources");
  ASSERT_TRUE(sources);
  ASSERT_NE(sources->FindValue("Added In This Run"), nullptr);
  EXPECT_EQ(Text(*sources->FindValue("Added In This Run")), "SQLite3");
  const std::optional<RegistryKey> added =
      OpenRegistryKey(RegistryRoot::LocalMachine, "SOFTWARE\\ODBC\\ODBC.INI\\Added In This Run");
  ASSERT_TRUE(added);
  EXPECT_EQ(Text(*added->FindValue("DBQ")), "/srv/added.db");
  EXPECT_EQ(Text(*added->FindValue("Driver")), std::string(kLibraries) + "libsqlite3odbc.so");
}

TEST(RegistryOdbcMissingFileTest, WithoutOdbcIniTheDataSourcesKeyDoesNotOpen) {
  std::filesystem::remove(quill::testing::OdbcConfigurationFolder() + "/odbc.ini");
  EXPECT_FALSE(OpenRegistryKey(RegistryRoot::LocalMachine, "SOFTWARE\\ODBC\\ODBC.INI\\ODBC Data Sources"));
  EXPECT_TRUE(OpenRegistryKey(RegistryRoot::LocalMachine, "SOFTWARE\\ODBC\\ODBCINST.INI\\ODBC Drivers"));
}

TEST(RegistryProcessorTest, EachProcessorGivesItsNameAndRoundedMegahertz) {
  const std::vector<RegistryKey> processors = registry_sources::ProcessorKeys(
      "processor\t: 0\nvendor_id\t: AuthenticAMD\nmodel name\t: AMD EPYC 7B13\ncpu MHz\t\t: 2095.997\n\n"
      "processor\t: 1\nmodel name\t: AMD EPYC 7B13\ncpu MHz\t\t: unknown\n");
  ASSERT_EQ(processors.size(), 2u);
  ASSERT_EQ(processors[0].values.size(), 2u);
  EXPECT_EQ(Text(*processors[0].FindValue("ProcessorNameString")), "AMD EPYC 7B13");
  const RegistryValue* mhz = processors[0].FindValue("~Mhz");
  ASSERT_NE(mhz, nullptr);
  EXPECT_EQ(mhz->type, kRegDword);
  EXPECT_EQ(mhz->data, (std::vector<uint8_t>{0x30, 0x08, 0, 0}));  // 2096
  EXPECT_EQ(processors[1].FindValue("~MHz"), nullptr);
}

TEST(RegistryProcessorTest, TheMachinesFirstProcessorIsThere) {
  const std::optional<RegistryKey> key =
      OpenRegistryKey(RegistryRoot::LocalMachine, "HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0");
  ASSERT_TRUE(key);
  EXPECT_NE(key->FindValue("ProcessorNameString"), nullptr);
}

TEST(RegistryDataAccessTest, TheInstalledVersionIsUnixOdbcs) {
  const std::optional<RegistryKey> key = OpenRegistryKey(RegistryRoot::LocalMachine, "SOFTWARE\\Microsoft\\DataAccess");
  ASSERT_TRUE(key);
  const RegistryValue* version = key->FindValue("FullInstallVer");
  ASSERT_NE(version, nullptr);
  EXPECT_TRUE(std::regex_match(Text(*version), std::regex(R"(\d+\.\d+\.\d+)"))) << Text(*version);
}

}  // namespace
}  // namespace quill
