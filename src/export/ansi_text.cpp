#include "export/ansi_text.h"

#include <iconv.h>

#include <cerrno>
#include <stdexcept>

namespace quill {

namespace {

class Converter {
 public:
  Converter() : handle_(iconv_open("WINDOWS-1252", "UTF-8")) {
    if (handle_ == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("No Windows-1252 conversion available.");
  }
  ~Converter() { iconv_close(handle_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  iconv_t handle() const { return handle_; }

 private:
  iconv_t handle_;
};

// Bytes of the well-formed UTF-8 sequence at the start of bytes; 1 for a
// byte that starts none, so the text after it is converted again.
std::size_t SequenceLength(std::string_view bytes) {
  const auto lead = static_cast<unsigned char>(bytes[0]);
  std::size_t length = 1;
  if (lead >= 0xC2 && lead < 0xE0) length = 2;
  else if (lead >= 0xE0 && lead < 0xF0) length = 3;
  else if (lead >= 0xF0 && lead < 0xF5) length = 4;
  if (length > bytes.size()) return 1;
  for (std::size_t k = 1; k < length; ++k) {
    if ((static_cast<unsigned char>(bytes[k]) & 0xC0) != 0x80) return 1;
  }
  return length;
}

}  // namespace

std::string Utf8ToWindows1252(std::string_view text) {
  static const Converter converter;
  iconv(converter.handle(), nullptr, nullptr, nullptr, nullptr);
  std::string result;
  result.reserve(text.size());
  char buffer[1024];
  char* in = const_cast<char*>(text.data());
  std::size_t in_left = text.size();
  while (in_left > 0) {
    char* out = buffer;
    std::size_t out_left = sizeof buffer;
    const std::size_t done = iconv(converter.handle(), &in, &in_left, &out, &out_left);
    result.append(buffer, static_cast<std::size_t>(out - buffer));
    if (done != static_cast<std::size_t>(-1)) break;
    if (errno == E2BIG) continue;
    result.push_back('?');
    if (errno == EINVAL) break;  // a sequence cut off at the end
    // EILSEQ: no byte for the character, or bytes that are not UTF-8.
    const std::size_t skip = SequenceLength(std::string_view(in, in_left));
    in += skip;
    in_left -= skip;
  }
  return result;
}

}  // namespace quill
