#include "shell/designed_size.h"

#include <QLayout>
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
