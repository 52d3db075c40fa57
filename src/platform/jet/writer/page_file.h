#pragma once

#include <cstdint>
#include <string>

namespace quill::jet {

// The file of fixed-size pages being written. It lives under a temporary name
// in the target's folder until Commit renames it to the target, so a failed
// or abandoned database never appears under the target name, and an earlier
// file of that name is replaced only by a whole new one.
class PageFile {
 public:
  // Throws JetWriteError when the folder does not exist or is not writable,
  // or when the target is a folder.
  PageFile(const std::string& target_path, std::size_t page_size);
  ~PageFile();
  PageFile(const PageFile&) = delete;
  PageFile& operator=(const PageFile&) = delete;

  std::size_t page_size() const { return page_size_; }
  std::uint32_t page_count() const { return page_count_; }
  const std::string& target_path() const { return target_path_; }

  // Reserves the next page (or count pages in a row) and returns its number.
  std::uint32_t Allocate(std::uint32_t count = 1);
  void Write(std::uint32_t page, const std::uint8_t* bytes);
  void Read(std::uint32_t page, std::uint8_t* bytes) const;

  // Flushes the file and gives it the target name.
  void Commit();

 private:
  std::string target_path_;
  std::string temporary_path_;
  std::size_t page_size_;
  int descriptor_ = -1;
  std::uint32_t page_count_ = 0;
  bool committed_ = false;
};

}  // namespace quill::jet
