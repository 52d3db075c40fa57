#pragma once

#include <QDialog>
#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "sources/dsn_login_store.h"
#include "sources/settings.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QVBoxLayout;

namespace quill {

class DateFormatDialog;
class MainWindow;
class RadioGroup;
class UpDown;

// The pages of the options dialog, in their order.
enum class OptionsPage { Dates = 0, Login = 1, Blob = 2, Automation = 3, Format = 4, Misc = 5 };

// The dialog's user-visible texts, English by default.
struct OptionsDialogMessages {
  QString msg_sure_delete = "Are you sure you want to delete all files and folders ?";
  LoginStoreMessages login;
  QString msg_pssw_not_added = "Please enter values to set.";
  // Emptying the BLOB root is refused for these folders; nothing is deleted.
  QString msg_no_blob_root = "No root path is given: nothing was deleted.";
  QString msg_root_refused = "The root of the file system cannot be emptied: nothing was deleted.";
  QString msg_home_refused = "This folder is or holds your home folder: nothing was deleted.";
};

// The options dialog. Its controls edit the one Settings object directly, so
// every reader sees a change at once; OK writes the dialog's keys to
// "options.ini", any other close reads them back and the controls follow.
class OptionsDialog : public QDialog {
  Q_OBJECT

 public:
  // Reads the dialog's keys; logins is the program's one login store.
  OptionsDialog(MainWindow& main_window, Settings& settings, DsnLoginStore& logins, std::string program_folder);
  ~OptionsDialog() override;

  // Created after this dialog; opened by the "Date field formatting options" button.
  void SetDateFormatDialog(DateFormatDialog* dialog) { date_format_dialog_ = dialog; }
  OptionsDialogMessages& messages() { return messages_; }

  void SetPage(OptionsPage page);
  OptionsPage CurrentPage() const;
  // Shows the dialog modally, on page unless that is -1 (the page shown last).
  int Open(int page);

  // --- commands, also used by tests ---------------------------------------
  void ShowSettings();           // the controls follow the settings
  void ChangeFieldSize(bool up);  // UpDown1
  void OpenDateFormats();         // Button1
  void AssignPassword();          // Button4
  void ChooseBlobFolder();        // Button2
  void EmptyBlobFolder();         // Button3

 protected:
  void showEvent(QShowEvent* event) override;
  void done(int result) override;

 private:
  QWidget* BuildDatesPage();
  QWidget* BuildLoginPage();
  QWidget* BuildBlobPage();
  QWidget* BuildAutomationPage();
  QWidget* BuildFormatPage();
  QWidget* BuildMiscPage();
  QCheckBox* AddCheckBox(QVBoxLayout* column, const QString& object_name, const QString& caption,
                         bool Settings::*field);
  QLineEdit* AddEdit(const QString& object_name, std::string Settings::*field);
  RadioGroup* AddRadioGroup(const QString& object_name, const QString& caption, const QStringList& items,
                            int Settings::*field);
  template <typename Field>
  void KeepField(Field Settings::*field);
  void ShowDateMode();
  void FillSources();
  void ShowLoginOfChosenSource();
  void ShowRefusal(const QString& text);

  MainWindow& main_window_;
  Settings& settings_;
  DsnLoginStore& logins_;
  std::string program_folder_;
  OptionsDialogMessages messages_;
  DateFormatDialog* date_format_dialog_ = nullptr;
  std::vector<std::function<void()>> show_settings_;  // one per bound control
  // Copies one of the dialog's own fields from the second settings to the first.
  std::vector<std::function<void(Settings&, const Settings&)>> copy_fields_;
  Settings opened_with_;  // the dialog's fields as they were when it opened

  QTabWidget* pages_ = nullptr;               // PageControl1
  QRadioButton* convert_button_ = nullptr;    // RadioButton1
  QRadioButton* formatting_button_ = nullptr; // RadioButton2
  QRadioButton* leave_button_ = nullptr;      // RadioButton3
  QLineEdit* size_edit_ = nullptr;            // Edit1
  UpDown* size_up_down_ = nullptr;            // UpDown1
  QComboBox* sources_ = nullptr;              // ComboBox1
  QLineEdit* user_edit_ = nullptr;            // Edit3
  QLineEdit* password_edit_ = nullptr;        // Edit4
  QPushButton* assign_button_ = nullptr;      // Button4
  QLineEdit* blob_root_edit_ = nullptr;       // Edit6
};

}  // namespace quill
