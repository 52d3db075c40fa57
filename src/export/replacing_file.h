#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace quill {

// A file written beside its target under a temporary name and renamed over
// the target only when complete, so a failed or stopped export never leaves
// a cut file and never loses the earlier one. Dropping it uncommitted
// removes the temporary file.
class ReplacingFile {
 public:
  // Throws std::runtime_error naming the target when the folder takes no file.
  explicit ReplacingFile(std::string target_path);
  ~ReplacingFile();
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;

  // Buffered writes; false once any write failed.
  bool Write(std::string_view bytes);
  // Flushes, closes and renames over the target; false when any step failed
  // (the temporary file is then removed and the target left as it was).
  bool Commit();

 private:
  std::string target_path_;
  std::string temporary_path_;
  std::FILE* file_ = nullptr;
  bool failed_ = false;
};

}  // namespace quill
