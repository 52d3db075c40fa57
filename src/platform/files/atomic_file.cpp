#include "platform/files/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/files/in_out_error.h"
#include "platform/files/replaced_target.h"

namespace quill {
namespace {

mode_t SharedMode() {
  const mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

void WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      throw InOutErrorFromErrno(errno);
    }
    bytes.remove_prefix(static_cast<size_t>(written));
  }
}

}  // namespace

void WriteFileAtomically(const std::string& path, std::string_view bytes, FileAccess access) {
  WriteFileAtomically(path, std::vector<std::string_view>{bytes}, access);
}

void WriteFileAtomically(const std::string& path, const std::vector<std::string_view>& parts, FileAccess access) {
  CheckReplaceableTarget(path);
  std::string temporary = TemporaryPatternBeside(path);

  // mkstemp creates the file with mode 0600.
  const int fd = mkstemp(temporary.data());
  if (fd < 0) throw InOutErrorFromErrno(errno);
  try {
    if (access == FileAccess::kShared && fchmod(fd, SharedMode()) != 0) throw InOutErrorFromErrno(errno);
    for (std::string_view part : parts) WriteAll(fd, part);
    if (fsync(fd) != 0) throw InOutErrorFromErrno(errno);
  } catch (...) {
    close(fd);
    unlink(temporary.c_str());
    throw;
  }
  if (close(fd) != 0) {
    const int error = errno;
    unlink(temporary.c_str());
    throw InOutErrorFromErrno(error);
  }
  if (rename(temporary.c_str(), path.c_str()) != 0) {
    const int error = errno;
    unlink(temporary.c_str());
    throw InOutErrorFromErrno(error);
  }
}

}  // namespace quill
