#include "platform/files/replaced_target.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>

#include "platform/files/in_out_error.h"

namespace quill {
namespace {

// The file systems here take names of 255 bytes.
constexpr std::size_t kMaxNameBytes = 255;
constexpr std::string_view kTemporarySuffix = ".XXXXXX";

}  // namespace

void CheckReplaceableTarget(const std::string& target_path) {
  struct stat entry {};
  if (::lstat(target_path.c_str(), &entry) != 0) {
    if (errno == ENOENT) return;
    throw InOutErrorFromErrno(errno);
  }
  if (S_ISREG(entry.st_mode) || S_ISLNK(entry.st_mode)) return;
  throw InOutError(5, S_ISDIR(entry.st_mode) ? "File access denied: a folder has that name"
                                              : "File access denied: that name is a device, a FIFO or a socket");
}

std::string TemporaryPatternBeside(const std::string& target_path) {
  const std::filesystem::path target(target_path);
  std::filesystem::path folder = target.parent_path();
  if (folder.empty()) folder = ".";
  std::string name = target.filename().string();
  const std::size_t room = kMaxNameBytes - 1 - kTemporarySuffix.size();
  if (name.size() > room) name.resize(room);
  return (folder / ("." + name + std::string(kTemporarySuffix))).string();
}

void CreateFoldersInside(const std::string& root, const std::string& folder) {
  std::error_code error;
  const bool inside = !root.empty() && folder.size() > root.size() && folder.compare(0, root.size(), root) == 0 &&
                      (folder[root.size()] == '/' || root.back() == '/');
  std::filesystem::create_directories(inside ? root : folder, error);
  if (error) throw InOutErrorFromErrno(error.value());
  if (!inside) return;
  std::string path = root;
  // At the "/" that ends the root; each step takes the next name below it.
  std::size_t at = root.back() == '/' ? root.size() - 1 : root.size();
  while (at + 1 < folder.size()) {
    const std::size_t next = std::min(folder.find('/', at + 1), folder.size());
    path = folder.substr(0, next);
    at = next;
    if (path.back() == '/') continue;
    if (::mkdir(path.c_str(), 0777) != 0 && errno != EEXIST) throw InOutErrorFromErrno(errno);
    struct stat entry {};
    if (::lstat(path.c_str(), &entry) != 0) throw InOutErrorFromErrno(errno);
    if (!S_ISDIR(entry.st_mode)) throw InOutError(5, "File access denied: " + path + " is not a folder of its own");
  }
}

}  // namespace quill
