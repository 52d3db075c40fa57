#include "shell/foreign_key_row.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

namespace quill {
namespace {

void ShowBox(QComboBox* widget, const ChoiceBox& box) {
  QStringList items;
  for (const std::string& item : box.items) items << QString::fromStdString(item);
  QStringList current;
  for (int i = 0; i < widget->count(); ++i) current << widget->itemText(i);
  if (current != items) {
    widget->clear();
    widget->addItems(items);
  }
  if (widget->currentIndex() != box.item_index) widget->setCurrentIndex(box.item_index);
  const QString text = QString::fromStdString(box.text);
  if (widget->currentText() != text) widget->setEditText(text);
  widget->setEnabled(box.enabled);
}

}  // namespace

ForeignKeyRowWidget::ForeignKeyRowWidget(QWidget* parent) : QFrame(parent) {
  resize(561, 55);
  check_box_ = new QCheckBox(this);
  check_box_->setObjectName("CheckBox1");
  check_box_->setGeometry(5, 10, 17, 17);
  fk_table_ = AddBox("ComboBox1", 24, 137, Box::FkTable);
  fk_field_ = AddBox("ComboBox2", 168, 105, Box::FkField);
  auto* arrow = new QLabel(QString::fromUtf8("→"), this);
  arrow->setObjectName("Image1");
  arrow->setGeometry(284, 9, 17, 22);
  pk_table_ = AddBox("ComboBox3", 304, 137, Box::PkTable);
  pk_field_ = AddBox("ComboBox4", 448, 105, Box::PkField);
  saved_on_ = new QLabel(this);
  saved_on_->setObjectName("Label2");
  saved_on_->setGeometry(8, 32, 56, 14);
  stamp_ = new QLabel(this);
  stamp_->setObjectName("Label3");
  stamp_->setGeometry(64, 32, 110, 14);
  problem_ = new QLabel(this);
  problem_->setObjectName("Label1");
  problem_->setGeometry(176, 32, 380, 14);
  problem_->setStyleSheet("color: red");

  connect(check_box_, &QCheckBox::toggled, this, [this](bool checked) {
    if (!showing_ && on_checked) on_checked(checked);
  });
}

QComboBox* ForeignKeyRowWidget::AddBox(const char* object_name, int left, int width, Box which) {
  auto* box = new QComboBox(this);
  box->setObjectName(object_name);
  box->setEditable(true);
  box->setInsertPolicy(QComboBox::NoInsert);
  box->setGeometry(left, 8, width, 21);
  connect(box, qOverload<int>(&QComboBox::activated), this, [this, which](int index) {
    if (!showing_ && on_item_chosen) on_item_chosen(which, index);
  });
  connect(box->lineEdit(), &QLineEdit::textEdited, this, [this, which](const QString& text) {
    if (!showing_ && on_text_typed) on_text_typed(which, text);
  });
  return box;
}

QComboBox* ForeignKeyRowWidget::box(Box which) const {
  switch (which) {
    case Box::FkTable: return fk_table_;
    case Box::FkField: return fk_field_;
    case Box::PkTable: return pk_table_;
    case Box::PkField: return pk_field_;
  }
  return nullptr;
}

void ForeignKeyRowWidget::ShowRow(const ForeignKeyRow& row) {
  showing_ = true;
  ShowBox(fk_table_, row.fk_table);
  ShowBox(fk_field_, row.fk_field);
  ShowBox(pk_table_, row.pk_table);
  ShowBox(pk_field_, row.pk_field);
  check_box_->setChecked(row.checked);
  check_box_->setEnabled(row.check_enabled);
  saved_on_->setText(QString::fromStdString(row.saved_on));
  stamp_->setText(QString::fromStdString(row.stamp));
  problem_->setText(QString::fromStdString(row.problem));
  showing_ = false;
}

}  // namespace quill
