#include "generator/blob_files.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "generator/blob_type.h"
#include "platform/files/atomic_file.h"
#include "platform/files/in_out_error.h"

namespace quill {
namespace {

// A name from the source becomes one folder name: a "/" inside it, or a name
// of dots only, would otherwise lead the files out of the BLOB root.
std::string FolderName(std::string_view name) {
  std::string folder(name);
  bool dots_only = !folder.empty();
  for (char& c : folder) {
    if (c == '/' || c == '\0') c = '_';
    if (c != '.') dots_only = false;
  }
  if (dots_only) folder.assign(folder.size(), '_');
  return folder;
}

}  // namespace

std::string BlobFileLayout(const std::string& blob_path, const std::string& node_caption,
                           const std::string& table_name, const Field& field) {
  return blob_path + "/" + FolderName(node_caption) + "/" + FolderName(table_name) + "/" +
         FolderName(field.Name() + std::to_string(field.Index()));
}

std::optional<std::string> SaveBlobToFile(const Field& field, const std::string& folder, uint32_t number,
                                          const Settings& settings) {
  const BlobDetection detection = DetectBlobType(field, settings);
  if (detection.offset < 0) return std::nullopt;

  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) throw InOutErrorFromErrno(error.value());

  const std::string_view bytes(field.RawText());
  WriteFileAtomically(folder + "/" + std::to_string(number) + "." + detection.blob_extension,
                      bytes.substr(static_cast<size_t>(detection.offset)));
  return detection.blob_extension;
}

}  // namespace quill
