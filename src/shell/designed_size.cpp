#include "shell/designed_size.h"

#include <QLayout>
#include <QWindow>
#include <QWidget>
#include <algorithm>

namespace quill {

void FitDesignedSize(QWidget* window, const QSize& designed, bool fixed) {
  if (window->layout() != nullptr) window->layout()->activate();
  const QSize minimum = window->layout() != nullptr ? window->layout()->totalMinimumSize() : window->minimumSizeHint();
  const int width = std::max(designed.width(), minimum.width());
  int height = std::max(designed.height(), minimum.height());
  if (window->layout() != nullptr && window->layout()->hasHeightForWidth())
    height = std::max(height, window->layout()->totalHeightForWidth(width));
  if (fixed) {
    window->setFixedSize(width, height);
  } else {
    window->setMinimumSize(width, height);
    window->resize(width, height);
  }
}

}  // namespace quill

namespace quill {

void PlaceWindowFrame(QWidget* window, const QPoint& top_left) {
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
