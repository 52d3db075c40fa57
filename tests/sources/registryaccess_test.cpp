#include "sources/registryaccess.h"

#include <gtest/gtest.h>

#include <fstream>

#include "fixtures/odbc_configuration.h"

namespace quill {
namespace {

constexpr RegistryRoot kLocalMachine = RegistryRoot::LocalMachine;

class RegistryAccessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::ofstream(quill::testing::OdbcConfigurationFolder() + "/odbc.ini", std::ios::trunc)
        << "[Sales Data 2024]\n"
           "Driver=SQLite3\n"
           "Description=abc\n"
           "Database=/srv/sales data.db\n"
           "\n"
           "[A Source With No Entries]\n"
           "\n"
           "[alpha]\n"
           "Driver=MariaDB Unicode\n"
           "Description=\n";
  }
};

TEST(LastCharPosTest, IsTheOneBasedPositionOfTheLastOccurrence) {
  struct Case {
    char ch;
    std::string text;
    int position;
  };
  for (const Case& c : std::vector<Case>{{'\\', "a\\b\\c", 4}, {'\\', "abc", 0}, {'\\', "", 0},
                                         {'\\', "\\", 1}, {'x', "xax", 3}}) {
    EXPECT_EQ(LastCharPos(c.ch, c.text), c.position) << c.text;
  }
}

TEST_F(RegistryAccessTest, SystemDsnListGivesTheSourcesInRegistryOrder) {
  std::vector<std::string> names{"stale"};
  EXPECT_TRUE(SystemDsnList(names));
  EXPECT_EQ(names, (std::vector<std::string>{"Sales Data 2024", "A Source With No Entries", "alpha"}));
}

TEST_F(RegistryAccessTest, OdbcDriverListGivesTheInstalledDrivers) {
  std::vector<std::string> names;
  EXPECT_TRUE(OdbcDriverList(names));
  EXPECT_EQ(names, (std::vector<std::string>{"SQLite3", "PostgreSQL Unicode", "MariaDB Unicode"}));
}

TEST_F(RegistryAccessTest, ReadRegStringGivesTheTextWithoutItsNul) {
  std::string text = "unchanged";
  EXPECT_TRUE(ReadRegString(kLocalMachine, "SOFTWARE\\ODBC\\ODBC.INI\\Sales Data 2024\\Description", text));
  EXPECT_EQ(text, "abc");
  EXPECT_TRUE(ReadRegString(kLocalMachine, "SOFTWARE\\ODBC\\ODBC.INI\\alpha\\Description", text));
  EXPECT_EQ(text, "");
}

TEST_F(RegistryAccessTest, TheDriverAndTheDatabaseFileOfASource) {
  std::string driver;
  std::string database;
  EXPECT_TRUE(ReadRegString(kLocalMachine, "SOFTWARE\\ODBC\\ODBC.INI\\Sales Data 2024\\Driver", driver));
  EXPECT_TRUE(ReadRegString(kLocalMachine, "SOFTWARE\\ODBC\\ODBC.INI\\Sales Data 2024\\DBQ", database));
  EXPECT_EQ(driver, "/usr/lib/x86_64-linux-gnu/odbc/libsqlite3odbc.so");
  EXPECT_EQ(database, "/srv/sales data.db");
  EXPECT_TRUE(ReadRegString(kLocalMachine, "SOFTWARE\\ODBC\\ODBC.INI\\alpha\\Driver", driver));
  EXPECT_EQ(driver, "/usr/lib/x86_64-linux-gnu/odbc/libmaodbc.so");
  EXPECT_TRUE(ReadRegString(kLocalMachine, "SOFTWARE\\ODBC\\ODBCINST.INI\\PostgreSQL Unicode\\Driver", driver));
  EXPECT_EQ(driver, "/usr/lib/x86_64-linux-gnu/odbc/psqlodbcw.so");
}

TEST_F(RegistryAccessTest, ValuesThatCannotBeReadLeaveTheTextUnchanged) {
  for (const char* path : {"no backslash at all", "SOFTWARE\\ODBC\\ODBC.INI\\alpha\\Missing",
                           "SOFTWARE\\ODBC\\ODBC.INI\\No Such Source\\Driver",
                           "SOFTWARE\\ODBC\\ODBC.INI\\A Source With No Entries\\DBQ"}) {
    std::string text = "unchanged";
    EXPECT_FALSE(ReadRegString(kLocalMachine, path, text)) << path;
    EXPECT_EQ(text, "unchanged") << path;
  }
}

TEST_F(RegistryAccessTest, AValueOfTheOtherTypeIsNotRead) {
  const std::string mhz_path = "HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0\\~Mhz";
  uint32_t mhz = 0;
  ASSERT_TRUE(ReadRegDWORD(kLocalMachine, mhz_path, mhz));
  EXPECT_GT(mhz, 0u);

  std::string text = "unchanged";
  EXPECT_FALSE(ReadRegString(kLocalMachine, mhz_path, text));
  EXPECT_EQ(text, "unchanged");

  uint32_t value = 7;
  EXPECT_FALSE(ReadRegDWORD(kLocalMachine, "SOFTWARE\\ODBC\\ODBC.INI\\alpha\\Driver", value));
  EXPECT_EQ(value, 0u);
}

TEST_F(RegistryAccessTest, ReadRegValueHandsOverTheBytesAndTheirSize) {
  std::vector<uint8_t> data;
  EXPECT_TRUE(ReadRegValue(kLocalMachine, "SOFTWARE\\ODBC\\ODBC.INI\\Sales Data 2024\\Description", kRegSz, data));
  EXPECT_EQ(data, (std::vector<uint8_t>{'a', 'b', 'c', 0}));
  std::vector<uint8_t> untouched{1, 2};
  EXPECT_FALSE(ReadRegValue(kLocalMachine, "SOFTWARE\\ODBC\\ODBC.INI\\Sales Data 2024\\Description", kRegDword,
                            untouched));
  EXPECT_EQ(untouched, (std::vector<uint8_t>{1, 2}));
}

TEST_F(RegistryAccessTest, EnumerationOfKeysWithoutValuesAndOfMissingKeys) {
  std::vector<std::string> list{"stale"};
  EXPECT_TRUE(EnumRegValueNames(kLocalMachine, "SOFTWARE\\ODBC\\ODBC.INI\\A Source With No Entries", list));
  EXPECT_TRUE(list.empty());

  list = {"stale"};
  EXPECT_FALSE(EnumRegValueNames(kLocalMachine, "SOFTWARE\\ODBC\\ODBC.INI\\No Such Source", list));
  EXPECT_TRUE(list.empty());

  EXPECT_TRUE(EnumRegValueNames(kLocalMachine, "SOFTWARE\\ODBC\\ODBC.INI\\Sales Data 2024", list));
  EXPECT_EQ(list, (std::vector<std::string>{"Driver", "Description", "Database", "DBQ"}));
}

TEST_F(RegistryAccessTest, EnumRegNamesListsSubKeysWhenAsked) {
  std::vector<std::string> list;
  EXPECT_TRUE(EnumRegNames(kLocalMachine, "SOFTWARE\\ODBC\\ODBCINST.INI", list, true));
  EXPECT_EQ(list, (std::vector<std::string>{"ODBC Drivers", "SQLite3", "PostgreSQL Unicode", "MariaDB Unicode"}));
  EXPECT_TRUE(EnumRegNames(kLocalMachine, "SOFTWARE\\ODBC\\ODBCINST.INI", list, false));
  EXPECT_TRUE(list.empty());
}

TEST(RegistryAccessNoConfigurationTest, WithoutSystemSourcesTheListIsEmptyAndFalse) {
  std::remove((quill::testing::OdbcConfigurationFolder() + "/odbc.ini").c_str());
  std::vector<std::string> names{"stale"};
  EXPECT_FALSE(SystemDsnList(names));
  EXPECT_TRUE(names.empty());
}

}  // namespace
}  // namespace quill
