#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QTreeWidget>

#include "fixtures/test_database.h"
#include "shell/main_window.h"
#include "shell_test_support.h"
#include "sources/dsn_login_store.h"

namespace quill {
namespace {

// The source menu's export items: enabled, and a cancelled folder chooser
// ends the CSV and XML exports before anything is logged.
TEST(MainWindowExportTest, ExportItemsRunAndACancelledFolderDoesNothing) {
  testing::TestApplication();
  testing::ScriptedDialogs dialogs;
  testing::TemporaryFolder folder;
  Settings settings;
  auto database = testing::TestDatabase::Sqlite();
  database.CreateTable({"people", {{"id", "INTEGER"}}, {"id"}, {{"1"}}});
  MainWindow window(folder.ProgramFolder(), settings);
  window.LoadWindowSettings(0);
  DsnLoginStore logins(folder.ProgramFolder(), window);
  window.SetLoginStore(&logins);
  window.QuietRebuildSources();
  QTreeWidgetItem* root = window.tree()->topLevelItem(0);
  ASSERT_NE(root, nullptr);
  for (int i = 0; i < root->childCount(); ++i) {
    if (root->child(i)->text(0).toStdString() == database.Dsn()) window.tree()->setCurrentItem(root->child(i));
  }
  ASSERT_EQ(window.tree()->currentItem()->text(0).toStdString(), database.Dsn());

  for (const char* name : {"AccessFile2", "CSVFile1", "XMLFile1"}) {
    QAction* item = window.findChild<QAction*>(name);
    ASSERT_NE(item, nullptr) << name;
    EXPECT_TRUE(item->isEnabled()) << name;
  }
  const QString log_before = window.LogText();
  dialogs.AnswerFolder(QString());
  window.findChild<QAction*>("CSVFile1")->trigger();
  dialogs.AnswerFolder(QString());
  window.findChild<QAction*>("XMLFile1")->trigger();
  EXPECT_EQ(window.LogText(), log_before);
  EXPECT_TRUE(dialogs.messages().empty());
}

}  // namespace
}  // namespace quill
