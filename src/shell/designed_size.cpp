#include "shell/designed_size.h"

#include <QEvent>
#include <QLayout>
#include <QTimer>
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
namespace {

// Whether the guess of the frame was right shows once the system has framed
// the window: put back in place then if it was not. A window still without a
// frame a moment after it was shown has none, and its inside is placed.
class FrameCheck : public QObject {
 public:
  FrameCheck(QWidget* window, const QPoint& top_left) : QObject(window), window_(window), top_left_(top_left) {
    setObjectName("FrameCheck");
    window->installEventFilter(this);
    QTimer::singleShot(kFramingWait, this, [this] {
      if (window_->isVisible() && window_->frameGeometry() == window_->geometry()) Place();
      deleteLater();
    });
  }

  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Hide) {
      deleteLater();
    } else if (window_->frameGeometry() != window_->geometry() && window_->isVisible()) {
      Place();
      deleteLater();
    }
    return false;
  }

 private:
  static constexpr int kFramingWait = 150;

  void Place() {
    if (window_->frameGeometry().topLeft() != top_left_) window_->move(top_left_);
  }

  QWidget* window_;
  QPoint top_left_;
};

}  // namespace

void PlaceWindowFrame(QWidget* window, const QPoint& top_left, const QWidget* framed_like) {
  // Before its first showing a window's frame is not known, and a move
  // places its inside; the frame of a window the system has framed the same
  // way tells how far the inside lies from the frame's corner.
  QPoint inside_offset;
  const bool frameless = window->windowFlags().testFlag(Qt::FramelessWindowHint);
  if (!frameless && window->frameGeometry() == window->geometry() && framed_like != nullptr)
    inside_offset = framed_like->geometry().topLeft() - framed_like->frameGeometry().topLeft();
  window->move(top_left + inside_offset);
  delete window->findChild<FrameCheck*>("FrameCheck", Qt::FindDirectChildrenOnly);
  new FrameCheck(window, top_left);
}

}  // namespace quill
