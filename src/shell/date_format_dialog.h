#pragma once

#include <QDialog>
#include <array>
#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "sources/settings.h"

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QTabWidget;

namespace quill {

class RadioGroup;

// The dialog's user-visible texts, English by default.
struct DateFormatDialogMessages {
  QString msg_variables_updated = "Variables have been updated";
  // %1 is the separator that stays.
  QString msg_separator_kept = "No date separator was entered: the separator \"%1\" is kept.";
};

// "Date Field Formatting": the per-dialect date settings the writers read
// (bound to the one Settings object, written on every close) and the
// process-wide format variables of the built-in date formatter and the log.
class DateFormatDialog : public QDialog {
  Q_OBJECT

 public:
  // Reads the dialog's keys; it is placed over placement_owner (the options dialog).
  DateFormatDialog(Settings& settings, std::string program_folder, QWidget* placement_owner);
  ~DateFormatDialog() override;

  DateFormatDialogMessages& messages() { return messages_; }

  // The pages are in dialect order: a dialect's index is its page.
  void SetPage(int page);
  int CurrentPage() const;
  // Shows the dialog modally on page.
  int Open(int page);

  // "Update with entered values": the "Global variables" page into the variables.
  void UpdateVariables();

 protected:
  void showEvent(QShowEvent* event) override;
  void done(int result) override;

 private:
  // A dialect page built around one format string: an introduction, an
  // example with the format string in red, the specifiers and the edit box.
  struct FormatStringPage {
    const char* page_name;
    QString intro;
    QString example_before;
    QString example_format;
    QString example_after;
    QString list_heading;
    const char* list_name;
    const char* specifiers;
    const char* edit_name;
    std::string Settings::*field;
    // The names of the intro, example, list heading and edit heading labels.
    std::array<const char*, 4> label_names;
  };
  QWidget* BuildFormatStringPage(const FormatStringPage& text);
  QWidget* BuildMySqlPage();
  QWidget* BuildMsSqlPage();
  QWidget* BuildOraclePage();
  QWidget* BuildPervasivePage();
  QWidget* BuildPostgreSqlPage();
  QWidget* BuildGlobalVariablesPage();
  QLineEdit* AddFormatEdit(const QString& object_name, std::string Settings::*field);
  QComboBox* AddChoiceCombo(const QString& object_name, const QStringList& items, int Settings::*field);
  RadioGroup* AddRadioGroup(const QString& object_name, const QString& caption, const QStringList& items,
                            int Settings::*field);
  void ShowSettings();
  void ShowVariables();

  Settings& settings_;
  std::string program_folder_;
  QWidget* placement_owner_;
  DateFormatDialogMessages messages_;
  std::vector<std::function<void()>> show_settings_;

  QTabWidget* pages_ = nullptr;  // PageControl1
  QLineEdit* separator_edit_ = nullptr;         // Edit4
  QLineEdit* short_date_edit_ = nullptr;        // Edit5
  QLineEdit* long_date_edit_ = nullptr;         // Edit6
  QLineEdit* short_time_edit_ = nullptr;        // Edit7
  QLineEdit* long_time_edit_ = nullptr;         // Edit8
  QPlainTextEdit* short_months_memo_ = nullptr; // Memo5
  QPlainTextEdit* long_months_memo_ = nullptr;  // Memo6
  QPlainTextEdit* short_days_memo_ = nullptr;   // Memo7
  QPlainTextEdit* long_days_memo_ = nullptr;    // Memo8
  QLineEdit* am_edit_ = nullptr;                // Edit9
  QLineEdit* pm_edit_ = nullptr;                // Edit10
};

}  // namespace quill
