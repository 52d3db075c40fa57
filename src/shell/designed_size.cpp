#include "shell/designed_size.h"

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
// the window, which it tells without any event to the window: looked at a
// few times a second for a while after the showing, and put back in place
// if the guess was wrong.
class FrameCheck : public QObject {
 public:
  FrameCheck(QWidget* window, const QPoint& top_left) : QObject(window), window_(window), top_left_(top_left) {
    setObjectName("FrameCheck");
    auto* timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, [this] { Look(); });
    timer->start(kLookInterval);
  }

 private:
  static constexpr int kLookInterval = 40;
  static constexpr int kLooks = 75;
  static constexpr int kSteadyLooks = 3;
  static constexpr int kMostCorrections = 3;

  // Done once the frame has stood in place for a few looks.
  void Look() {
    ++looks_;
    const bool framed = window_->frameGeometry() != window_->geometry();
    const bool in_place = window_->frameGeometry().topLeft() == top_left_;
    if (window_->isVisible() && framed && !in_place && corrections_ < kMostCorrections) {
      ++corrections_;
      window_->move(top_left_);
    }
    steady_looks_ = framed && in_place ? steady_looks_ + 1 : 0;
    if (!window_->isVisible() || steady_looks_ >= kSteadyLooks || looks_ >= kLooks) deleteLater();
  }

  QWidget* window_;
  QPoint top_left_;
  int looks_ = 0;
  int steady_looks_ = 0;
  int corrections_ = 0;
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
