#pragma once

#include <QDialog>
#include <QString>
#include <string>
#include <vector>

class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace quill {

class MainWindow;

// The dialog's texts, English by default; a language file replaces them.
struct TableSelectionMessages {
  QString msg_at_least_one = "You must choose at least one table.";
  QString msg_no_tbl_sel = "No table selected !";
  QString msg_file_not_supp = "File not supported";
  QString msg_no_tbl_in_file = "No table found in file !";
  QString msg_des_tbl = "Do you want to deselect all tables before loading the tables selection ?";
  QString msg_tbl_rej1 = "The following table could not be loaded : ";
  QString msg_tbl_rej2 = " tables could not be loaded :";
};

// The modal dialog in which the user picks the tables of a run over several
// tables: check the tables, copy them to "Tables to process :" with ">>",
// close with Done. Choices are saved and loaded as ".tbs" files.
class TableSelectionDialog : public QDialog {
  Q_OBJECT

 public:
  explicit TableSelectionDialog(MainWindow& main_window);

  // Empties both lists, fills the check list, shows the dialog modally; false
  // on Cancel, else true with the lines of the list to process.
  bool Run(const std::vector<std::string>& listed_tables, const std::string& caption,
           std::vector<std::string>& chosen_tables);

  // Run's first half: empties both lists, fills the check list, sets the caption.
  void Fill(const std::vector<std::string>& listed_tables, const std::string& caption);
  // The lines of the list to process.
  std::vector<std::string> TablesToProcess() const;

  // The buttons' commands, also used by tests.
  void CopyCheckedToList();  // ">>"
  void Done();
  void SetAllChecked(bool checked);
  void SaveSelection();
  void LoadSelection();

  TableSelectionMessages& messages() { return messages_; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  std::vector<std::string> CheckedNames() const;
  void Warn(const QString& text);

  MainWindow& main_window_;
  TableSelectionMessages messages_;
  QListWidget* check_list_ = nullptr;   // CheckListBox1
  QPlainTextEdit* to_process_ = nullptr;  // Memo1
  // The names ">>" put in Memo1, each on its line in the form shown there.
  std::vector<std::string> copied_names_;
};

}  // namespace quill
