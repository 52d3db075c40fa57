#include "shell/script_view.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyleHints>
#include <QTextLayout>
#include <optional>
#include <QTimer>
#include <algorithm>
#include <cmath>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "common/replace_every.h"
#include "common/utf8_steps.h"
#include "shell/shown_text.h"

namespace quill {
namespace {

constexpr int kMargin = 4;              // around the text, as the plain text editor has

// Bytes with every line break shown as "\n".
QString WithNewlines(std::string_view bytes) {
  std::string joined;
  joined.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const char byte = bytes[i];
    if (byte == '\r') {
      joined += '\n';
      if (i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
    } else {
      joined += byte;
    }
  }
  return ShownText(joined);
}

// Text put in by the user: every line break becomes CR LF.
std::string TypedBytes(const QString& text) {
  const QByteArray utf8 = text.toUtf8();
  std::string bytes;
  bytes.reserve(static_cast<std::size_t>(utf8.size()));
  for (qsizetype i = 0; i < utf8.size(); ++i) {
    const char byte = utf8[i];
    if (byte == '\r' || byte == '\n') {
      bytes += "\r\n";
      if (byte == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n') ++i;
    } else {
      bytes += byte;
    }
  }
  return bytes;
}

bool IsWordByte(char byte) {
  const auto value = static_cast<unsigned char>(byte);
  return value >= 0x80 || value == '_' || std::isalnum(value) != 0;
}

char32_t FoldCase(char32_t value) { return QChar::toCaseFolded(value); }

}  // namespace

void ReleaseFreedMemory() {
#if defined(__GLIBC__)
  malloc_trim(0);
#endif
}

ScriptView::ScriptView(ScriptBuffer script, QWidget* parent)
    : QAbstractScrollArea(parent), text_(std::move(script)) {
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_InputMethodEnabled);
  viewport()->setCursor(Qt::IBeamCursor);
  viewport()->setBackgroundRole(QPalette::Base);
  blink_ = new QTimer(this);
  connect(blink_, &QTimer::timeout, this, [this] {
    caret_shown_ = !caret_shown_;
    viewport()->update(CaretRect());
  });
  drag_scroll_ = new QTimer(this);
  connect(drag_scroll_, &QTimer::timeout, this, [this] { MoveCaret(OffsetAt(drag_point_), true); });
  UpdateScrollBars();
}

int ScriptView::LineHeight() const { return std::max(1, fontMetrics().lineSpacing()); }

int ScriptView::VisibleLineCount() const { return std::max(1, (viewport()->height() - kMargin) / LineHeight()); }

int ScriptView::FirstVisibleLine() const { return verticalScrollBar()->value(); }

void ScriptView::UpdateScrollBars() {
  const int visible = VisibleLineCount();
  const auto lines = static_cast<long long>(text_.LineCount());
  verticalScrollBar()->setRange(0, static_cast<int>(std::clamp<long long>(lines - visible, 0, INT_MAX)));
  verticalScrollBar()->setPageStep(visible);
  verticalScrollBar()->setSingleStep(1);
  // Lines not laid out yet count by their bytes.
  const long long estimate = static_cast<long long>(text_.LongestLine()) * fontMetrics().averageCharWidth();
  const long long content = std::max<long long>(widest_, estimate) + 2 * kMargin;
  horizontalScrollBar()->setRange(0, static_cast<int>(std::clamp<long long>(content - viewport()->width(), 0, INT_MAX)));
  horizontalScrollBar()->setPageStep(std::max(1, viewport()->width()));
  horizontalScrollBar()->setSingleStep(std::max(1, fontMetrics().averageCharWidth()));
}

const LaidOutLine& ScriptView::LaidOut(std::size_t line) const {
  auto found = laid_out_.find(line);
  if (found != laid_out_.end()) return found->second;
  // A few screens' worth are kept; scrolling far starts afresh.
  if (laid_out_.size() > 512) laid_out_.clear();
  return laid_out_.try_emplace(line, text_.LineStart(line), text_.Line(line), font()).first->second;
}

void ScriptView::ForgetLayouts() { laid_out_.clear(); }

qreal ScriptView::XOf(std::size_t offset) const {
  const LaidOutLine& line = LaidOut(text_.LineOf(offset));
  return line.XOf(offset - line.start());
}

std::size_t ScriptView::OffsetInLineAtX(std::size_t line, qreal x) const {
  const LaidOutLine& laid_out = LaidOut(line);
  return laid_out.start() + laid_out.PositionAt(x);
}

QRect ScriptView::CaretRect() const {
  const long long row = static_cast<long long>(text_.LineOf(caret_)) - FirstVisibleLine();
  if (row < 0 || row > VisibleLineCount() + 1) return {};
  const int x = kMargin + static_cast<int>(XOf(caret_)) - horizontalScrollBar()->value();
  return QRect(x - 2, kMargin + static_cast<int>(row) * LineHeight(), 5, LineHeight());
}

std::size_t ScriptView::OffsetAt(const QPoint& point) const {
  const long long row = FirstVisibleLine() + static_cast<long long>(std::floor(
                                                 static_cast<double>(point.y() - kMargin) / LineHeight()));
  const auto line = static_cast<std::size_t>(std::clamp<long long>(row, 0, static_cast<long long>(text_.LineCount()) - 1));
  return OffsetInLineAtX(line, point.x() - kMargin + horizontalScrollBar()->value());
}

void ScriptView::paintEvent(QPaintEvent* event) {
  QPainter painter(viewport());
  painter.setPen(palette().color(QPalette::Text));
  const int height = LineHeight();
  const qreal left = kMargin - horizontalScrollBar()->value();
  const std::size_t selection_from = std::min(caret_, anchor_);
  const std::size_t selection_to = std::max(caret_, anchor_);
  QTextCharFormat selected;
  selected.setBackground(palette().brush(QPalette::Highlight));
  selected.setForeground(palette().brush(QPalette::HighlightedText));
  const int widest_before = widest_;
  const auto first = static_cast<std::size_t>(FirstVisibleLine());
  // Only the lines in the part to paint are laid out (the caret's blink
  // paints one line).
  const int from_row = std::max(0, (event->rect().top() - kMargin) / height);
  for (std::size_t line = first + static_cast<std::size_t>(from_row); line < text_.LineCount(); ++line) {
    const int top = kMargin + static_cast<int>(line - first) * height;
    if (top > event->rect().bottom()) break;
    const LaidOutLine& laid_out = LaidOut(line);
    const std::size_t line_start = laid_out.start();
    const std::size_t line_end = line_start + laid_out.bytes().size();
    const auto in_line = [line_start, line_end](std::size_t offset) {
      return std::clamp(offset, line_start, line_end) - line_start;
    };
    std::optional<std::size_t> caret;
    if (caret_shown_ && hasFocus() && caret_ >= line_start && caret_ <= line_end) caret = caret_ - line_start;
    const QPointF origin(left, top);
    const qreal shown_from = event->rect().left() - left;
    const qreal shown_to = event->rect().right() + 1 - left;
    const std::optional<qreal> end =
        laid_out.Draw(painter, origin, shown_from, shown_to, in_line(selection_from), in_line(selection_to), selected,
                      caret);
    const bool break_selected = selection_from <= line_end && selection_to > line_end;
    if (break_selected && end) {
      // A selected line break shows as a blank's width of selection.
      painter.fillRect(QRectF(left + *end, top, fontMetrics().horizontalAdvance(' '), height),
                       palette().brush(QPalette::Highlight));
    }
    widest_ = std::max(widest_, static_cast<int>(std::ceil(laid_out.LaidOutWidth())));
  }
  if (widest_ > widest_before) QTimer::singleShot(0, this, [this] { UpdateScrollBars(); });
}

void ScriptView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  UpdateScrollBars();
}

void ScriptView::scrollContentsBy(int, int) { viewport()->update(); }

void ScriptView::changeEvent(QEvent* event) {
  QAbstractScrollArea::changeEvent(event);
  if (event->type() == QEvent::FontChange) {
    ForgetLayouts();
    widest_ = 0;
    wanted_x_ = -1;
    UpdateScrollBars();
    viewport()->update();
  }
}

void ScriptView::RestartBlink() {
  caret_shown_ = true;
  const int flash = QApplication::cursorFlashTime();
  if (hasFocus() && flash > 0) {
    blink_->start(flash / 2);
  } else {
    blink_->stop();
  }
  viewport()->update();
}

void ScriptView::focusInEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusInEvent(event);
  RestartBlink();
}

void ScriptView::focusOutEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusOutEvent(event);
  RestartBlink();
}

void ScriptView::SetSelection(std::size_t anchor, std::size_t caret) {
  anchor_ = std::min(anchor, text_.size());
  caret_ = std::min(caret, text_.size());
  wanted_x_ = -1;
  text_.CloseUndoStep();
  EnsureCaretVisible();
  RestartBlink();
}

void ScriptView::MoveCaret(std::size_t offset, bool select, bool keep_column) {
  caret_ = std::min(offset, text_.size());
  if (!select) anchor_ = caret_;
  if (!keep_column) wanted_x_ = -1;
  text_.CloseUndoStep();
  EnsureCaretVisible();
  RestartBlink();
}

void ScriptView::EnsureCaretVisible() {
  const auto line = static_cast<long long>(text_.LineOf(caret_));
  const int first = FirstVisibleLine();
  const int visible = VisibleLineCount();
  if (line < first) verticalScrollBar()->setValue(static_cast<int>(line));
  else if (line >= first + visible) verticalScrollBar()->setValue(static_cast<int>(line - visible + 1));
  const int x = static_cast<int>(std::ceil(XOf(caret_)));
  if (x + 1 > widest_) {
    widest_ = x + 1;
    UpdateScrollBars();
  }
  const int room = viewport()->width() - 2 * kMargin;
  QScrollBar* bar = horizontalScrollBar();
  if (x < bar->value()) bar->setValue(x);
  else if (x >= bar->value() + room) bar->setValue(x - room + 1);
}

std::size_t ScriptView::PreviousPosition(std::size_t offset) const {
  if (offset == 0) return 0;
  const std::size_t line = text_.LineOf(offset);
  const std::size_t line_start = text_.LineStart(line);
  if (offset == line_start) return text_.LineEnd(line - 1);
  const std::size_t from = offset - std::min<std::size_t>(4, offset - line_start);
  const std::string window = text_.Bytes(from, offset - from);
  return from + PreviousCharacterStart(window, window.size());
}

std::size_t ScriptView::NextPosition(std::size_t offset) const {
  if (offset >= text_.size()) return text_.size();
  const std::size_t line = text_.LineOf(offset);
  const std::size_t line_end = text_.LineEnd(line);
  if (offset >= line_end) return text_.LineStart(line + 1);
  const std::string window = text_.Bytes(offset, std::min<std::size_t>(4, line_end - offset));
  return offset + DecodeAt(window, 0).length;
}

std::size_t ScriptView::WordStart(std::size_t offset) const {
  const LaidOutLine& laid_out = LaidOut(text_.LineOf(offset));
  const std::size_t line_start = laid_out.start();
  const std::string& bytes = laid_out.bytes();
  std::size_t at = offset - line_start;
  while (at > 0 && !IsWordByte(bytes[at - 1])) --at;
  while (at > 0 && IsWordByte(bytes[at - 1])) --at;
  return line_start + at;
}

std::size_t ScriptView::WordEnd(std::size_t offset) const {
  const LaidOutLine& laid_out = LaidOut(text_.LineOf(offset));
  const std::size_t line_start = laid_out.start();
  const std::string& bytes = laid_out.bytes();
  std::size_t at = offset - line_start;
  while (at < bytes.size() && IsWordByte(bytes[at])) ++at;
  while (at < bytes.size() && !IsWordByte(bytes[at])) ++at;
  return line_start + at;
}

bool ScriptView::event(QEvent* event) {
  if (event->type() == QEvent::ShortcutOverride) {
    // The editor's own keys win over the window's shortcuts while it has focus.
    auto* key = static_cast<QKeyEvent*>(event);
    const bool text_key = !key->text().isEmpty() && key->text().at(0).isPrint() &&
                          !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    if (text_key || key->matches(QKeySequence::Copy) || key->matches(QKeySequence::Cut) ||
        key->matches(QKeySequence::Paste) || key->matches(QKeySequence::SelectAll) ||
        key->matches(QKeySequence::Undo)) {
      event->accept();
      return true;
    }
  }
  return QAbstractScrollArea::event(event);
}

void ScriptView::keyPressEvent(QKeyEvent* event) {
  const bool shift = event->modifiers() & Qt::ShiftModifier;
  const std::size_t line = text_.LineOf(caret_);
  const auto vertical = [&](long long lines) {
    if (wanted_x_ < 0) wanted_x_ = XOf(caret_);
    const long long target = std::clamp<long long>(static_cast<long long>(line) + lines, 0,
                                                   static_cast<long long>(text_.LineCount()) - 1);
    MoveCaret(OffsetInLineAtX(static_cast<std::size_t>(target), wanted_x_), shift, true);
  };
  const std::size_t selection_from = std::min(caret_, anchor_);
  const std::size_t selection_to = std::max(caret_, anchor_);
  if (event->matches(QKeySequence::SelectAll)) SelectAll();
  else if (event->matches(QKeySequence::Copy)) Copy();
  else if (event->matches(QKeySequence::Cut)) Cut();
  else if (event->matches(QKeySequence::Paste)) Paste();
  else if (event->matches(QKeySequence::Undo)) Undo();
  else if (event->matches(QKeySequence::MoveToPreviousChar))
    MoveCaret(selection_from != selection_to ? selection_from : PreviousPosition(caret_), false);
  else if (event->matches(QKeySequence::MoveToNextChar))
    MoveCaret(selection_from != selection_to ? selection_to : NextPosition(caret_), false);
  else if (event->matches(QKeySequence::SelectPreviousChar)) MoveCaret(PreviousPosition(caret_), true);
  else if (event->matches(QKeySequence::SelectNextChar)) MoveCaret(NextPosition(caret_), true);
  else if (event->matches(QKeySequence::MoveToPreviousWord)) MoveCaret(WordStart(caret_), false);
  else if (event->matches(QKeySequence::MoveToNextWord)) MoveCaret(WordEnd(caret_), false);
  else if (event->matches(QKeySequence::SelectPreviousWord)) MoveCaret(WordStart(caret_), true);
  else if (event->matches(QKeySequence::SelectNextWord)) MoveCaret(WordEnd(caret_), true);
  else if (event->matches(QKeySequence::MoveToPreviousLine) || event->matches(QKeySequence::SelectPreviousLine))
    vertical(-1);
  else if (event->matches(QKeySequence::MoveToNextLine) || event->matches(QKeySequence::SelectNextLine))
    vertical(1);
  else if (event->matches(QKeySequence::MoveToPreviousPage) || event->matches(QKeySequence::SelectPreviousPage)) {
    verticalScrollBar()->setValue(FirstVisibleLine() - VisibleLineCount());
    vertical(-VisibleLineCount());
  } else if (event->matches(QKeySequence::MoveToNextPage) || event->matches(QKeySequence::SelectNextPage)) {
    verticalScrollBar()->setValue(FirstVisibleLine() + VisibleLineCount());
    vertical(VisibleLineCount());
  } else if (event->matches(QKeySequence::MoveToStartOfLine) || event->matches(QKeySequence::SelectStartOfLine))
    MoveCaret(text_.LineStart(line), shift);
  else if (event->matches(QKeySequence::MoveToEndOfLine) || event->matches(QKeySequence::SelectEndOfLine))
    MoveCaret(text_.LineEnd(line), shift);
  else if (event->matches(QKeySequence::MoveToStartOfDocument) || event->matches(QKeySequence::SelectStartOfDocument))
    MoveCaret(0, shift);
  else if (event->matches(QKeySequence::MoveToEndOfDocument) || event->matches(QKeySequence::SelectEndOfDocument))
    MoveCaret(text_.size(), shift);
  else if (event->key() == Qt::Key_Backspace) DeleteBackward();
  else if (event->key() == Qt::Key_Delete) DeleteForward();
  else if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
    ReplaceSelection("\r\n", ScriptText::EditKind::kTyping);
  else if (!event->text().isEmpty() && event->text().at(0).isPrint() &&
           !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
    ReplaceSelection(TypedBytes(event->text()), ScriptText::EditKind::kTyping);
  else {
    QAbstractScrollArea::keyPressEvent(event);
    return;
  }
  event->accept();
}

void ScriptView::inputMethodEvent(QInputMethodEvent* event) {
  if (!event->commitString().isEmpty()) ReplaceSelection(TypedBytes(event->commitString()), ScriptText::EditKind::kTyping);
  event->accept();
}

QVariant ScriptView::inputMethodQuery(Qt::InputMethodQuery query) const {
  if (query == Qt::ImCursorRectangle) return CaretRect();
  return QAbstractScrollArea::inputMethodQuery(query);
}

void ScriptView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  setFocus(Qt::MouseFocusReason);
  MoveCaret(OffsetAt(event->position().toPoint()), event->modifiers() & Qt::ShiftModifier);
  dragging_ = true;
}

void ScriptView::mouseMoveEvent(QMouseEvent* event) {
  if (!dragging_) return;
  drag_point_ = event->position().toPoint();
  MoveCaret(OffsetAt(drag_point_), true);
  if (viewport()->rect().contains(drag_point_)) drag_scroll_->stop();
  else if (!drag_scroll_->isActive()) drag_scroll_->start(50);
}

void ScriptView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  dragging_ = false;
  drag_scroll_->stop();
}

void ScriptView::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const std::size_t at = OffsetAt(event->position().toPoint());
  const LaidOutLine& laid_out = LaidOut(text_.LineOf(at));
  const std::string& bytes = laid_out.bytes();
  const std::size_t line_start = laid_out.start();
  std::size_t from = at - line_start;
  std::size_t to = from;
  while (from > 0 && IsWordByte(bytes[from - 1])) --from;
  while (to < bytes.size() && IsWordByte(bytes[to])) ++to;
  SetSelection(line_start + from, line_start + to);
}

void ScriptView::contextMenuEvent(QContextMenuEvent* event) {
  // The edit commands of the system's plain edit control.
  const bool selection = caret_ != anchor_;
  QMenu menu(this);
  menu.addAction("Undo", this, &ScriptView::Undo)->setEnabled(text_.CanUndo());
  menu.addSeparator();
  menu.addAction("Cut", this, &ScriptView::Cut)->setEnabled(selection);
  menu.addAction("Copy", this, &ScriptView::Copy)->setEnabled(selection);
  menu.addAction("Paste", this, &ScriptView::Paste)->setEnabled(!QApplication::clipboard()->text().isEmpty());
  menu.addAction("Delete", this, [this] { ReplaceSelection("", ScriptText::EditKind::kOther); })->setEnabled(selection);
  menu.addSeparator();
  menu.addAction("Select All", this, &ScriptView::SelectAll)->setEnabled(!text_.empty());
  menu.exec(event->globalPos());
}

void ScriptView::SelectAll() { SetSelection(0, text_.size()); }

QString ScriptView::SelectedText() const {
  const std::size_t from = std::min(caret_, anchor_);
  return WithNewlines(text_.Bytes(from, std::max(caret_, anchor_) - from));
}

QString ScriptView::PlainText() const { return WithNewlines(text_.Text()); }

void ScriptView::Copy() {
  if (caret_ != anchor_) QApplication::clipboard()->setText(SelectedText());
}

void ScriptView::Cut() {
  if (caret_ == anchor_) return;
  Copy();
  ReplaceSelection("", ScriptText::EditKind::kOther);
}

void ScriptView::Paste() {
  const QString pasted = QApplication::clipboard()->text();
  if (!pasted.isEmpty()) ReplaceSelection(TypedBytes(pasted), ScriptText::EditKind::kOther);
}

void ScriptView::Undo() {
  if (!text_.CanUndo()) return;
  const ScriptText::Range restored = text_.Undo();
  anchor_ = restored.offset;
  caret_ = restored.offset + restored.length;
  AfterEdit();
}

void ScriptView::ReplaceSelection(std::string_view bytes, ScriptText::EditKind kind) {
  const std::size_t from = std::min(caret_, anchor_);
  const std::size_t to = std::max(caret_, anchor_);
  if (from == to && bytes.empty()) return;
  text_.Replace(from, to - from, bytes, kind);
  caret_ = anchor_ = from + bytes.size();
  AfterEdit();
}

void ScriptView::DeleteBackward() {
  if (caret_ != anchor_) return ReplaceSelection("", ScriptText::EditKind::kOther);
  if (caret_ == 0) return;
  const std::size_t from = PreviousPosition(caret_);
  text_.Replace(from, caret_ - from, "", ScriptText::EditKind::kBackspace);
  caret_ = anchor_ = from;
  AfterEdit();
}

void ScriptView::DeleteForward() {
  if (caret_ != anchor_) return ReplaceSelection("", ScriptText::EditKind::kOther);
  if (caret_ >= text_.size()) return;
  const std::size_t to = NextPosition(caret_);
  text_.Replace(caret_, to - caret_, "", ScriptText::EditKind::kDelete);
  AfterEdit();
}

void ScriptView::AfterEdit() {
  ForgetLayouts();
  wanted_x_ = -1;
  UpdateScrollBars();
  EnsureCaretVisible();
  RestartBlink();
}

bool ScriptView::ReplaceEvery(const QString& find, const QString& with, Qt::CaseSensitivity case_sensitivity) {
  const QByteArray find_bytes = find.toUtf8();
  const QByteArray with_bytes = with.toUtf8();
  const bool changed = ::quill::ReplaceEvery(text_, std::string_view(find_bytes.constData(), find_bytes.size()),
                                             std::string_view(with_bytes.constData(), with_bytes.size()),
                                             case_sensitivity == Qt::CaseSensitive ? nullptr : FoldCase);
  if (!changed) return false;
  ReleaseFreedMemory();
  // The caret and the scroll position are not kept.
  caret_ = anchor_ = 0;
  widest_ = 0;
  verticalScrollBar()->setValue(0);
  horizontalScrollBar()->setValue(0);
  AfterEdit();
  return true;
}

}  // namespace quill
