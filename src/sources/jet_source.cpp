#include "sources/jet_source.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

#include "platform/ini/name_compare.h"
#include "sources/source_session.h"

namespace quill {
namespace {

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

}  // namespace

bool IsMdbToolsDriver(const std::string& driver) {
  const std::string file = Lower(std::filesystem::path(driver).filename().string());
  return file.rfind("libmdbodbc", 0) == 0 || SameNameIgnoringCase(driver, "MDBTools");
}

bool NamesJetFileOrFolder(const std::string& path) {
  if (path.empty()) return false;
  const std::filesystem::path name(path);
  const std::string extension = Lower(name.extension().string());
  if (extension == ".mdb" || extension == ".accdb" || extension == ".xls") return true;
  std::error_code error;
  return name.is_absolute() && std::filesystem::is_directory(name, error);
}

std::optional<std::string> JetSourcePath(const std::string& driver, const std::string& dbq,
                                         const std::string& database) {
  if (IsJetDsn(driver) || IsMdbToolsDriver(driver)) return dbq;
  const std::string& entry = database.empty() ? dbq : database;
  if (NamesJetFileOrFolder(entry)) return entry;
  return std::nullopt;
}

}  // namespace quill
