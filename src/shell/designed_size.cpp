#include "shell/designed_size.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLayout>
#include <QScreen>
#include <QWindow>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <optional>

#include "shell/scrolling_page.h"

namespace quill {

QRect AvailableArea(const QScreen& screen) {
  QRect area = screen.availableGeometry();
  const qreal ratio = screen.devicePixelRatio();
  if (ratio != std::floor(ratio)) area.adjust(0, 0, -1, -1);
  return area;
}

int TitleBarWidth(const QWidget& window) {
  // Window managers draw the title in a bold face of the desktop's font; the
  // icon and the three buttons take about 110 pixels beside it.
  constexpr int kIconAndButtons = 110;
  QFont title_font = QApplication::font();
  title_font.setBold(true);
  return QFontMetrics(title_font).horizontalAdvance(window.windowTitle()) + kIconAndButtons;
}

namespace {

QSize LaidOutMinimum(QWidget* window) {
  if (window->layout() == nullptr) return window->minimumSizeHint();
  window->layout()->activate();
  return window->layout()->totalMinimumSize();
}

// Pages that scroll give up their height where the window's controls need
// more than the room has, and take it back where it has enough.
void YieldPageHeights(QWidget* window, bool yielding) {
  const QList<ScrollingPage*> pages = window->findChildren<ScrollingPage*>();
  for (ScrollingPage* page : pages) {
    page->SetYielding(yielding);
    // The layouts between keep the sizes they were given until told now.
    for (QWidget* holder = page; holder != nullptr && holder != window; holder = holder->parentWidget()) {
      holder->updateGeometry();
    }
  }
  if (!pages.isEmpty() && window->layout() != nullptr) window->layout()->invalidate();
}

}  // namespace

void FitDesignedSize(QWidget* window, const QSize& designed, bool fixed, const QWidget* framed_like) {
  std::optional<QSize> room;
  if (!fixed && window->screen() != nullptr) {
    room = AvailableArea(*window->screen()).size() - (ExpectedFrameSize(window, framed_like) - window->size());
  }
  YieldPageHeights(window, false);
  QSize minimum = LaidOutMinimum(window);
  if (room && minimum.height() > room->height()) {
    YieldPageHeights(window, true);
    minimum = LaidOutMinimum(window);
  }
  int width = std::max(designed.width(), minimum.width());
  int height = std::max(designed.height(), minimum.height());
  if (window->layout() != nullptr && window->layout()->hasHeightForWidth())
    height = std::max(height, window->layout()->totalHeightForWidth(width));
  // The title bar shows the title whole beside the window's icon and buttons.
  width = std::max(width, TitleBarWidth(*window));
  // A window that can grow smaller than that (its lists scroll) is no larger
  // than the screen's available area, so that its buttons stay in reach.
  if (room) {
    width = std::max(minimum.width(), std::min(width, room->width()));
    height = std::max(minimum.height(), std::min(height, room->height()));
  }
  if (fixed) {
    window->setFixedSize(width, height);
  } else {
    window->setMinimumSize(width, height);
    window->resize(width, height);
  }
}

}  // namespace quill

namespace quill {

QSize ExpectedFrameSize(const QWidget* window, const QWidget* framed_like) {
  QSize borders = window->frameGeometry().size() - window->size();
  if (framed_like == nullptr && window->parentWidget() != nullptr) framed_like = window->parentWidget()->window();
  const bool frameless = window->windowFlags().testFlag(Qt::FramelessWindowHint);
  if (borders.isEmpty() && !frameless && framed_like != nullptr) borders = framed_like->frameGeometry().size() - framed_like->size();
  return window->size() + borders.expandedTo(QSize(0, 0));
}

QPoint FrameCornerOnScreen(const QWidget* window, const QPoint& top_left) {
  const QSize frame = ExpectedFrameSize(window);
  const QScreen* screen = QGuiApplication::screenAt(QRect(top_left, frame).center());
  if (screen == nullptr) screen = QGuiApplication::screenAt(top_left);
  if (screen == nullptr && window->parentWidget() != nullptr) screen = window->parentWidget()->window()->screen();
  if (screen == nullptr) screen = window->screen();
  if (screen == nullptr) return top_left;
  const QRect room = AvailableArea(*screen);
  const int left = std::max(room.left(), std::min(top_left.x(), room.right() + 1 - frame.width()));
  const int top = std::max(room.top(), std::min(top_left.y(), room.bottom() + 1 - frame.height()));
  return {left, top};
}

void PlaceWindowFrame(QWidget* window, const QPoint& wanted_top_left) {
  const QPoint top_left = FrameCornerOnScreen(window, wanted_top_left);
  // A move of a window that exists but is not shown places its inside where
  // the frame should be, and a window shown before may keep a frame size
  // that is no longer true: the window's frame position is set first, then
  // the widget's own, so that the window system puts the frame's corner
  // there whether the window has been framed before or not.
  if (window->windowHandle() == nullptr) window->winId();
  window->windowHandle()->setFramePosition(top_left);
  window->move(top_left);
}

}  // namespace quill
