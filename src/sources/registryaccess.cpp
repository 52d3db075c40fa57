#include "sources/registryaccess.h"

#include <optional>

namespace quill {
namespace {

constexpr char kDataSourcesKeyPath[] = "SOFTWARE\\ODBC\\ODBC.INI\\ODBC Data Sources";
constexpr char kDriversKeyPath[] = "SOFTWARE\\ODBC\\ODBCINST.INI\\ODBC Drivers";

// Names longer than the enumeration's 1024-byte buffer (NUL included) end it.
constexpr size_t kNameBufferSize = 1024;

}  // namespace

int LastCharPos(char ch, const std::string& text) {
  const size_t position = text.rfind(ch);
  return position == std::string::npos ? 0 : static_cast<int>(position) + 1;
}

bool ReadRegValue(RegistryRoot root, const std::string& path, uint32_t expected_type, std::vector<uint8_t>& data) {
  const int p = LastCharPos('\\', path);
  if (p == 0) return false;
  const std::optional<RegistryKey> key = OpenRegistryKey(root, path.substr(0, static_cast<size_t>(p) - 1));
  if (!key) return false;
  const RegistryValue* value = key->FindValue(path.substr(static_cast<size_t>(p)));
  if (value == nullptr || value->type != expected_type) return false;
  data = value->data;
  return true;
}

bool ReadRegString(RegistryRoot root, const std::string& path, std::string& text) {
  std::vector<uint8_t> data;
  if (!ReadRegValue(root, path, kRegSz, data)) return false;
  // The data ends with its terminating NUL.
  text.assign(data.begin(), data.empty() ? data.end() : data.end() - 1);
  return true;
}

bool ReadRegDWORD(RegistryRoot root, const std::string& path, uint32_t& value) {
  value = 0;
  std::vector<uint8_t> data;
  if (!ReadRegValue(root, path, kRegDword, data)) return false;
  for (size_t i = 0; i < 4 && i < data.size(); ++i) value |= static_cast<uint32_t>(data[i]) << (8 * i);
  return true;
}

bool EnumRegNames(RegistryRoot root, const std::string& key_path, std::vector<std::string>& list, bool sub_keys) {
  list.clear();
  const std::optional<RegistryKey> key = OpenRegistryKey(root, key_path);
  if (!key) return false;
  if (sub_keys) {
    for (const std::string& name : key->sub_keys) {
      if (name.size() >= kNameBufferSize) break;
      list.push_back(name);
    }
  } else {
    for (const RegistryValue& value : key->values) {
      if (value.name.size() >= kNameBufferSize) break;
      list.push_back(value.name);
    }
  }
  return true;
}

bool EnumRegValueNames(RegistryRoot root, const std::string& key_path, std::vector<std::string>& list) {
  return EnumRegNames(root, key_path, list, false);
}

bool SystemDsnList(std::vector<std::string>& names) {
  return EnumRegValueNames(RegistryRoot::LocalMachine, kDataSourcesKeyPath, names);
}

bool OdbcDriverList(std::vector<std::string>& names) {
  return EnumRegValueNames(RegistryRoot::LocalMachine, kDriversKeyPath, names);
}

}  // namespace quill
