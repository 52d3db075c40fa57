#include "sources/package_version.h"

#include <filesystem>
#include <fstream>
#include <set>
#include <system_error>

namespace quill {
namespace {

// The package named by a "*.list" file: its name, without the architecture.
std::string ListedPackage(const std::filesystem::path& list_file) {
  std::string name = list_file.stem().string();
  const size_t colon = name.find(':');
  return colon == std::string::npos ? name : name.substr(0, colon);
}

std::string OwningPackage(const std::set<std::string>& paths, const std::filesystem::path& info_folder) {
  std::error_code error;
  for (std::filesystem::directory_iterator entry(info_folder, error), end; !error && entry != end;
       entry.increment(error)) {
    if (entry->path().extension() != ".list") continue;
    std::ifstream list(entry->path());
    for (std::string line; std::getline(list, line);) {
      if (paths.count(line) != 0) return ListedPackage(entry->path());
    }
  }
  return {};
}

// The "Version" of the installed paragraph of the package in dpkg's status.
std::string StatusVersion(const std::string& package, const std::filesystem::path& status_file) {
  std::ifstream status(status_file);
  bool in_package = false;
  bool installed = false;
  std::string version;
  for (std::string line; std::getline(status, line);) {
    if (line.empty()) {
      if (in_package && installed && !version.empty()) return version;
      in_package = installed = false;
      version.clear();
    } else if (line.rfind("Package: ", 0) == 0) {
      in_package = line.substr(9) == package;
    } else if (line.rfind("Status: ", 0) == 0) {
      installed = line.find(" installed") != std::string::npos;
    } else if (line.rfind("Version: ", 0) == 0) {
      version = line.substr(9);
    }
  }
  return in_package && installed ? version : std::string();
}

}  // namespace

std::string PackageVersionOfFile(const std::string& path, const std::string& dpkg_folder) {
  std::set<std::string> paths{path};
  std::error_code error;
  const std::filesystem::path real_path = std::filesystem::canonical(path, error);
  if (!error) paths.insert(real_path.string());
  const std::string package = OwningPackage(paths, std::filesystem::path(dpkg_folder) / "info");
  if (package.empty()) return {};
  std::string version = StatusVersion(package, std::filesystem::path(dpkg_folder) / "status");
  const size_t epoch = version.find(':');
  if (epoch != std::string::npos) version.erase(0, epoch + 1);
  return version;
}

std::string DriverLibraryPath(const std::string& library) {
  if (library.find('/') != std::string::npos) return library;
  std::error_code error;
  for (std::filesystem::directory_iterator entry("/usr/lib", error), end; !error && entry != end;
       entry.increment(error)) {
    const std::filesystem::path candidate = entry->path() / "odbc" / library;
    if (std::filesystem::exists(candidate, error)) return candidate.string();
  }
  const std::filesystem::path plain = std::filesystem::path("/usr/lib/odbc") / library;
  return std::filesystem::exists(plain, error) ? plain.string() : library;
}

}  // namespace quill
