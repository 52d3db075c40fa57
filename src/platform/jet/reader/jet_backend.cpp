#include "platform/jet/reader/jet_backend.h"

#include <filesystem>

#include "platform/dataset/data_access_error.h"
#include "platform/jet/reader/child_jet_backend.h"
#include "platform/jet/reader/text_folder_backend.h"

namespace quill {

std::unique_ptr<ConnectionBackend> OpenJetBackend(const std::string& data_source) {
  return OpenJetBackend(data_source, DefaultJetReaderOptions());
}

std::unique_ptr<ConnectionBackend> OpenJetBackend(const std::string& data_source, const JetReaderOptions& reader) {
  const std::filesystem::path path(data_source);
  std::error_code error;
  if (data_source.empty() || !std::filesystem::exists(path, error)) {
    throw DataAccessError("Could not find file '" + data_source + "'.");
  }
  if (std::filesystem::is_directory(path, error)) return std::make_unique<TextFolderBackend>(data_source);
  // libmdb and FreeXL crash on damaged files: they run in a reader process.
  return std::make_unique<ChildJetBackend>(reader, data_source);
}

}  // namespace quill
