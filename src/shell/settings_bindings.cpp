#include "shell/settings_bindings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "shell/radio_group.h"

namespace quill {

std::function<void()> BindCheckBox(QCheckBox* box, Settings& settings, bool Settings::*field) {
  QObject::connect(box, &QCheckBox::toggled, box, [&settings, field](bool checked) { settings.*field = checked; });
  return [box, &settings, field] { box->setChecked(settings.*field); };
}

std::function<void()> BindLineEdit(QLineEdit* edit, Settings& settings, std::string Settings::*field) {
  QObject::connect(edit, &QLineEdit::textChanged, edit,
                   [&settings, field](const QString& text) { settings.*field = text.toStdString(); });
  return [edit, &settings, field] {
    const QString text = QString::fromStdString(settings.*field);
    if (edit->text() != text) edit->setText(text);
  };
}

std::function<void()> BindRadioGroup(RadioGroup* group, Settings& settings, int Settings::*field) {
  QObject::connect(group, &RadioGroup::ItemIndexChanged, group,
                   [&settings, field](int index) { settings.*field = index; });
  return [group, &settings, field] {
    group->SetItemIndex(settings.*field);
    settings.*field = group->ItemIndex();
  };
}

std::function<void()> BindComboBox(QComboBox* combo, Settings& settings, int Settings::*field) {
  QObject::connect(combo, &QComboBox::currentIndexChanged, combo,
                   [&settings, field](int index) { settings.*field = index; });
  return [combo, &settings, field] {
    const int wanted = settings.*field;
    combo->setCurrentIndex(wanted >= 0 && wanted < combo->count() ? wanted : -1);
    settings.*field = combo->currentIndex();
  };
}

QLabel* AddWrappedLabel(QVBoxLayout* column, const QString& text) {
  auto* label = new QLabel(text);
  label->setWordWrap(true);
  column->addWidget(label);
  return label;
}

}  // namespace quill
