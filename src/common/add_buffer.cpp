#include "common/add_buffer.h"

#include <algorithm>
#include <cstring>

namespace quill {

AddBuffer::Chunk& AddBuffer::NewChunk(std::size_t capacity) {
  auto chunk = std::make_unique<Chunk>();
  chunk->storage = std::make_unique_for_overwrite<char[]>(capacity);
  chunk->capacity = capacity;
  chunk->span.data = chunk->storage.get();
  chunks_.push_back(std::move(chunk));
  return *chunks_.back();
}

void AddBuffer::Write(Chunk& chunk, std::string_view bytes) {
  const std::size_t from = chunk.span.size;
  std::memcpy(chunk.storage.get() + from, bytes.data(), bytes.size());
  chunk.span.size += bytes.size();
  RecordBreaks(chunk.span, from);
}

AddBuffer::Placed AddBuffer::AppendWhole(std::string_view bytes) {
  Chunk* chunk = chunks_.empty() ? nullptr : chunks_.back().get();
  if (chunk == nullptr || chunk->capacity - chunk->span.size < bytes.size()) {
    chunk = &NewChunk(std::max(chunk_size_, bytes.size()));
  }
  const std::size_t start = chunk->span.size;
  if (!bytes.empty()) Write(*chunk, bytes);
  return {&chunk->span, start};
}

void AddBuffer::AppendStream(std::string_view bytes) {
  while (!bytes.empty()) {
    Chunk* chunk = chunks_.empty() ? nullptr : chunks_.back().get();
    if (chunk == nullptr || chunk->span.size == chunk->capacity) chunk = &NewChunk(chunk_size_);
    const std::size_t part = std::min(bytes.size(), chunk->capacity - chunk->span.size);
    Write(*chunk, bytes.substr(0, part));
    bytes.remove_prefix(part);
  }
}

}  // namespace quill
