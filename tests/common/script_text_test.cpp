#include "common/script_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/replace_every.h"

namespace quill {
namespace {

// Line starts of a text as plainly as they can be found.
std::vector<std::size_t> PlainLineStarts(const std::string& text) {
  std::vector<std::size_t> starts{0};
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    if (text[i] == '\r' || text[i] == '\n') starts.push_back(i + 1);
  }
  return starts;
}

// The text and its whole line index agree with the expected bytes.
void ExpectText(const ScriptText& text, const std::string& expected, const std::string& what) {
  ASSERT_EQ(text.Text(), expected) << what;
  ASSERT_EQ(text.size(), expected.size()) << what;
  const std::vector<std::size_t> starts = PlainLineStarts(expected);
  ASSERT_EQ(text.LineCount(), starts.size()) << what;
  for (std::size_t line = 0; line < starts.size(); ++line) {
    const std::size_t start = starts[line];
    std::size_t end = line + 1 < starts.size() ? starts[line + 1] - 1 : expected.size();
    if (line + 1 < starts.size() && end > start && expected[end] == '\n' && expected[end - 1] == '\r') --end;
    EXPECT_EQ(text.LineStart(line), start) << what << " line " << line;
    EXPECT_EQ(text.LineEnd(line), end) << what << " line " << line;
    EXPECT_EQ(text.Line(line), expected.substr(start, end - start)) << what << " line " << line;
    EXPECT_EQ(text.LineOf(start), line) << what << " offset " << start;
    EXPECT_EQ(text.LineOf(end), line) << what << " offset " << end;
  }
  EXPECT_GE(text.LongestLine(), 0u);
  std::string spans;
  for (std::string_view span : text.Spans()) spans.append(span);
  EXPECT_EQ(spans, expected) << what;
}

TEST(ScriptTextTest, GeneratedScriptKeepsItsBytesAndLines) {
  const std::size_t chunk = ScriptBuffer::kChunkSize;
  const struct {
    const char* what;
    std::vector<std::string> items;
  } cases[] = {
      {"nothing", {}},
      {"one empty item", {""}},
      {"items with their own breaks", {"/* a */\r\n/* b */\r\n", "INSERT 1", "x\ry\nz"}},
      {"a lone CR before the item's CR LF", {"a\r", "b\n"}},
      {"items across a chunk boundary", {std::string(chunk - 5, 'a'), "bb\r\ncc", std::string(10, 'd')}},
  };
  for (const auto& test : cases) {
    std::string expected;
    for (const std::string& item : test.items) expected += item + "\r\n";
    const ScriptText text(ScriptBuffer::FromItems(test.items));
    ExpectText(text, expected, test.what);
    EXPECT_FALSE(text.modified()) << test.what;
  }
}

TEST(ScriptTextTest, ChunksCutAnywhereStillGiveOneBreakPerLineEnd) {
  const std::string text = "ab\r\ncd\r\re\n\nf\r\n\r\ng\r";
  for (std::size_t chunk = 1; chunk <= text.size(); ++chunk) {
    ExpectText(ScriptText::FromBytes(text, chunk), text, "chunk " + std::to_string(chunk));
  }
}

struct Edit {
  std::size_t offset;
  std::size_t length;
  std::string bytes;
};

TEST(ScriptTextTest, EditsAcrossPiecesAndLinesKeepTheLineIndex) {
  const struct {
    const char* what;
    std::string text;
    std::size_t chunk;
    std::vector<Edit> edits;
  } cases[] = {
      {"insert inside a line", "one\r\ntwo\r\n", 64, {{1, 0, "X"}}},
      {"insert a CR LF", "one\r\ntwo\r\n", 64, {{2, 0, "\r\n"}}},
      {"insert at the very start and end", "one\r\ntwo", 64, {{0, 0, "A"}, {9, 0, "Z\r\n"}}},
      {"delete a line break joins two lines", "one\r\ntwo\r\n", 64, {{3, 2, ""}}},
      {"delete across three lines", "a\r\nbb\r\nccc\r\nd", 64, {{1, 8, ""}}},
      {"replace across a chunk boundary", "abcdef\r\nghij\r\n", 4, {{2, 7, "12\r\n3"}}},
      {"typing on grows one piece", "ab\r\n", 64, {{1, 0, "x"}, {2, 0, "y"}, {3, 0, "z"}}},
      {"edits on both sides of a boundary", "aaaa\r\nbbbb\r\n", 6, {{5, 0, "1"}, {7, 0, "2"}, {0, 3, ""}}},
      {"deleting brings a lone CR to a lone LF", "a\rX\nb", 64, {{2, 1, ""}}},
      {"a typed CR meets a LF", "a\nb", 64, {{1, 0, "\r"}}},
      {"a typed LF after a CR", "a\rb", 64, {{2, 0, "\n"}}},
      {"a CR typed before a typed LF", "ab", 64, {{1, 0, "\n"}, {1, 0, "\r"}}},
      {"delete everything", "one\r\ntwo\r\n", 3, {{0, 10, ""}}},
      {"write into an empty text", "", 64, {{0, 0, "x\r\ny"}, {1, 2, ""}}},
      {"non-ASCII text", "é\r\nü", 64, {{2, 2, ""}, {0, 0, "ß"}}},
  };
  for (const auto& test : cases) {
    ScriptText text = ScriptText::FromBytes(test.text, test.chunk);
    std::string expected = test.text;
    for (const Edit& edit : test.edits) {
      text.Replace(edit.offset, edit.length, edit.bytes);
      expected.replace(edit.offset, edit.length, edit.bytes);
      ExpectText(text, expected, test.what);
    }
    EXPECT_TRUE(text.modified()) << test.what;
  }
}

TEST(ScriptTextTest, EditsOfAGeneratedScriptLeaveItsBuffer) {
  const std::vector<std::string> items = {std::string(ScriptBuffer::kChunkSize - 4, 'a'), "bbbb", "c"};
  ScriptText text(ScriptBuffer::FromItems(items));
  std::string expected = items[0] + "\r\n" + items[1] + "\r\n" + items[2] + "\r\n";
  const std::size_t boundary = items[0].size() + 2;
  const Edit edits[] = {{boundary - 2, 4, "\r\nX"}, {boundary, 0, "Y"}, {boundary - 1, 5, ""}};
  for (const Edit& edit : edits) {
    text.Replace(edit.offset, edit.length, edit.bytes);
    expected.replace(edit.offset, edit.length, edit.bytes);
    ASSERT_TRUE(text.Text() == expected);
    ASSERT_EQ(text.LineCount(), PlainLineStarts(expected).size());
    EXPECT_EQ(text.Line(1), expected.substr(text.LineStart(1), text.LineEnd(1) - text.LineStart(1)));
  }
}

TEST(ScriptTextTest, UndoTakesBackTheLastEditAndUndoAgainRedoesIt) {
  using Kind = ScriptText::EditKind;
  struct Step {
    Edit edit;
    Kind kind;
  };
  const struct {
    const char* what;
    std::vector<Step> steps;
    std::string undone;
    ScriptText::Range restored;
  } cases[] = {
      {"nothing to undo", {}, "one\r\ntwo", {0, 0}},
      {"typing undoes together", {{{3, 0, "a"}, Kind::kTyping}, {{4, 0, "b"}, Kind::kTyping}}, "one\r\ntwo", {3, 0}},
      {"typing elsewhere starts a new step",
       {{{3, 0, "a"}, Kind::kTyping}, {{0, 0, "b"}, Kind::kTyping}},
       "onea\r\ntwo",
       {0, 0}},
      {"typing over a selection brings it back",
       {{{0, 3, "x"}, Kind::kTyping}, {{1, 0, "y"}, Kind::kTyping}},
       "one\r\ntwo",
       {0, 3}},
      {"backspaces undo together",
       {{{7, 1, ""}, Kind::kBackspace}, {{6, 1, ""}, Kind::kBackspace}, {{5, 1, ""}, Kind::kBackspace},
        {{3, 2, ""}, Kind::kBackspace}},
       "one\r\ntwo",
       {3, 5}},
      {"deletes undo together", {{{0, 1, ""}, Kind::kDelete}, {{0, 1, ""}, Kind::kDelete}}, "one\r\ntwo", {0, 2}},
      {"a paste is a step of its own",
       {{{3, 0, "a"}, Kind::kTyping}, {{4, 0, "\r\nb"}, Kind::kOther}},
       "onea\r\ntwo",
       {4, 0}},
  };
  for (const auto& test : cases) {
    const std::string original = "one\r\ntwo";
    ScriptText text = ScriptText::FromBytes(original, 4);
    for (const Step& step : test.steps) text.Replace(step.edit.offset, step.edit.length, step.edit.bytes, step.kind);
    const std::string edited = text.Text();
    EXPECT_EQ(text.CanUndo(), !test.steps.empty()) << test.what;
    const ScriptText::Range restored = text.Undo();
    ExpectText(text, test.undone, test.what);
    EXPECT_EQ(restored.offset, test.restored.offset) << test.what;
    EXPECT_EQ(restored.length, test.restored.length) << test.what;
    text.Undo();
    ExpectText(text, edited, std::string(test.what) + ", redone");
  }
}

char32_t TestFold(char32_t value) { return value == U'É' ? U'é' : value; }

TEST(ScriptTextTest, ReplaceEveryRunsOverLinesAndPieces) {
  const struct {
    const char* what;
    std::string text;
    const char* find;
    const char* with;
    bool fold;
    std::string result;
    bool changed;
  } cases[] = {
      {"every occurrence", "select a;\r\nSELECT b;\r\n", "select", "INSERT", true, "INSERT a;\r\nINSERT b;\r\n", true},
      {"case kept", "select a;\r\nSELECT b;\r\n", "select", "INSERT", false, "INSERT a;\r\nSELECT b;\r\n", true},
      {"itself", "from a from", "from", "from", true, "from a from", false},
      {"itself in another case", "From a from", "from", "from", true, "from a from", true},
      {"not found", "abc", "x", "y", false, "abc", false},
      {"left to right without overlap", "aaaaa", "aa", "b", false, "bba", true},
      {"to nothing", "a-b-c", "-", "", false, "abc", true},
      {"line breaks stay as they were", "a\rb\nc\r\n", "b", "B", false, "a\rB\nc\r\n", true},
      {"across chunks", "abcabcabc", "cab", "X", false, "abXXc", true},
      {"folded beyond ASCII", "École école", "éCOLE", "x", true, "x x", true},
      {"a text to find with a break", "a\r\nb\r\na", "a\r\nb", "c", false, "c\r\na", true},
      {"bytes that are not UTF-8 stay", "a\xff" "b\xc3", "b", "c", true, "a\xff" "c\xc3", true},
  };
  for (const auto& test : cases) {
    ScriptText text = ScriptText::FromBytes(test.text, 2);
    text.Replace(0, 0, "");
    const bool changed = ReplaceEvery(text, test.find, test.with, test.fold ? TestFold : nullptr);
    EXPECT_EQ(changed, test.changed) << test.what;
    ExpectText(text, test.result, test.what);
    EXPECT_EQ(text.modified(), test.changed) << test.what;
  }
}

}  // namespace
}  // namespace quill
