#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "common/add_buffer.h"
#include "common/script_buffer.h"
#include "common/text_span.h"

namespace quill {

// The editable text of a script tab: a piece table over the generated script
// (never copied, never changed) and an add buffer for what the user types,
// with the line starts found through each span's line-break index.
//
// A line break is CR LF, a lone LF or a lone CR; offsets are byte offsets in
// the UTF-8 text. Pieces never cut a CR LF in two: where an edit would bring
// a piece's closing CR next to another's opening LF, the pair moves into a
// piece of its own, so every piece counts its breaks on its own.
//
// One level of undo, as the system's plain edit control has: Undo takes the
// last edit back, and Undo again redoes it. Successive typing, or successive
// deletes with one key, undo together.
class ScriptText {
 public:
  enum class EditKind { kOther, kTyping, kBackspace, kDelete };
  struct Range {
    std::size_t offset = 0;
    std::size_t length = 0;
  };

  ScriptText();
  explicit ScriptText(ScriptBuffer original);
  // A text of the given bytes, kept in add chunks of chunk_size bytes.
  static ScriptText FromBytes(std::string_view bytes, std::size_t chunk_size = AddBuffer::kDefaultChunkSize);
  ScriptText(ScriptText&&) noexcept = default;
  ScriptText& operator=(ScriptText&&) noexcept = default;

  std::size_t size() const { return piece_offsets_.back(); }
  bool empty() const { return size() == 0; }
  std::size_t LineCount() const { return piece_breaks_.back() + 1; }
  std::size_t LineStart(std::size_t line) const;
  // Where the line's break starts (the text's size on the last line).
  std::size_t LineEnd(std::size_t line) const;
  std::size_t LineOf(std::size_t offset) const;
  std::string Line(std::size_t line) const { return Bytes(LineStart(line), LineEnd(line) - LineStart(line)); }
  // No line is longer than this many bytes (it may be a little more than the longest).
  std::size_t LongestLine() const { return longest_line_; }

  char ByteAt(std::size_t offset) const;
  std::string Bytes(std::size_t offset, std::size_t length) const;
  std::string Text() const { return Bytes(0, size()); }
  // The text as contiguous runs, in order, without copying.
  std::vector<std::string_view> Spans() const;
  // Calls visit(line, line_break) for every line in order; line_break is
  // empty on the last line. A line is copied only where it crosses pieces.
  template <typename Visit>
  void ForEachLine(Visit visit) const;

  std::size_t PieceCount() const { return pieces_.size(); }
  bool modified() const { return modified_; }

  // Replaces `length` bytes at `offset` by `bytes`.
  void Replace(std::size_t offset, std::size_t length, std::string_view bytes, EditKind kind = EditKind::kOther);
  // The next edit starts an undo step of its own.
  void CloseUndoStep() { undo_.kind = EditKind::kOther; }
  bool CanUndo() const { return undo_.valid; }
  // Takes the last edit back; gives where the restored bytes are.
  Range Undo();
  // The whole text becomes what `built` holds, in order; no undo.
  void TakeOver(AddBuffer built);

 private:
  struct Piece {
    const TextSpan* span;
    std::size_t start;
    std::size_t length;
    std::size_t breaks;
  };
  struct UndoStep {
    bool valid = false;
    std::vector<Piece> pieces;  // the pieces before the edit
    std::size_t offset = 0;
    std::size_t removed = 0;
    std::size_t inserted = 0;
    EditKind kind = EditKind::kOther;
  };

  static std::size_t CountBreaks(const Piece& piece);
  static std::string_view BytesOf(const Piece& piece) { return {piece.span->data + piece.start, piece.length}; }
  // The position in the piece just after its k-th break.
  static std::size_t BreakEndIn(const Piece& piece, std::size_t k);
  std::size_t PieceAt(std::size_t offset) const;
  std::size_t SplitAt(std::size_t offset);
  void InsertPiece(std::size_t index, const Piece& piece);
  // Moves a CR LF cut between pieces index-1 and index into a piece of its own.
  void JoinCutBreak(std::size_t index);
  void RebuildIndex(std::size_t from);
  void ResetPieces(const std::vector<const TextSpan*>& spans);
  void MeasureLongestLine();
  void GrowLongestLine(std::size_t offset, std::size_t length);

  ScriptBuffer original_;
  std::vector<TextSpan> original_spans_;
  AddBuffer add_;
  std::vector<Piece> pieces_;
  std::vector<std::size_t> piece_offsets_{0};  // offset of each piece; the size at the end
  std::vector<std::size_t> piece_breaks_{0};   // breaks before each piece; all of them at the end
  std::size_t longest_line_ = 0;
  bool modified_ = false;
  UndoStep undo_;
};

template <typename Visit>
void ScriptText::ForEachLine(Visit visit) const {
  std::string carry;  // the start of a line that crosses pieces
  bool carrying = false;
  for (const Piece& piece : pieces_) {
    const std::string_view bytes = BytesOf(piece);
    std::size_t line_start = 0;
    for (std::size_t k = 0; k < piece.breaks; ++k) {
      const std::size_t end = BreakEndIn(piece, k);
      const std::size_t break_length = (bytes[end - 1] == '\n' && end >= 2 && bytes[end - 2] == '\r') ? 2 : 1;
      const std::string_view line = bytes.substr(line_start, end - break_length - line_start);
      if (carrying) {
        carry.append(line);
        visit(std::string_view(carry), bytes.substr(end - break_length, break_length));
        carry.clear();
        carrying = false;
      } else {
        visit(line, bytes.substr(end - break_length, break_length));
      }
      line_start = end;
    }
    if (line_start < bytes.size()) {
      carry.append(bytes.substr(line_start));
      carrying = true;
    }
  }
  visit(std::string_view(carry), std::string_view());
}

}  // namespace quill
