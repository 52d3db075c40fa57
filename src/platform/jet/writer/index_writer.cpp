#include "platform/jet/writer/index_writer.h"

#include <algorithm>

#include "platform/jet/writer/byte_order.h"

namespace quill::jet {
namespace {

constexpr std::uint8_t kIntermediatePage = 0x03;
constexpr std::uint8_t kLeafPage = 0x04;

void AppendBigEndian32(Bytes& out, std::uint32_t value) {
  out.push_back(static_cast<std::uint8_t>(value >> 24));
  out.push_back(static_cast<std::uint8_t>(value >> 16));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
  out.push_back(static_cast<std::uint8_t>(value));
}

// One level of the tree: its entries, laid into pages, written; returns for
// every page its last entry (key and row) for the level above.
using Node = IndexEntry;

std::vector<Node> WriteLevel(const std::vector<Node>& nodes, bool leaf, std::uint32_t table_page, PageFile& file,
                             const JetFormat& format, std::vector<std::uint32_t>& written) {
  const std::size_t capacity = format.page_size - format.index_first_entry_offset;
  auto entry_size = [&](const Node& node) { return node.key.size() + 4 + (leaf ? 0 : 4); };
  // Split into pages, keeping at least one entry per page.
  std::vector<std::size_t> firsts{0};
  std::size_t used = 0;
  for (std::size_t i = 0; i < nodes.size(); ++i) {
    const std::size_t size = entry_size(nodes[i]);
    if (used + size > capacity && used > 0) {
      firsts.push_back(i);
      used = 0;
    }
    used += size;
  }
  const auto page_count = static_cast<std::uint32_t>(firsts.size());
  const std::uint32_t first_page = file.Allocate(page_count);
  std::vector<Node> above;
  std::vector<std::uint8_t> page(format.page_size);
  Bytes entry;
  for (std::uint32_t p = 0; p < page_count; ++p) {
    const std::size_t begin = firsts[p];
    const std::size_t end = p + 1 < page_count ? firsts[p + 1] : nodes.size();
    std::fill(page.begin(), page.end(), 0);
    page[0] = leaf ? kLeafPage : kIntermediatePage;
    page[1] = 0x01;
    PutU32(&page[4], table_page);
    PutU32(&page[8], p > 0 ? first_page + p - 1 : 0);
    PutU32(&page[12], p + 1 < page_count ? first_page + p + 1 : 0);
    std::size_t offset = 0;
    for (std::size_t i = begin; i < end; ++i) {
      const Node& node = nodes[i];
      entry.assign(node.key.begin(), node.key.end());
      AppendBigEndian32(entry, node.row_pointer);  // page in three bytes, then the row
      if (!leaf) AppendBigEndian32(entry, node.child);
      std::copy(entry.begin(), entry.end(), page.begin() + static_cast<std::ptrdiff_t>(format.index_first_entry_offset + offset));
      offset += entry.size();
      // The mask marks where each entry ends (the next one starts).
      page[format.index_bitmask_offset + offset / 8] |= static_cast<std::uint8_t>(1u << (offset % 8));
    }
    PutU16(&page[2], static_cast<std::uint32_t>(capacity - offset));
    file.Write(first_page + p, page.data());
    written.push_back(first_page + p);
    if (end > begin) above.push_back({nodes[end - 1].key, nodes[end - 1].row_pointer, first_page + p});
  }
  if (nodes.empty()) above.push_back({std::string_view(), 0, first_page});
  return above;
}

}  // namespace

IndexPages WriteIndex(const std::vector<IndexEntry>& entries, std::uint32_t table_page, PageFile& file,
                      const JetFormat& format) {
  IndexPages result;
  std::vector<Node> level = WriteLevel(entries, true, table_page, file, format, result.pages);
  while (level.size() > 1) level = WriteLevel(level, false, table_page, file, format, result.pages);
  result.root = level.front().child;
  return result;
}

}  // namespace quill::jet
