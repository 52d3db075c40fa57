#include "common/script_buffer.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace quill {

ScriptBuffer ScriptBuffer::FromItems(const std::vector<std::string>& items) {
  ScriptBuffer buffer;
  for (const std::string& item : items) buffer.AppendItem(item);
  return buffer;
}

void ScriptBuffer::AppendItem(std::string_view item) {
  BeginItem();
  Append(item);
  EndItem();
}

void ScriptBuffer::BeginItem() {
  if (item_open_) throw std::logic_error("ScriptBuffer: an item is open already");
  item_open_ = true;
  if (chunks_.empty()) Reserve(0);
  open_start_ = chunks_.back().used;
}

// Makes room for `bytes` more bytes of the open item in the last chunk,
// moving the open item to a new chunk when the last one runs out.
void ScriptBuffer::Reserve(std::size_t bytes) {
  if (!chunks_.empty()) {
    const Chunk_& last = chunks_.back();
    if (last.capacity - last.used >= bytes) return;
  }
  const std::size_t open_length = (item_open_ && !chunks_.empty()) ? chunks_.back().used - open_start_ : 0;
  const std::size_t needed = open_length + bytes;
  // A growing item doubles its chunk, so one long value costs a few copies only.
  std::size_t capacity = kChunkSize;
  while (capacity < needed) capacity *= 2;
  Chunk_ chunk;
  chunk.data = std::make_unique_for_overwrite<char[]>(capacity);
  chunk.capacity = capacity;
  if (!chunks_.empty()) {
    Chunk_& last = chunks_.back();
    if (open_length > 0) std::memcpy(chunk.data.get(), last.data.get() + open_start_, open_length);
    last.used -= open_length;
    chunk.offset = last.offset + last.used;
    if (last.used == 0) chunks_.pop_back();  // nothing but the open item was there
  }
  chunk.used = open_length;
  open_start_ = 0;
  chunks_.push_back(std::move(chunk));
}

void ScriptBuffer::Append(std::string_view bytes) {
  if (!item_open_) throw std::logic_error("ScriptBuffer: no item is open");
  Reserve(bytes.size());
  Chunk_& last = chunks_.back();
  if (!bytes.empty()) std::memcpy(last.data.get() + last.used, bytes.data(), bytes.size());
  last.used += bytes.size();
  size_ += bytes.size();
}

void ScriptBuffer::Append(char byte) { Append(std::string_view(&byte, 1)); }

void ScriptBuffer::EndItem() {
  if (!item_open_) throw std::logic_error("ScriptBuffer: no item is open");
  const std::size_t length = chunks_.back().used - open_start_;
  Append(kItemEnd);
  item_starts_.push_back({chunks_.size() - 1, open_start_, length});
  item_open_ = false;
}

void ScriptBuffer::ReplaceItem(std::size_t index, std::string_view item) {
  if (item_open_) throw std::logic_error("ScriptBuffer: an item is open");
  ItemStart& replaced = item_starts_.at(index);
  Chunk_& chunk = chunks_[replaced.chunk];
  const std::size_t tail_start = replaced.position + replaced.length;  // its CR LF and what follows
  const std::size_t tail_length = chunk.used - tail_start;
  const std::size_t used = replaced.position + item.size() + tail_length;
  if (used > chunk.capacity) {
    std::size_t capacity = chunk.capacity * 2;
    while (capacity < used) capacity *= 2;
    auto data = std::make_unique_for_overwrite<char[]>(capacity);
    std::memcpy(data.get(), chunk.data.get(), replaced.position);
    std::memcpy(data.get() + replaced.position + item.size(), chunk.data.get() + tail_start, tail_length);
    chunk.data = std::move(data);
    chunk.capacity = capacity;
  } else {
    std::memmove(chunk.data.get() + replaced.position + item.size(), chunk.data.get() + tail_start, tail_length);
  }
  if (!item.empty()) std::memcpy(chunk.data.get() + replaced.position, item.data(), item.size());
  const std::ptrdiff_t moved = static_cast<std::ptrdiff_t>(item.size()) - static_cast<std::ptrdiff_t>(replaced.length);
  chunk.used = used;
  size_ = static_cast<std::size_t>(static_cast<std::ptrdiff_t>(size_) + moved);
  for (std::size_t i = index + 1; i < item_starts_.size() && item_starts_[i].chunk == replaced.chunk; ++i) {
    item_starts_[i].position = static_cast<std::size_t>(static_cast<std::ptrdiff_t>(item_starts_[i].position) + moved);
  }
  for (std::size_t c = replaced.chunk + 1; c < chunks_.size(); ++c) {
    chunks_[c].offset = static_cast<std::size_t>(static_cast<std::ptrdiff_t>(chunks_[c].offset) + moved);
  }
  replaced.length = item.size();
}

std::string_view ScriptBuffer::Item(std::size_t index) const {
  const ItemStart& start = item_starts_.at(index);
  return {chunks_[start.chunk].data.get() + start.position, start.length};
}

std::vector<std::string> ScriptBuffer::Items() const {
  std::vector<std::string> items;
  items.reserve(item_starts_.size());
  for (std::size_t i = 0; i < item_starts_.size(); ++i) items.emplace_back(Item(i));
  return items;
}

std::string_view ScriptBuffer::Chunk(std::size_t index) const {
  const Chunk_& chunk = chunks_.at(index);
  return {chunk.data.get(), chunk.used};
}

std::size_t ScriptBuffer::ChunkOf(std::size_t offset) const {
  // The last chunk whose first byte is at or before the offset.
  auto after = std::upper_bound(chunks_.begin(), chunks_.end(), offset,
                                [](std::size_t value, const Chunk_& chunk) { return value < chunk.offset; });
  return static_cast<std::size_t>(after - chunks_.begin()) - 1;
}

std::string_view ScriptBuffer::SpanAt(std::size_t offset) const {
  if (offset >= size_ || chunks_.empty()) return {};
  const Chunk_& chunk = chunks_[ChunkOf(offset)];
  const std::size_t position = offset - chunk.offset;
  return {chunk.data.get() + position, chunk.used - position};
}

std::string ScriptBuffer::Bytes(std::size_t offset, std::size_t length) const {
  std::string bytes;
  length = std::min(length, offset < size_ ? size_ - offset : 0);
  bytes.reserve(length);
  while (bytes.size() < length) {
    const std::string_view span = SpanAt(offset + bytes.size());
    bytes.append(span.substr(0, length - bytes.size()));
  }
  return bytes;
}

std::string ScriptBuffer::Text() const { return Bytes(0, size_); }

}  // namespace quill
