// File and folder names made from table, field and source names stay inside
// the folder the user chose, and the log names the file written.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "export_harness.h"
#include "export_readers.h"
#include "fixtures/test_database.h"

namespace quill::testing {
namespace {

namespace fs = std::filesystem;

struct FileNameCase {
  std::string extension;
  std::vector<std::string> files;  // what the folder holds afterwards
  friend void PrintTo(const FileNameCase& c, std::ostream* out) { *out << c.extension; }
};

class ExportFileNameTest : public ::testing::TestWithParam<FileNameCase> {};

TEST_P(ExportFileNameTest, TableNamesThatClimbOutStayInTheFolder) {
  const FileNameCase& c = GetParam();
  TestDatabase db = TestDatabase::Postgres();
  db.CreateTable(NumberTable("../elsewhere/x", 1));
  db.CreateTable(NumberTable("x./../elsewhere/x", 1));
  ExportHarness harness;
  harness.ui.AnswerTableSelection(std::vector<std::string>{"public.../elsewhere/x", "public.x./../elsewhere/x"});
  harness.ui.AnswerMessageBox(MessageAnswer::Yes);  // drop the schema
  if (c.extension == ".csv") harness.run.CsvExportRun(db.Dsn(), harness.out.string());
  if (c.extension == ".xml") harness.run.XmlExportRun(db.Dsn(), harness.out.string());

  EXPECT_EQ(harness.OutFiles(), c.files);
  EXPECT_FALSE(fs::exists(harness.out.parent_path() / "elsewhere" / ("x" + c.extension)));
  EXPECT_FALSE(fs::exists(harness.out / "elsewhere"));
  const std::vector<std::string> log = harness.ui.LogTexts();
  for (const std::string& file : c.files) {
    EXPECT_NE(std::find(log.begin(), log.end(), kExportStamp + " File written : " + harness.OutFile(file)), log.end())
        << ::testing::PrintToString(log);
  }
}

// XML files are named after their root element, which such names cannot be:
// those tables fail before any file is made.
INSTANTIATE_TEST_SUITE_P(Exports, ExportFileNameTest,
                         ::testing::Values(FileNameCase{".csv", {".._elsewhere_x.csv", "x._.._elsewhere_x.csv"}},
                                           FileNameCase{".xml", {}}),
                         [](const ::testing::TestParamInfo<FileNameCase>& info) {
                           return info.param.extension.substr(1);
                         });

// Tables whose names give one file name each get a file of their own: the
// later one a suffix, and the log says where it went. Nothing of the run is
// overwritten; each file holds its own table's row.
struct SameFileCase {
  std::string extension;
  friend void PrintTo(const SameFileCase& c, std::ostream* out) { *out << c.extension; }
};

class SameFileNameTest : public ::testing::TestWithParam<SameFileCase> {};

TEST_P(SameFileNameTest, LaterTablesGetASuffixAndTheLogSaysSo) {
  const std::string extension = GetParam().extension;
  const std::string long_name(250, 'x');
  struct Table {
    std::string name;
    std::string file;  // the file's name without the extension
    bool renamed;      // the log names the file
  };
  // XML files are named after their root element, so the XML tables are
  // XML names too. (SQLite names are one table ASCII letter case aside;
  // that letter case is the RunFileNames test's.)
  std::vector<Table> tables = {{"a_b", "a_b", false},
                               {long_name + "1", std::string(240 - 4, 'x'), true},
                               {long_name + "2", std::string(240 - 6, 'x') + "_2", true}};
  if (extension == ".csv") {
    tables.push_back({"a/b", "a_b_2", true});
    tables.push_back({"a\\b", "a_b_3", true});
    tables.push_back({"..", "__", true});
    tables.push_back({"__", "___2", true});
  }
  tables.push_back({"a_b_2", extension == ".csv" ? "a_b_2_2" : "a_b_2", extension == ".csv"});
  // One name to Access and a case-insensitive file system, though SQLite
  // folds only ASCII letters.
  tables.push_back({"Ärger", "Ärger", false});
  tables.push_back({"ärger", "ärger_2", true});
  tables.push_back({"ΣΟΦΊΑ", "ΣΟΦΊΑ", false});
  tables.push_back({"σοφία", "σοφία_2", true});
  TestDatabase db = TestDatabase::Sqlite();
  std::vector<std::string> listed;
  for (std::size_t i = 0; i < tables.size(); ++i) {
    db.CreateTable({tables[i].name, {{"n", "INTEGER"}}, {"n"}, {{std::to_string(i + 1)}}});
    listed.push_back(tables[i].name);
  }
  ExportHarness harness;
  harness.ui.AnswerTableSelection(listed);
  if (extension == ".csv") harness.run.CsvExportRun(db.Dsn(), harness.out.string());
  if (extension == ".xml") harness.run.XmlExportRun(db.Dsn(), harness.out.string());

  std::vector<std::string> expected_files;
  for (const Table& table : tables) expected_files.push_back(table.file + extension);
  std::sort(expected_files.begin(), expected_files.end());
  EXPECT_EQ(harness.OutFiles(), expected_files);
  const std::vector<std::string> log = harness.ui.LogTexts();
  for (std::size_t i = 0; i < tables.size(); ++i) {
    const std::string file = tables[i].file + extension;
    const std::string row = std::to_string(i + 1);
    if (extension == ".csv") {
      EXPECT_EQ(harness.Contents(file), row + "\r\n") << tables[i].name;
    } else {
      EXPECT_EQ(ReadXmlFile(harness.OutFile(file)).records, TextRows{{row}}) << tables[i].name;
    }
    const std::string said = kExportStamp + " File written : " + harness.OutFile(file);
    EXPECT_EQ(std::find(log.begin(), log.end(), said) != log.end(), tables[i].renamed) << said;
  }
}

INSTANTIATE_TEST_SUITE_P(Exports, SameFileNameTest, ::testing::Values(SameFileCase{".csv"}, SameFileCase{".xml"}),
                         [](const ::testing::TestParamInfo<SameFileCase>& info) {
                           return info.param.extension.substr(1);
                         });

// JPEG files extracted into out/blobs, under the selected node `caption`.
void ExtractJpegFiles(ExportHarness& harness, const std::string& caption) {
  harness.settings.extract_files = true;
  harness.settings.find_jpg = true;
  harness.settings.files_method = 0;
  harness.settings.blob_path = harness.OutFile("blobs");
  harness.ui.SetSelectedNodeCaption(caption);
}

// BLOB files of the Access export: the source caption and the table name
// each become one folder inside the BLOB root.
TEST(ExportFileNameTest, BlobFoldersStayInsideTheBlobRoot) {
  TestDatabase db = TestDatabase::Postgres();
  db.CreateTable({"../elsewhere/x", {{"id", "integer"}, {"photo", "bytea"}}, {"id"},
                  {{"1", "'\\xffd8ffe000104a464946'"}}});
  ExportHarness harness;
  ExtractJpegFiles(harness, "../up");
  harness.ui.AnswerTableSelection(std::vector<std::string>{"public.../elsewhere/x"});
  harness.ExportAccess(db.Dsn());

  EXPECT_EQ(harness.OutFiles(), (std::vector<std::string>{"NewDatabase.mdb", "blobs/.._up/___elsewhere_x/photo1/1.jpg"}));
}

// Two tables whose names give one BLOB folder, in the Access and the XML
// export: each keeps its own files, and the log says where the later
// table's files went.
TEST(ExportFileNameTest, TablesWhoseBlobFoldersCollideKeepTheirOwnFiles) {
  const struct {
    bool access;
    std::string first_table;
    std::string second_table;
    std::string first_folder;
    std::string second_folder;
  } cases[] = {
      {true, "a/b", "a_b", "a_b", "a_b_2"},
      {false, "T", "t", "T", "t_2"},  // one folder on a case-insensitive file system
  };
  for (const auto& c : cases) {
    TestDatabase db = TestDatabase::Postgres();
    db.CreateTable(
        {c.first_table, {{"id", "integer"}, {"photo", "bytea"}}, {"id"}, {{"1", "'\\xffd8ffe000104a46494601'"}}});
    db.CreateTable(
        {c.second_table, {{"id", "integer"}, {"photo", "bytea"}}, {"id"}, {{"1", "'\\xffd8ffe000104a46494602'"}}});
    ExportHarness harness;
    ExtractJpegFiles(harness, "dsn");
    harness.ui.AnswerTableSelection(std::vector<std::string>{"public." + c.first_table, "public." + c.second_table});
    if (c.access) {
      harness.ExportAccess(db.Dsn());
    } else {
      harness.ui.AnswerMessageBox(MessageAnswer::Yes);  // drop the schema
      harness.run.XmlExportRun(db.Dsn(), harness.out.string());
    }
    for (const auto& [folder, last_byte] : {std::pair{c.first_folder, '\x01'}, std::pair{c.second_folder, '\x02'}}) {
      std::ifstream in(harness.OutFile("blobs/dsn/" + folder + "/photo1/1.jpg"), std::ios::binary);
      const std::string bytes((std::istreambuf_iterator<char>(in)), {});
      ASSERT_EQ(bytes.size(), 11u) << folder;
      EXPECT_EQ(bytes.back(), last_byte) << folder;
    }
    const std::vector<std::string> log = harness.ui.LogTexts();
    EXPECT_NE(std::find(log.begin(), log.end(),
                        kExportStamp + " BLOB files written in : " + harness.OutFile("blobs/dsn/" + c.second_folder)),
              log.end())
        << ::testing::PrintToString(log);
  }
}

}  // namespace
}  // namespace quill::testing
