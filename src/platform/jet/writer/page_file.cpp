#include "platform/jet/writer/page_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

#include "platform/files/in_out_error.h"
#include "platform/files/replaced_target.h"
#include "platform/jet/writer/jet_write_error.h"

namespace quill::jet {
namespace {

std::string SystemReason() { return std::strerror(errno); }

}  // namespace

PageFile::PageFile(const std::string& target_path, std::size_t page_size)
    : target_path_(target_path), page_size_(page_size) {
  namespace fs = std::filesystem;
  const fs::path target(target_path);
  if (target.filename().empty()) {
    throw JetWriteError("Cannot create the database '" + target_path + "': the name is a folder.");
  }
  // An earlier file of that name stays until Commit puts the new one in its place.
  struct stat status {};
  if (::stat(target_path.c_str(), &status) == 0 && S_ISDIR(status.st_mode)) {
    throw JetWriteError("Cannot create the database '" + target_path + "': a folder of that name exists.");
  }
  try {
    CheckReplaceableTarget(target_path);
  } catch (const InOutError& error) {
    throw JetWriteError("Cannot create the database '" + target_path + "': " + error.what() + ".");
  }
  fs::path folder = target.parent_path();
  if (folder.empty()) folder = ".";
  if (::stat(folder.c_str(), &status) != 0 || !S_ISDIR(status.st_mode)) {
    throw JetWriteError("Cannot create the database '" + target_path + "': the folder '" + folder.string() +
                        "' does not exist.");
  }
  std::string pattern = TemporaryPatternBeside(target_path);
  descriptor_ = ::mkstemp(pattern.data());
  if (descriptor_ < 0) {
    throw JetWriteError("Cannot create the database '" + target_path + "' in the folder '" + folder.string() +
                        "': " + SystemReason() + ".");
  }
  temporary_path_ = pattern;
}

PageFile::~PageFile() {
  if (descriptor_ >= 0) ::close(descriptor_);
  if (!committed_ && !temporary_path_.empty()) ::unlink(temporary_path_.c_str());
}

std::uint32_t PageFile::Allocate(std::uint32_t count) {
  const std::uint32_t first = page_count_;
  if (static_cast<std::uint64_t>(page_count_) + count > 0xFFFFFF) {
    throw JetWriteError("The database '" + target_path_ + "' has reached the largest size the format can hold.");
  }
  page_count_ += count;
  return first;
}

void PageFile::Write(std::uint32_t page, const std::uint8_t* bytes) {
  const off_t offset = static_cast<off_t>(page) * static_cast<off_t>(page_size_);
  std::size_t done = 0;
  while (done < page_size_) {
    const ssize_t written = ::pwrite(descriptor_, bytes + done, page_size_ - done, offset + static_cast<off_t>(done));
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) throw JetWriteError("Cannot write the database '" + target_path_ + "': " + SystemReason() + ".");
    done += static_cast<std::size_t>(written);
  }
}

void PageFile::Read(std::uint32_t page, std::uint8_t* bytes) const {
  const off_t offset = static_cast<off_t>(page) * static_cast<off_t>(page_size_);
  std::size_t done = 0;
  while (done < page_size_) {
    const ssize_t got = ::pread(descriptor_, bytes + done, page_size_ - done, offset + static_cast<off_t>(done));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) throw JetWriteError("Cannot read back the database '" + target_path_ + "': " + SystemReason() + ".");
    done += static_cast<std::size_t>(got);
  }
}

void PageFile::Commit() {
  // Pages reserved but never filled must still exist as zeros.
  if (::ftruncate(descriptor_, static_cast<off_t>(page_count_) * static_cast<off_t>(page_size_)) != 0 ||
      ::fsync(descriptor_) != 0) {
    throw JetWriteError("Cannot write the database '" + target_path_ + "': " + SystemReason() + ".");
  }
  // mkstemp made the file private; a database gets the usual file mode.
  const mode_t mask = ::umask(0);
  ::umask(mask);
  ::fchmod(descriptor_, 0666 & ~mask);
  ::close(descriptor_);
  descriptor_ = -1;
  if (::rename(temporary_path_.c_str(), target_path_.c_str()) != 0) {
    throw JetWriteError("Cannot write the database '" + target_path_ + "': " + SystemReason() + ".");
  }
  committed_ = true;
}

}  // namespace quill::jet
