#pragma once

#include <stdexcept>
#include <string>

namespace quill {

// A failed file operation, with the numbered input/output error the user is
// shown ("Read beyond end of file", "File access denied", "I/O error 28").
class InOutError : public std::runtime_error {
 public:
  InOutError(int code, const std::string& message) : std::runtime_error(message), code_(code) {}

  int code() const { return code_; }

 private:
  int code_;
};

constexpr int kReadBeyondEndOfFile = 100;
constexpr int kInvalidFileName = 123;

// The error for a system error number (errno) of a failed file call.
InOutError InOutErrorFromErrno(int error_number);
// The error of a read that found fewer bytes than a record holds.
InOutError ReadBeyondEndOfFile();
// The error for a file name the file system cannot hold as one name.
InOutError InvalidFileName();
// A file that could not be created or written, named in the message with
// the reason: Cannot create file "/home/ann/people.sql". File access denied
InOutError FileCreateError(const std::string& path, const InOutError& reason);

}  // namespace quill
