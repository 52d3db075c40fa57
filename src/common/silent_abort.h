#pragma once

#include <exception>

namespace quill {

// Ends the current command without any message: a precondition is missing or
// the user declined to go on. The shell catches it and shows nothing.
class SilentAbort : public std::exception {
 public:
  const char* what() const noexcept override { return "Operation aborted"; }
};

}  // namespace quill
