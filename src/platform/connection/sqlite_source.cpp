#include "platform/connection/sqlite_source.h"

#include <algorithm>
#include <cctype>

#include "platform/registry/registry.h"

namespace quill {
namespace {

std::optional<std::string> TextValue(const RegistryKey& key, const std::string& name) {
  const RegistryValue* value = key.FindValue(name);
  if (value == nullptr || value->type != kRegSz) return std::nullopt;
  std::string text(value->data.begin(), value->data.end());
  while (!text.empty() && text.back() == '\0') text.pop_back();
  return text;
}

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

}  // namespace

bool IsSqlite3Driver(const std::string& driver) {
  const std::string name = Lower(driver.substr(driver.find_last_of('/') + 1));
  return name.find("sqlite3") != std::string::npos;
}

std::optional<std::string> SqliteDataSourceFile(const std::string& data_source) {
  if (data_source.empty() || data_source.find('\\') != std::string::npos) return std::nullopt;
  const std::optional<RegistryKey> key =
      OpenRegistryKey(RegistryRoot::LocalMachine, "SOFTWARE\\ODBC\\ODBC.INI\\" + data_source);
  if (!key) return std::nullopt;
  const std::optional<std::string> driver = TextValue(*key, "Driver");
  if (!driver || !IsSqlite3Driver(*driver)) return std::nullopt;
  if (std::optional<std::string> database = TextValue(*key, "Database")) return database;
  return TextValue(*key, "DBQ").value_or("");
}

}  // namespace quill
