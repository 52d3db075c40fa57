#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "common/foreign_key_scripts.h"
#include "foreignkeys/foreign_key_designer_model.h"
#include "shell/foreign_key_row.h"

class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QScrollArea;
class QTimer;

namespace quill {

class MainWindow;

// The window "Set Foreign Keys" ("Form12"): the foreign keys between the tables
// chosen for a script, one row each. Shown modally by a script run; left with
// Continue, which gives the constraint scripts, or Cancel All, which ends the
// run. Its logic is the ForeignKeyDesignerModel; this class shows it.
class ForeignKeyDesigner : public QDialog, public DesignerView {
  Q_OBJECT

 public:
  ForeignKeyDesigner(MainWindow& main_window, const Settings& settings);

  // Shows the window modally over the chosen tables; false on Cancel All,
  // else true with the scripts.
  bool Run(const std::vector<std::string>& chosen_tables, ForeignKeyScripts& scripts);

  ForeignKeyDesignerModel& model() { return model_; }
  DesignerMessages& messages() { return model_.messages(); }

  // The buttons' commands, also used by tests.
  void LoadSourceInfo();  // the timer's tick
  void AddRow();
  void DeleteLastRow();
  void SelectAllRows();
  void DeselectAllRows();
  void AnalyseSelected();
  void SaveSelected();
  void SaveAllRows();
  void LoadRows();
  void CancelAll();
  void Continue();

  // --- DesignerView --------------------------------------------------------
  MessageAnswer ShowMessageBox(const std::string& text, MessageIcon icon, MessageButtons buttons,
                               bool default_is_no = false) override;
  void ShowErrorDialog(const std::string& text) override;
  void ShowLoadingStatus(const std::string& text) override;
  void ShowLoadingProgress(int position, int maximum) override;
  std::string ChooseSaveFile(const std::string& suggested_name) override;
  std::string ChooseOpenFile() override;
  std::string SelectedNodeCaption() const override;

 public slots:
  // Closing by Escape or by the window system counts as Cancel All.
  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void FitLowerPanel();
  QWidget* lower_panel_ = nullptr;
  // Brings the widgets in line with the model after every command.
  void ShowModel();
  ForeignKeyRowWidget* NewRowWidget(int index);
  template <typename Command>
  void RunCommand(Command command);

  MainWindow& main_window_;
  ForeignKeyDesignerModel model_;
  std::vector<ForeignKeyRowWidget*> row_widgets_;  // MyFrame1, MyFrame2, ...

  QScrollArea* scroll_box_ = nullptr;  // ScrollBox1

  int row_width_ = 561;  // a row's width, at least the designed 561
  QWidget* rows_area_ = nullptr;
  QLabel* caution_title_ = nullptr;    // Label4
  QLabel* caution_text_ = nullptr;     // Label5
  QLabel* caution_types_ = nullptr;    // Label6
  QProgressBar* progress_ = nullptr;   // ProgressBar1
  QLabel* status_ = nullptr;           // Label7
  QCheckBox* encrypt_ = nullptr;       // CheckBox2
  QCheckBox* drop_existing_ = nullptr; // CheckBox1
  QPushButton* add_ = nullptr;
  QPushButton* load_ = nullptr;
  QPushButton* cancel_ = nullptr;
  QPushButton* done_ = nullptr;
  QTimer* timer_ = nullptr;            // Timer1
};

}  // namespace quill
