#include "platform/files/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace quill {

std::string RuntimeFolder() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime != nullptr && *runtime != '\0' && std::filesystem::is_directory(runtime)) return runtime;
  return std::filesystem::temp_directory_path().string();
}

InstanceLock::InstanceLock(const std::string& name) : path_(RuntimeFolder() + "/" + name + ".lock") {}

InstanceLock::~InstanceLock() { Release(); }

bool InstanceLock::TryAcquire() {
  if (descriptor_ >= 0) return true;
  descriptor_ = ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
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
