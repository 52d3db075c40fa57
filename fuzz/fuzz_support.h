#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>
#include <string_view>

namespace quill::fuzz {

// The input as text.
inline std::string_view Bytes(const uint8_t* data, size_t size) {
  return std::string_view(reinterpret_cast<const char*>(data), size);
}

// The input written to a file of this process's own, for parsers that read
// files; the same path every time, ending with name.
inline std::string WriteInput(const uint8_t* data, size_t size, const std::string& name) {
  static const std::string folder = [] {
    std::string pattern = "/tmp/quill-fuzz-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) return std::string("/tmp");
    return pattern;
  }();
  const std::string path = folder + "/" + name;
  std::ofstream(path, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data),
                                                                 static_cast<std::streamsize>(size));
  return path;
}

}  // namespace quill::fuzz
