// The ODBC keys, read from unixODBC's system configuration each time a key is
// opened, so a data source added in this run shows at once.
#include <optional>
#include <string>

#include "platform/ini/name_compare.h"
#include "platform/files/read_file.h"
#include "platform/ini/ini_document.h"
#include "platform/registry/registry_sources.h"

extern "C" {
// unixODBC's own answer to where its system files are; it honours ODBCSYSINI
// and ODBCINSTINI.
char* odbcinst_system_file_path(char* buffer);
char* odbcinst_system_file_name(char* buffer);
}

namespace quill::registry_sources {
namespace {

constexpr char kDataSourcesKey[] = "ODBC Data Sources";
constexpr char kDriversKey[] = "ODBC Drivers";

std::string SystemFolder() {
  char buffer[4096] = {};
  return odbcinst_system_file_path(buffer);
}

std::optional<IniDocument> LoadOdbcIni() {
  std::optional<std::string> text = ReadWholeFile(SystemFolder() + "/odbc.ini");
  if (!text) return std::nullopt;
  return IniDocument(*text);
}

std::optional<IniDocument> LoadOdbcInstIni() {
  char buffer[4096] = {};
  std::optional<std::string> text = ReadWholeFile(SystemFolder() + "/" + odbcinst_system_file_name(buffer));
  if (!text) return std::nullopt;
  return IniDocument(*text);
}

// Sections that configure unixODBC itself, or list sources the Windows way,
// are no data sources or drivers.
bool IsConfigurationSection(const std::string& name) {
  return SameNameIgnoringCase(name, "ODBC") || SameNameIgnoringCase(name, kDataSourcesKey) ||
         SameNameIgnoringCase(name, kDriversKey);
}

std::vector<std::string> ListedSections(const IniDocument& document) {
  std::vector<std::string> names;
  for (const std::string& name : document.SectionNames()) {
    if (!IsConfigurationSection(name)) names.push_back(name);
  }
  return names;
}

std::optional<std::string> EntryOf(const std::vector<std::pair<std::string, std::string>>& entries,
                                   const std::string& key) {
  for (const auto& [name, value] : entries) {
    if (SameNameIgnoringCase(name, key)) return value;
  }
  return std::nullopt;
}

// A DSN names its driver by a section of odbcinst.ini or by the library path.
std::string DriverLibrary(const std::string& driver, const std::optional<IniDocument>& odbcinst) {
  if (!odbcinst) return driver;
  return odbcinst->Find(driver, "Driver").value_or(driver);
}

RegistryKey DataSourceKey(const std::vector<std::pair<std::string, std::string>>& entries) {
  const std::optional<IniDocument> odbcinst = LoadOdbcInstIni();
  RegistryKey key;
  for (const auto& [name, value] : entries) {
    key.values.push_back(StringValue(name, SameNameIgnoringCase(name, "Driver") ? DriverLibrary(value, odbcinst) : value));
  }
  // File-based drivers name their file "Database"; the program asks for DBQ.
  if (!EntryOf(entries, "DBQ")) {
    if (const std::optional<std::string> database = EntryOf(entries, "Database")) {
      key.values.push_back(StringValue("DBQ", *database));
    }
  }
  return key;
}

}  // namespace

std::optional<RegistryKey> OdbcIniKey(const std::vector<std::string>& path) {
  const std::optional<IniDocument> odbc_ini = LoadOdbcIni();
  if (!odbc_ini || path.size() > 1) return std::nullopt;
  const std::vector<std::string> sources = ListedSections(*odbc_ini);
  RegistryKey key;
  if (path.empty()) {
    key.sub_keys.push_back(kDataSourcesKey);
    key.sub_keys.insert(key.sub_keys.end(), sources.begin(), sources.end());
    return key;
  }
  if (SameNameIgnoringCase(path[0], kDataSourcesKey)) {
    for (const std::string& source : sources) {
      key.values.push_back(StringValue(source, odbc_ini->Find(source, "Driver").value_or("")));
    }
    return key;
  }
  for (const std::string& source : sources) {
    if (SameNameIgnoringCase(source, path[0])) return DataSourceKey(odbc_ini->Entries(source));
  }
  return std::nullopt;
}

std::optional<RegistryKey> OdbcInstIniKey(const std::vector<std::string>& path) {
  const std::optional<IniDocument> odbcinst = LoadOdbcInstIni();
  if (!odbcinst || path.size() > 1) return std::nullopt;
  const std::vector<std::string> drivers = ListedSections(*odbcinst);
  RegistryKey key;
  if (path.empty()) {
    key.sub_keys.push_back(kDriversKey);
    key.sub_keys.insert(key.sub_keys.end(), drivers.begin(), drivers.end());
    return key;
  }
  if (SameNameIgnoringCase(path[0], kDriversKey)) {
    for (const std::string& driver : drivers) key.values.push_back(StringValue(driver, "Installed"));
    return key;
  }
  for (const std::string& driver : drivers) {
    if (!SameNameIgnoringCase(driver, path[0])) continue;
    for (const auto& [name, value] : odbcinst->Entries(driver)) key.values.push_back(StringValue(name, value));
    return key;
  }
  return std::nullopt;
}

}  // namespace quill::registry_sources
