#pragma once

#include <cstddef>
#include <cstdint>

namespace quill::jet {

enum class JetVersion { kJet3, kJet4 };

// The sizes and offsets that differ between the two file versions.
struct JetFormat {
  JetVersion version;
  std::size_t page_size;
  std::size_t data_row_count_offset;   // 16-bit row count of a data page
  std::size_t data_header_size;        // data page header before the row offsets
  std::size_t max_column_name_length;  // in characters
  std::size_t usage_map_size;          // bytes of an inline (type 0) usage map row
  std::size_t index_bitmask_offset;
  std::size_t index_first_entry_offset;
  std::uint16_t text_sort_order;       // "General"

  bool IsJet4() const { return version == JetVersion::kJet4; }
  // Bytes a text column of n characters occupies at most.
  std::size_t TextBytes(std::size_t characters) const { return IsJet4() ? characters * 2 : characters; }
};

const JetFormat& FormatOf(JetVersion version);

// Most rows a data page holds: a row pointer keeps the row number in one byte.
constexpr std::size_t kMaxRowsPerPage = 255;
// Text columns hold at most this many characters.
constexpr std::size_t kMaxTextCharacters = 255;

}  // namespace quill::jet
