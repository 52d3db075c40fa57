// Bad input meets a clear error at the call that meets it, and the database
// stays writable: what was fine before and after the error is in the file.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <functional>
#include <string>
#include <vector>

#include "platform/jet/jet_writer_readers.h"
#include "platform/jet/jet_writer_steps.h"
#include "platform/jet/writer/ado_recordset.h"
#include "platform/jet/writer/adox_catalog.h"
#include "platform/jet/writer/jet_write_error.h"

namespace quill::jet::writer_testing {
namespace {

void ExpectError(const std::function<void()>& call, const std::string& part_of_message) {
  try {
    call();
    ADD_FAILURE() << "no error; expected one saying: " << part_of_message;
  } catch (const JetWriteError& error) {
    EXPECT_NE(std::string(error.what()).find(part_of_message), std::string::npos) << error.what();
  }
}

std::vector<std::string> FilesIn(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename());
  return names;
}

class JetWriterErrorsTest : public ::testing::TestWithParam<std::string> {};

TEST_P(JetWriterErrorsTest, EachBadCallFailsAloneAndTheRestIsWritten) {
  const bool jet3 = GetParam() == "4";
  const std::string file = NewTestFolder() + "/errors.mdb";
  Catalog catalog;
  catalog.Create(ConnectionString(file, GetParam()));

  ExpectError([&] { AppendTable(catalog, "Long Names", {{std::string(65, 'c'), kAdInteger}}); },
              "is longer than 64 characters");
  ExpectError([&] { AppendTable(catalog, std::string(65, 't'), {{"Id", kAdInteger}}); }, "is longer than 64 characters");
  ExpectError([&] { AppendTable(catalog, "Sizes", {{"Text", kAdWChar, 256}}); }, "is out of range (1 to 255)");
  AppendTable(catalog, "People", {{"Id", kAdInteger, 0, false}, {"Name", kAdWChar, 5}, {"Born", kAdDate}});
  ExpectError([&] { AppendTable(catalog, "people", {{"Id", kAdInteger}}); }, "already exists");
  AppendPrimaryKey(catalog, "People", "Id");
  ExpectError([&] { AppendPrimaryKey(catalog, "People", "Name"); }, "already has a primary key");

  Connection connection;
  connection.Open(ConnectionString(file, GetParam()));
  Recordset recordset;
  recordset.Open("People", connection);
  recordset.AddNew();
  recordset.Fields().Item(0).SetValue(std::string("1"));
  ExpectError([&] { recordset.Fields().Item(1).SetValue(std::string("Annabel")); },
              "is too long for column 'Name' (7 characters, at most 5)");
  ExpectError([&] { recordset.Fields().Item(1).SetValue(std::string()); }, "cannot hold a zero-length string");
  ExpectError([&] { recordset.Fields().Item(2).SetValue(std::string("2001-02-31")); }, "does not exist");
  ExpectError([&] { recordset.Fields().Item(2).SetValue(std::string("soon")); }, "it is not a date");
  ExpectError([&] { recordset.Fields().Item(0).SetValue(std::string("3000000000")); },
              "it lies outside -2147483648 to 2147483647");
  if (jet3) {
    ExpectError([&] { recordset.Fields().Item(1).SetValue(std::string("Ωmega")); }, "code page 1252");
  }
  ExpectError([&] { recordset.Fields().Item(3).SetValue(std::string("x")); }, "no field number 3");
  recordset.Fields().Item(1).SetValue(std::string("Ann"));
  recordset.Update();

  recordset.AddNew();
  recordset.Fields().Item(0).SetValue(std::int64_t{1});
  ExpectError([&] { recordset.Update(); }, "already has a row with this primary key value");
  recordset.AddNew();
  recordset.Fields().Item(1).SetValue(std::string("Bob"));
  ExpectError([&] { recordset.Update(); }, "cannot hold Null");
  ExpectError([&] { recordset.Update(); }, "call AddNew first");
  recordset.AddNew();
  recordset.Fields().Item(0).SetValue(std::int64_t{2});
  recordset.Fields().Item(1).SetValue(std::string("Bob"));
  recordset.Update();
  recordset.Close();
  connection.Close();

  // Keys appended after the rows check them: Null and repeated values.
  AppendTable(catalog, "Tags", {{"Tag", kAdWChar, 10}, {"Note", kAdLongVarWChar}});
  connection.Open(ConnectionString(file, GetParam()));
  recordset.Open("Tags", connection);
  for (const char* tag : {"red", "RED"}) {
    recordset.AddNew();
    recordset.Fields().Item(0).SetValue(std::string(tag));
    recordset.Update();
  }
  recordset.Close();
  connection.Close();
  ExpectError([&] { AppendPrimaryKey(catalog, "Tags", "Tag"); }, "hold the same value in two rows");
  ExpectError([&] { AppendPrimaryKey(catalog, "Tags", "Note"); }, "cannot be a primary key");
  catalog.SetActiveConnection(nullptr);

  EXPECT_EQ(RunCommand({"mdb-tables", "-1", file}), "People\nTags\n");
  const auto people = ExportRows(file, "People");
  ASSERT_EQ(people.size(), 2u);
  EXPECT_EQ(people[0], (std::vector<std::string>{"1", "Ann", "NULL"}));
  EXPECT_EQ(people[1], (std::vector<std::string>{"2", "Bob", "NULL"}));
  EXPECT_EQ(ExportRows(file, "Tags").size(), 2u);
  const std::string schema = RunCommand({"mdb-schema", "--indexes", file, "mysql"});
  EXPECT_NE(schema.find("ALTER TABLE `People` ADD PRIMARY KEY (`Id`);"), std::string::npos) << schema;
  EXPECT_EQ(schema.find("ALTER TABLE `Tags` ADD PRIMARY KEY"), std::string::npos) << schema;
  EXPECT_EQ(FilesIn(std::filesystem::path(file).parent_path()), std::vector<std::string>{"errors.mdb"});
}

INSTANTIATE_TEST_SUITE_P(BothVersions, JetWriterErrorsTest, ::testing::Values("5", "4"),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                           return info.param == "5" ? std::string("Jet4") : std::string("Jet3");
                         });

TEST(JetWriterCreateTest, TargetsThatCannotHoldADatabaseFailAtCreate) {
  const std::string folder = NewTestFolder();
  std::filesystem::create_directory(folder + "/existing folder");
  // Root writes into any folder a mode forbids, so a folder no one can create
  // files in stands for "not writable" then.
  std::string locked = folder + "/locked";
  std::filesystem::create_directory(locked);
  chmod(locked.c_str(), 0500);
  if (geteuid() == 0) locked = "/sys";
  struct Case {
    std::string data_source;
    std::string message;
  };
  const std::vector<Case> cases = {
      {folder + "/missing/new.mdb", "the folder '" + folder + "/missing' does not exist"},
      {locked + "/new.mdb", "Cannot create the database '" + locked + "/new.mdb' in the folder '" + locked + "'"},
      {folder + "/existing folder", "a folder of that name exists"},
      {folder + "/existing folder/", "the name is a folder"},
  };
  for (const Case& c : cases) {
    Catalog catalog;
    ExpectError([&] { catalog.Create(ConnectionString(c.data_source, "5")); }, c.message);
    // The catalog is still usable for another file.
    catalog.Create(ConnectionString(folder + "/fine.mdb", "5"));
    catalog.SetActiveConnection(nullptr);
    std::filesystem::remove(folder + "/fine.mdb");
  }
  EXPECT_FALSE(std::filesystem::exists(folder + "/missing"));
}

TEST(JetWriterCreateTest, ConnectionStringsOutsideTheProviderAreRefused) {
  const std::string file = NewTestFolder() + "/x.mdb";
  Catalog catalog;
  ExpectError([&] { catalog.Create("Provider=SQLOLEDB;Data Source=" + file); }, "Provider cannot be found");
  ExpectError([&] { catalog.Create(ConnectionString(file, "3")); }, "engine type '3' is not supported");
  ExpectError([&] { catalog.Create("Provider=Microsoft.Jet.OLEDB.4.0;Jet OLEDB:Engine Type=5"); }, "no data source");
  // An empty engine type is Jet 4, as is "5".
  catalog.Create(ConnectionString(file, ""));
  Connection connection;
  ExpectError([&] { connection.Open(ConnectionString(file + ".other", "")); }, "only a database being created here");
  catalog.SetActiveConnection(nullptr);
  EXPECT_EQ(RunCommand({"mdb-ver", file}), "JET4\n");
  ExpectError([&] { connection.Open(ConnectionString(file, "")); }, "only a database being created here");
}

TEST(JetWriterCreateTest, AnUnclosedDatabaseLeavesNoFileBehind) {
  const std::string folder = NewTestFolder();
  {
    Catalog catalog;
    catalog.Create(ConnectionString(folder + "/unfinished.mdb", "5"));
    AppendTable(catalog, "Rows", {{"Id", kAdInteger}});
    Connection connection;
    connection.Open(ConnectionString(folder + "/unfinished.mdb", "5"));
    Recordset recordset;
    recordset.Open("Rows", connection);
    recordset.AddNew();
    recordset.Fields().Item(0).SetValue(std::int64_t{1});
    recordset.Update();
    EXPECT_FALSE(std::filesystem::exists(folder + "/unfinished.mdb"));
  }
  EXPECT_TRUE(FilesIn(folder).empty());
}

// An earlier file under the target name stays as it was while the new
// database is written and when it is abandoned; closing replaces it.
TEST(JetWriterCreateTest, AnEarlierFileIsReplacedOnlyByAClosedDatabase) {
  const std::string folder = NewTestFolder();
  const std::string file = folder + "/kept.mdb";
  const auto contents = [&] {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  };
  { std::ofstream(file) << "earlier"; }
  for (const bool close : {false, true}) {
    Catalog catalog;
    catalog.Create(ConnectionString(file, "5"));
    AppendTable(catalog, "Rows", {{"Id", kAdInteger}});
    EXPECT_EQ(contents(), "earlier");
    if (close) catalog.SetActiveConnection(nullptr);
  }
  EXPECT_EQ(RunCommand({"mdb-tables", "-1", file}), "Rows\n");
  EXPECT_EQ(FilesIn(folder), std::vector<std::string>{"kept.mdb"});
}

}  // namespace
}  // namespace quill::jet::writer_testing
