#include "platform/jet/writer/open_databases.h"

#include <filesystem>
#include <map>
#include <mutex>

namespace quill::jet {
namespace {

std::mutex& Lock() {
  static std::mutex lock;
  return lock;
}

std::map<std::string, std::weak_ptr<JetDatabase>>& Databases() {
  static std::map<std::string, std::weak_ptr<JetDatabase>> databases;
  return databases;
}

std::string Normalized(const std::string& path) {
  std::error_code ignored;
  const std::filesystem::path absolute = std::filesystem::absolute(path, ignored);
  return std::filesystem::weakly_canonical(absolute, ignored).lexically_normal().string();
}

}  // namespace

void RegisterOpenDatabase(const std::shared_ptr<JetDatabase>& database) {
  const std::lock_guard<std::mutex> guard(Lock());
  Databases()[Normalized(database->path())] = database;
}

void UnregisterOpenDatabase(const JetDatabase& database) {
  const std::lock_guard<std::mutex> guard(Lock());
  Databases().erase(Normalized(database.path()));
}

std::shared_ptr<JetDatabase> FindOpenDatabase(const std::string& path) {
  const std::lock_guard<std::mutex> guard(Lock());
  const auto found = Databases().find(Normalized(path));
  return found == Databases().end() ? nullptr : found->second.lock();
}

}  // namespace quill::jet
