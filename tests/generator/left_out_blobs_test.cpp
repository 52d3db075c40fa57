// BLOB values a script leaves out are said: one plain line per table and
// column with the count and the option that keeps them, in every dialect;
// and the BLOB files of one run never overwrite each other.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fixtures/test_database.h"
#include "generator/script_header.h"
#include "generator_harness.h"

namespace quill::testing {
namespace {

namespace fs = std::filesystem;

const std::string kPngLiteral = "X'89504E470D0A1A0A0000'";
const std::string kNotExtracted =
    "BLOB values left out; the option \"Extract Files from BLOB fields\" keeps them.";
const std::string kWithoutFileType =
    "BLOB values left out: none holds a file type of \"Look for these file formats\", the types that are kept.";

// Two BLOB columns: a picture, two values of no known type, an empty one
// and a NULL in "photo"; one value of no known type in "scan".
TableDescription Pictures() {
  return {"pix",
          {{"id", "INTEGER"}, {"photo", "BLOB"}, {"scan", "BLOB"}},
          {"id"},
          {{"1", kPngLiteral, "NULL"},
           {"2", "X'00FF275C0D0A'", "X'0102'"},
           {"3", "X'4142424D'", "NULL"},
           {"4", "X''", "NULL"},
           {"5", "NULL", "NULL"}}};
}

struct LeftOutCase {
  const char* name;
  bool extract_files;
  bool text_from_blob;
  std::vector<std::string> lines;  // the plain lines about BLOBs, in order
};

void PrintTo(const LeftOutCase& c, std::ostream* out) { *out << c.name; }

class LeftOutBlobsTest : public ::testing::TestWithParam<LeftOutCase> {};

TEST_P(LeftOutBlobsTest, EachColumnGetsOnePlainLineWithTheCount) {
  const LeftOutCase& c = GetParam();
  TestDatabase db = TestDatabase::Sqlite();
  db.CreateTable(Pictures());
  for (const TargetDialect dialect : {TargetDialect::MySql, TargetDialect::MsSql, TargetDialect::Oracle,
                                      TargetDialect::Pervasive, TargetDialect::PostgreSql}) {
    GeneratorHarness harness;
    const fs::path root = harness.program_folder / "blobs";
    harness.settings.format = dialect;
    harness.settings.extract_files = c.extract_files;
    harness.settings.text_from_blob = c.text_from_blob;
    harness.settings.files_method = 0;
    harness.settings.find_png = true;
    harness.settings.blob_path = root.string();
    harness.generator.GenerateScript(db.Dsn(), "pix");
    std::vector<std::string> blob_lines;
    for (const LogLine& line : harness.ui.log_lines()) {
      if (line.text.find("BLOB values left out") == std::string::npos) continue;
      EXPECT_FALSE(line.color.has_value()) << line.text;
      blob_lines.push_back(line.text);
    }
    EXPECT_EQ(blob_lines, c.lines) << DialectName(dialect);
    // The lines come before the table's outcome.
    const std::vector<std::string> log = harness.ui.LogTexts();
    const auto ok = std::find_if(log.begin(), log.end(),
                                 [](const std::string& text) { return text.find("Table : pix - OK") != std::string::npos; });
    ASSERT_NE(ok, log.end()) << DialectName(dialect);
    for (const std::string& line : c.lines) EXPECT_LT(std::find(log.begin(), log.end(), line), ok);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Options, LeftOutBlobsTest,
    ::testing::Values(LeftOutCase{"NotExtracted", false, false,
                                  {"Table : pix : column photo : 4 " + kNotExtracted,
                                   "Table : pix : column scan : 1 " + kNotExtracted}},
                      LeftOutCase{"ExtractedWithoutAFileType", true, false,
                                  {"Table : pix : column photo : 3 " + kWithoutFileType,
                                   "Table : pix : column scan : 1 " + kWithoutFileType}},
                      LeftOutCase{"TextFromBlobKeepsThemAll", false, true, {}}),
    [](const ::testing::TestParamInfo<LeftOutCase>& info) { return std::string(info.param.name); });

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Tables whose names give one folder (a/b, a_b, a\b, A_B) each keep their
// own BLOB folder, and the script points at each table's own files.
TEST(BlobFilesOfARunTest, TablesWhoseNamesGiveOneFolderKeepTheirOwnFiles) {
  TestDatabase db = TestDatabase::Postgres();
  const std::vector<std::string> tables = {"a/b", "a_b", "a\\b", "A_B"};
  std::vector<std::string> listed;
  for (std::size_t i = 0; i < tables.size(); ++i) {
    // The same picture type in every table, told apart by its last byte.
    const std::string png = "'\\x89504e470d0a1a0a00" + std::to_string(i) + "0'";
    db.CreateTable({tables[i], {{"id", "integer"}, {"photo", "bytea"}}, {"id"}, {{"1", png}}});
    listed.push_back("public." + tables[i]);
  }
  GeneratorHarness harness;
  const fs::path root = harness.program_folder / "blobs";
  harness.settings.format = TargetDialect::PostgreSql;
  harness.settings.extract_files = true;
  harness.settings.files_method = 0;
  harness.settings.find_png = true;
  harness.settings.blob_path = root.string();
  harness.ui.SetSelectedNodeCaption("dsn");
  harness.ui.AnswerTableSelection(listed);
  harness.ui.AnswerMessageBox(MessageAnswer::No);  // no foreign keys
  harness.generator.GenerateScript(db.Dsn(), "");

  const std::vector<std::string> folders = {"public.a_b", "public.a_b_2", "public.a_b_3", "public.A_B_4"};
  const std::string script = harness.ScriptText();
  const std::vector<std::string> log = harness.ui.LogTexts();
  for (std::size_t i = 0; i < folders.size(); ++i) {
    const fs::path file = root / "dsn" / folders[i] / "photo1" / "1.png";
    const std::string bytes = ReadAll(file);
    ASSERT_EQ(bytes.size(), 10u) << file;
    EXPECT_EQ(static_cast<unsigned char>(bytes[9]), i * 16) << file;
    EXPECT_NE(script.find(file.string()), std::string::npos) << file;
    // The log says where the files of a table with a suffix went.
    const std::string said = kStamp + std::string(" BLOB files written in : ") + (root / "dsn" / folders[i]).string();
    EXPECT_EQ(std::find(log.begin(), log.end(), said) != log.end(), i > 0) << said;
  }
}

// With extraction on and no BLOB root path (or the file system's root), the
// table fails with the clear reason and no file is written at the root.
TEST(BlobFilesOfARunTest, ARootPathThatNamesNoFolderFailsTheTableClearly) {
  TestDatabase db = TestDatabase::Sqlite();
  db.CreateTable(Pictures());
  const struct {
    std::string root;
    std::string message;
  } cases[] = {
      {"", "Error with table : pix : No BLOB root path is given (options, BLOB page): no BLOB file was written."},
      {"/", "Error with table : pix : The BLOB root path / is the file system's root: no BLOB file was written "
            "there."},
  };
  for (const auto& c : cases) {
    GeneratorHarness harness;
    harness.settings.format = TargetDialect::MySql;
    harness.settings.extract_files = true;
    harness.settings.files_method = 0;
    harness.settings.find_png = true;
    harness.settings.blob_path = c.root;
    harness.ui.SetSelectedNodeCaption("quill-no-root-check");
    harness.generator.GenerateScript(db.Dsn(), "pix");
    ASSERT_EQ(harness.ui.placed_messages().size(), 1u) << c.root;
    EXPECT_EQ(harness.ui.placed_messages()[0].text, c.message);
    EXPECT_FALSE(fs::exists("/quill-no-root-check"));
  }
}

}  // namespace
}  // namespace quill::testing
