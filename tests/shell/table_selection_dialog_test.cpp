#include "shell/table_selection_dialog.h"

#include <gtest/gtest.h>

#include <QListWidget>
#include <QPlainTextEdit>
#include <algorithm>
#include <fstream>

#include "shell/main_window.h"
#include "shell_test_support.h"

namespace quill {
namespace {

using testing::ScriptedDialogs;
using testing::TemporaryFolder;

class TableSelectionDialogTest : public ::testing::Test {
 protected:
  TableSelectionDialogTest() : window_(folder_.ProgramFolder(), settings_), dialog_(window_) {}

  void Check(const QString& name) {
    auto* list = dialog_.findChild<QListWidget*>("CheckListBox1");
    for (int i = 0; i < list->count(); ++i)
      if (list->item(i)->text() == name) list->item(i)->setCheckState(Qt::Checked);
  }
  QStringList Checked() {
    QStringList names;
    auto* list = dialog_.findChild<QListWidget*>("CheckListBox1");
    for (int i = 0; i < list->count(); ++i)
      if (list->item(i)->checkState() == Qt::Checked) names << list->item(i)->text();
    return names;
  }

  ScriptedDialogs dialogs_;
  TemporaryFolder folder_;
  Settings settings_;
  MainWindow window_;
  TableSelectionDialog dialog_;
};

// A name holding what the text view takes for a line's end is one table to
// process, never the tables its lines would name; a line the user types
// stays as typed.
TEST_F(TableSelectionDialogTest, ANameWithLineBreaksIsOneTableToProcess) {
  const std::vector<std::string> names = {"a\nvictim", "b\rvictim", "c\r\nvictim", "d\u2028victim", "e\u2029victim",
                                          "f\u0085victim", "g\vvictim\f", "victim", "a\nvictim"};
  // The last name is listed twice, as a source may list it: each is a line.
  dialog_.Fill(names, "Select Tables - hostile");
  auto* list = dialog_.findChild<QListWidget*>("CheckListBox1");
  for (int i = 0; i < list->count(); ++i) list->item(i)->setCheckState(i == 7 ? Qt::Unchecked : Qt::Checked);
  dialog_.CopyCheckedToList();
  std::vector<std::string> expected = names;
  expected.erase(expected.begin() + 7);
  EXPECT_EQ(dialog_.TablesToProcess(), expected);
  EXPECT_EQ(dialog_.findChild<QPlainTextEdit*>("Memo1")->document()->blockCount(), 8);
  // An edited list: a line removed keeps the others' names, a typed one is as typed.
  auto* memo = dialog_.findChild<QPlainTextEdit*>("Memo1");
  QStringList lines = memo->toPlainText().split('\n');
  lines.removeAt(1);
  lines.append("typed");
  memo->setPlainText(lines.join('\n'));
  expected.erase(expected.begin() + 1);
  expected.push_back("typed");
  EXPECT_EQ(dialog_.TablesToProcess(), expected);
}

// Saved and loaded again, a name holding line breaks checks itself, never
// the tables its lines would name; neither does a caption holding them.
TEST_F(TableSelectionDialogTest, NamesWithLineBreaksSaveAsOneLineAndLoadAsThemselves) {
  const std::vector<std::string> names = {"a\nvictim", "b\r\nvictim", "c\u2028victim", "victim", "plain"};
  dialog_.Fill(names, "Select Tables - hostile");
  Check(QString::fromStdString(names[0]));
  Check(QString::fromStdString(names[1]));
  Check(QString::fromStdString(names[2]));
  Check("plain");
  const std::string path = (folder_.path() / "lines.tbs").string();
  dialogs_.AnswerSaveFile(QString::fromStdString(path));
  dialog_.SaveSelection();
  const std::string saved = testing::ReadFileBytes(path);
  EXPECT_EQ(std::count(saved.begin(), saved.end(), '\n'), 6) << saved;
  dialog_.Fill(names, "Select Tables - again");
  dialogs_.AnswerOpenFile(QString::fromStdString(path));
  dialog_.LoadSelection();
  EXPECT_EQ(Checked(), QStringList({QString::fromStdString(names[0]), QString::fromStdString(names[1]),
                                    QString::fromStdString(names[2]), "plain"}));
  EXPECT_TRUE(dialogs_.messages().empty());
}

TEST_F(TableSelectionDialogTest, SelectionSavedFromOneSourceLoadsIntoAnother) {
  dialog_.Fill({"dbo.Orders", "dbo.My Table", "dbo.Clients"}, "Select Tables - first");
  Check("dbo.My Table");
  Check("dbo.Clients");
  const std::string path = (folder_.path() / "choice.tbs").string();
  dialogs_.AnswerSaveFile(QString::fromStdString(path));
  dialog_.SaveSelection();
  const std::string saved = testing::ReadFileBytes(path);
  EXPECT_EQ(saved.substr(0, 34), "//Table Selection File created on ");
  EXPECT_NE(saved.find("\r\ndbo.My Table\r\ndbo.Clients\r\n"), std::string::npos);

  dialog_.Fill({"dbo.Clients", "dbo.my table", "dbo.Orders"}, "Select Tables - second");
  dialogs_.AnswerOpenFile(QString::fromStdString(path));
  dialog_.LoadSelection();
  EXPECT_EQ(Checked(), QStringList({"dbo.Clients"}));
  ASSERT_FALSE(dialogs_.messages().empty());
  EXPECT_EQ(dialogs_.messages().back().text, "The following table could not be loaded : dbo.My Table\r\n");
  // Loading only sets check marks.
  EXPECT_TRUE(dialog_.TablesToProcess().empty());
}

TEST_F(TableSelectionDialogTest, DoneNeedsTablesToProcessAndSaveNeedsACheck) {
  dialog_.Fill({"a", "b"}, "Select Tables - s");
  Check("a");
  dialog_.Done();
  ASSERT_EQ(dialogs_.messages().size(), 1u);
  EXPECT_EQ(dialogs_.messages()[0].text, "You must choose at least one table.");
  dialog_.CopyCheckedToList();
  EXPECT_EQ(dialog_.TablesToProcess(), std::vector<std::string>({"a"}));

  dialog_.SetAllChecked(false);
  dialog_.SaveSelection();
  EXPECT_EQ(dialogs_.messages().back().text, "No table selected !");
  EXPECT_TRUE(dialogs_.suggested_file_names().empty());
}

TEST_F(TableSelectionDialogTest, ForeignKeySetRowsCheckBothTablesAndReportMissingOnesEachTime) {
  const std::string path = (folder_.path() / "keys.fks").string();
  std::ofstream(path) << "//Foreign keys\r\norders;client_id;clients;id\r\nlines;order_id;orders;id\r\n"
                         "notes;x;gone;id\r\nmore;y;gone;id\r\n";
  dialog_.Fill({"orders", "clients", "lines", "notes", "more"}, "Select Tables - s");
  dialogs_.AnswerOpenFile(QString::fromStdString(path));
  dialog_.LoadSelection();
  EXPECT_EQ(Checked(), QStringList({"orders", "clients", "lines", "notes", "more"}));
  EXPECT_EQ(dialogs_.messages().back().text, "2 tables could not be loaded :\r\n\r\ngone\r\ngone\r\n");

  dialogs_.AnswerOpenFile(QString::fromStdString((folder_.path() / "keys.txt").string()));
  dialog_.LoadSelection();
  EXPECT_EQ(dialogs_.messages().back().text, "File not supported");
}

}  // namespace
}  // namespace quill

namespace quill {
namespace {

TEST_F(TableSelectionDialogTest, SelectionFileInWindows1252IsReadAsItsCharacters) {
  const std::string path = (folder_.path() / "old.tbs").string();
  std::ofstream(path) << "//Table Selection File\r\nCaf\xE9\r\n";
  dialog_.Fill({"Café", "Other"}, "Select Tables - s");
  dialogs_.AnswerOpenFile(QString::fromStdString(path));
  dialog_.LoadSelection();
  EXPECT_EQ(Checked(), QStringList({QString::fromUtf8("Café")}));
}

}  // namespace
}  // namespace quill
