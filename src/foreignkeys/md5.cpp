#include "foreignkeys/md5.h"

#include <cstring>

namespace quill {
namespace {

uint32_t MD5F(uint32_t x, uint32_t y, uint32_t z) { return (x & y) | (~x & z); }
uint32_t MD5G(uint32_t x, uint32_t y, uint32_t z) { return (x & z) | (y & ~z); }
uint32_t MD5H(uint32_t x, uint32_t y, uint32_t z) { return x ^ y ^ z; }
uint32_t MD5I(uint32_t x, uint32_t y, uint32_t z) { return y ^ (x | ~z); }

uint32_t MD5Rotate(uint32_t x, int n) { return (x << n) | (x >> (32 - n)); }

void MD5FF(uint32_t& a, uint32_t b, uint32_t c, uint32_t d, uint32_t x, int s, uint32_t ac) {
  a = MD5Rotate(a + MD5F(b, c, d) + x + ac, s) + b;
}
void MD5GG(uint32_t& a, uint32_t b, uint32_t c, uint32_t d, uint32_t x, int s, uint32_t ac) {
  a = MD5Rotate(a + MD5G(b, c, d) + x + ac, s) + b;
}
void MD5HH(uint32_t& a, uint32_t b, uint32_t c, uint32_t d, uint32_t x, int s, uint32_t ac) {
  a = MD5Rotate(a + MD5H(b, c, d) + x + ac, s) + b;
}
void MD5II(uint32_t& a, uint32_t b, uint32_t c, uint32_t d, uint32_t x, int s, uint32_t ac) {
  a = MD5Rotate(a + MD5I(b, c, d) + x + ac, s) + b;
}

// Words to little-endian bytes and back.
void MD5Encode(uint8_t* output, const uint32_t* input, size_t length) {
  for (size_t i = 0, j = 0; j < length; ++i, j += 4) {
    output[j] = static_cast<uint8_t>(input[i] & 0xff);
    output[j + 1] = static_cast<uint8_t>((input[i] >> 8) & 0xff);
    output[j + 2] = static_cast<uint8_t>((input[i] >> 16) & 0xff);
    output[j + 3] = static_cast<uint8_t>((input[i] >> 24) & 0xff);
  }
}

void MD5Decode(uint32_t* output, const uint8_t* input, size_t length) {
  for (size_t i = 0, j = 0; j < length; ++i, j += 4) {
    output[i] = static_cast<uint32_t>(input[j]) | (static_cast<uint32_t>(input[j + 1]) << 8) |
                (static_cast<uint32_t>(input[j + 2]) << 16) | (static_cast<uint32_t>(input[j + 3]) << 24);
  }
}

void MD5Transform(uint32_t state[4], const uint8_t block[64]) {
  uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
  uint32_t x[16];
  MD5Decode(x, block, 64);

  // Round 1
  MD5FF(a, b, c, d, x[0], 7, 0xd76aa478);
  MD5FF(d, a, b, c, x[1], 12, 0xe8c7b756);
  MD5FF(c, d, a, b, x[2], 17, 0x242070db);
  MD5FF(b, c, d, a, x[3], 22, 0xc1bdceee);
  MD5FF(a, b, c, d, x[4], 7, 0xf57c0faf);
  MD5FF(d, a, b, c, x[5], 12, 0x4787c62a);
  MD5FF(c, d, a, b, x[6], 17, 0xa8304613);
  MD5FF(b, c, d, a, x[7], 22, 0xfd469501);
  MD5FF(a, b, c, d, x[8], 7, 0x698098d8);
  MD5FF(d, a, b, c, x[9], 12, 0x8b44f7af);
  MD5FF(c, d, a, b, x[10], 17, 0xffff5bb1);
  MD5FF(b, c, d, a, x[11], 22, 0x895cd7be);
  MD5FF(a, b, c, d, x[12], 7, 0x6b901122);
  MD5FF(d, a, b, c, x[13], 12, 0xfd987193);
  MD5FF(c, d, a, b, x[14], 17, 0xa679438e);
  MD5FF(b, c, d, a, x[15], 22, 0x49b40821);

  // Round 2
  MD5GG(a, b, c, d, x[1], 5, 0xf61e2562);
  MD5GG(d, a, b, c, x[6], 9, 0xc040b340);
  MD5GG(c, d, a, b, x[11], 14, 0x265e5a51);
  MD5GG(b, c, d, a, x[0], 20, 0xe9b6c7aa);
  MD5GG(a, b, c, d, x[5], 5, 0xd62f105d);
  MD5GG(d, a, b, c, x[10], 9, 0x02441453);
  MD5GG(c, d, a, b, x[15], 14, 0xd8a1e681);
  MD5GG(b, c, d, a, x[4], 20, 0xe7d3fbc8);
  MD5GG(a, b, c, d, x[9], 5, 0x21e1cde6);
  MD5GG(d, a, b, c, x[14], 9, 0xc33707d6);
  MD5GG(c, d, a, b, x[3], 14, 0xf4d50d87);
  MD5GG(b, c, d, a, x[8], 20, 0x455a14ed);
  MD5GG(a, b, c, d, x[13], 5, 0xa9e3e905);
  MD5GG(d, a, b, c, x[2], 9, 0xfcefa3f8);
  MD5GG(c, d, a, b, x[7], 14, 0x676f02d9);
  MD5GG(b, c, d, a, x[12], 20, 0x8d2a4c8a);

  // Round 3
  MD5HH(a, b, c, d, x[5], 4, 0xfffa3942);
  MD5HH(d, a, b, c, x[8], 11, 0x8771f681);
  MD5HH(c, d, a, b, x[11], 16, 0x6d9d6122);
  MD5HH(b, c, d, a, x[14], 23, 0xfde5380c);
  MD5HH(a, b, c, d, x[1], 4, 0xa4beea44);
  MD5HH(d, a, b, c, x[4], 11, 0x4bdecfa9);
  MD5HH(c, d, a, b, x[7], 16, 0xf6bb4b60);
  MD5HH(b, c, d, a, x[10], 23, 0xbebfbc70);
  MD5HH(a, b, c, d, x[13], 4, 0x289b7ec6);
  MD5HH(d, a, b, c, x[0], 11, 0xeaa127fa);
  MD5HH(c, d, a, b, x[3], 16, 0xd4ef3085);
  MD5HH(b, c, d, a, x[6], 23, 0x04881d05);
  MD5HH(a, b, c, d, x[9], 4, 0xd9d4d039);
  MD5HH(d, a, b, c, x[12], 11, 0xe6db99e5);
  MD5HH(c, d, a, b, x[15], 16, 0x1fa27cf8);
  MD5HH(b, c, d, a, x[2], 23, 0xc4ac5665);

  // Round 4
  MD5II(a, b, c, d, x[0], 6, 0xf4292244);
  MD5II(d, a, b, c, x[7], 10, 0x432aff97);
  MD5II(c, d, a, b, x[14], 15, 0xab9423a7);
  MD5II(b, c, d, a, x[5], 21, 0xfc93a039);
  MD5II(a, b, c, d, x[12], 6, 0x655b59c3);
  MD5II(d, a, b, c, x[3], 10, 0x8f0ccc92);
  MD5II(c, d, a, b, x[10], 15, 0xffeff47d);
  MD5II(b, c, d, a, x[1], 21, 0x85845dd1);
  MD5II(a, b, c, d, x[8], 6, 0x6fa87e4f);
  MD5II(d, a, b, c, x[15], 10, 0xfe2ce6e0);
  MD5II(c, d, a, b, x[6], 15, 0xa3014314);
  MD5II(b, c, d, a, x[13], 21, 0x4e0811a1);
  MD5II(a, b, c, d, x[4], 6, 0xf7537e82);
  MD5II(d, a, b, c, x[11], 10, 0xbd3af235);
  MD5II(c, d, a, b, x[2], 15, 0x2ad7d2bb);
  MD5II(b, c, d, a, x[9], 21, 0xeb86d391);

  state[0] += a;
  state[1] += b;
  state[2] += c;
  state[3] += d;
  std::memset(x, 0, sizeof x);  // no input left behind on the stack
}

}  // namespace

void MD5Init(MD5Context& context) {
  context.state[0] = 0x67452301;
  context.state[1] = 0xefcdab89;
  context.state[2] = 0x98badcfe;
  context.state[3] = 0x10325476;
  context.count[0] = context.count[1] = 0;
  std::memset(context.buffer, 0, sizeof context.buffer);
}

void MD5Update(MD5Context& context, const uint8_t* input, uint32_t length) {
  uint32_t index = (context.count[0] >> 3) & 0x3f;
  const uint32_t added_bits = length << 3;
  context.count[0] += added_bits;
  if (context.count[0] < added_bits) ++context.count[1];
  context.count[1] += length >> 29;

  const uint32_t part_length = 64 - index;
  uint32_t i = 0;
  if (length >= part_length) {
    std::memcpy(&context.buffer[index], input, part_length);
    MD5Transform(context.state, context.buffer);
    for (i = part_length; i + 63 < length; i += 64) MD5Transform(context.state, &input[i]);
    index = 0;
  }
  if (length > i) std::memcpy(&context.buffer[index], &input[i], length - i);
}

void MD5Final(MD5Context& context, MD5Digest& digest) {
  static const uint8_t kPadding[64] = {0x80};
  uint8_t bits[8];
  MD5Encode(bits, context.count, 8);
  const uint32_t index = (context.count[0] >> 3) & 0x3f;
  const uint32_t pad_length = index < 56 ? 56 - index : 120 - index;
  MD5Update(context, kPadding, pad_length);
  MD5Update(context, bits, 8);
  MD5Encode(digest.data(), context.state, 16);
  std::memset(&context, 0, sizeof context);
}

std::string MD5Print(const MD5Digest& digest) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string text;
  text.reserve(32);
  for (const uint8_t byte : digest) {
    text += kHex[byte >> 4];
    text += kHex[byte & 0x0f];
  }
  return text;
}

std::string MD5PrintOf(std::string_view bytes) {
  MD5Context context;
  MD5Init(context);
  MD5Update(context, reinterpret_cast<const uint8_t*>(bytes.data()), static_cast<uint32_t>(bytes.size()));
  MD5Digest digest;
  MD5Final(context, digest);
  return MD5Print(digest);
}

}  // namespace quill
