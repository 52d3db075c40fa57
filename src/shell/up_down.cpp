#include "shell/up_down.h"

#include <QToolButton>
#include <QVBoxLayout>

namespace quill {

UpDown::UpDown(const QString& object_name, int minimum, int maximum, QWidget* parent)
    : QWidget(parent), minimum_(minimum), maximum_(maximum) {
  setObjectName(object_name);
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  for (const bool up : {true, false}) {
    auto* arrow = new QToolButton(this);
    arrow->setObjectName(object_name + (up ? "Up" : "Down"));
    arrow->setArrowType(up ? Qt::UpArrow : Qt::DownArrow);
    arrow->setAutoRepeat(true);
    // Small arrows: the pair is as high as the edit box beside it.
    arrow->setIconSize(QSize(9, 5));
    arrow->setFixedSize(arrow->sizeHint());
    column->addWidget(arrow);
    connect(arrow, &QToolButton::clicked, this, [this, up] { Click(up); });
  }
}

void UpDown::Click(bool up) {
  const int next = position_ + (up ? 1 : -1);
  if (next < minimum_ || next > maximum_) return;
  position_ = next;
  emit Clicked(up);
}

}  // namespace quill
