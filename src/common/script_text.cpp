#include "common/script_text.h"

#include <algorithm>
#include <stdexcept>

namespace quill {

ScriptText::ScriptText() = default;

ScriptText::ScriptText(ScriptBuffer original) : original_(std::move(original)) {
  original_spans_.resize(original_.ChunkCount());
  std::vector<const TextSpan*> spans;
  for (std::size_t i = 0; i < original_spans_.size(); ++i) {
    const std::string_view chunk = original_.Chunk(i);
    TextSpan& span = original_spans_[i];
    span.data = chunk.data();
    span.size = chunk.size();
    RecordBreaks(span, 0);
    spans.push_back(&span);
  }
  ResetPieces(spans);
}

ScriptText ScriptText::FromBytes(std::string_view bytes, std::size_t chunk_size) {
  ScriptText text;
  AddBuffer built(chunk_size);
  built.AppendStream(bytes);
  text.TakeOver(std::move(built));
  text.modified_ = false;
  return text;
}

void ScriptText::TakeOver(AddBuffer built) {
  // The old pieces point into the buffers being let go: drop them first.
  pieces_.clear();
  undo_ = UndoStep{};
  original_spans_.clear();
  original_spans_.shrink_to_fit();
  original_ = ScriptBuffer();
  add_ = std::move(built);
  std::vector<const TextSpan*> spans;
  for (std::size_t i = 0; i < add_.ChunkCount(); ++i) spans.push_back(&add_.Span(i));
  ResetPieces(spans);
  modified_ = true;
}

void ScriptText::ResetPieces(const std::vector<const TextSpan*>& spans) {
  pieces_.clear();
  for (const TextSpan* span : spans) {
    if (span->size == 0) continue;
    Piece piece{span, 0, span->size, 0};
    piece.breaks = CountBreaks(piece);
    pieces_.push_back(piece);
  }
  // Chunks written in order may cut a CR LF; every boundary is checked once.
  for (std::size_t i = pieces_.size(); i-- > 1;) JoinCutBreak(i);
  RebuildIndex(0);
  MeasureLongestLine();
}

std::size_t ScriptText::CountBreaks(const Piece& piece) {
  const std::vector<std::uint32_t>& ends = piece.span->break_ends;
  const std::size_t end = piece.start + piece.length;
  const auto first = std::upper_bound(ends.begin(), ends.end(), piece.start);
  const auto last = std::upper_bound(first, ends.end(), end);
  std::size_t breaks = static_cast<std::size_t>(last - first);
  // A CR whose LF lies just past the piece is a lone CR here.
  if (piece.length > 0 && piece.span->data[end - 1] == '\r' && end < piece.span->size && piece.span->data[end] == '\n')
    ++breaks;
  return breaks;
}

std::size_t ScriptText::BreakEndIn(const Piece& piece, std::size_t k) {
  const std::vector<std::uint32_t>& ends = piece.span->break_ends;
  const auto first = std::upper_bound(ends.begin(), ends.end(), piece.start);
  const std::size_t index = static_cast<std::size_t>(first - ends.begin()) + k;
  if (index < ends.size() && ends[index] <= piece.start + piece.length) return ends[index] - piece.start;
  return piece.length;  // the lone CR at the piece's end
}

void ScriptText::RebuildIndex(std::size_t from) {
  from = std::min(from, pieces_.size());
  piece_offsets_.resize(pieces_.size() + 1);
  piece_breaks_.resize(pieces_.size() + 1);
  for (std::size_t i = from; i < pieces_.size(); ++i) {
    piece_offsets_[i + 1] = piece_offsets_[i] + pieces_[i].length;
    piece_breaks_[i + 1] = piece_breaks_[i] + pieces_[i].breaks;
  }
}

std::size_t ScriptText::PieceAt(std::size_t offset) const {
  // The last piece starting at or before the offset; the piece count at the end.
  if (offset >= size()) return pieces_.size();
  const auto after = std::upper_bound(piece_offsets_.begin(), piece_offsets_.end() - 1, offset);
  return static_cast<std::size_t>(after - piece_offsets_.begin()) - 1;
}

std::size_t ScriptText::LineStart(std::size_t line) const {
  if (line == 0) return 0;
  if (line >= LineCount()) return size();
  // The first piece whose breaks reach this line's.
  const auto reach = std::lower_bound(piece_breaks_.begin() + 1, piece_breaks_.end(), line);
  const std::size_t index = static_cast<std::size_t>(reach - piece_breaks_.begin()) - 1;
  return piece_offsets_[index] + BreakEndIn(pieces_[index], line - piece_breaks_[index] - 1);
}

std::size_t ScriptText::LineEnd(std::size_t line) const {
  if (line + 1 >= LineCount()) return size();
  const std::size_t next = LineStart(line + 1);
  if (ByteAt(next - 1) == '\n' && next >= 2 && ByteAt(next - 2) == '\r') return next - 2;
  return next - 1;
}

std::size_t ScriptText::LineOf(std::size_t offset) const {
  if (offset >= size()) return LineCount() - 1;
  const std::size_t index = PieceAt(offset);
  const Piece& piece = pieces_[index];
  const std::size_t local = offset - piece_offsets_[index];
  const std::vector<std::uint32_t>& ends = piece.span->break_ends;
  const auto first = std::upper_bound(ends.begin(), ends.end(), piece.start);
  const auto last = std::upper_bound(first, ends.end(), piece.start + local);
  return piece_breaks_[index] + static_cast<std::size_t>(last - first);
}

char ScriptText::ByteAt(std::size_t offset) const {
  const std::size_t index = PieceAt(offset);
  if (index == pieces_.size()) throw std::out_of_range("ScriptText: offset past the end");
  const Piece& piece = pieces_[index];
  return piece.span->data[piece.start + offset - piece_offsets_[index]];
}

std::string ScriptText::Bytes(std::size_t offset, std::size_t length) const {
  std::string bytes;
  if (offset >= size()) return bytes;
  length = std::min(length, size() - offset);
  bytes.reserve(length);
  for (std::size_t index = PieceAt(offset); bytes.size() < length; ++index) {
    const std::string_view piece = BytesOf(pieces_[index]);
    const std::size_t local = offset + bytes.size() - piece_offsets_[index];
    bytes.append(piece.substr(local, length - bytes.size()));
  }
  return bytes;
}

std::vector<std::string_view> ScriptText::Spans() const {
  std::vector<std::string_view> spans;
  spans.reserve(pieces_.size());
  for (const Piece& piece : pieces_) spans.push_back(BytesOf(piece));
  return spans;
}

std::size_t ScriptText::SplitAt(std::size_t offset) {
  const std::size_t index = PieceAt(offset);
  if (index == pieces_.size() || piece_offsets_[index] == offset) return index;
  Piece& left = pieces_[index];
  const std::size_t local = offset - piece_offsets_[index];
  Piece right{left.span, left.start + local, left.length - local, 0};
  left.length = local;
  left.breaks = CountBreaks(left);
  right.breaks = CountBreaks(right);
  InsertPiece(index + 1, right);
  return index + 1;
}

void ScriptText::InsertPiece(std::size_t index, const Piece& piece) {
  pieces_.insert(pieces_.begin() + static_cast<std::ptrdiff_t>(index), piece);
  // Offsets and breaks up to the piece before stay; the rest follow (that
  // piece may have been cut short).
  piece_offsets_.insert(piece_offsets_.begin() + static_cast<std::ptrdiff_t>(index) + 1, 0);
  piece_breaks_.insert(piece_breaks_.begin() + static_cast<std::ptrdiff_t>(index) + 1, 0);
  RebuildIndex(index > 0 ? index - 1 : 0);
}

void ScriptText::JoinCutBreak(std::size_t index) {
  if (index == 0 || index >= pieces_.size()) return;
  Piece& before = pieces_[index - 1];
  Piece& after = pieces_[index];
  if (BytesOf(before).back() != '\r' || BytesOf(after).front() != '\n') return;
  const AddBuffer::Placed placed = add_.AppendWhole("\r\n");
  Piece pair{placed.span, placed.start, 2, 1};
  --before.length;
  before.breaks = CountBreaks(before);
  ++after.start;
  --after.length;
  after.breaks = CountBreaks(after);
  const auto at = pieces_.begin() + static_cast<std::ptrdiff_t>(index);
  pieces_.insert(at, pair);
  // Pieces left empty go.
  if (pieces_[index + 1].length == 0) pieces_.erase(pieces_.begin() + static_cast<std::ptrdiff_t>(index) + 1);
  if (pieces_[index - 1].length == 0) pieces_.erase(pieces_.begin() + static_cast<std::ptrdiff_t>(index) - 1);
  piece_offsets_.resize(pieces_.size() + 1);
  piece_breaks_.resize(pieces_.size() + 1);
}

void ScriptText::Replace(std::size_t offset, std::size_t length, std::string_view bytes, EditKind kind) {
  if (offset > size() || length > size() - offset) throw std::out_of_range("ScriptText: edit past the end");
  if (length == 0 && bytes.empty()) return;
  const bool joins = undo_.valid && undo_.kind == kind &&
                     ((kind == EditKind::kTyping && length == 0 && offset == undo_.offset + undo_.inserted) ||
                      (kind == EditKind::kBackspace && bytes.empty() && offset + length == undo_.offset &&
                       undo_.inserted == 0) ||
                      (kind == EditKind::kDelete && bytes.empty() && offset == undo_.offset && undo_.inserted == 0));
  if (joins) {
    if (kind == EditKind::kTyping) undo_.inserted += bytes.size();
    if (kind == EditKind::kBackspace) undo_.offset = offset;
    undo_.removed += length;
  } else {
    undo_ = UndoStep{true, pieces_, offset, length, bytes.size(), kind};
  }

  std::size_t first = SplitAt(offset);
  const std::size_t last = SplitAt(offset + length);
  pieces_.erase(pieces_.begin() + static_cast<std::ptrdiff_t>(first), pieces_.begin() + static_cast<std::ptrdiff_t>(last));
  std::size_t after = first;  // the first piece after the new bytes
  if (!bytes.empty()) {
    const AddBuffer::Placed placed = add_.AppendWhole(bytes);
    Piece* previous = first > 0 ? &pieces_[first - 1] : nullptr;
    if (previous != nullptr && previous->span == placed.span && previous->start + previous->length == placed.start) {
      // Typing on at the end of the last typed bytes grows their piece.
      previous->length += bytes.size();
      previous->breaks = CountBreaks(*previous);
    } else {
      Piece piece{placed.span, placed.start, bytes.size(), 0};
      piece.breaks = CountBreaks(piece);
      pieces_.insert(pieces_.begin() + static_cast<std::ptrdiff_t>(first), piece);
      after = first + 1;
    }
  }
  JoinCutBreak(after);
  if (after != first) JoinCutBreak(first);
  first = first > 0 ? first - 1 : 0;
  RebuildIndex(first);
  modified_ = true;
  GrowLongestLine(offset, bytes.size());
}

ScriptText::Range ScriptText::Undo() {
  if (!undo_.valid) return {};
  std::swap(pieces_, undo_.pieces);
  RebuildIndex(0);
  std::swap(undo_.removed, undo_.inserted);
  undo_.kind = EditKind::kOther;
  modified_ = true;
  GrowLongestLine(undo_.offset, undo_.inserted);
  return {undo_.offset, undo_.inserted};
}

void ScriptText::MeasureLongestLine() {
  longest_line_ = 0;
  std::size_t line_start = 0;
  for (std::size_t i = 0; i < pieces_.size(); ++i) {
    for (std::size_t k = 0; k < pieces_[i].breaks; ++k) {
      const std::size_t end = piece_offsets_[i] + BreakEndIn(pieces_[i], k);
      longest_line_ = std::max(longest_line_, end - line_start);
      line_start = end;
    }
  }
  longest_line_ = std::max(longest_line_, size() - line_start);
}

void ScriptText::GrowLongestLine(std::size_t offset, std::size_t length) {
  // The lines the edit touched; lines inside a long insertion count by their bytes.
  const std::size_t first = LineOf(offset);
  const std::size_t last = LineOf(offset + length);
  longest_line_ = std::max(longest_line_, LineEnd(first) - LineStart(first));
  longest_line_ = std::max(longest_line_, LineEnd(last) - LineStart(last));
  if (last > first + 1) longest_line_ = std::max(longest_line_, std::min(length, LineStart(last) - LineEnd(first)));
}

}  // namespace quill
