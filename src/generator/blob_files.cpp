#include "generator/blob_files.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "common/safe_file_name.h"
#include "generator/blob_type.h"
#include "platform/files/atomic_file.h"
#include "platform/files/in_out_error.h"
#include "platform/files/replaced_target.h"
#include "sources/folder_contents.h"

namespace quill {

std::string BlobFileLayout(RunFileNames& names, const std::string& blob_path, const std::string& node_caption,
                           const std::string& table_owner, const std::string& table_name, const Field& field) {
  switch (CheckFolderToEmpty(blob_path, std::string())) {
    case EmptyingRefusal::EmptyPath:
      throw BlobRootRefused("No BLOB root path is given (options, BLOB page): no BLOB file was written.");
    case EmptyingRefusal::FileSystemRoot:
      throw BlobRootRefused("The BLOB root path " + blob_path +
                            " is the file system's root: no BLOB file was written there.");
    case EmptyingRefusal::HomeFolder:
    case EmptyingRefusal::None: break;
  }
  // Each name from the source is one folder inside the one before it.
  const std::string source_folder = blob_path + "/" + names.NameIn(blob_path, node_caption, node_caption);
  const std::string table_folder = source_folder + "/" + names.NameIn(source_folder, table_owner, table_name);
  return table_folder + "/" +
         names.NameIn(table_folder, std::to_string(field.Index()), field.Name() + std::to_string(field.Index()));
}

std::optional<std::string> SaveBlobToFile(const Field& field, const std::string& folder, uint32_t number,
                                          const Settings& settings) {
  const BlobDetection detection = DetectBlobType(field, settings);
  if (detection.offset < 0) return std::nullopt;

  CreateFoldersInside(settings.blob_path, folder);

  const std::string_view bytes(field.RawText());
  WriteFileAtomically(folder + "/" + std::to_string(number) + "." + detection.blob_extension,
                      bytes.substr(static_cast<size_t>(detection.offset)));
  return detection.blob_extension;
}

}  // namespace quill
