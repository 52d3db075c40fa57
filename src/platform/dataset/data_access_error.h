#pragma once

#include <stdexcept>
#include <string>

namespace quill {

// Any failure of the data-access layer; the message is what the user sees
// (for ODBC, the driver's SQLSTATE and diagnostic text).
class DataAccessError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace quill
