#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>

#include "common/safe_file_name.h"
#include "platform/dataset/field.h"
#include "sources/settings.h"

namespace quill {

// A BLOB root path that names no folder to write in: empty (the folders
// would start at the file system's root) or the file system's root itself.
class BlobRootRefused : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The folder that holds the files of one BLOB column: blob_path, the caption
// of the source tree's selected node, the table name, then the field name
// followed by its zero-based index (nothing between), joined by "/", with no
// trailing "/". Each of those names passes SafeFileName, so it stays one
// folder inside the one before it, and is unique in its folder within the
// run (`names`): two tables (`table_owner`, the listed name) or two columns
// whose names give one folder get "_2", ... rather than share it. Throws
// BlobRootRefused for a blob_path that names no folder to write in.
std::string BlobFileLayout(RunFileNames& names, const std::string& blob_path, const std::string& node_caption,
                           const std::string& table_owner, const std::string& table_name, const Field& field);

// Writes the BLOB of the current row, from the signature the detection chose
// (options read live from settings), as folder + "/" + number + "." +
// extension, creating missing folders and replacing an older file. Gives the
// lower-case extension, or nullopt when no wanted type was found and nothing
// was written. Read and write failures are thrown.
std::optional<std::string> SaveBlobToFile(const Field& field, const std::string& folder, uint32_t number,
                                          const Settings& settings);

}  // namespace quill
