#include "platform/files/in_out_error.h"

#include <cerrno>

namespace quill {

InOutError InOutErrorFromErrno(int error_number) {
  switch (error_number) {
    case ENOENT:
      return InOutError(2, "File not found");
    case ENOTDIR:
      return InOutError(3, "Path not found");
    case EMFILE:
    case ENFILE:
      return InOutError(4, "Too many open files");
    case EACCES:
    case EPERM:
    case EROFS:
      return InOutError(5, "File access denied");
    case ENOSPC:
    case EDQUOT:
      return InOutError(101, "Disk full");
    default:
      return InOutError(error_number, "I/O error " + std::to_string(error_number));
  }
}

InOutError InvalidFileName() { return InOutError(kInvalidFileName, "Invalid filename"); }

InOutError FileCreateError(const std::string& path, const InOutError& reason) {
  return InOutError(reason.code(), "Cannot create file \"" + path + "\". " + reason.what());
}

InOutError ReadBeyondEndOfFile() { return InOutError(kReadBeyondEndOfFile, "Read beyond end of file"); }

}  // namespace quill
