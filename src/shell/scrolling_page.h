#pragma once

#include <QScrollArea>

namespace quill {

// A page of controls that keeps its whole height where the screen has room
// for it, and scrolls where a short screen leaves its window less height
// than the controls take (see FitDesignedSize).
class ScrollingPage : public QScrollArea {
 public:
  explicit ScrollingPage(QWidget* page);

  // Whether the page gives up its height to the window, down to a few lines.
  void SetYielding(bool yielding);

  QSize minimumSizeHint() const override;
  QSize sizeHint() const override;

 private:
  bool yielding_ = false;
};

}  // namespace quill
