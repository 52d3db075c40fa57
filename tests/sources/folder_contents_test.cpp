#include "sources/folder_contents.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "fixtures/temporary_folder.h"

namespace quill {
namespace {

namespace fs = std::filesystem;
using quill::testing::TemporaryFolder;

void WriteFile(const fs::path& path, const std::string& text = "x") {
  fs::create_directories(path.parent_path());
  std::ofstream(path) << text;
}

// Sets or clears the immutable flag, which makes even root fail to delete
// the file; false where the file system or the process cannot set it.
bool SetImmutable(const fs::path& path, bool immutable) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  int flags = 0;
  bool done = ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
  if (done) {
    flags = immutable ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
    done = ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
  }
  close(fd);
  return done;
}

TEST(FolderToEmptyTest, RefusesEmptyRootAndHomeButNotOrdinaryFolders) {
  TemporaryFolder home;
  TemporaryFolder elsewhere;
  const std::string home_path = home.path();  // ends with "/"
  fs::create_directories(home_path + "blobs");
  const fs::path link_to_home = fs::path(elsewhere.path()) / "home-link";
  fs::create_directory_symlink(home_path, link_to_home);

  const struct {
    std::string root;
    EmptyingRefusal expected;
  } cases[] = {
      {"", EmptyingRefusal::EmptyPath},
      {"   ", EmptyingRefusal::EmptyPath},
      {"/", EmptyingRefusal::FileSystemRoot},
      {"//", EmptyingRefusal::FileSystemRoot},
      {"/tmp/..", EmptyingRefusal::FileSystemRoot},
      {home_path, EmptyingRefusal::HomeFolder},
      {home_path.substr(0, home_path.size() - 1), EmptyingRefusal::HomeFolder},
      {home_path + "blobs/..", EmptyingRefusal::HomeFolder},
      {fs::path(home_path).parent_path().parent_path().string(), EmptyingRefusal::HomeFolder},  // holds the home
      {link_to_home.string(), EmptyingRefusal::HomeFolder},
      {home_path + "blobs", EmptyingRefusal::None},
      {elsewhere.path(), EmptyingRefusal::None},
      {elsewhere.path() + "not there yet", EmptyingRefusal::None},
  };
  for (const auto& test : cases) {
    EXPECT_EQ(CheckFolderToEmpty(test.root, home_path), test.expected) << "root '" << test.root << "'";
  }
  EXPECT_EQ(CheckFolderToEmpty(elsewhere.path(), ""), EmptyingRefusal::None);
}

TEST(DeleteFolderContentsTest, KeepsStartupFoldersAndDeletesEverythingElse) {
  TemporaryFolder root;
  TemporaryFolder outside;
  const fs::path base = root.path();
  WriteFile(base / "Startup" / "keep.jpg");
  WriteFile(base / "startup");  // a file of that name goes
  WriteFile(base / "photo.jpg");
  WriteFile(base / "deep" / "er" / "still" / "file.bmp");
  WriteFile(base / "locked" / "inside.doc");
  fs::permissions(base / "locked", fs::perms::owner_read | fs::perms::owner_exec);  // read-only folder
  WriteFile(fs::path(outside.path()) / "precious.txt");
  fs::create_directory_symlink(outside.path(), base / "link to outside");
  fs::create_directory_symlink(outside.path(), base / "deep" / "nested link");
  fs::create_symlink(fs::path(outside.path()) / "precious.txt", base / "file link");

  EXPECT_TRUE(DeleteFolderContents(root.path()));

  std::vector<std::string> left;
  for (const fs::directory_entry& entry : fs::directory_iterator(base)) left.push_back(entry.path().filename());
  EXPECT_EQ(left, std::vector<std::string>({"Startup"}));
  EXPECT_TRUE(fs::exists(base / "Startup" / "keep.jpg"));
  // Links are deleted as links; what they point to stays.
  EXPECT_TRUE(fs::exists(fs::path(outside.path()) / "precious.txt"));
}

TEST(DeleteFolderContentsTest, RootThatDoesNotExistFailsAndDeletesNothing) {
  TemporaryFolder parent;
  WriteFile(fs::path(parent.path()) / "sibling.txt");
  EXPECT_FALSE(DeleteFolderContents(parent.path() + "missing/"));
  EXPECT_TRUE(fs::exists(fs::path(parent.path()) / "sibling.txt"));
}

TEST(DeleteFolderContentsTest, RootThatIsAFileFailsAndStays) {
  TemporaryFolder parent;
  const fs::path file = fs::path(parent.path()) / "blobs";
  WriteFile(file);
  EXPECT_FALSE(DeleteFolderContents(file.string() + "/"));
  EXPECT_TRUE(fs::exists(file));
}

TEST(DeleteFolderContentsTest, StopsAtTheFirstEntryThatCannotBeDeleted) {
  TemporaryFolder root;
  const fs::path base = root.path();
  const fs::path stuck = base / "folder" / "stuck.bin";
  WriteFile(stuck);
  WriteFile(base / "loose.txt");
  if (!SetImmutable(stuck, true)) GTEST_SKIP() << "the file system cannot make a file undeletable here";

  const bool emptied = DeleteFolderContents(root.path());
  SetImmutable(stuck, false);

  EXPECT_FALSE(emptied);
  // The folder pass failed, so the file pass never ran.
  EXPECT_TRUE(fs::exists(stuck));
  EXPECT_TRUE(fs::exists(base / "loose.txt"));
}

TEST(DeleteFolderTreeTest, RemovesTheFolderButNeverThroughALink) {
  TemporaryFolder parent;
  const fs::path base = parent.path();
  WriteFile(base / "tree" / "a" / "b.txt");
  EXPECT_TRUE(DeleteFolderTree((base / "tree").string() + "/"));
  EXPECT_FALSE(fs::exists(base / "tree"));

  WriteFile(base / "target" / "kept.txt");
  fs::create_directory_symlink(base / "target", base / "link");
  EXPECT_FALSE(DeleteFolderTree((base / "link").string()));
  EXPECT_TRUE(fs::exists(base / "target" / "kept.txt"));
  EXPECT_FALSE(DeleteFolderTree((base / "missing").string()));
}

}  // namespace
}  // namespace quill
