#pragma once

#include <QDialog>
#include <QString>

#include "shell/driver_setup_window.h"
#include "sources/dsn_administration.h"

class QLineEdit;
class QShowEvent;
class QTableWidget;

namespace quill {

class DsnLoginStore;
class MainWindow;

struct DataSourceDialogMessages {
  QString data_source_created = "Data Source Name Created.";
};

// "Add System Data Source Name": the installed drivers with their versions; a
// driver and a name make a new system source through the driver's setup
// dialog. Created once; the driver list is rebuilt at every showing.
class DataSourceDialog : public QDialog {
  Q_OBJECT

 public:
  explicit DataSourceDialog(MainWindow& main_window);

  DataSourceDialogMessages& messages() { return messages_; }
  DriverSetupWindow& setup_window() { return *setup_window_; }

  // Fills the driver list and shows the window modally; tells the user and
  // stays hidden when no driver is installed.
  void ShowOdbc();
  // "Create" and the grid's double click.
  void CreateSource();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  // False (the message shown) when there is no driver to list.
  bool FillDriverList();

  MainWindow& main_window_;
  DataSourceDialogMessages messages_;
  DriverSetupWindow* setup_window_ = nullptr;
  QTableWidget* grid_ = nullptr;  // StringGrid1
  QLineEdit* name_edit_ = nullptr;  // Edit1
};

// The text shown when no ODBC administrator program is installed.
inline const QString kNoOdbcAdministrator = "No ODBC administrator is installed on this system.";
// The administrator program looked for on the search path.
inline const QString kOdbcAdministratorProgram = "ODBCManageDataSourcesQ5";

// The source commands of the main window ("Configure", "Delete", "ODBC -
// Administration") and of its tool buttons. Configuring opens the add
// window's setup dialog, which speaks the language loaded, over the main
// window.
void ConfigureSource(MainWindow& main_window, DriverSetupWindow& setup_window, const QString& source_name);
void DeleteSource(MainWindow& main_window, DsnLoginStore& logins, const QString& source_name);
// The tool buttons: act only when a source node (level 1) is selected.
void ConfigureSelectedSource(MainWindow& main_window, DriverSetupWindow& setup_window);
void DeleteSelectedSource(MainWindow& main_window, DsnLoginStore& logins);
// Starts the administrator without waiting for it; false (the message shown)
// when none is installed.
bool RunOdbcAdministrator(MainWindow& main_window);

}  // namespace quill
