#include "shell/radio_group.h"

#include <QButtonGroup>
#include <QRadioButton>
#include <QVBoxLayout>

namespace quill {

RadioGroup::RadioGroup(const QString& object_name, const QString& caption, const QStringList& items,
                       QWidget* parent)
    : QGroupBox(caption, parent), group_(new QButtonGroup(this)) {
  setObjectName(object_name);
  auto* column = new QVBoxLayout(this);
  for (int i = 0; i < items.size(); ++i) {
    auto* button = new QRadioButton(items[i], this);
    button->setObjectName(object_name + "Item" + QString::number(i));
    group_->addButton(button, i);
    column->addWidget(button);
    buttons_.push_back(button);
  }
  connect(group_, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
    if (checked) emit ItemIndexChanged(id);
  });
}

int RadioGroup::ItemIndex() const { return group_->checkedId(); }

void RadioGroup::SetItemIndex(int index) {
  if (index >= 0 && index < static_cast<int>(buttons_.size())) {
    buttons_[static_cast<size_t>(index)]->setChecked(true);
    return;
  }
  // An exclusive group never lets its last checked button go.
  const bool had_choice = ItemIndex() >= 0;
  group_->setExclusive(false);
  for (QRadioButton* button : buttons_) button->setChecked(false);
  group_->setExclusive(true);
  if (had_choice) emit ItemIndexChanged(-1);
}

}  // namespace quill
