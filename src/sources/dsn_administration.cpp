// The installer requests on system data sources, done with unixODBC's
// profile calls: Debian's drivers have no setup entry of their own, so the
// request is carried out here and the setup dialog is the program's.
#include "sources/dsn_administration.h"

#include <odbcinst.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <optional>
#include <system_error>

#include "platform/files/read_file.h"
#include "platform/ini/ini_document.h"
#include "platform/ini/name_compare.h"
#include "sources/dsn_login_store.h"
#include "sources/package_version.h"
#include "sources/registryaccess.h"

extern "C" {
// unixODBC's answer to where its system files are; it honours ODBCSYSINI.
char* odbcinst_system_file_path(char* buffer);
}

namespace quill {
namespace {

constexpr char kOdbcIni[] = "ODBC.INI";

// The profile calls act on the system odbc.ini only in system-DSN mode; the
// mode is put back so that nothing else in the process sees it changed.
class SystemDsnMode {
 public:
  SystemDsnMode() {
    SQLGetConfigMode(&previous_);
    SQLSetConfigMode(ODBC_SYSTEM_DSN);
  }
  ~SystemDsnMode() { SQLSetConfigMode(previous_); }
  SystemDsnMode(const SystemDsnMode&) = delete;
  SystemDsnMode& operator=(const SystemDsnMode&) = delete;

 private:
  UWORD previous_ = ODBC_BOTH_DSN;
};

bool HasControlCharacter(const std::string& text) {
  return std::any_of(text.begin(), text.end(), [](char ch) { return static_cast<unsigned char>(ch) < 0x20; });
}

bool ContainsName(const std::vector<std::string>& names, const std::string& name) {
  return std::any_of(names.begin(), names.end(), [&](const std::string& item) { return SameNameIgnoringCase(item, name); });
}

// Names that would break the file or land in unixODBC's own sections are refused.
bool IsValidSourceName(const std::string& name) {
  if (name.empty() || HasControlCharacter(name)) return false;
  if (SameNameIgnoringCase(name, "ODBC") || SameNameIgnoringCase(name, "ODBC Data Sources")) return false;
  return SQLValidDSN(name.c_str());
}

bool IsValidAttribute(const std::string& key, const std::string& value) {
  if (key.empty() || HasControlCharacter(key) || HasControlCharacter(value)) return false;
  if (key.find_first_of("=[]") != std::string::npos || key.front() == ';' || key.front() == '#') return false;
  if (key.front() == ' ' || key.back() == ' ') return false;
  // The request itself sets these two.
  return !SameNameIgnoringCase(key, "DSN") && !SameNameIgnoringCase(key, "Driver");
}

// An installed driver's section, or the library a source names directly.
bool IsInstalledDriver(const std::string& driver) {
  if (driver.empty()) return false;
  std::vector<std::string> drivers;
  if (OdbcDriverList(drivers) && ContainsName(drivers, driver)) return true;
  std::error_code error;
  return driver.front() == '/' && std::filesystem::is_regular_file(driver, error);
}

bool SourceExists(const std::string& name) {
  std::vector<std::string> sources;
  return SystemDsnList(sources) && ContainsName(sources, name);
}

// The list's "DSN" pair gives the name; every other pair is an attribute.
void ParseAttributeList(const std::string& attribute_list, std::string& name, SourceAttributes& attributes) {
  size_t start = 0;
  while (start < attribute_list.size()) {
    const size_t end = std::min(attribute_list.find('\0', start), attribute_list.size());
    const std::string pair = attribute_list.substr(start, end - start);
    if (pair.empty()) break;
    const size_t equals = pair.find('=');
    const std::string key = pair.substr(0, equals);
    const std::string value = equals == std::string::npos ? std::string() : pair.substr(equals + 1);
    if (SameNameIgnoringCase(key, "DSN")) {
      name = value;
    } else {
      attributes.emplace_back(key, value);
    }
    start = end + 1;
  }
}

bool AreValidAttributes(const SourceAttributes& attributes) {
  return std::all_of(attributes.begin(), attributes.end(),
                     [](const auto& attribute) { return IsValidAttribute(attribute.first, attribute.second); });
}

bool WriteAttributes(const std::string& name, const SourceAttributes& attributes) {
  for (const auto& [key, value] : attributes) {
    if (!SQLWritePrivateProfileString(name.c_str(), key.c_str(), value.c_str(), kOdbcIni)) return false;
  }
  return true;
}

// A new source, or one of that name written anew (the installer replaces it).
bool AddSource(const std::string& name, const std::string& driver, const SourceAttributes& attributes) {
  if (!IsValidSourceName(name) || !AreValidAttributes(attributes)) return false;
  SystemDsnMode mode;
  return SQLWriteDSNToIni(name.c_str(), driver.c_str()) && WriteAttributes(name, attributes);
}

// An existing source keeps its place and driver; attributes no longer listed go.
bool RewriteAttributes(const std::string& name, const SourceAttributes& old_attributes,
                       const SourceAttributes& attributes) {
  if (!AreValidAttributes(attributes)) return false;
  SystemDsnMode mode;
  for (const auto& old_attribute : old_attributes) {
    const std::string& old_key = old_attribute.first;  // a plain name: a lambda may capture it
    const bool kept = std::any_of(attributes.begin(), attributes.end(),
                                  [&](const auto& attribute) { return SameNameIgnoringCase(attribute.first, old_key); });
    if (!kept && !SQLWritePrivateProfileString(name.c_str(), old_key.c_str(), nullptr, kOdbcIni)) return false;
  }
  return WriteAttributes(name, attributes);
}

bool IsDigits(const std::string& text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char ch) { return ch >= '0' && ch <= '9'; });
}

// "4.0.6019.0" from the version part of a file name; empty when it is none.
std::string FourNumberVersion(const std::string& text) {
  std::vector<std::string> numbers;
  size_t start = 0;
  while (true) {
    const size_t point = text.find('.', start);
    const std::string part = text.substr(start, point == std::string::npos ? std::string::npos : point - start);
    // Each number of a file version is a 16-bit word.
    if (!IsDigits(part) || part.size() > 5 || std::stoul(part) > 0xFFFF) return {};
    numbers.push_back(std::to_string(std::stoul(part)));
    if (point == std::string::npos) break;
    start = point + 1;
  }
  if (numbers.size() > 4) return {};
  while (numbers.size() < 4) numbers.push_back("0");
  return numbers[0] + "." + numbers[1] + "." + numbers[2] + "." + numbers[3];
}

}  // namespace

std::string DriverLibraryOf(const std::string& driver) {
  std::string library = driver;
  ReadRegString(RegistryRoot::LocalMachine, "SOFTWARE\\ODBC\\ODBCINST.INI\\" + driver + "\\Driver", library);
  return library;
}

std::vector<SetupField> DriverSetupFields(const std::string& driver) {
  const std::string file = std::filesystem::path(DriverLibraryOf(driver)).filename().string();
  using Role = SetupFieldRole;
  if (file.find("sqlite3odbc") != std::string::npos) return {{Role::Database, "Database", true}};
  // The Jet stand-in reads what a source of this driver names: an Access or
  // Excel file, or a folder of text files.
  if (file.rfind("libmdbodbc", 0) == 0) return {{Role::Database, "Database", true, true}};
  if (file.rfind("psqlodbc", 0) == 0) {
    return {{Role::Server, "Servername"}, {Role::Port, "Port"}, {Role::Database, "Database"},
            {Role::User, "Username"}, {Role::Password, "Password"}};
  }
  if (file.find("maodbc") != std::string::npos) {
    return {{Role::Server, "SERVER"}, {Role::Port, "PORT"}, {Role::Database, "DATABASE"}, {Role::User, "USER"},
            {Role::Password, "PASSWORD"}};
  }
  return {};
}

SourceAttributes DriverAttributeTemplate(const std::string& driver) {
  SourceAttributes attributes;
  for (const SetupField& field : DriverSetupFields(driver)) attributes.emplace_back(field.key, "");
  return attributes;
}

std::string DsnAttributeList(const std::string& name) {
  if (name.empty()) return std::string(2, '\0');
  return "DSN=" + name + std::string(2, '\0');
}

bool ConfigSystemDataSource(DriverSetupDialog* setup_dialog, InstallerRequest request, const std::string& driver,
                            const std::string& attribute_list) {
  if (!IsInstalledDriver(driver)) return false;
  std::string name;
  SourceAttributes attributes;
  ParseAttributeList(attribute_list, name, attributes);
  switch (request) {
    case InstallerRequest::AddSystemDsn:
      if (setup_dialog != nullptr) {
        if (attributes.empty()) attributes = DriverAttributeTemplate(driver);
        if (!setup_dialog->EditSource(driver, name, false, attributes)) return false;
        // Rows of the template left empty are not written.
        std::erase_if(attributes, [](const auto& attribute) { return attribute.second.empty(); });
      }
      return AddSource(name, driver, attributes);
    case InstallerRequest::ConfigSystemDsn: {
      if (!SourceExists(name)) return false;
      if (setup_dialog == nullptr) return true;
      const SourceAttributes old_attributes = ReadSourceAttributes(name);
      SourceAttributes attributes = old_attributes;
      if (!setup_dialog->EditSource(driver, name, true, attributes)) return false;
      return RewriteAttributes(name, old_attributes, attributes);
    }
    case InstallerRequest::RemoveSystemDsn: {
      if (!SourceExists(name)) return false;
      SystemDsnMode mode;
      return SQLRemoveDSNFromIni(name.c_str());
    }
  }
  return false;
}

bool ConfigDataSource(DriverSetupDialog& setup_dialog, const std::string& driver, const std::string& name) {
  return ConfigSystemDataSource(&setup_dialog, InstallerRequest::AddSystemDsn, driver, DsnAttributeList(name));
}

bool RemoveSystemDSN(DsnLoginStore& logins, const std::string& driver, const std::string& name) {
  const bool removed = ConfigSystemDataSource(nullptr, InstallerRequest::RemoveSystemDsn, driver, DsnAttributeList(name));
  logins.DelPssw(name);
  return removed;
}

std::string DsnDriverName(const std::string& source) {
  std::string driver;
  ReadRegString(RegistryRoot::LocalMachine, "SOFTWARE\\ODBC\\ODBC.INI\\ODBC Data Sources\\" + source, driver);
  return driver;
}

// Read from the file itself: unixODBC keeps profile reads cached for a
// while, so a change made outside the program would show late, and would be
// written back over by the setup dialog.
SourceAttributes ReadSourceAttributes(const std::string& source) {
  SourceAttributes attributes;
  if (!SourceExists(source)) return attributes;
  char folder[4096] = {};
  const std::optional<std::string> text = ReadWholeFile(std::string(odbcinst_system_file_path(folder)) + "/odbc.ini");
  if (!text) return attributes;
  for (const auto& [key, value] : IniDocument(*text).Entries(source)) {
    if (!SameNameIgnoringCase(key, "Driver")) attributes.emplace_back(key, value);
  }
  return attributes;
}

std::string GetFileVersionString(const std::string& file_name) {
  const std::string path = DriverLibraryPath(file_name);
  // Debian's libraries carry no version in their names: the package's is the one.
  if (std::string version = PackageVersionOfFile(path); !version.empty()) return version;
  std::error_code error;
  const std::filesystem::path real_path = std::filesystem::canonical(path, error);
  if (error) return {};
  const std::string name = real_path.filename().string();
  const size_t so_version = name.find(".so.");
  if (so_version != std::string::npos) return FourNumberVersion(name.substr(so_version + 4));
  if (name.size() <= 3 || name.compare(name.size() - 3, 3, ".so") != 0) return {};
  const std::string stem = name.substr(0, name.size() - 3);
  const size_t dash = stem.find_last_of("-_");
  if (dash == std::string::npos) return {};
  return FourNumberVersion(stem.substr(dash + 1));
}

}  // namespace quill
