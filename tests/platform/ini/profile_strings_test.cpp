#include "platform/ini/profile_strings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "fixtures/temporary_folder.h"
#include "platform/files/in_out_error.h"
#include "platform/files/read_file.h"

namespace quill {
namespace {

class ProfileStringsTest : public ::testing::Test {
 protected:
  quill::testing::TemporaryFolder temporary_;
  std::filesystem::path folder_ = temporary_.path();
  std::string path_ = temporary_.path() + "options.ini";
};

TEST_F(ProfileStringsTest, AMissingFileGivesTheDefault) {
  EXPECT_EQ(GetPrivateProfileString("Data", "Size", "30", path_), "30");
  EXPECT_FALSE(std::filesystem::exists(path_));
}

TEST_F(ProfileStringsTest, AFileThatCannotBeReadGivesTheDefault) {
  std::filesystem::create_directory(path_);  // a folder where the file should be
  EXPECT_EQ(GetPrivateProfileString("Data", "Size", "30", path_), "30");
}

TEST_F(ProfileStringsTest, AValueWithALineBreakIsRefusedAndTheFileStays) {
  WritePrivateProfileString("Misc", "blobpath", "/blobs", path_);
  for (const std::string value : {"x\nlang=../evil.lng", "x\rlang=evil", "x\r\n[Data]"}) {
    EXPECT_THROW(WritePrivateProfileString("Misc", "blobpath", value, path_), std::invalid_argument) << value;
    EXPECT_EQ(ReadWholeFile(path_), "[Misc]\nblobpath=/blobs\n") << value;
  }
  EXPECT_THROW(WritePrivateProfileString("Misc", "new\nkey", "1", path_), std::invalid_argument);
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
