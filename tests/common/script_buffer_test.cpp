#include "common/script_buffer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quill {
namespace {

std::string Joined(const std::vector<std::string>& items) {
  std::string text;
  for (const std::string& item : items) text += item + "\r\n";
  return text;
}

// Items of many sizes around the chunk's: every item stays whole and in
// order, and the chunks joined are the saved text.
TEST(ScriptBufferTest, ItemsStayWholeAcrossChunks) {
  const std::size_t chunk = ScriptBuffer::kChunkSize;
  struct Case {
    const char* what;
    std::vector<std::size_t> sizes;
  };
  const std::vector<Case> cases = {
      {"nothing", {}},
      {"one empty item", {0}},
      {"small items", {1, 2, 3, 0, 5}},
      {"an item filling a chunk but its CR LF", {chunk - 2, 1}},
      {"an item one byte over the room left", {chunk - 3, 2}},
      {"an item larger than a chunk", {10, chunk * 2 + 7, 10}},
      {"many items crossing a boundary", std::vector<std::size_t>(3000, 4000)},
  };
  for (const Case& test : cases) {
    std::vector<std::string> items;
    for (std::size_t i = 0; i < test.sizes.size(); ++i) items.emplace_back(test.sizes[i], static_cast<char>('a' + i % 26));
    const ScriptBuffer buffer = ScriptBuffer::FromItems(items);
    const std::string expected = Joined(items);
    EXPECT_EQ(buffer.ItemCount(), items.size()) << test.what;
    EXPECT_EQ(buffer.size(), expected.size()) << test.what;
    EXPECT_TRUE(buffer.Items() == items) << test.what;
    std::string chunks;
    for (std::size_t i = 0; i < buffer.ChunkCount(); ++i) chunks += buffer.Chunk(i);
    EXPECT_TRUE(chunks == expected) << test.what;
    EXPECT_TRUE(buffer.Text() == expected) << test.what;
    // Spans and byte ranges at every place where something begins or ends.
    for (std::size_t offset : {std::size_t{0}, expected.size() / 2, chunk - 1, chunk, chunk + 1, expected.size()}) {
      if (offset > expected.size()) continue;
      EXPECT_EQ(buffer.Bytes(offset, 9), expected.substr(offset, 9)) << test.what << " at " << offset;
      const std::string_view span = buffer.SpanAt(offset);
      EXPECT_EQ(span, std::string_view(expected).substr(offset, span.size())) << test.what << " at " << offset;
      EXPECT_EQ(span.empty(), offset == expected.size()) << test.what << " at " << offset;
    }
  }
}

TEST(ScriptBufferTest, AnItemBuiltPieceByPieceMovesWholeToANewChunk) {
  ScriptBuffer buffer;
  buffer.AppendItem(std::string(ScriptBuffer::kChunkSize - 10, 'x'));
  buffer.BeginItem();
  buffer.Append("INSERT ");
  buffer.Append(std::string(20, 'v'));
  buffer.Append(';');
  buffer.EndItem();
  EXPECT_EQ(buffer.Item(1), "INSERT " + std::string(20, 'v') + ";");
  EXPECT_EQ(buffer.ChunkCount(), 2u);
  EXPECT_EQ(buffer.Chunk(1), buffer.Item(1).data() == buffer.Chunk(1).data() ? buffer.Chunk(1) : "");
  EXPECT_EQ(buffer.Text().size(), buffer.size());
}

// An item replaced by a shorter, an equal or a longer text, in a buffer of
// several chunks: every item, the chunks and the spans read as if the
// buffer had been built with the new item.
TEST(ScriptBufferTest, AReplacedItemReadsAsIfAppendedSo) {
  const std::size_t chunk = ScriptBuffer::kChunkSize;
  struct Case {
    const char* what;
    std::vector<std::size_t> sizes;
    std::size_t index;
    std::size_t new_size;
  };
  const std::vector<Case> cases = {
      {"shorter, first of several", {50, 60, 70}, 0, 10},
      {"longer, in the middle", {50, 60, 70}, 1, 500},
      {"emptied, the last", {50, 60, 70}, 2, 0},
      {"equal", {50, 60}, 0, 50},
      {"longer than its chunk's room, before the next chunk", {chunk - 100, 50, chunk - 10, 20}, 1, 400},
      {"shorter, in a later chunk", {chunk - 100, 50, chunk - 10, 20}, 3, 1},
  };
  for (const Case& test : cases) {
    std::vector<std::string> items;
    for (std::size_t i = 0; i < test.sizes.size(); ++i) items.emplace_back(test.sizes[i], static_cast<char>('a' + i));
    ScriptBuffer buffer = ScriptBuffer::FromItems(items);
    items[test.index] = std::string(test.new_size, 'R');
    buffer.ReplaceItem(test.index, items[test.index]);
    const std::string expected = Joined(items);
    EXPECT_TRUE(buffer.Items() == items) << test.what;
    EXPECT_EQ(buffer.size(), expected.size()) << test.what;
    std::string chunks;
    for (std::size_t i = 0; i < buffer.ChunkCount(); ++i) chunks += buffer.Chunk(i);
    EXPECT_TRUE(chunks == expected) << test.what;
    for (std::size_t offset : {std::size_t{0}, expected.size() / 2, chunk - 1, chunk, chunk + 1, expected.size()}) {
      if (offset > expected.size()) continue;
      EXPECT_EQ(buffer.Bytes(offset, 9), expected.substr(offset, 9)) << test.what << " at " << offset;
    }
    buffer.AppendItem("after");
    EXPECT_EQ(buffer.Item(buffer.ItemCount() - 1), "after") << test.what;
    EXPECT_TRUE(buffer.Text() == expected + "after\r\n") << test.what;
  }
}

}  // namespace
}  // namespace quill
