#pragma once

#include <string>

namespace quill {

// A named lock that one process at a time can hold: an advisory lock on a
// file named after it in the user's runtime folder. The system drops it when
// the process ends, so a crashed instance never blocks the next start.
class InstanceLock {
 public:
  explicit InstanceLock(const std::string& name);
  ~InstanceLock();
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;

  // False when another process holds the lock, or the lock file cannot be made.
  bool TryAcquire();
  void Release();
  // The lock file could not be created at all.
  bool failed() const { return failed_; }

 private:
  std::string path_;
  int descriptor_ = -1;
  bool failed_ = false;
};

// The folder for the lock files: $XDG_RUNTIME_DIR, else the temporary folder.
std::string RuntimeFolder();

}  // namespace quill
