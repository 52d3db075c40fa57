#pragma once

#include <QFont>
#include <QPainter>
#include <QTextCharFormat>
#include <QTextLayout>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace quill {

// One line of the script view as shown: its bytes laid out in the view's font
// in pieces of some thousands of characters, each piece when first needed and
// all pieces before it first (a piece's left edge is where the one before it
// ends). A line of megabytes (a long value's literal) then shows its first
// screen without every character of it being shaped. Positions are byte
// positions in the line; x is in pixels from the line's start.
class LaidOutLine {
 public:
  LaidOutLine(std::size_t start, std::string bytes, const QFont& font);

  std::size_t start() const { return start_; }
  const std::string& bytes() const { return bytes_; }

  qreal XOf(std::size_t position) const;
  // The position between characters nearest to x.
  std::size_t PositionAt(qreal x) const;
  // Draws the pieces that reach into [left, right) (line x) at `origin`, the
  // bytes [selected_from, selected_to) in `selected`, and the caret at
  // `caret`. Gives the x where the line ends when that was reached.
  std::optional<qreal> Draw(QPainter& painter, const QPointF& origin, qreal left, qreal right,
                            std::size_t selected_from, std::size_t selected_to, const QTextCharFormat& selected,
                            std::optional<std::size_t> caret) const;
  // How wide the laid-out pieces reach.
  qreal LaidOutWidth() const;

 private:
  struct Piece {
    std::size_t from = 0;  // bytes of the line
    std::size_t to = 0;
    std::unique_ptr<QTextLayout> layout;
    qreal left = 0;
  };

  // Lays out every piece up to `index`.
  const Piece& LaidOutPiece(std::size_t index) const;
  std::size_t PieceOf(std::size_t position) const;
  qreal Right(const Piece& piece) const;

  std::size_t start_;
  std::string bytes_;
  QFont font_;
  mutable std::vector<Piece> pieces_;
  mutable std::size_t laid_out_ = 0;  // pieces laid out, from the first
};

}  // namespace quill
