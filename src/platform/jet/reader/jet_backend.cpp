#include "platform/jet/reader/jet_backend.h"

#include <strings.h>

#include <filesystem>

#include "platform/dataset/data_access_error.h"
#include "platform/jet/reader/mdb_backend.h"
#include "platform/jet/reader/text_folder_backend.h"
#include "platform/jet/reader/xls_workbook.h"

namespace quill {

std::unique_ptr<ConnectionBackend> OpenJetBackend(const std::string& data_source) {
  const std::filesystem::path path(data_source);
  std::error_code error;
  if (data_source.empty() || !std::filesystem::exists(path, error)) {
    throw DataAccessError("Could not find file '" + data_source + "'.");
  }
  if (std::filesystem::is_directory(path, error)) return std::make_unique<TextFolderBackend>(data_source);
  if (strcasecmp(path.extension().c_str(), ".xls") == 0) return std::make_unique<XlsBackend>(data_source);
  return std::make_unique<MdbBackend>(data_source);
}

}  // namespace quill
