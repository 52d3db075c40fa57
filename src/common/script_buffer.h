#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace quill {

// The text of one generated script: one growing UTF-8 buffer, kept in chunks,
// with the start of every item. An item is one statement of the script (it
// may hold CR LF inside); each is stored followed by CR LF, so the chunks, in
// order, are exactly the bytes of the saved script.
//
// An item never straddles two chunks: it is one contiguous view. A chunk is
// closed when the next item does not fit; an item larger than a chunk gets a
// chunk of its own size. Growing never moves the bytes already written.
class ScriptBuffer {
 public:
  static constexpr std::size_t kChunkSize = std::size_t{4} << 20;
  static constexpr std::string_view kItemEnd = "\r\n";

  ScriptBuffer() = default;
  ScriptBuffer(ScriptBuffer&&) noexcept = default;
  ScriptBuffer& operator=(ScriptBuffer&&) noexcept = default;
  ScriptBuffer(const ScriptBuffer&) = delete;
  ScriptBuffer& operator=(const ScriptBuffer&) = delete;

  // A buffer holding these items, for small scripts and tests.
  static ScriptBuffer FromItems(const std::vector<std::string>& items);

  // Appends one item and its CR LF.
  void AppendItem(std::string_view item);

  // Building an item piece by piece, straight into the buffer: BeginItem,
  // any number of Append calls, then EndItem. The item's bytes stay
  // contiguous (a chunk that runs out moves the open item to a new chunk).
  void BeginItem();
  void Append(std::string_view bytes);
  void Append(char byte);
  void EndItem();

  // Puts `item` in the place of the item at `index` (no item may be open):
  // the bytes after it move by the difference, in its chunk only.
  void ReplaceItem(std::size_t index, std::string_view item);

  std::size_t ItemCount() const { return item_starts_.size(); }
  // The item without its CR LF.
  std::string_view Item(std::size_t index) const;
  std::vector<std::string> Items() const;

  // Bytes in all, CR LF after every item included.
  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }

  std::size_t ChunkCount() const { return chunks_.size(); }
  std::string_view Chunk(std::size_t index) const;

  // The bytes from `offset` to the end of the chunk holding it; empty at or
  // past the end.
  std::string_view SpanAt(std::size_t offset) const;
  // `length` bytes from `offset` (fewer at the end), copied.
  std::string Bytes(std::size_t offset, std::size_t length) const;
  // The whole text, joined.
  std::string Text() const;

 private:
  struct Chunk_ {
    std::unique_ptr<char[]> data;
    std::size_t capacity = 0;
    std::size_t used = 0;
    std::size_t offset = 0;  // of its first byte in the whole text
  };
  struct ItemStart {
    std::size_t chunk;
    std::size_t position;  // in the chunk
    std::size_t length;    // without the CR LF
  };

  void Reserve(std::size_t bytes);
  std::size_t ChunkOf(std::size_t offset) const;

  std::vector<Chunk_> chunks_;
  std::vector<ItemStart> item_starts_;
  std::size_t size_ = 0;
  bool item_open_ = false;
  std::size_t open_start_ = 0;  // position of the open item in the last chunk
};

}  // namespace quill
