#include "shell/main_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTabBar>
#include <QThread>
#include <QToolButton>
#include <QTreeWidget>
#include <fstream>

#include "fixtures/odbc_data_sources.h"
#include "fixtures/test_database.h"
#include "shell/script_view.h"
#include "shell/tree_nodes.h"
#include "shell_test_support.h"
#include "sources/dsn_login_store.h"

namespace quill {
namespace {

using testing::ReadFileBytes;
using testing::ScriptedDialogs;
using testing::TemporaryFolder;

class MainWindowTest : public ::testing::Test {
 protected:
  MainWindowTest() { testing::TestApplication(); }

  MainWindow& Window() {
    if (!window_) {
      window_ = std::make_unique<MainWindow>(folder_.ProgramFolder(), settings_);
      window_->LoadWindowSettings(0);
      logins_ = std::make_unique<DsnLoginStore>(folder_.ProgramFolder(), *window_);
      window_->SetLoginStore(logins_.get());
    }
    return *window_;
  }

  template <typename T>
  T* Find(const char* object_name) {
    T* found = Window().findChild<T*>(object_name);
    EXPECT_NE(found, nullptr) << object_name;
    return found;
  }

  void WriteOptions(const std::string& text) { std::ofstream(folder_.path() / "options.ini") << text; }

  QTreeWidgetItem* SourceNode(const std::string& dsn) {
    QTreeWidgetItem* root = Window().tree()->topLevelItem(0);
    for (int i = 0; i < root->childCount(); ++i)
      if (root->child(i)->text(0).toStdString() == dsn) return root->child(i);
    ADD_FAILURE() << "no source node " << dsn;
    return nullptr;
  }

  ScriptDocument Document(const std::string& caption, const std::string& summary) {
    ScriptDocument document;
    document.tab_caption = caption;
    document.script = ScriptBuffer::FromItems({"/* " + caption + " */\r\n", "INSERT 1"});
    document.summary = summary;
    return document;
  }

  ScriptedDialogs dialogs_;
  TemporaryFolder folder_;
  Settings settings_;
  std::unique_ptr<MainWindow> window_;
  std::unique_ptr<DsnLoginStore> logins_;
};

TEST_F(MainWindowTest, FirstStartWithoutOptionsShowsTheDesignedState) {
  MainWindow& window = Window();
  EXPECT_EQ(window.objectName(), "Form1");
  EXPECT_TRUE(Find<QAction>("MySql1")->isChecked());
  EXPECT_EQ(Find<QComboBox>("ComboBox1")->currentIndex(), 0);
  EXPECT_TRUE(Find<QAction>("TableandData1")->isChecked());
  EXPECT_EQ(Find<QComboBox>("ComboBox2")->currentIndex(), 0);
  EXPECT_TRUE(Find<QAction>("Off1")->isChecked());
  EXPECT_FALSE(Find<QCheckBox>("CheckBox3")->isChecked());
  QLineEdit* schema = Find<QLineEdit>("Edit2");
  EXPECT_TRUE(schema->text().isEmpty());
  EXPECT_EQ(schema->placeholderText(), "Schema/Database");
  EXPECT_TRUE(Find<QCheckBox>("CheckBox1")->isChecked());
  EXPECT_FALSE(Find<QCheckBox>("CheckBox2")->isChecked());
  EXPECT_FALSE(Find<QAction>("Save1")->isEnabled());
  EXPECT_FALSE(Find<QToolButton>("ToolButton7")->isEnabled());
  EXPECT_EQ(window.SummaryText().toStdString().substr(0, 38), "You can add sources using the toolbar.");
}

TEST_F(MainWindowTest, SchemaTypedAfterReachingTheBoxByKeyboardIsTheSchema) {
  QLineEdit* schema = Find<QLineEdit>("Edit2");
  schema->setFocus(Qt::TabFocusReason);
  schema->insert("sales");
  EXPECT_EQ(settings_.ms_schema, "sales");
  Window().SaveWindowSettings();
  EXPECT_NE(ReadFileBytes(folder_.path() / "options.ini").find("MSSchema=sales"), std::string::npos);
}

TEST_F(MainWindowTest, WindowSavedMaximizedStaysMaximizedAndKeepsItsNormalBounds) {
  WriteOptions("[Misc]\r\nWidth=800\r\nHeight=600\r\nTop=10\r\nLeft=20\r\nMaximized=1\r\n");
  EXPECT_TRUE(Window().maximized_flag());
  Window().SaveWindowSettings();
  const std::string saved = ReadFileBytes(folder_.path() / "options.ini");
  EXPECT_NE(saved.find("Maximized=1"), std::string::npos);
  EXPECT_NE(saved.find("Width=800"), std::string::npos);
  EXPECT_NE(saved.find("Left=20"), std::string::npos);
}

TEST_F(MainWindowTest, BarAboveTwoHundredFiftyIsClampedThere) {
  WriteOptions("[Misc]\r\nBarPos=5000\r\n");
  MainWindow& window = Window();
  window.resize(700, 600);
  QApplication::processEvents();
  EXPECT_EQ(Find<QWidget>("Panel1")->y(), 250);
  EXPECT_EQ(window.bar_pos(), 100);
}

TEST_F(MainWindowTest, DialectComboAndMenuStayInStepAndTheSchemaBoxFollows) {
  MainWindow& window = Window();
  window.show();
  QComboBox* combo = Find<QComboBox>("ComboBox1");
  combo->setCurrentIndex(2);
  emit combo->activated(2);
  EXPECT_TRUE(Find<QAction>("Oracle1")->isChecked());
  EXPECT_FALSE(Find<QLineEdit>("Edit2")->isVisible());
  Find<QAction>("PostG1")->trigger();
  EXPECT_EQ(combo->currentIndex(), 4);
  EXPECT_TRUE(Find<QLineEdit>("Edit2")->isVisible());
  EXPECT_EQ(settings_.format, TargetDialect::PostgreSql);
  Find<QCheckBox>("CheckBox3")->click();
  EXPECT_TRUE(Find<QAction>("On1")->isChecked());
}

TEST_F(MainWindowTest, ClosingTheSecondOfThreeTabsMakesTheLastCurrent) {
  MainWindow& window = Window();
  window.AddScriptTab(Document("one", "Source : one"));
  window.AddScriptTab(Document("two", "Source : two"));
  window.AddScriptTab(Document("three", "Source : three"));
  Find<QTabBar>("TabControl1")->setCurrentIndex(1);
  EXPECT_EQ(window.SummaryText(), "Source : two");
  window.CloseCurrentTab();
  EXPECT_EQ(window.TabCount(), 2);
  EXPECT_EQ(Find<QTabBar>("TabControl1")->currentIndex(), 1);
  EXPECT_EQ(window.SummaryText(), "Source : three");
  window.CloseCurrentTab();
  window.CloseCurrentTab();
  EXPECT_EQ(window.TabCount(), 0);
  EXPECT_FALSE(Find<QAction>("Save1")->isEnabled());
  EXPECT_EQ(window.SummaryText().left(38), "You can add sources using the toolbar.");
}

TEST_F(MainWindowTest, SavingWritesTheScriptBytesAndTheLogLines) {
  MainWindow& window = Window();
  ScriptDocument document = Document("people", "Source : s");
  document.script = ScriptBuffer::FromItems({"/* header */\r\n", "INSERT INTO t VALUES ('a\rb')"});
  window.AddScriptTab(std::move(document));
  const auto script_path = folder_.path() / "people.sql";
  dialogs_.AnswerSaveFile(QString::fromStdString(script_path.string()));
  window.SaveCurrentScript();
  EXPECT_EQ(dialogs_.suggested_file_names().back(), "people");
  EXPECT_EQ(ReadFileBytes(script_path), "/* header */\r\n\r\nINSERT INTO t VALUES ('a\rb')\r\n");
  EXPECT_EQ(window.StatusText(), " Ready ");

  window.AddLogLine("first");
  window.AddColoredLine("second", kLogRed);
  const auto log_path = folder_.path() / "Log.txt";
  dialogs_.AnswerSaveFile(QString::fromStdString(log_path.string()));
  window.SaveLog();
  EXPECT_EQ(ReadFileBytes(log_path), "first\r\nsecond\r\n");
}

TEST_F(MainWindowTest, SqliteSourceListsItsTablesAndADoubleClickMakesATab) {
  auto database = testing::TestDatabase::Sqlite();
  database.CreateTable({"people", {{"id", "INTEGER"}, {"name", "VARCHAR(20)"}}, {"id"}, {{"1", "'Ann'"}}});
  database.CreateTable({"orders", {{"id", "INTEGER"}}, {"id"}, {}});
  MainWindow& window = Window();
  window.QuietRebuildSources();
  QTreeWidgetItem* source = SourceNode(database.Dsn());
  ASSERT_NE(source, nullptr);
  EXPECT_EQ(NodeImage(source), kSourceImage);
  window.ActivateNode(source);
  ASSERT_EQ(source->childCount(), 2);
  EXPECT_EQ(NodeImage(source->child(0)), kTableImage);

  QTreeWidgetItem* people = source->child(0)->text(0) == "people" ? source->child(0) : source->child(1);
  window.ActivateNode(people);
  ASSERT_EQ(window.TabCount(), 1);
  const QString script = window.ScriptEditor(0)->PlainText();
  EXPECT_TRUE(script.contains("INSERT INTO")) << script.toStdString();
  EXPECT_TRUE(script.contains("'Ann'")) << script.toStdString();
  EXPECT_TRUE(window.SummaryText().contains("Table : people"));
  EXPECT_TRUE(window.SummaryText().contains("Language : MySql"));
  // Debug mode is on at every start: its notice follows the run.
  EXPECT_EQ(dialogs_.messages().back().text.toStdString(), "Debug mode is ON only 5 rows of table(s) is returned.");
}

TEST_F(MainWindowTest, PostgresSourceWithTwoSchemasGetsSchemaNodes) {
  auto database = testing::TestDatabase::Postgres();
  database.CreateSchema("sales");
  database.CreateTable({"clients", {{"id", "INTEGER"}}, {"id"}, {}, "sales"});
  database.CreateTable({"order lines", {{"id", "INTEGER"}}, {"id"}, {}, "sales"});
  database.CreateTable({"notes", {{"id", "INTEGER"}}, {}, {}});
  MainWindow& window = Window();
  window.QuietRebuildSources();
  QTreeWidgetItem* source = SourceNode(database.Dsn());
  ASSERT_NE(source, nullptr);
  window.ActivateNode(source);
  ASSERT_EQ(source->childCount(), 2);
  QTreeWidgetItem* sales = source->child(0)->text(0) == "sales" ? source->child(0) : source->child(1);
  EXPECT_EQ(NodeImage(sales), kSchemaImage);
  window.ActivateNode(sales);
  QStringList tables;
  for (int i = 0; i < sales->childCount(); ++i) tables << sales->child(i)->text(0);
  tables.sort();
  EXPECT_EQ(tables, QStringList({"clients", "order lines"}));
}

}  // namespace
}  // namespace quill

namespace quill {
namespace {

TEST_F(MainWindowTest, TextFileSourceListsFilesWithTheirExtensionAndScriptsOne) {
  TemporaryFolder files;
  std::ofstream(files.path() / "clients.csv") << "id;name\r\n1;Ann\r\n2;Bob\r\n";
  testing::RegisterSystemDsn("Text Files", (files.path() / "odbcjt32.so").string(),
                             {{"DBQ", files.path().string()}});
  MainWindow& window = Window();
  window.QuietRebuildSources();
  QTreeWidgetItem* source = SourceNode("Text Files");
  ASSERT_NE(source, nullptr);
  window.ActivateNode(source);
  ASSERT_EQ(source->childCount(), 1);
  EXPECT_EQ(source->child(0)->text(0), "clients.csv");
  EXPECT_EQ(NodeImage(source->child(0)), kTableImage);
  window.ActivateNode(source->child(0));
  ASSERT_EQ(window.TabCount(), 1);
  EXPECT_TRUE(window.ScriptEditor(0)->PlainText().contains("'Bob'"));
}

}  // namespace
}  // namespace quill

namespace quill {
namespace {

TEST_F(MainWindowTest, AFailedSaveIsReportedAndKeepsTheStatus) {
  MainWindow& window = Window();
  window.AddScriptTab(Document("people", "Source : s"));
  dialogs_.AnswerSaveFile(QString::fromStdString((folder_.path() / "no such folder" / "people.sql").string()));
  Find<QAction>("Save1")->trigger();
  ASSERT_FALSE(dialogs_.messages().empty());
  EXPECT_EQ(dialogs_.messages().back().icon, MessageIcon::Error);
  EXPECT_EQ(window.StatusText(), " Writing File... ");
}

}  // namespace
}  // namespace quill

namespace quill {
namespace {

// What a run through the window shows of a large table: the bar moves by
// percents and ends at its maximum, the status texts appear, and Escape
// stops the run at the next poll. Per-row widget calls would cost as much
// as the script, so the widgets change only when what they show does.
class MainWindowRunTest : public MainWindowTest {
 protected:
  static constexpr int kRows = 100000;

  QTreeWidgetItem* BigTableNode() {
    database_.Execute("CREATE TABLE big (id INTEGER PRIMARY KEY, name VARCHAR(20))");
    database_.Execute(
        "INSERT INTO big WITH RECURSIVE k(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM k WHERE n < " +
        std::to_string(kRows) + ") SELECT n, 'name ' || n FROM k;");
    MainWindow& window = Window();
    settings_.debug_mode = false;
    window.show();
    QApplication::processEvents();
    window.QuietRebuildSources();
    QTreeWidgetItem* source = SourceNode(database_.Dsn());
    if (source == nullptr) return nullptr;
    window.ActivateNode(source);
    source = SourceNode(database_.Dsn());
    EXPECT_EQ(source->childCount(), 1);
    return source->childCount() == 1 ? source->child(0) : nullptr;
  }

  testing::TestDatabase database_ = testing::TestDatabase::Sqlite();
};

// The texts the status panel showed, one per change, looked at whenever the
// application handles an event (the run lets events through as it polls).
class ShownTexts : public QObject {
 public:
  explicit ShownTexts(QLabel* label) : label_(label) { qApp->installEventFilter(this); }
  ~ShownTexts() override { qApp->removeEventFilter(this); }
  void Look() {
    if (texts.isEmpty() || texts.back() != label_->text()) texts << label_->text();
  }
  QStringList texts;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    Look();
    return QObject::eventFilter(watched, event);
  }

 private:
  QLabel* label_;
};

TEST_F(MainWindowRunTest, ALargeTableMovesTheBarByPercentsAndEndsAtItsMaximum) {
  QTreeWidgetItem* table = BigTableNode();
  ASSERT_NE(table, nullptr);
  auto* bar = Find<QProgressBar>("ProgressBar1");
  int value_changes = 0;
  ShownTexts shown(Find<QLabel>("StatusPanel0"));
  QObject::connect(bar, &QProgressBar::valueChanged, [&] {
    ++value_changes;
    shown.Look();
  });

  Window().ActivateNode(table);
  ASSERT_EQ(Window().TabCount(), 1);
  EXPECT_TRUE(Window().SummaryText().contains("Table : big")) << Window().SummaryText().toStdString();
  const int tables = 1;
  EXPECT_GT(value_changes, 1);
  EXPECT_LE(value_changes, 101 + tables);
  EXPECT_EQ(bar->value(), bar->maximum());
  EXPECT_EQ(Window().ProgressPosition(), bar->maximum());
  // The table's status text was shown during the run; Ready follows it.
  QApplication::processEvents();
  QThread::msleep(60);
  QApplication::processEvents();
  EXPECT_LE(shown.texts.size(), 101 + tables);
  EXPECT_EQ(shown.texts.filter("big").size(), 1) << shown.texts.join("|").toStdString();
  EXPECT_EQ(Find<QLabel>("StatusPanel0")->text(), Window().StatusText());
  EXPECT_EQ(Window().StatusText(), " Ready ");
}

TEST_F(MainWindowRunTest, EscapeDuringARunStopsItAtTheNextPoll) {
  QTreeWidgetItem* table = BigTableNode();
  ASSERT_NE(table, nullptr);
  auto* bar = Find<QProgressBar>("ProgressBar1");
  bool pressed = false;
  // Escape once the bar has moved, while the run goes on; the next poll sees
  // it, before the rows are written.
  QObject::connect(bar, &QProgressBar::valueChanged, [&](int value) {
    if (pressed || value <= bar->minimum()) return;
    pressed = true;
    QThread::msleep(60);
    QCoreApplication::postEvent(&Window(), new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    QCoreApplication::postEvent(&Window(), new QKeyEvent(QEvent::KeyRelease, Qt::Key_Escape, Qt::NoModifier));
  });

  Window().ActivateNode(table);
  ASSERT_TRUE(pressed);
  ASSERT_EQ(Window().TabCount(), 1);
  EXPECT_EQ(Window().SummaryText(), "Aborted by user.");
  EXPECT_EQ(Window().ScriptEditor(0)->PlainText().count("INSERT INTO"), 0);
  EXPECT_EQ(bar->value(), bar->maximum());
}

}  // namespace
}  // namespace quill
