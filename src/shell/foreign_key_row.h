#pragma once

#include <QFrame>
#include <functional>

#include "foreignkeys/designer_rows.h"

class QCheckBox;
class QComboBox;
class QLabel;

namespace quill {

// One row of the foreign-key designer ("MyFrame" and its number): four
// drop-down boxes, the selection check box, the save stamp and the red problem
// line. It shows a ForeignKeyRow of the model and reports what the user does.
class ForeignKeyRowWidget : public QFrame {
  Q_OBJECT

 public:
  enum class Box { FkTable, FkField, PkTable, PkField };

  explicit ForeignKeyRowWidget(QWidget* parent);

  // Shows the row's state without reporting it back.
  void ShowRow(const ForeignKeyRow& row);

  QCheckBox* check_box() const { return check_box_; }
  QComboBox* box(Box which) const;

  // What the user does: an item picked, a text typed, the check box clicked.
  std::function<void(Box, int)> on_item_chosen;
  std::function<void(Box, const QString&)> on_text_typed;
  std::function<void(bool)> on_checked;

 private:
  QComboBox* AddBox(const char* object_name, int left, int width, Box which);
  // The width an editable box needs to show text whole.
  static int WidthFor(const QComboBox* box, const char* text);
  void LayOutTexts();

  QCheckBox* check_box_ = nullptr;  // CheckBox1
  QComboBox* fk_table_ = nullptr;   // ComboBox1
  QComboBox* fk_field_ = nullptr;   // ComboBox2
  QComboBox* pk_table_ = nullptr;   // ComboBox3
  QComboBox* pk_field_ = nullptr;   // ComboBox4
  QLabel* saved_on_ = nullptr;      // Label2
  QLabel* stamp_ = nullptr;         // Label3
  QLabel* problem_ = nullptr;       // Label1
  bool showing_ = false;            // true while ShowRow sets the widgets
};

}  // namespace quill
