#include "export/replacing_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "platform/files/in_out_error.h"
#include "platform/files/replaced_target.h"

namespace quill {

namespace {

constexpr std::size_t kBufferBytes = 1 << 20;

mode_t SharedMode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

}  // namespace

ReplacingFile::ReplacingFile(std::string target_path) : target_path_(std::move(target_path)) {
  try {
    CheckReplaceableTarget(target_path_);
  } catch (const InOutError& error) {
    throw std::runtime_error("Cannot create file " + target_path_ + ": " + error.what() + ".");
  }
  std::string pattern = TemporaryPatternBeside(target_path_);
  const int descriptor = ::mkstemp(pattern.data());
  if (descriptor < 0) {
    throw std::runtime_error("Cannot create file " + target_path_ + ": " + std::strerror(errno) + ".");
  }
  temporary_path_ = pattern;
  // mkstemp makes the file private; an exported file gets the usual mode.
  ::fchmod(descriptor, SharedMode());
  file_ = ::fdopen(descriptor, "wb");
  if (file_ == nullptr) {
    ::close(descriptor);
    ::unlink(temporary_path_.c_str());
    throw std::runtime_error("Cannot create file " + target_path_ + ".");
  }
  std::setvbuf(file_, nullptr, _IOFBF, kBufferBytes);
}

ReplacingFile::~ReplacingFile() {
  if (file_ != nullptr) std::fclose(file_);
  if (!temporary_path_.empty()) ::unlink(temporary_path_.c_str());
}

bool ReplacingFile::Write(std::string_view bytes) {
  if (failed_ || file_ == nullptr) return false;
  if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) failed_ = true;
  return !failed_;
}

bool ReplacingFile::Commit() {
  if (file_ == nullptr) return false;
  const bool flushed = !failed_ && std::fflush(file_) == 0;
  const bool closed = std::fclose(file_) == 0;
  file_ = nullptr;
  if (!flushed || !closed || ::rename(temporary_path_.c_str(), target_path_.c_str()) != 0) return false;
  temporary_path_.clear();
  return true;
}

}  // namespace quill
