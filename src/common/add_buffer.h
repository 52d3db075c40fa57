#pragma once

#include <cstddef>
#include <memory>
#include <string_view>
#include <vector>

#include "common/text_span.h"

namespace quill {

// Bytes appended to a text, in chunks that never move, each a TextSpan with
// its line breaks. Nothing appended is ever changed or removed.
class AddBuffer {
 public:
  static constexpr std::size_t kDefaultChunkSize = std::size_t{64} << 10;

  explicit AddBuffer(std::size_t chunk_size = kDefaultChunkSize) : chunk_size_(chunk_size) {}
  AddBuffer(AddBuffer&&) noexcept = default;
  AddBuffer& operator=(AddBuffer&&) noexcept = default;

  struct Placed {
    const TextSpan* span = nullptr;
    std::size_t start = 0;
  };
  // Appends bytes kept together in one chunk (a new one when the last has no
  // room for them).
  Placed AppendWhole(std::string_view bytes);
  // Appends bytes that may be cut across chunks: a text written in order.
  void AppendStream(std::string_view bytes);

  std::size_t ChunkCount() const { return chunks_.size(); }
  const TextSpan& Span(std::size_t index) const { return chunks_[index]->span; }

 private:
  struct Chunk {
    std::unique_ptr<char[]> storage;
    std::size_t capacity = 0;
    TextSpan span;
  };
  Chunk& NewChunk(std::size_t capacity);
  static void Write(Chunk& chunk, std::string_view bytes);

  std::size_t chunk_size_;
  std::vector<std::unique_ptr<Chunk>> chunks_;
};

}  // namespace quill
