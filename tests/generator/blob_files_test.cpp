#include "generator/blob_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fixtures/temporary_folder.h"
#include "platform/files/in_out_error.h"

namespace quill {
namespace {

namespace fs = std::filesystem;

const std::string kPng("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16);

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class SaveBlobToFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Not made yet: the code under test makes the folders it needs.
    root_ = fs::path(folder_.path()) / "blobs";
    settings_.files_method = 0;
    settings_.find_png = true;
    settings_.find_jpg = true;
  }

  Field Blob(const std::string& bytes) {
    Field field("photo", "TBlobField", FieldKind::ftBlob, 0, 1);
    field.SetText(bytes);
    return field;
  }

  testing::TemporaryFolder folder_;
  fs::path root_;
  Settings settings_;
};

TEST_F(SaveBlobToFileTest, WritesFromTheSignatureOnIntoNewFolders) {
  const std::string folder = (root_ / "dsn" / "t" / "photo1").string();
  const auto extension = SaveBlobToFile(Blob("HEADER" + kPng), folder, 7, settings_);
  ASSERT_EQ(extension, "png");
  EXPECT_EQ(ReadAll(fs::path(folder) / "7.png"), kPng);
}

TEST_F(SaveBlobToFileTest, ReplacesTheFileOfAnEarlierRun) {
  const std::string folder = root_.string();
  ASSERT_TRUE(SaveBlobToFile(Blob("old" + kPng + "old"), folder, 1, settings_));
  ASSERT_TRUE(SaveBlobToFile(Blob(kPng), folder, 1, settings_));
  EXPECT_EQ(ReadAll(root_ / "1.png"), kPng);
}

TEST_F(SaveBlobToFileTest, WritesNothingWhenNoWantedTypeIsFound) {
  settings_.files_method = 1;  // Filter: the earliest type, a GIF, is not ticked
  const std::string folder = (root_ / "none").string();
  EXPECT_EQ(SaveBlobToFile(Blob("GIF89a.." + kPng), folder, 1, settings_), std::nullopt);
  EXPECT_EQ(SaveBlobToFile(Blob("\x89"), folder, 2, settings_), std::nullopt);
  EXPECT_FALSE(fs::exists(folder));
}

TEST_F(SaveBlobToFileTest, FolderThatCannotBeMadeIsAnError) {
  fs::create_directories(root_);
  std::ofstream(root_ / "file") << "x";
  EXPECT_THROW(SaveBlobToFile(Blob(kPng), (root_ / "file" / "sub").string(), 1, settings_), InOutError);
}

TEST(BlobFileLayout, FolderOfRootNodeTableAndFieldWithItsIndex) {
  RunFileNames names;
  const Field field("photo", "TBlobField", FieldKind::ftBlob, 0, 3);
  EXPECT_EQ(BlobFileLayout(names, "/data/blobs", "Sales DSN", "dbo.Orders", "dbo.Orders", field),
            "/data/blobs/Sales DSN/dbo.Orders/photo3");
}

TEST(BlobFileLayout, NamesFromTheSourceStayInsideTheRoot) {
  RunFileNames names;
  const Field field("a/b", "TBlobField", FieldKind::ftBlob, 0, 0);
  EXPECT_EQ(BlobFileLayout(names, "/r", "..", "../../etc", "../../etc", field), "/r/__/.._.._etc/a_b0");
}

// Tables and columns of one run whose names give one folder each keep a
// folder of their own, so no BLOB file of one overwrites another's; every
// row of a column finds its folder again.
TEST(BlobFileLayout, EveryTableAndColumnOfARunHasAFolderOfItsOwn) {
  struct Case {
    std::string table;
    std::string field;
    int index;
    std::string folder;
  };
  const std::string long_name(300, 'x');
  const std::vector<Case> cases = {
      {"a/b", "photo", 1, "/r/dsn/a_b/photo1"},
      {"a_b", "photo", 1, "/r/dsn/a_b_2/photo1"},
      {"a\\b", "photo", 1, "/r/dsn/a_b_3/photo1"},
      {"A_B", "photo", 1, "/r/dsn/A_B_4/photo1"},  // one folder on a case-insensitive file system
      {"..", "f1", 0, "/r/dsn/__/f10"},
      {"..", "f", 10, "/r/dsn/__/f10_2"},  // "f1" + "0" and "f" + "10"
      {"__", "p", 0, "/r/dsn/___2/p0"},
      {long_name + "1", "p", 0, "/r/dsn/" + std::string(240, 'x') + "/p0"},
      {long_name + "2", "p", 0, "/r/dsn/" + std::string(238, 'x') + "_2/p0"},
      {"a/b", "photo", 1, "/r/dsn/a_b/photo1"},  // the first table again: its own folder
      {"a_b", "photo", 1, "/r/dsn/a_b_2/photo1"},
  };
  RunFileNames names;
  for (const Case& c : cases) {
    const Field field(c.field, "TBlobField", FieldKind::ftBlob, 0, c.index);
    EXPECT_EQ(BlobFileLayout(names, "/r", "dsn", c.table, c.table, field), c.folder) << c.table << " " << c.field;
  }
}

// Extraction never writes into a folder at the file system's root.
TEST(BlobFileLayout, ARootPathThatNamesNoFolderIsRefused) {
  const Field field("photo", "TBlobField", FieldKind::ftBlob, 0, 1);
  for (const std::string root : {"", "  ", "/", "/tmp/..", "//"}) {
    RunFileNames names;
    try {
      BlobFileLayout(names, root, "dsn", "t", "t", field);
      ADD_FAILURE() << "'" << root << "' was taken";
    } catch (const BlobRootRefused& error) {
      const std::string message = error.what();
      EXPECT_NE(message.find("no BLOB file was written"), std::string::npos) << message;
    }
  }
}

}  // namespace
}  // namespace quill
