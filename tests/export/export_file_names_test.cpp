// File and folder names made from table, field and source names stay inside
// the folder the user chose, and the log names the file written.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "export_harness.h"
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

// BLOB files of the Access export: the source caption and the table name
// each become one folder inside the BLOB root.
TEST(ExportFileNameTest, BlobFoldersStayInsideTheBlobRoot) {
  TestDatabase db = TestDatabase::Postgres();
  db.CreateTable({"../elsewhere/x", {{"id", "integer"}, {"photo", "bytea"}}, {"id"},
                  {{"1", "'\\xffd8ffe000104a464946'"}}});
  ExportHarness harness;
  harness.settings.extract_files = true;
  harness.settings.find_jpg = true;
  harness.settings.files_method = 0;
  harness.settings.blob_path = harness.OutFile("blobs");
  harness.ui.SetSelectedNodeCaption("../up");
  harness.ui.AnswerTableSelection(std::vector<std::string>{"public.../elsewhere/x"});
  harness.ExportAccess(db.Dsn());

  EXPECT_EQ(harness.OutFiles(), (std::vector<std::string>{"NewDatabase.mdb", "blobs/.._up/___elsewhere_x/photo1/1.jpg"}));
}

}  // namespace
}  // namespace quill::testing
