// The file and folder dialogs open where the user last worked with that kind
// of file, else in the home folder; the folders are kept per user.
#include "shell/file_dialog_folders.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QTreeWidget>
#include <filesystem>
#include <fstream>
#include <functional>

#include "shell/foreign_key_designer.h"
#include "shell/main_window.h"
#include "shell/table_selection_dialog.h"
#include "shell_test_support.h"
#include "sources/dsn_login_store.h"

namespace quill {
namespace {

namespace fs = std::filesystem;
using testing::ScriptedDialogs;
using testing::TemporaryFolder;

// Each test keeps its folders in a configuration folder of its own.
class FileDialogFoldersTest : public ::testing::Test {
 protected:
  FileDialogFoldersTest() : previous_(qgetenv("XDG_CONFIG_HOME")) {
    testing::TestApplication();
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString((config_.path()).string()));
  }
  ~FileDialogFoldersTest() override { qputenv("XDG_CONFIG_HOME", previous_); }

  QString Folder(const std::string& name) {
    const fs::path folder = work_.path() / name;
    fs::create_directories(folder);
    return QString::fromStdString(folder.string());
  }

  QByteArray previous_;
  TemporaryFolder config_;
  TemporaryFolder work_;
  TemporaryFolder program_;
};

TEST_F(FileDialogFoldersTest, EachKindStartsInItsLastFolderElseAtHome) {
  const FileKind kinds[] = {FileKind::Script,    FileKind::Log,            FileKind::AccessExport,
                            FileKind::CsvExport, FileKind::XmlExport,      FileKind::TableSelection,
                            FileKind::ForeignKeySet, FileKind::SourceDatabase};
  for (const FileKind kind : kinds) EXPECT_EQ(StartFolder(kind), QDir::homePath());

  const QString scripts = Folder("scripts");
  const QString exports = Folder("exports");
  RememberFolder(FileKind::Script, scripts);
  RememberFolder(FileKind::CsvExport, exports + "/./");
  EXPECT_EQ(StartFolder(FileKind::Script), scripts);
  EXPECT_EQ(StartFolder(FileKind::CsvExport), exports);
  EXPECT_EQ(StartFolder(FileKind::XmlExport), QDir::homePath()) << "another kind keeps its own";

  // A folder that is gone gives the home folder again.
  fs::remove_all(exports.toStdString());
  EXPECT_EQ(StartFolder(FileKind::CsvExport), QDir::homePath());

  // Kept per user in the configuration folder, as Qt's settings.
  EXPECT_TRUE(FileDialogFoldersPath().startsWith(QString::fromStdString(config_.path().string()) + "/"));
  EXPECT_TRUE(fs::exists(FileDialogFoldersPath().toStdString()));
}

// Through the windows: the first dialog of a kind opens at home, the next in
// the folder of the file or folder chosen the first time; nothing is kept in
// the program's folder.
TEST_F(FileDialogFoldersTest, TheWindowsDialogsOpenWhereTheUserLastWorked) {
  Settings settings;
  ScriptedDialogs dialogs;
  MainWindow window(program_.ProgramFolder(), settings);
  window.LoadWindowSettings(0);
  DsnLoginStore logins(program_.ProgramFolder(), window);
  window.SetLoginStore(&logins);
  TableSelectionDialog selection(window);
  ForeignKeyDesigner designer(window, settings);
  window.QuietRebuildSources();
  window.tree()->setCurrentItem(window.tree()->topLevelItem(0));
  ScriptDocument document;
  document.tab_caption = "people";
  document.script = ScriptBuffer::FromItems({"INSERT 1"});
  window.AddScriptTab(std::move(document));

  enum class Chooser { SaveFile, OpenFile, Folder };
  struct Case {
    const char* what;
    Chooser chooser;
    std::function<void()> open;
  };
  const Case cases[] = {
      {"script", Chooser::SaveFile, [&] { window.findChild<QAction*>("Save1")->trigger(); }},
      {"log", Chooser::SaveFile, [&] { window.SaveLog(); }},
      {"CSV export", Chooser::Folder, [&] { window.RunGuarded([&] { window.ExportToCsv(); }); }},
      {"XML export", Chooser::Folder, [&] { window.RunGuarded([&] { window.ExportToXml(); }); }},
      {"table selection", Chooser::OpenFile, [&] { selection.LoadSelection(); }},
      {"foreign-key set saved", Chooser::SaveFile, [&] { designer.ChooseSaveFile("ForeignKeySet.fks"); }},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.what);
    const QString folder = Folder(test.what);
    const size_t before = dialogs.start_folders().size();
    switch (test.chooser) {
      case Chooser::SaveFile: dialogs.AnswerSaveFile(folder + "/chosen.txt"); break;
      case Chooser::OpenFile:
        std::ofstream((folder + "/chosen.tbs").toStdString()) << "";
        dialogs.AnswerOpenFile(folder + "/chosen.tbs");
        break;
      case Chooser::Folder:
        dialogs.AnswerFolder(folder);
        dialogs.AnswerQuestion(MessageAnswer::No);  // the root is no source to export
        break;
    }
    test.open();
    // Cancelled the second time.
    test.open();
    ASSERT_EQ(dialogs.start_folders().size(), before + 2);
    EXPECT_EQ(dialogs.start_folders()[before], QDir::homePath());
    EXPECT_EQ(dialogs.start_folders()[before + 1], folder);
  }
  // The foreign-key set dialogs are one kind: the open dialog follows the save.
  designer.ChooseOpenFile();
  EXPECT_EQ(dialogs.start_folders().back(), Folder("foreign-key set saved"));
  EXPECT_FALSE(fs::exists(program_.path() / "options.ini"));
}

}  // namespace
}  // namespace quill
