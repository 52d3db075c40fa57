#include "platform/files/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace quill {

namespace {

// A folder only this user can enter: a real folder (no link), owned by the
// effective user, with no rights for group or others.
bool IsPrivateFolder(const struct stat& status) {
  return S_ISDIR(status.st_mode) && status.st_uid == geteuid() && (status.st_mode & 077) == 0;
}

// Opens the folder itself, never a link in its place, and checks what was
// opened, so nothing can be swapped in between the check and the use.
int OpenPrivateFolder(const std::string& folder) {
  const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (descriptor < 0) return -1;
  struct stat status {};
  if (::fstat(descriptor, &status) != 0 || !IsPrivateFolder(status)) {
    ::close(descriptor);
    return -1;
  }
  return descriptor;
}

std::string FallbackFolder() {
  std::error_code error;
  std::filesystem::path temporary = std::filesystem::temp_directory_path(error);
  if (error) temporary = "/tmp";
  return (temporary / ("quillmarsh-" + std::to_string(geteuid()))).string();
}

}  // namespace

std::string RuntimeFolder() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime != nullptr && runtime[0] == '/') {
    const int descriptor = OpenPrivateFolder(runtime);
    if (descriptor >= 0) {
      ::close(descriptor);
      return runtime;
    }
  }
  // No runtime folder of the user's own (ssh, su, a plain X session).
  const std::string folder = FallbackFolder();
  if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return {};
  const int descriptor = OpenPrivateFolder(folder);
  if (descriptor < 0) return {};
  ::close(descriptor);
  return folder;
}

InstanceLock::InstanceLock(const std::string& name) : name_(name + ".lock") {}

InstanceLock::~InstanceLock() { Release(); }

bool InstanceLock::TryAcquire() {
  if (descriptor_ >= 0) return true;
  const std::string folder = RuntimeFolder();
  const int folder_descriptor = folder.empty() ? -1 : OpenPrivateFolder(folder);
  if (folder_descriptor < 0) {
    failed_ = true;
    return false;
  }
  // Inside the checked folder, and a link at the file's name is refused.
  descriptor_ = ::openat(folder_descriptor, name_.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
  ::close(folder_descriptor);
  struct stat status {};
  if (descriptor_ >= 0 &&
      (::fstat(descriptor_, &status) != 0 || !S_ISREG(status.st_mode) || status.st_uid != geteuid())) {
    ::close(descriptor_);
    descriptor_ = -1;
  }
  if (descriptor_ < 0) {
    failed_ = true;
    return false;
  }
  if (::flock(descriptor_, LOCK_EX | LOCK_NB) != 0) {
    ::close(descriptor_);
    descriptor_ = -1;
    return false;
  }
  return true;
}

void InstanceLock::Release() {
  if (descriptor_ < 0) return;
  ::flock(descriptor_, LOCK_UN);
  ::close(descriptor_);
  descriptor_ = -1;
}

}  // namespace quill
