#pragma once

#include <QWidget>

class QToolButton;

namespace quill {

// A pair of arrow buttons with a position kept between a minimum and a
// maximum. A click that moves the position reports its direction; at a limit
// nothing happens.
class UpDown : public QWidget {
  Q_OBJECT

 public:
  UpDown(const QString& object_name, int minimum, int maximum, QWidget* parent);

  int position() const { return position_; }
  // One click on the up (true) or down arrow.
  void Click(bool up);

 signals:
  void Clicked(bool up);

 private:
  int minimum_;
  int maximum_;
  int position_ = 0;
};

}  // namespace quill
