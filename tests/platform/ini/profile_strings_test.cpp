#include "platform/ini/profile_strings.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "platform/files/in_out_error.h"
#include "platform/files/read_file.h"

namespace quill {
namespace {

class ProfileStringsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "quill-ini-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
    path_ = (folder_ / "options.ini").string();
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  std::filesystem::path folder_;
  std::string path_;
};

TEST_F(ProfileStringsTest, AMissingFileGivesTheDefault) {
  EXPECT_EQ(GetPrivateProfileString("Data", "Size", "30", path_), "30");
  EXPECT_FALSE(std::filesystem::exists(path_));
}

TEST_F(ProfileStringsTest, WritingCreatesTheFileAndReadsBack) {
  WritePrivateProfileString("Output", "Font", "DejaVu Sans", path_);
  WritePrivateProfileString("Output", "FontSize", "10", path_);
  EXPECT_EQ(GetPrivateProfileString("output", "font", "", path_), "DejaVu Sans");
  EXPECT_EQ(GetPrivateProfileString("Output", "FontSize", "8", path_), "10");
  EXPECT_EQ(ReadWholeFile(path_), "[Output]\nFont=DejaVu Sans\nFontSize=10\n");
}

TEST_F(ProfileStringsTest, AWriteLeavesNoTemporaryFileBehind) {
  WritePrivateProfileString("Misc", "Drop", "1", path_);
  WritePrivateProfileString("Misc", "Drop", "0", path_);
  size_t files = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder_)) ++files;
  EXPECT_EQ(files, 1u);
}

TEST_F(ProfileStringsTest, BytesThatAreNotUtf8StayAsTheyAre) {
  std::ofstream(path_, std::ios::binary) << "[Misc]\nMSSchema=caf\xe9\n";
  EXPECT_EQ(GetPrivateProfileString("Misc", "MSSchema", "", path_), "caf\xe9");
  WritePrivateProfileString("Misc", "Drop", "1", path_);
  EXPECT_EQ(ReadWholeFile(path_), "[Misc]\nMSSchema=caf\xe9\nDrop=1\n");
}

TEST_F(ProfileStringsTest, AFolderThatCannotBeWrittenThrowsAndKeepsTheFile) {
  WritePrivateProfileString("Misc", "Drop", "1", path_);
  const std::string missing_folder_path = (folder_ / "missing" / "options.ini").string();
  EXPECT_THROW(WritePrivateProfileString("Misc", "Drop", "0", missing_folder_path), InOutError);
  EXPECT_EQ(GetPrivateProfileString("Misc", "Drop", "", path_), "1");
}

}  // namespace
}  // namespace quill
