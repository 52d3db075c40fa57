#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quill {

// The read-only registry the program looks at. Only the local machine's keys
// exist: the ODBC data sources and drivers (from unixODBC's system
// configuration), the processors (from /proc/cpuinfo) and the data-access
// version (unixODBC's own).
enum class RegistryRoot { LocalMachine };

constexpr uint32_t kRegSz = 1;     // text, stored with its terminating NUL
constexpr uint32_t kRegDword = 4;  // 32-bit number, little-endian

struct RegistryValue {
  std::string name;
  uint32_t type = kRegSz;
  std::vector<uint8_t> data;
};

// One key as it stands at the moment it is opened.
struct RegistryKey {
  std::vector<std::string> sub_keys;
  std::vector<RegistryValue> values;

  // The value of that name (names ignore ASCII case), or nullptr.
  const RegistryValue* FindValue(const std::string& name) const;
};

// The key at key_path, sub-key names separated by "\" and compared without
// regard to ASCII case; nothing when it does not exist.
std::optional<RegistryKey> OpenRegistryKey(RegistryRoot root, const std::string& key_path);

// Values of the two types the program reads.
RegistryValue StringValue(const std::string& name, const std::string& text);
RegistryValue DwordValue(const std::string& name, uint32_t number);

}  // namespace quill
