#pragma once

#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace quill {

// The other end of a reader channel is gone, went silent for longer than the
// time-out, or sent bytes that make no frame.
class ChannelBroken : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The other end stayed silent for longer than the time-out: it hangs.
class ChannelSilent : public ChannelBroken {
 public:
  using ChannelBroken::ChannelBroken;
};

// Writes the compact binary frames of the Jet reader's channel (a connected
// stream socket) through a buffer: bytes, variable-length unsigned and
// zigzag signed integers, doubles and length-prefixed byte strings.
class ChannelWriter {
 public:
  explicit ChannelWriter(int fd) : fd_(fd), buffer_(kBufferSize) {}

  void Byte(uint8_t value) {
    if (used_ == buffer_.size()) Flush();
    buffer_[used_++] = static_cast<char>(value);
  }
  void Unsigned(uint64_t value) {
    if (buffer_.size() - used_ < 10) Flush();
    while (value >= 0x80) {
      buffer_[used_++] = static_cast<char>((value & 0x7F) | 0x80);
      value >>= 7;
    }
    buffer_[used_++] = static_cast<char>(value);
  }
  void Signed(int64_t value) {
    Unsigned((static_cast<uint64_t>(value) << 1) ^ static_cast<uint64_t>(value >> 63));
  }
  void Double(double value) {
    char bytes[sizeof value];
    std::memcpy(bytes, &value, sizeof value);
    Raw(std::string_view(bytes, sizeof bytes));
  }
  void String(std::string_view text) {
    Unsigned(text.size());
    Raw(text);
  }
  // Sends everything buffered. Throws ChannelBroken when the other end is gone.
  void Flush();

 private:
  static constexpr size_t kBufferSize = 64 * 1024;
  void Raw(std::string_view bytes);

  int fd_;
  std::vector<char> buffer_;
  size_t used_ = 0;
};

// Reads the frames ChannelWriter writes. Every read throws ChannelBroken at
// the end of the stream, on an error, or after timeout_ms without a byte
// (a negative time-out waits for ever).
class ChannelReader {
 public:
  ChannelReader(int fd, int timeout_ms) : fd_(fd), timeout_ms_(timeout_ms), buffer_(kBufferSize) {}

  uint8_t Byte() {
    if (position_ == filled_) Fill();
    return static_cast<uint8_t>(buffer_[position_++]);
  }
  uint64_t Unsigned() {
    uint64_t value = 0;
    for (int shift = 0; shift < 64; shift += 7) {
      const uint8_t byte = Byte();
      value |= static_cast<uint64_t>(byte & 0x7F) << shift;
      if ((byte & 0x80) == 0) return value;
    }
    throw ChannelBroken("an integer frame runs too long");
  }
  int64_t Signed() {
    const uint64_t value = Unsigned();
    return static_cast<int64_t>(value >> 1) ^ -static_cast<int64_t>(value & 1);
  }
  double Double() {
    char bytes[sizeof(double)];
    Raw(bytes, sizeof bytes);
    double value;
    std::memcpy(&value, bytes, sizeof value);
    return value;
  }
  // A byte string into out, replacing what it held.
  void String(std::string& out);
  std::string String() {
    std::string text;
    String(text);
    return text;
  }
  // Whether the other end closed the stream cleanly before the next frame.
  bool AtEnd();

 private:
  static constexpr size_t kBufferSize = 64 * 1024;
  void Raw(char* out, size_t size);
  // Reads at least one byte into the empty buffer, or throws.
  void Fill();
  // As Fill, false at a clean end of the stream.
  bool TryFill();

  int fd_;
  int timeout_ms_;
  std::vector<char> buffer_;
  size_t position_ = 0;
  size_t filled_ = 0;
};

}  // namespace quill
