#include "platform/jet/writer/usage_map.h"

#include <algorithm>

#include "platform/jet/writer/byte_order.h"

namespace quill::jet {

Bytes BuildUsageMap(std::vector<std::uint32_t> pages, PageFile& file, const JetFormat& format) {
  std::sort(pages.begin(), pages.end());
  const std::size_t inline_bits = (format.usage_map_size - 5) * 8;
  const std::uint32_t start = pages.empty() ? 0 : pages.front() / 8 * 8;
  if (pages.empty() || pages.back() - start < inline_bits) {
    Bytes row(format.usage_map_size, 0);
    row[0] = 0x00;
    PutU32(&row[1], start);
    for (std::uint32_t page : pages) row[5 + (page - start) / 8] |= static_cast<std::uint8_t>(1u << ((page - start) % 8));
    return row;
  }
  const std::size_t bits_per_page = (format.page_size - 4) * 8;
  const std::size_t map_pages = pages.back() / bits_per_page + 1;
  Bytes row(1 + 4 * std::max(map_pages, (format.usage_map_size - 1) / 4), 0);
  row[0] = 0x01;
  std::vector<std::uint8_t> bitmap(format.page_size);
  std::size_t next = 0;
  for (std::size_t k = 0; k < map_pages; ++k) {
    const std::size_t first = k * bits_per_page;
    if (next >= pages.size() || pages[next] >= first + bits_per_page) continue;
    std::fill(bitmap.begin(), bitmap.end(), 0);
    bitmap[0] = 0x05;
    bitmap[1] = 0x01;
    for (; next < pages.size() && pages[next] < first + bits_per_page; ++next) {
      const std::size_t bit = pages[next] - first;
      bitmap[4 + bit / 8] |= static_cast<std::uint8_t>(1u << (bit % 8));
    }
    const std::uint32_t map_page = file.Allocate();
    file.Write(map_page, bitmap.data());
    PutU32(&row[1 + 4 * k], map_page);
  }
  return row;
}

}  // namespace quill::jet
