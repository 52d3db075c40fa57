#pragma once

#include <stdexcept>
#include <string>

namespace quill::jet {

// Any failure of the database writer: a bad call, a value the column refuses,
// a file that cannot be made. The message says what and where, for the user.
class JetWriteError : public std::runtime_error {
 public:
  explicit JetWriteError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace quill::jet
