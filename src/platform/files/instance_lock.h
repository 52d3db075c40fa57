#pragma once

#include <string>

namespace quill {

// A named lock that one process of a user at a time can hold: an advisory
// lock on a file named after it in the user's own runtime folder
// (RuntimeFolder). The system drops it when the process ends, so a crashed
// instance never blocks the next start. Every user has a lock of their own;
// no folder or file of another user is ever used, and no symbolic link is
// followed to reach the file.
class InstanceLock {
 public:
  explicit InstanceLock(const std::string& name);
  ~InstanceLock();
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;

  // False when another process holds the lock, or the lock file cannot be made.
  bool TryAcquire();
  void Release();
  // The lock file could not be created at all (no folder of the user's own,
  // a planted link, a file of another owner).
  bool failed() const { return failed_; }

 private:
  std::string name_;
  int descriptor_ = -1;
  bool failed_ = false;
};

// The folder for the lock files: $XDG_RUNTIME_DIR when it is a folder of
// the user's own that only the user can enter (mode 0700, no symbolic
// link); else "quillmarsh-<uid>" in the temporary folder, created with mode
// 0700 when missing. Empty when that folder is not a real folder of the
// user's own with mode 0700: it is then refused, never used.
std::string RuntimeFolder();

}  // namespace quill
