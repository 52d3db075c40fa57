#pragma once

#include <QDialog>
#include <QString>

class QCheckBox;
class QLineEdit;
class QShowEvent;

namespace quill {

class MainWindow;

// The dialog's texts, replaced by key from a language file.
struct ReplaceDialogMessages {
  QString all_occurrences_replaced = "All occurrences replaced.";  // SearchWindowAlloccrepl
  QString no_occurrences_found = "No occurrences found.";          // SearchWindownooccfound
};

// "Replace all in selected document": replaces every occurrence of a text in
// the script of the main window's current tab. Created once; keeps its
// entries between showings.
class ReplaceDialog : public QDialog {
  Q_OBJECT

 public:
  explicit ReplaceDialog(MainWindow& main_window);

  ReplaceDialogMessages& messages() { return messages_; }

  // "Replace All": the whole script, then the result in a placed message.
  void ReplaceAll();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  MainWindow& main_window_;
  ReplaceDialogMessages messages_;
  QLineEdit* find_edit_ = nullptr;     // Edit1
  QLineEdit* replace_edit_ = nullptr;  // Edit2
  QCheckBox* case_check_ = nullptr;    // CheckBox1
};

}  // namespace quill
