#pragma once

#include <QAbstractScrollArea>
#include <QString>
#include <QTextLayout>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

#include "common/script_buffer.h"
#include "common/script_text.h"
#include "shell/laid_out_line.h"

class QTimer;

namespace quill {

// Hands memory freed by a script (a closed tab, a replaced text) back to the
// system: the C library keeps freed blocks of sizes it expects again.
void ReleaseFreedMemory();

// The editor of a script tab: a plain multi-line text view over the run's
// script (ScriptText), laying out only the lines on screen. Both scroll
// bars, no word wrap; caret, selection by mouse and keys, copy, cut, paste,
// typing, Delete, Backspace, Enter (CR LF) and one level of undo (Ctrl+Z).
// A line break is CR LF, a lone CR or a lone LF, shown alike.
class ScriptView : public QAbstractScrollArea {
  Q_OBJECT

 public:
  explicit ScriptView(ScriptBuffer script, QWidget* parent = nullptr);

  const ScriptText& text() const { return text_; }
  // Replace All: every occurrence in the whole script; the caret goes to the
  // start. Gives whether the script changed.
  bool ReplaceEvery(const QString& find, const QString& with, Qt::CaseSensitivity case_sensitivity);

  // The text as shown, every line break as "\n".
  QString PlainText() const;
  QString SelectedText() const;
  bool IsModified() const { return text_.modified(); }

  // Byte offsets in the script of the caret and of the selection's other end.
  std::size_t caret() const { return caret_; }
  std::size_t anchor() const { return anchor_; }
  void SetSelection(std::size_t anchor, std::size_t caret);
  int FirstVisibleLine() const;

  void SelectAll();
  void Copy();
  void Cut();
  void Paste();
  void Undo();

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void inputMethodEvent(QInputMethodEvent* event) override;
  QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void changeEvent(QEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;

 private:
  int LineHeight() const;
  int VisibleLineCount() const;
  void UpdateScrollBars();
  // A line as shown, kept until the text or the font changes.
  const LaidOutLine& LaidOut(std::size_t line) const;
  void ForgetLayouts();
  QRect CaretRect() const;
  // The caret's x in its line, and the byte offset nearest to a point.
  qreal XOf(std::size_t offset) const;
  std::size_t OffsetAt(const QPoint& point) const;
  std::size_t OffsetInLineAtX(std::size_t line, qreal x) const;
  // Caret moves; `select` keeps the anchor.
  void MoveCaret(std::size_t offset, bool select, bool keep_column = false);
  std::size_t PreviousPosition(std::size_t offset) const;
  std::size_t NextPosition(std::size_t offset) const;
  std::size_t WordStart(std::size_t offset) const;
  std::size_t WordEnd(std::size_t offset) const;
  void EnsureCaretVisible();
  // Edits replace the selection.
  void ReplaceSelection(std::string_view bytes, ScriptText::EditKind kind);
  void DeleteBackward();
  void DeleteForward();
  void AfterEdit();
  void RestartBlink();

  ScriptText text_;
  std::size_t caret_ = 0;
  std::size_t anchor_ = 0;
  qreal wanted_x_ = -1;  // the column kept by up and down moves
  int widest_ = 0;       // the widest line laid out, in pixels
  bool caret_shown_ = true;
  bool dragging_ = false;
  QTimer* blink_ = nullptr;
  QTimer* drag_scroll_ = nullptr;  // goes on selecting while the mouse is held outside
  QPoint drag_point_;
  mutable std::unordered_map<std::size_t, LaidOutLine> laid_out_;
};

}  // namespace quill
