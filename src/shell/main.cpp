// The program entry: one instance at a time, every window created once, the
// main window shown, the event loop run until the main window closes.
#include <QApplication>
#include <QMessageBox>

#include "generator/script_header.h"
#include "platform/files/instance_lock.h"
#include "platform/files/program_folder.h"
#include "platform/formatting/format_settings.h"
#include "shell/date_format_dialog.h"
#include "shell/foreign_key_designer.h"
#include "shell/main_window.h"
#include "shell/options_dialog.h"
#include "shell/table_selection_dialog.h"
#include "sources/dsn_login_store.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  quill::InstanceLock instance_lock("SemTarnwick");
  if (!instance_lock.TryAcquire()) {
    if (instance_lock.failed()) {
      QMessageBox::information(nullptr, "Quillmarsh", "Error creating semaphore !");
    } else {
      QMessageBox::warning(nullptr, "Quillmarsh.", "Quillmarsh is already running !");
    }
    return 1;
  }
  application.setApplicationName("Quillmarsh");
  quill::InitialiseFormatSettingsFromLocale();

  const std::string program_folder = quill::ProgramFolder();
  quill::Settings settings;
  quill::MainWindow main_window(program_folder, settings);
  main_window.LoadWindowSettings();
  quill::DsnLoginStore logins(program_folder, main_window);
  main_window.SetLoginStore(&logins);
  quill::OptionsDialog options(main_window, settings, logins, program_folder);
  main_window.SetOptionsDialog(&options);
  quill::DateFormatDialog date_formats(settings, program_folder, &options);
  options.SetDateFormatDialog(&date_formats);
  quill::TableSelectionDialog table_selection(main_window);
  main_window.SetTableSelectionDialog(&table_selection);
  quill::ForeignKeyDesigner foreign_key_designer(main_window, settings);
  main_window.SetForeignKeyDesigner(&foreign_key_designer);

  main_window.setWindowTitle(QString("Quillmarsh v.") + quill::kProgramVersion);
  if (main_window.maximized_flag()) main_window.showMaximized();
  else main_window.show();
  return application.exec();
}
