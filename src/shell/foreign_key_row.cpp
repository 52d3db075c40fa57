#include "shell/foreign_key_row.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <algorithm>

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
  // The designed widths, wider where this system's font needs more room for
  // the boxes' designed texts (a column name as long fits then too).
  fk_table_ = AddBox("ComboBox1", 24, 137, Box::FkTable);
  const int table_width = std::max(137, WidthFor(fk_table_, kSelectTableText));
  fk_field_ = AddBox("ComboBox2", 0, 105, Box::FkField);
  const int field_width = std::max(105, WidthFor(fk_field_, kSelectFieldText));
  fk_table_->setGeometry(24, 8, table_width, 21);
  fk_field_->setGeometry(fk_table_->geometry().right() + 8, 8, field_width, 21);
  auto* arrow = new QLabel(QString::fromUtf8("→"), this);
  arrow->setObjectName("Image1");
  arrow->setGeometry(fk_field_->geometry().right() + 12, 9, 17, 22);
  pk_table_ = AddBox("ComboBox3", arrow->geometry().right() + 4, table_width, Box::PkTable);
  pk_field_ = AddBox("ComboBox4", pk_table_->geometry().right() + 8, field_width, Box::PkField);
  saved_on_ = new QLabel(this);
  saved_on_->setObjectName("Label2");
  stamp_ = new QLabel(this);
  stamp_->setObjectName("Label3");
  problem_ = new QLabel(this);
  problem_->setObjectName("Label1");
  problem_->setStyleSheet("color: red");
  resize(std::max(561, pk_field_->geometry().right() + 9), 47);
  LayOutTexts();

  connect(check_box_, &QCheckBox::toggled, this, [this](bool checked) {
    if (!showing_ && on_checked) on_checked(checked);
  });
}

int ForeignKeyRowWidget::WidthFor(const QComboBox* box, const char* text) {
  QStyleOptionComboBox option;
  option.initFrom(box);
  option.editable = true;
  const QSize content(box->fontMetrics().horizontalAdvance(QString::fromUtf8(text)) + 8, box->fontMetrics().height());
  return box->style()->sizeFromContents(QStyle::CT_ComboBox, &option, content, box).width();
}

// The stamp's heading, the stamp and the problem line follow one another
// under the boxes, each as wide as its text (at least as designed).
void ForeignKeyRowWidget::LayOutTexts() {
  const int height = std::max({14, saved_on_->sizeHint().height(), problem_->sizeHint().height()});
  const int top = std::min(32, this->height() - height);
  saved_on_->setGeometry(8, top, std::max(56, saved_on_->sizeHint().width()), height);
  stamp_->setGeometry(saved_on_->geometry().right() + 5, top, std::max(110, stamp_->sizeHint().width()), height);
  const int problem_left = std::max(176, stamp_->geometry().right() + 3);
  problem_->setGeometry(problem_left, top, std::max(problem_->sizeHint().width(), width() - 5 - problem_left), height);
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
  LayOutTexts();
  showing_ = false;
}

}  // namespace quill
