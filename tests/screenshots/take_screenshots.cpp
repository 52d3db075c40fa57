// Pictures of the main window at three moments of a first use, for a
// reviewer to look at: the sources, the sample's tables, a generated script;
// the window at its default size must hold its texts on the X server's fonts.
// Run under Xvfb by take_screenshots.sh; writes into the folder given as the
// one argument.
#include <QApplication>
#include <QTimer>
#include <QTreeWidget>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>

#include "../shell/layout_faults.h"
#include "shell/dialog_presenter.h"
#include "shell/main_window.h"
#include "sources/dsn_login_store.h"

namespace {

// Answers the messages of the run (the debug notice) without a person.
class UnattendedDialogs : public quill::WidgetDialogPresenter {
 public:
  quill::MessageAnswer ShowMessage(QWidget*, const QString&, const QString& text, quill::MessageIcon,
                                   quill::MessageButtons buttons, bool, std::optional<QPoint>) override {
    std::cout << "message: " << text.toStdString() << "\n";
    return buttons == quill::MessageButtons::Ok ? quill::MessageAnswer::Ok : quill::MessageAnswer::No;
  }
};

// The sample registered as a system data source of a private ODBC
// configuration, so the machine's own sources stay as they are.
void RegisterSample(const std::filesystem::path& odbc_folder, const std::string& database) {
  std::filesystem::create_directories(odbc_folder);
  std::ofstream(odbc_folder / "odbcinst.ini")
      << "[SQLite3]\nDriver=/usr/lib/x86_64-linux-gnu/odbc/libsqlite3odbc.so\n";
  std::ofstream(odbc_folder / "odbc.ini") << "[Quillmarsh Sample]\nDriver=SQLite3\nDatabase=" << database << "\n";
  setenv("ODBCSYSINI", odbc_folder.c_str(), 1);
  setenv("ODBCINI", (odbc_folder / "user-odbc.ini").c_str(), 1);
}

// The same layout rule as the offscreen tests, here on the X server's fonts.
bool LaysOut(QWidget& window, const char* moment) {
  QApplication::processEvents();
  const std::vector<std::string> faults = quill::testing::LayoutFaults(&window);
  for (const std::string& fault : faults) std::cerr << moment << ": " << fault << "\n";
  return faults.empty();
}

bool Save(quill::MainWindow& window, const std::filesystem::path& file) {
  QApplication::processEvents();
  const bool saved = window.grab().save(QString::fromStdString(file.string()), "PNG");
  std::cout << (saved ? "wrote " : "could not write ") << file.string() << "\n";
  return saved;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: take_screenshots SAMPLE_DATABASE FOLDER\n";
    return 2;
  }
  const std::filesystem::path folder = argv[2];
  std::filesystem::create_directories(folder);
  const std::filesystem::path work = folder / "work";
  std::filesystem::create_directories(work);
  RegisterSample(work / "odbc", std::filesystem::absolute(argv[1]).string());

  QApplication application(argc, argv);
  UnattendedDialogs dialogs;
  quill::DialogPresenter::SetCurrent(&dialogs);
  quill::Settings settings;
  quill::MainWindow window(work.string() + "/", settings);
  window.LoadWindowSettings(0);
  quill::DsnLoginStore logins(work.string() + "/", window);
  window.SetLoginStore(&logins);
  window.show();

  bool ok = true;
  QTimer::singleShot(300, [&] {
    window.QuietRebuildSources();
    ok = LaysOut(window, "at its default size") && ok;
    ok = Save(window, folder / "1-sources.png") && ok;
    QTreeWidgetItem* root = window.tree()->topLevelItem(0);
    if (root == nullptr || root->childCount() == 0) {
      std::cerr << "no data source listed\n";
      ok = false;
    } else {
      QTreeWidgetItem* sample = root->child(0);
      window.ActivateNode(sample);
      ok = Save(window, folder / "2-tables.png") && ok;
      if (sample->childCount() == 0) {
        std::cerr << "no table listed\n";
        ok = false;
      } else {
        window.ActivateNode(sample->child(0));
        ok = window.TabCount() == 1 && ok;
        ok = Save(window, folder / "3-script.png") && ok;
      }
    }
    std::filesystem::remove_all(work);
    application.exit(ok ? 0 : 1);
  });
  return application.exec();
}
