#include "platform/registry/registry.h"

#include "platform/ini/name_compare.h"
#include "platform/registry/registry_sources.h"

namespace quill {
namespace {

std::vector<std::string> SplitKeyPath(const std::string& key_path) {
  std::vector<std::string> names;
  if (key_path.empty()) return names;
  size_t start = 0;
  while (true) {
    const size_t end = key_path.find('\\', start);
    names.push_back(key_path.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return names;
}

// True when path starts with prefix; rest then holds the names after it.
bool StartsWith(const std::vector<std::string>& path, const std::vector<std::string>& prefix,
                std::vector<std::string>& rest) {
  if (path.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    if (!SameNameIgnoringCase(path[i], prefix[i])) return false;
  }
  rest.assign(path.begin() + static_cast<std::ptrdiff_t>(prefix.size()), path.end());
  return true;
}

RegistryKey KeyWithSubKeys(std::vector<std::string> sub_keys) {
  RegistryKey key;
  key.sub_keys = std::move(sub_keys);
  return key;
}

}  // namespace

const RegistryValue* RegistryKey::FindValue(const std::string& name) const {
  for (const RegistryValue& value : values) {
    if (SameNameIgnoringCase(value.name, name)) return &value;
  }
  return nullptr;
}

RegistryValue StringValue(const std::string& name, const std::string& text) {
  RegistryValue value{name, kRegSz, std::vector<uint8_t>(text.begin(), text.end())};
  value.data.push_back(0);
  return value;
}

RegistryValue DwordValue(const std::string& name, uint32_t number) {
  return RegistryValue{name,
                       kRegDword,
                       {static_cast<uint8_t>(number), static_cast<uint8_t>(number >> 8),
                        static_cast<uint8_t>(number >> 16), static_cast<uint8_t>(number >> 24)}};
}

std::optional<RegistryKey> OpenRegistryKey(RegistryRoot root, const std::string& key_path) {
  if (root != RegistryRoot::LocalMachine) return std::nullopt;
  const std::vector<std::string> path = SplitKeyPath(key_path);
  std::vector<std::string> rest;

  if (StartsWith(path, {"SOFTWARE", "ODBC", "ODBC.INI"}, rest)) return registry_sources::OdbcIniKey(rest);
  if (StartsWith(path, {"SOFTWARE", "ODBC", "ODBCINST.INI"}, rest)) return registry_sources::OdbcInstIniKey(rest);
  if (StartsWith(path, {"HARDWARE", "DESCRIPTION", "System", "CentralProcessor"}, rest)) {
    return registry_sources::CentralProcessorKey(rest);
  }

  // The keys above them hold nothing but their sub-keys.
  struct Branch {
    std::vector<std::string> path;
    std::vector<std::string> sub_keys;
  };
  static const std::vector<Branch> branches = {
      {{}, {"HARDWARE", "SOFTWARE"}},
      {{"SOFTWARE"}, {"Microsoft", "ODBC"}},
      {{"SOFTWARE", "ODBC"}, {"ODBC.INI", "ODBCINST.INI"}},
      {{"SOFTWARE", "Microsoft"}, {"DataAccess"}},
      {{"HARDWARE"}, {"DESCRIPTION"}},
      {{"HARDWARE", "DESCRIPTION"}, {"System"}},
      {{"HARDWARE", "DESCRIPTION", "System"}, {"CentralProcessor"}},
  };
  if (StartsWith(path, {"SOFTWARE", "Microsoft", "DataAccess"}, rest) && rest.empty()) {
    return registry_sources::DataAccessKey();
  }
  for (const Branch& branch : branches) {
    if (StartsWith(path, branch.path, rest) && rest.empty()) return KeyWithSubKeys(branch.sub_keys);
  }
  return std::nullopt;
}

}  // namespace quill
