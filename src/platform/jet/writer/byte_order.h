#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace quill::jet {

// Little-endian stores into a page or row buffer, the byte order of the file
// everywhere except in index keys.
inline void PutU8(std::uint8_t* at, std::uint32_t value) { at[0] = static_cast<std::uint8_t>(value); }
inline void PutU16(std::uint8_t* at, std::uint32_t value) {
  at[0] = static_cast<std::uint8_t>(value);
  at[1] = static_cast<std::uint8_t>(value >> 8);
}
inline void PutU24(std::uint8_t* at, std::uint32_t value) {
  PutU16(at, value);
  at[2] = static_cast<std::uint8_t>(value >> 16);
}
inline void PutU32(std::uint8_t* at, std::uint32_t value) {
  PutU16(at, value);
  PutU16(at + 2, value >> 16);
}
inline void PutU64(std::uint8_t* at, std::uint64_t value) {
  PutU32(at, static_cast<std::uint32_t>(value));
  PutU32(at + 4, static_cast<std::uint32_t>(value >> 32));
}
inline void PutDouble(std::uint8_t* at, double value) {
  std::uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  PutU64(at, bits);
}

inline std::uint32_t GetU16(const std::uint8_t* at) { return at[0] | (at[1] << 8); }
inline std::uint32_t GetU32(const std::uint8_t* at) { return GetU16(at) | (GetU16(at + 2) << 16); }

// Appending stores, for buffers that grow.
inline void AppendU8(std::vector<std::uint8_t>& out, std::uint32_t value) { out.push_back(static_cast<std::uint8_t>(value)); }
inline void AppendU16(std::vector<std::uint8_t>& out, std::uint32_t value) {
  out.push_back(static_cast<std::uint8_t>(value));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}
inline void AppendU32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  AppendU16(out, value);
  AppendU16(out, value >> 16);
}
inline void AppendZeros(std::vector<std::uint8_t>& out, std::size_t count) { out.insert(out.end(), count, 0); }

// A row pointer: page number in the upper three bytes, row number in the lowest.
inline std::uint32_t RowPointer(std::uint32_t page, std::uint32_t row) { return (page << 8) | row; }

}  // namespace quill::jet
