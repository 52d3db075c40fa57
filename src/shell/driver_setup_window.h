#pragma once

#include <QDialog>
#include <QString>
#include <optional>
#include <vector>

#include "sources/dsn_administration.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QShowEvent;

namespace quill {

struct Settings;

struct DriverSetupMessages {
  QString caption = "ODBC Data Source Setup";
  QString test_succeeded = "Connection successful.";
  // Followed by "\"=\" :" and the line: a language list's text holds no "=".
  QString row_without_equals = "This attribute line has no";
  QString choose_file = "Database file";
  QString choose_folder = "Folder of text files";
};

// The driver's setup dialog: the source's name, a field for each attribute
// the driver's own dialog would ask for (server, port, database with a file
// browser where it is a file, user, password), the source's other
// attributes as "key = value" rows, and Test Connection, which opens the
// source with the values entered and shows what the driver or reader says.
class DriverSetupWindow : public QDialog, public DriverSetupDialog {
  Q_OBJECT

 public:
  // settings: the "Do not use Jet Provider" option that Test Connection
  // follows as connecting does; may be null.
  DriverSetupWindow(QWidget* parent, const Settings* settings);

  bool EditSource(const std::string& driver, std::string& name, bool name_fixed,
                  SourceAttributes& attributes) override;

  // Fills the window for the driver and the source without showing it.
  void Prepare(const std::string& driver, const std::string& name, bool name_fixed,
               const SourceAttributes& attributes);
  // The attributes as entered: the fields not left empty, then the rows (a
  // row naming a field's attribute replaces it). Nothing, the message
  // shown, when a row has no "=".
  std::optional<SourceAttributes> EnteredAttributes();
  // Test Connection.
  void TestConnection();

  DriverSetupMessages& messages() { return messages_; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  struct FieldRow {
    SetupFieldRole role;
    QLabel* label = nullptr;
    QLineEdit* edit = nullptr;
    std::string key;  // the driver's attribute; empty while the driver has none
  };

  void AcceptIfValid();
  void BrowseForFile();
  void BrowseForFolder();
  FieldRow* Row(SetupFieldRole role);

  const Settings* settings_ = nullptr;
  DriverSetupMessages messages_;
  std::string driver_;
  std::vector<FieldRow> fields_;
  bool jet_files_ = false;  // the database is an Access or Excel file, or a folder
  QLineEdit* name_edit_ = nullptr;            // EditName
  QPlainTextEdit* attribute_rows_ = nullptr;  // MemoAttributes
  QPushButton* browse_file_ = nullptr;        // ButtonBrowse
  QPushButton* browse_folder_ = nullptr;      // ButtonBrowseFolder
};

// The rows of the setup dialog: "key = value" per line, blanks around both
// trimmed, empty lines skipped. A line without "=" is no attribute: nothing,
// and bad_line (when given) is that line.
std::optional<SourceAttributes> ParseAttributeRows(const QString& text, QString* bad_line = nullptr);

}  // namespace quill
