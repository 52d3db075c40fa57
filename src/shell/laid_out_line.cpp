#include "shell/laid_out_line.h"

#include <QTextOption>
#include <algorithm>
#include <climits>
#include <string_view>

#include "common/utf8_steps.h"
#include "shell/shown_text.h"

namespace quill {
namespace {

constexpr qreal kTabStopDistance = 80;  // pixels
// A piece ends after this many bytes, where an ASCII character follows
// another (no shaping joins the two), or within kPieceSearchBytes more at
// any character's start.
constexpr std::size_t kPieceBytes = 16 * 1024;
constexpr std::size_t kPieceSearchBytes = 1024;

std::vector<std::size_t> PieceEnds(std::string_view bytes) {
  std::vector<std::size_t> ends;
  std::size_t from = 0;
  while (bytes.size() - from > kPieceBytes + kPieceSearchBytes) {
    std::size_t at = from;
    bool previous_ascii = false;
    while (at < from + kPieceBytes + kPieceSearchBytes) {
      const CodePoint point = DecodeAt(bytes, at);
      const bool ascii = point.value < 0x80;
      if (at >= from + kPieceBytes && ascii && previous_ascii) break;
      previous_ascii = ascii;
      at += point.length;
    }
    ends.push_back(at);
    from = at;
  }
  ends.push_back(bytes.size());
  return ends;
}

}  // namespace

LaidOutLine::LaidOutLine(std::size_t start, std::string bytes, const QFont& font)
    : start_(start), bytes_(std::move(bytes)), font_(font) {
  std::size_t from = 0;
  for (std::size_t end : PieceEnds(bytes_)) {
    Piece& piece = pieces_.emplace_back();
    piece.from = from;
    piece.to = end;
    from = end;
  }
}

qreal LaidOutLine::Right(const Piece& piece) const { return piece.left + piece.layout->lineAt(0).naturalTextWidth(); }

const LaidOutLine::Piece& LaidOutLine::LaidOutPiece(std::size_t index) const {
  for (; laid_out_ <= index; ++laid_out_) {
    Piece& piece = pieces_[laid_out_];
    piece.left = laid_out_ == 0 ? 0 : Right(pieces_[laid_out_ - 1]);
    piece.layout = std::make_unique<QTextLayout>(
        ShownText(std::string_view(bytes_).substr(piece.from, piece.to - piece.from)), font_);
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    option.setTabStopDistance(kTabStopDistance);
    piece.layout->setTextOption(option);
    piece.layout->setCacheEnabled(true);
    piece.layout->beginLayout();
    QTextLine text_line = piece.layout->createLine();
    if (text_line.isValid()) text_line.setLineWidth(INT_MAX / 256);
    piece.layout->endLayout();
  }
  return pieces_[index];
}

std::size_t LaidOutLine::PieceOf(std::size_t position) const {
  const auto after = std::upper_bound(pieces_.begin(), pieces_.end(), position,
                                      [](std::size_t at, const Piece& piece) { return at < piece.to; });
  return after == pieces_.end() ? pieces_.size() - 1 : static_cast<std::size_t>(after - pieces_.begin());
}

qreal LaidOutLine::XOf(std::size_t position) const {
  const Piece& piece = LaidOutPiece(PieceOf(position));
  const std::string_view bytes = std::string_view(bytes_).substr(piece.from, piece.to - piece.from);
  return piece.left + piece.layout->lineAt(0).cursorToX(ShownIndex(bytes, position - piece.from));
}

std::size_t LaidOutLine::PositionAt(qreal x) const {
  std::size_t index = 0;
  while (index + 1 < pieces_.size() && Right(LaidOutPiece(index)) < x) ++index;
  const Piece& piece = LaidOutPiece(index);
  // Held to the piece, as far beyond it x is no longer a number the layout takes.
  const qreal inside = std::clamp(x - piece.left, qreal(-1), Right(piece) - piece.left + 1);
  const int shown = piece.layout->lineAt(0).xToCursor(inside, QTextLine::CursorBetweenCharacters);
  return piece.from + BytePosition(std::string_view(bytes_).substr(piece.from, piece.to - piece.from), shown);
}

std::optional<qreal> LaidOutLine::Draw(QPainter& painter, const QPointF& origin, qreal left, qreal right,
                                       std::size_t selected_from, std::size_t selected_to,
                                       const QTextCharFormat& selected, std::optional<std::size_t> caret) const {
  for (std::size_t index = 0; index < pieces_.size(); ++index) {
    const Piece& piece = LaidOutPiece(index);
    if (piece.left > right) return std::nullopt;
    if (Right(piece) < left && index + 1 < pieces_.size()) continue;
    const std::string_view bytes = std::string_view(bytes_).substr(piece.from, piece.to - piece.from);
    QList<QTextLayout::FormatRange> ranges;
    if (selected_from < selected_to && selected_from < piece.to && selected_to > piece.from) {
      const int from = ShownIndex(bytes, std::max(selected_from, piece.from) - piece.from);
      const int to = ShownIndex(bytes, std::min(selected_to, piece.to) - piece.from);
      ranges.append({from, to - from, selected});
    }
    const QPointF at(origin.x() + piece.left, origin.y());
    piece.layout->draw(&painter, at, ranges);
    const bool last = index + 1 == pieces_.size();
    if (caret && *caret >= piece.from && (*caret < piece.to || last)) {
      piece.layout->drawCursor(&painter, at, ShownIndex(bytes, *caret - piece.from), 1);
    }
  }
  return Right(pieces_.back());
}

qreal LaidOutLine::LaidOutWidth() const { return laid_out_ == 0 ? 0 : Right(pieces_[laid_out_ - 1]); }

}  // namespace quill
