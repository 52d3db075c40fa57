// The file helpers the INI writer stands on.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "fixtures/temporary_folder.h"
#include "platform/files/atomic_file.h"
#include "platform/files/program_folder.h"
#include "platform/files/read_file.h"

namespace quill {
namespace {

TEST(ProgramFolderTest, IsTheFolderOfTheRunningExecutableWithATrailingSlash) {
  const std::string folder = ProgramFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.back(), '/');
  EXPECT_EQ(std::filesystem::path(folder + "test_platform_ini"), std::filesystem::read_symlink("/proc/self/exe"));
}

mode_t ModeOf(const std::string& path) {
  struct stat status {};
  EXPECT_EQ(stat(path.c_str(), &status), 0);
  return status.st_mode & 0777;
}

TEST(WriteFileAtomicallyTest, ReplacesTheFileWithTheRequestedAccess) {
  const quill::testing::TemporaryFolder folder;
  const std::string path = folder.path() + "file.key";
  const mode_t old_mask = umask(022);

  WriteFileAtomically(path, std::string("first\0bytes", 11));
  EXPECT_EQ(ReadWholeFile(path), std::string("first\0bytes", 11));
  EXPECT_EQ(ModeOf(path), 0644u);

  WriteFileAtomically(path, "second", FileAccess::kOwnerOnly);
  EXPECT_EQ(ReadWholeFile(path), "second");
  EXPECT_EQ(ModeOf(path), 0600u);

  umask(old_mask);
}

TEST(ReadWholeFileTest, AMissingFileOrAFolderReadsAsNothing) {
  EXPECT_EQ(ReadWholeFile("/nonexistent/quill/file"), std::nullopt);
  const quill::testing::TemporaryFolder folder;
  EXPECT_EQ(ReadWholeFile(folder.path()), std::nullopt);
}

}  // namespace
}  // namespace quill
