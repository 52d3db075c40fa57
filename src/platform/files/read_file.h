#pragma once

#include <optional>
#include <string>

namespace quill {

// The bytes of the file at path, or nothing when it cannot be opened or read.
std::optional<std::string> ReadWholeFile(const std::string& path);

}  // namespace quill
