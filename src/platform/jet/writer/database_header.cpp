#include "platform/jet/writer/database_header.h"

#include <array>
#include <cstring>
#include <utility>

#include "platform/jet/writer/byte_order.h"

namespace quill::jet {
namespace {

void Rc4(const std::uint8_t* key, std::size_t key_size, std::uint8_t* data, std::size_t size) {
  std::array<std::uint8_t, 256> state;
  for (std::size_t i = 0; i < 256; ++i) state[i] = static_cast<std::uint8_t>(i);
  std::size_t j = 0;
  for (std::size_t i = 0; i < 256; ++i) {
    j = (j + state[i] + key[i % key_size]) & 0xFF;
    std::swap(state[i], state[j]);
  }
  std::size_t a = 0;
  std::size_t b = 0;
  for (std::size_t k = 0; k < size; ++k) {
    a = (a + 1) & 0xFF;
    b = (b + state[a]) & 0xFF;
    std::swap(state[a], state[b]);
    data[k] ^= state[(state[a] + state[b]) & 0xFF];
  }
}

constexpr std::uint8_t kHeaderKey[] = {0xC7, 0xDA, 0x39, 0x6B};
constexpr std::size_t kScrambledStart = 0x18;
constexpr std::uint16_t kWindows1252 = 1252;

}  // namespace

Bytes BuildDatabaseHeader(const JetFormat& format) {
  Bytes page(format.page_size, 0);
  page[0] = 0x00;
  page[1] = 0x01;
  std::memcpy(&page[4], "Standard Jet DB", 15);
  PutU32(&page[0x14], format.IsJet4() ? 1 : 0);
  // The scrambled block, in the clear: code page, no encryption key, an empty
  // password (Jet 4 masks it with the creation date, left zero, so the mask is
  // zero too) and the "General" sort order.
  PutU16(&page[0x3C], kWindows1252);
  PutU32(&page[0x3E], 0);
  if (format.IsJet4()) {
    PutU16(&page[0x6E], format.text_sort_order);
  } else {
    PutU16(&page[0x3A], format.text_sort_order);
  }
  Rc4(kHeaderKey, sizeof kHeaderKey, &page[kScrambledStart], format.IsJet4() ? 128 : 126);
  return page;
}

}  // namespace quill::jet
