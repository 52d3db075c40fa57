#include "platform/jet/reader/reader_channel.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace quill {
namespace {

// No value the readers hand over comes near this; a longer length is a
// broken frame, not a reason to reserve the memory.
constexpr uint64_t kLongestString = uint64_t{1} << 31;

}  // namespace

void ChannelWriter::Raw(std::string_view bytes) {
  while (!bytes.empty()) {
    if (used_ == buffer_.size()) Flush();
    const size_t count = std::min(bytes.size(), buffer_.size() - used_);
    std::memcpy(buffer_.data() + used_, bytes.data(), count);
    used_ += count;
    bytes.remove_prefix(count);
  }
}

void ChannelWriter::Flush() {
  size_t sent = 0;
  while (sent < used_) {
    // A socket, so that a gone reader is an error here and not SIGPIPE.
    const ssize_t count = send(fd_, buffer_.data() + sent, used_ - sent, MSG_NOSIGNAL);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) throw ChannelBroken("the other end of the channel is gone");
    sent += static_cast<size_t>(count);
  }
  used_ = 0;
}

bool ChannelReader::TryFill() {
  position_ = filled_ = 0;
  while (true) {
    if (timeout_ms_ >= 0) {
      pollfd ready{fd_, POLLIN, 0};
      const int polled = poll(&ready, 1, timeout_ms_);
      if (polled < 0 && errno == EINTR) continue;
      if (polled == 0) throw ChannelSilent("the other end of the channel went silent");
      if (polled < 0) throw ChannelBroken("the channel cannot be read");
    }
    const ssize_t count = read(fd_, buffer_.data(), buffer_.size());
    if (count < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (count < 0) throw ChannelBroken("the channel cannot be read");
    filled_ = static_cast<size_t>(count);
    return count > 0;
  }
}

void ChannelReader::Fill() {
  if (!TryFill()) throw ChannelBroken("the channel ended in the middle of a frame");
}

bool ChannelReader::AtEnd() { return position_ == filled_ && !TryFill(); }

void ChannelReader::Raw(char* out, size_t size) {
  while (size > 0) {
    if (position_ == filled_) Fill();
    const size_t count = std::min(size, filled_ - position_);
    std::memcpy(out, buffer_.data() + position_, count);
    position_ += count;
    out += count;
    size -= count;
  }
}

void ChannelReader::String(std::string& out) {
  const uint64_t size = Unsigned();
  if (size > kLongestString) throw ChannelBroken("a string frame is too long");
  out.resize(size);
  Raw(out.data(), size);
}

}  // namespace quill
