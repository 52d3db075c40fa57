#include "sources/folder_contents.h"

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <vector>

namespace quill {
namespace {

namespace fs = std::filesystem;

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }

 private:
  int fd_;
};

bool IsDotEntry(const std::string& name) { return name == "." || name == ".."; }

bool IsStartupName(const std::string& name) { return strcasecmp(name.c_str(), "startup") == 0; }

// A snapshot of the entry names, so that deleting entries does not disturb
// the walk over them.
std::optional<std::vector<std::string>> EntryNames(int folder_fd) {
  const int walk_fd = dup(folder_fd);
  if (walk_fd < 0) return std::nullopt;
  DIR* folder = fdopendir(walk_fd);
  if (folder == nullptr) {
    close(walk_fd);
    return std::nullopt;
  }
  rewinddir(folder);
  std::vector<std::string> names;
  while (const dirent* entry = readdir(folder)) {
    const std::string name = entry->d_name;
    if (!IsDotEntry(name)) names.push_back(name);
  }
  closedir(folder);
  return names;
}

// The entry itself: a symbolic link is a link, not what it points to.
bool EntryStatus(int folder_fd, const std::string& name, struct stat& status) {
  return fstatat(folder_fd, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0;
}

// Clearing the read-only attribute: the owner gets write permission, other
// permission bits stay. Links carry no permissions of their own.
bool MakeWritable(int folder_fd, const std::string& name, const struct stat& status) {
  if (S_ISLNK(status.st_mode) || (status.st_mode & S_IWUSR) != 0) return true;
  return fchmodat(folder_fd, name.c_str(), (status.st_mode & 07777) | S_IWUSR, 0) == 0;
}

bool RemoveTreeAt(int parent_fd, const std::string& name);

// The two passes: sub-folders first (each removed with all it holds), then
// everything that is not a folder. Both stop at the first failure.
bool EmptyFolder(int folder_fd, bool keep_startup_folders) {
  const std::optional<std::vector<std::string>> names = EntryNames(folder_fd);
  if (!names) return false;
  for (const std::string& name : *names) {
    if (keep_startup_folders && IsStartupName(name)) continue;
    struct stat status {};
    if (!EntryStatus(folder_fd, name, status)) return false;
    if (!MakeWritable(folder_fd, name, status)) return false;
    if (S_ISDIR(status.st_mode) && !RemoveTreeAt(folder_fd, name)) return false;
  }

  const std::optional<std::vector<std::string>> remaining = EntryNames(folder_fd);
  if (!remaining) return false;
  for (const std::string& name : *remaining) {
    struct stat status {};
    if (!EntryStatus(folder_fd, name, status)) return false;
    if (S_ISDIR(status.st_mode)) continue;
    if (unlinkat(folder_fd, name.c_str(), 0) != 0) return false;
  }
  return true;
}

bool RemoveTreeAt(int parent_fd, const std::string& name) {
  {
    const FileDescriptor folder(openat(parent_fd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!folder.valid()) return false;
    if (!EmptyFolder(folder.get(), false)) return false;
  }
  return unlinkat(parent_fd, name.c_str(), AT_REMOVEDIR) == 0;
}

fs::path ResolvedPath(const std::string& path) {
  std::error_code error;
  fs::path resolved = fs::weakly_canonical(fs::path(path), error);
  if (error) resolved = fs::absolute(fs::path(path), error).lexically_normal();
  // "/a/b/" and "/a/b" name the same folder.
  if (resolved.has_relative_path() && !resolved.has_filename()) resolved = resolved.parent_path();
  return resolved;
}

// True when folder is path itself or one of the folders above it.
bool HoldsOrIs(const fs::path& folder, const fs::path& path) {
  auto folder_part = folder.begin();
  auto path_part = path.begin();
  for (; folder_part != folder.end(); ++folder_part, ++path_part) {
    if (path_part == path.end() || *folder_part != *path_part) return false;
  }
  return true;
}

}  // namespace

EmptyingRefusal CheckFolderToEmpty(const std::string& root, const std::string& home_folder) {
  if (root.find_first_not_of(" \t") == std::string::npos) return EmptyingRefusal::EmptyPath;
  const fs::path folder = ResolvedPath(root);
  if (folder.has_root_directory() && !folder.has_relative_path()) return EmptyingRefusal::FileSystemRoot;
  if (!home_folder.empty() && HoldsOrIs(folder, ResolvedPath(home_folder))) return EmptyingRefusal::HomeFolder;
  return EmptyingRefusal::None;
}

std::string UserHomeFolder() {
  if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') return home;
  if (const passwd* entry = getpwuid(getuid()); entry != nullptr && entry->pw_dir != nullptr) return entry->pw_dir;
  return {};
}

bool DeleteFolderContents(const std::string& root) {
  const FileDescriptor folder(open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!folder.valid()) return false;
  return EmptyFolder(folder.get(), true);
}

bool DeleteFolderTree(const std::string& folder) {
  fs::path path(folder);
  while (path.has_relative_path() && !path.has_filename()) path = path.parent_path();
  const std::string name = path.filename().string();
  if (name.empty() || IsDotEntry(name)) return false;
  fs::path parent = path.parent_path();
  if (parent.empty()) parent = ".";
  const FileDescriptor parent_folder(open(parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!parent_folder.valid()) return false;
  return RemoveTreeAt(parent_folder.get(), name);
}

}  // namespace quill
