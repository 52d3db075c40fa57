#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace quill {

// The message digest of RFC 1321. The caller owns the context.
struct MD5Context {
  uint32_t state[4];
  uint32_t count[2];  // number of input bits modulo 2^64, low word first
  uint8_t buffer[64];  // input not yet processed
};

using MD5Digest = std::array<uint8_t, 16>;

void MD5Init(MD5Context& context);
void MD5Update(MD5Context& context, const uint8_t* input, uint32_t length);
// Pads, appends the bit count, writes the digest and wipes the context.
void MD5Final(MD5Context& context, MD5Digest& digest);
// 32 lowercase hexadecimal characters, high nibble first, bytes in order.
std::string MD5Print(const MD5Digest& digest);

// MD5Print of the digest of the text's bytes.
std::string MD5PrintOf(std::string_view bytes);

}  // namespace quill
