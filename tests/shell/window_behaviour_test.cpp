// What the windows do for a user: the tree after a double click, the
// no-source question of the options dialog, the first start, the output
// options from the file, the log lines, the pictures, the login edits.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QLineEdit>
#include <QTabBar>
#include <QTest>
#include <QTextBlock>
#include <QThread>
#include <QTextEdit>
#include <QToolButton>
#include <QTreeWidget>
#include <algorithm>
#include <map>

#include "fixtures/odbc_data_sources.h"
#include "fixtures/test_database.h"
#include "options_dialogs_fixture.h"
#include "shell/escape_poll.h"
#include "shell/foreign_key_designer.h"
#include "shell/image_list.h"
#include "platform/jet/writer/adox_catalog.h"
#include "shell/tree_nodes.h"

namespace quill {
namespace {

class WindowBehaviourTest : public testing::OptionsDialogsTest {
 protected:
  QTreeWidgetItem* SourceNode(const std::string& dsn) {
    QTreeWidgetItem* root = Window().tree()->topLevelItem(0);
    for (int i = 0; root != nullptr && i < root->childCount(); ++i)
      if (root->child(i)->text(0).toStdString() == dsn) return root->child(i);
    ADD_FAILURE() << "no source node " << dsn;
    return nullptr;
  }
  QStringList CheckedItems(const char* menu) {
    QStringList checked;
    for (QAction* item : FindIn<QWidget>(Window(), menu)->actions())
      if (item->isChecked()) checked << item->objectName();
    return checked;
  }
};

TEST_F(WindowBehaviourTest, DoubleClickOnASourceListsItsTablesAndLeavesItExpanded) {
  auto database = testing::TestDatabase::Sqlite();
  database.CreateTable({"people", {{"id", "INTEGER"}}, {"id"}, {}});
  MainWindow& window = Window();
  window.show();
  // Active first: an activation rebuilds the tree.
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window, testing::kWindowWaitMilliseconds));
  QApplication::processEvents();
  QTreeWidgetItem* source = SourceNode(database.Dsn());
  ASSERT_NE(source, nullptr);
  QTreeWidget* tree = window.tree();
  // The events of a double click, as the window system delivers them.
  const QPoint at = tree->visualItemRect(source).center();
  const QPoint global = tree->viewport()->mapToGlobal(at);
  for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonDblClick,
                                  QEvent::MouseButtonRelease}) {
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, at, global, Qt::LeftButton, held, Qt::NoModifier);
    QApplication::sendEvent(tree->viewport(), &event);
  }
  source = SourceNode(database.Dsn());
  ASSERT_NE(source, nullptr);
  ASSERT_EQ(source->childCount(), 1);
  EXPECT_TRUE(source->isExpanded());
}

TEST_F(WindowBehaviourTest, YesToTheNoSourceQuestionOfTheOptionsOpensTheAddSourceWindow) {
  int add_source_shown = 0;
  Window().SetShowOdbc([&] {
    ++add_source_shown;
    testing::RegisterSystemDsn("Made Meanwhile", testing::kSqliteDriver, {{"Database", "/tmp/made.db"}});
  });
  dialogs_.AnswerQuestion(MessageAnswer::Yes);
  Options().show();
  EXPECT_EQ(add_source_shown, 1);
  EXPECT_EQ(FindIn<QComboBox>(Options(), "ComboBox1")->currentText(), "Made Meanwhile");
  Options().reject();
  testing::RemoveSystemDsn("Made Meanwhile");
}

// The designed place where the screen holds the window there; on a
// narrower screen (the offscreen one is 800 pixels wide) the window is moved
// left until its right edge is the screen's.
TEST_F(WindowBehaviourTest, FirstStartPlacesTheWindowAtItsDesignedPlace) {
  MainWindow& window = Window();
  window.show();
  QApplication::processEvents();
  const QRect room = window.screen()->availableGeometry();
  const int left = std::min(370, room.right() + 1 - window.frameGeometry().width());
  EXPECT_EQ(window.frameGeometry().topLeft(), QPoint(left, 157));
  window.SaveWindowSettings();
  EXPECT_NE(OptionsText().find("Top=157"), std::string::npos);
  EXPECT_NE(OptionsText().find("Left=" + std::to_string(left)), std::string::npos) << OptionsText();
}

// A stored number that names no item checks nothing; one that does, its item.
TEST_F(WindowBehaviourTest, StoredOutputOptionsOutsideTheItemsCheckNothing) {
  struct Case {
    const char* options;
    QStringList dialects;
    QStringList contents;
    int dialect_index;
    int content_index;
  };
  const Case cases[] = {
      {"[Output]\nFormat=7\nContent=9\n", {}, {}, -1, -1},
      {"[Output]\nFormat=-1\nContent=1\n", {}, {"Tableonly1"}, -1, 1},
      {"[Output]\nFormat=4\nContent=3\n", {"PostG1"}, {}, 4, -1},
      {"[Output]\nFormat=2\nContent=2\n", {"Oracle1"}, {"DataOnly1"}, 2, 2},
  };
  for (const Case& test : cases) {
    WriteOptions(test.options);
    window_.reset();
    MainWindow& window = Window();
    EXPECT_EQ(CheckedItems("Ouput1"), test.dialects) << test.options;
    EXPECT_EQ(CheckedItems("Content1"), test.contents) << test.options;
    EXPECT_EQ(FindIn<QComboBox>(window, "ComboBox1")->currentIndex(), test.dialect_index) << test.options;
    EXPECT_EQ(FindIn<QComboBox>(window, "ComboBox2")->currentIndex(), test.content_index) << test.options;
  }
}

TEST_F(WindowBehaviourTest, LogLinesShowTheirTextExactly) {
  const std::string lines[] = {"A & B", "\"quoted\" <tag>", "three   blanks", "&amp; stays"};
  for (const std::string& line : lines) Window().AddLogLine(line);
  Window().AddColoredLine("red & \"bold\"   end", 255);
  EXPECT_EQ(Window().LogText(),
            "A & B\n\"quoted\" <tag>\nthree   blanks\n&amp; stays\nred & \"bold\"   end");
  auto* log = FindIn<QTextEdit>(Window(), "Memo1");
  const QTextBlock last = log->document()->lastBlock();
  EXPECT_EQ(last.begin().fragment().charFormat().foreground().color(), QColor(255, 0, 0));
  EXPECT_NE(log->document()->firstBlock().begin().fragment().charFormat().foreground().color(), QColor(255, 0, 0));
}

// A single Escape press during a run is seen by the next poll, whichever
// event loop delivered it.
TEST_F(WindowBehaviourTest, EveryEscapePressDuringARunIsSeen) {
  QLineEdit edit;
  edit.show();
  EscapePoll poll;
  EscapePollScope running(poll);
  const struct {
    const char* what;
    std::function<void()> deliver;
  } cases[] = {
      {"by the poll itself", [] { QThread::msleep(60); }},
      {"by another loop", [] { QApplication::processEvents(); }},
      {"by a pause", [] { QApplication::processEvents(QEventLoop::ExcludeUserInputEvents); QApplication::processEvents(); }},
  };
  for (const auto& test : cases) {
    EXPECT_FALSE(poll.Poll()) << test.what;
    QCoreApplication::postEvent(&edit, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    QCoreApplication::postEvent(&edit, new QKeyEvent(QEvent::KeyRelease, Qt::Key_Escape, Qt::NoModifier));
    test.deliver();
    QThread::msleep(60);
    EXPECT_TRUE(poll.Poll()) << test.what;
  }
}

TEST_F(WindowBehaviourTest, TabsToolbarAndDesignerShowPicturesOfTheImageList) {
  MainWindow& window = Window();
  for (const int image : {kImageTable, kImageChosenTables}) {
    ScriptDocument document;
    document.tab_caption = "t";
    document.tab_image = image;
    document.script = ScriptBuffer::FromItems({"x"});
    window.AddScriptTab(std::move(document));
  }
  auto* tabs = FindIn<QTabBar>(window, "TabControl1");
  for (int tab = 0; tab < 2; ++tab) EXPECT_FALSE(tabs->tabIcon(tab).isNull()) << tab;
  EXPECT_EQ(tabs->tabIcon(0).pixmap(16).toImage(), ImageListIcon(kImageTable).pixmap(16).toImage());
  EXPECT_EQ(tabs->tabIcon(1).pixmap(16).toImage(), ImageListIcon(kImageChosenTables).pixmap(16).toImage());

  for (const char* button : {"ToolButton1", "ToolButton3", "ToolButton4", "ToolButton5", "ToolButton7"})
    EXPECT_FALSE(FindIn<QToolButton>(window, button)->icon().isNull()) << button;
  // The blue button of the introduction text: mostly blue.
  const QImage generate = FindIn<QToolButton>(window, "ToolButton7")->icon().pixmap(16).toImage();
  const QColor centre = generate.pixelColor(5, 8);
  EXPECT_GT(centre.blue(), centre.red() + 80) << centre.name().toStdString();

  ForeignKeyDesigner designer(window, settings_);
  for (const char* arrow : {"Image1", "Image2"}) {
    auto* picture = FindIn<QLabel>(designer, arrow);
    EXPECT_FALSE(picture->pixmap().isNull()) << arrow;
  }
  for (int image : {kImageRoot, kImageSource, kImageTable, kImageSchema, kImageSelectedSource, kImageSourceItem})
    EXPECT_FALSE(ImageListIcon(image).isNull()) << image;
}

// The key file holds 20 bytes of each: the edits take what fits in them.
TEST_F(WindowBehaviourTest, LoginEditsTakeWhatTheKeyFileHolds) {
  testing::RegisterSystemDsn("Login Source", testing::kSqliteDriver, {{"Database", "/tmp/login.db"}});
  Options().show();
  const struct {
    const char* edit;
    QString typed;
    QString kept;
  } cases[] = {
      {"Edit3", QString(25, 'a'), QString(20, 'a')},
      {"Edit3", QString(15, QChar(0xE9)), QString(10, QChar(0xE9))},
      {"Edit4", "ab" + QString(12, QChar(0x20AC)), "ab" + QString(6, QChar(0x20AC))},
  };
  for (const auto& test : cases) {
    auto* edit = FindIn<QLineEdit>(Options(), test.edit);
    edit->clear();
    edit->setFocus();
    for (const QChar letter : test.typed) {
      QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QString(letter));
      QApplication::sendEvent(edit, &press);
    }
    EXPECT_EQ(edit->text(), test.kept) << test.edit;
    EXPECT_LE(edit->text().toUtf8().size(), 20);
  }
  Options().reject();
  testing::RemoveSystemDsn("Login Source");
}


// A source without tables offers the retry with system tables; its tables
// come in the provider's order, or alphabetically when the option asks.
TEST_F(WindowBehaviourTest, SystemTableRetryFollowsTheAlphabeticalOption) {
  testing::TemporaryFolder files;
  const std::string database = (files.path() / "empty.mdb").string();
  jet::Catalog catalog;
  catalog.Create("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + database + ";Jet OLEDB:Engine Type=5");
  catalog.SetActiveConnection(nullptr);
  testing::RegisterSystemDsn("Empty Access", (files.path() / "odbcjt32.so").string(), {{"DBQ", database}});

  std::map<bool, QStringList> listed;
  for (const bool alpha : {false, true}) {
    settings_.alpha = alpha;
    settings_.extr_from_system = false;
    Window().QuietRebuildSources();
    QTreeWidgetItem* source = SourceNode("Empty Access");
    ASSERT_NE(source, nullptr);
    dialogs_.AnswerQuestion(MessageAnswer::Yes);  // "No tables found, try with ..."
    Window().ActivateNode(source);
    EXPECT_TRUE(settings_.extr_from_system);
    for (int i = 0; i < source->childCount(); ++i) listed[alpha] << source->child(i)->text(0);
  }
  testing::RemoveSystemDsn("Empty Access");
  ASSERT_GT(listed[false].size(), 1);
  QStringList sorted = listed[false];
  std::sort(sorted.begin(), sorted.end(), [](const QString& a, const QString& b) {
    return QString::compare(a, b, Qt::CaseInsensitive) < 0;
  });
  EXPECT_NE(listed[false], sorted) << "the provider's own order is not alphabetical";
  EXPECT_EQ(listed[true], sorted);
}

}  // namespace
}  // namespace quill
