// The program entry: one instance at a time, every window created once, the
// main window shown, the event loop run until the main window closes.
#include <QAction>
#include <QApplication>
#include <QMessageBox>  // exec() of the refusal box
#include <QToolButton>

#include "generator/script_header.h"
#include "platform/files/instance_lock.h"
#include "platform/files/program_folder.h"
#include "platform/formatting/format_settings.h"
#include "shell/about_box.h"
#include "shell/data_source_dialog.h"
#include "shell/date_format_dialog.h"
#include "shell/foreign_key_designer.h"
#include "shell/instance_refusal.h"
#include "shell/languages.h"
#include "shell/main_window.h"
#include "shell/options_dialog.h"
#include "shell/replace_dialog.h"
#include "shell/table_selection_dialog.h"
#include "shell/update_check.h"
#include "shell/welcome_panel.h"
#include "sources/dsn_login_store.h"
#include "sources/settings_file.h"

namespace {

// Enables a menu item of the main window and runs command on it, as the
// window's own commands run.
void ConnectAction(quill::MainWindow& main_window, const char* object_name, std::function<void()> command) {
  QAction* action = main_window.findChild<QAction*>(object_name);
  if (action == nullptr) return;
  action->setEnabled(true);
  QObject::connect(action, &QAction::triggered, &main_window,
                   [&main_window, command] { main_window.RunGuarded(command); });
}

void ConnectButton(quill::MainWindow& main_window, const char* object_name, std::function<void()> command) {
  QToolButton* button = main_window.findChild<QToolButton*>(object_name);
  if (button == nullptr) return;
  QObject::connect(button, &QToolButton::clicked, &main_window,
                   [&main_window, command] { main_window.RunGuarded(command); });
}

}  // namespace

int main(int argc, char** argv) {
  int result = 0;
  {
    QApplication application(argc, argv);
    quill::InstanceLock instance_lock("SemTarnwick");
    if (!instance_lock.TryAcquire()) {
      quill::InstanceRefusalBox(instance_lock.failed())->exec();
      return 1;
    }
    application.setApplicationName("Quillmarsh");
    quill::InitialiseFormatSettingsFromLocale();

    // Every window once, in this order; each loads its settings when made.
    const std::string program_folder = quill::ProgramFolder();
    quill::Settings settings;
    quill::MainWindow main_window(program_folder, settings);
    main_window.LoadWindowSettings();
    quill::DsnLoginStore logins(program_folder, main_window);
    main_window.SetLoginStore(&logins);
    quill::OptionsDialog options(main_window, settings, logins, program_folder);
    main_window.SetOptionsDialog(&options);
    quill::AboutBox about_box(&main_window);
    quill::DateFormatDialog date_formats(settings, program_folder, &options);
    options.SetDateFormatDialog(&date_formats);
    quill::ReplaceDialog replace(main_window);
    quill::UpdateCheckDialog update(main_window);
    quill::TableSelectionDialog table_selection(main_window);
    main_window.SetTableSelectionDialog(&table_selection);
    quill::DataSourceDialog data_sources(main_window);
    quill::ForeignKeyDesigner foreign_key_designer(main_window, settings);
    main_window.SetForeignKeyDesigner(&foreign_key_designer);

    const auto show_odbc = [&data_sources] { data_sources.ShowOdbc(); };
    main_window.SetShowOdbc(show_odbc);
    ConnectAction(main_window, "About1", [&about_box] { about_box.Open(); });
    ConnectAction(main_window, "Replace1", [&replace] { replace.exec(); });
    main_window.findChild<QAction*>("Replace1")->setEnabled(false);  // until a script tab exists
    ConnectAction(main_window, "Checkforupdate1", [&update] { update.exec(); });
    ConnectAction(main_window, "ODBC1", show_odbc);
    ConnectAction(main_window, "AddRemSystemSources1", show_odbc);
    ConnectAction(main_window, "ODBCAdministration1", [&main_window] { quill::RunOdbcAdministrator(main_window); });
    ConnectAction(main_window, "Configure1", [&main_window, &data_sources] {
      quill::ConfigureSelectedSource(main_window, data_sources.setup_window());
    });
    ConnectAction(main_window, "DeleteSource1", [&main_window, &logins] { quill::DeleteSelectedSource(main_window, logins); });
    ConnectButton(main_window, "ToolButton3", show_odbc);
    main_window.findChild<QToolButton*>("ToolButton3")->setEnabled(true);
    ConnectButton(main_window, "ToolButton4", [&main_window, &data_sources] {
      quill::ConfigureSelectedSource(main_window, data_sources.setup_window());
    });
    ConnectButton(main_window, "ToolButton5",
                  [&main_window, &logins] { quill::DeleteSelectedSource(main_window, logins); });

    quill::WelcomePanel* welcome = quill::InstallWelcomePanel(
        main_window.findChild<QWidget*>("Bevel2"), quill::MainWindowWelcomeCommands(main_window, show_odbc));
    const quill::LanguageWindows languages{&main_window, &options,      &date_formats, &table_selection,
                                           &foreign_key_designer, &replace, &update, &data_sources, welcome};
    quill::InstallLanguageMenu(languages, program_folder);

    main_window.setWindowTitle(QString("Quillmarsh v.") + quill::kProgramVersion);
    if (main_window.maximized_flag()) main_window.showMaximized();
    else main_window.show();
    // Brought to the front, as a program the user has just started is: it
    // then has the keyboard, and its activation fills the source tree, also
    // where no window manager activates new windows.
    main_window.activateWindow();

    // When shown: the saved language, or else the English welcome page.
    quill::LoadLanguageOption(settings, quill::OptionsFilePath(program_folder));
    if (!settings.lang.empty()) {
      main_window.RunGuarded([&] { quill::LoadLanguage(languages, program_folder, settings.lang); });
    } else if (welcome != nullptr) {
      // A CODE that is no number is reported; the rows made so far stay.
      main_window.RunGuarded([welcome] { welcome->Build("welcome.xml"); });
    }
    main_window.setWindowTitle(QString("Quillmarsh v.") + quill::kProgramVersion);
    result = application.exec();
    // A restart asked for by a change of language: the lock is given up
    // first, so the new instance does not find this one still running.
    if (quill::RestartRequested()) {
      instance_lock.Release();
      quill::StartProgramAgain();
    }
  }
  return result;
}
