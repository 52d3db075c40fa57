#pragma once

#include <QGroupBox>
#include <QStringList>
#include <vector>

class QButtonGroup;
class QRadioButton;

namespace quill {

// A group box of radio buttons with one item index, -1 when nothing is
// chosen (the designed state of several option groups).
class RadioGroup : public QGroupBox {
  Q_OBJECT

 public:
  RadioGroup(const QString& object_name, const QString& caption, const QStringList& items, QWidget* parent);

  int ItemIndex() const;
  // -1 (or any index outside the items) clears the choice.
  void SetItemIndex(int index);
  QRadioButton* Item(int index) const { return buttons_.at(static_cast<size_t>(index)); }

 signals:
  void ItemIndexChanged(int index);

 private:
  QButtonGroup* group_;
  std::vector<QRadioButton*> buttons_;
};

}  // namespace quill
