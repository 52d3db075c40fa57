#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quill {

enum class FileAccess {
  kShared,     // 0666 less the process's umask, as any new file
  kOwnerOnly,  // 0600: secrets such as login key files
};

// Replaces the file at path with bytes in one step: a temporary file in the
// same folder is written, flushed and renamed over it, so a reader never sees
// half a file and a failed write leaves the old file intact. Throws InOutError.
void WriteFileAtomically(const std::string& path, std::string_view bytes, FileAccess access = FileAccess::kShared);
// The same with the file's bytes given in parts, written one after the other.
void WriteFileAtomically(const std::string& path, const std::vector<std::string_view>& parts,
                         FileAccess access = FileAccess::kShared);

}  // namespace quill
