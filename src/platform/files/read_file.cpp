#include "platform/files/read_file.h"

#include <fstream>
#include <iterator>

namespace quill {

std::optional<std::string> ReadWholeFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return std::nullopt;
  // A path that opens but cannot be read (a folder, a device that fails)
  // makes the stream buffer throw rather than report.
  try {
    std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (file.bad()) return std::nullopt;
    return bytes;
  } catch (const std::ios_base::failure&) {
    return std::nullopt;
  }
}

}  // namespace quill
