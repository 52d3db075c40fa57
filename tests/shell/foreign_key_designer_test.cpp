#include "shell/foreign_key_designer.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

#include "fixtures/script_loaders.h"
#include "fixtures/test_database.h"
#include "shell/main_window.h"
#include "shell_test_support.h"
#include "sources/dsn_login_store.h"
#include "sources/source_session.h"

namespace quill {
namespace {

using testing::ReadFileBytes;
using testing::ScriptedDialogs;
using testing::TemporaryFolder;
using testing::TestDatabase;

// The main window with the table-selection dialog answered by the test.
class ChoosingMainWindow : public MainWindow {
 public:
  using MainWindow::MainWindow;
  bool SelectTables(const std::vector<std::string>&, const std::string&, std::vector<std::string>& chosen) override {
    chosen = chosen_tables;
    return true;
  }
  std::vector<std::string> chosen_tables;
};

class ForeignKeyDesignerTest : public ::testing::Test {
 protected:
  ForeignKeyDesignerTest()
      : source_(TestDatabase::Sqlite()), window_(folder_.ProgramFolder(), settings_) {
    window_.LoadWindowSettings(0);
    logins_ = std::make_unique<DsnLoginStore>(folder_.ProgramFolder(), window_);
    window_.SetLoginStore(logins_.get());
    settings_.debug_mode = false;
    source_.CreateTable({"clients", {{"id", "INTEGER"}, {"name", "VARCHAR(20)"}}, {"id"}, {{"1", "'Ann'"}}});
    source_.CreateTable({"orders", {{"id", "INTEGER"}, {"client_id", "INTEGER"}}, {"id"}, {{"10", "1"}}});
  }

  // Runs the action once the shown designer has loaded the source's info.
  void WhenLoaded(std::function<void(ForeignKeyDesigner&)> action) {
    auto* poll = new QTimer(&window_);
    poll->setInterval(20);
    QObject::connect(poll, &QTimer::timeout, poll, [this, poll, action] {
      auto* designer = window_.findChild<ForeignKeyDesigner*>("Form12");
      if (designer == nullptr || !designer->isVisible() || !designer->model().leave_enabled()) return;
      poll->stop();
      poll->deleteLater();
      action(*designer);
    });
    poll->start();
  }

  static QWidget* Child(QWidget& parent, const char* path_first, const char* path_second = nullptr) {
    QWidget* found = parent.findChild<QWidget*>(path_first);
    if (found != nullptr && path_second != nullptr) found = found->findChild<QWidget*>(path_second);
    EXPECT_NE(found, nullptr) << path_first << " " << (path_second ? path_second : "");
    return found;
  }
  static void Click(QWidget& designer, const char* button) {
    static_cast<QPushButton*>(Child(designer, button))->click();
  }
  static QComboBox* Box(QWidget& designer, int row, const char* box) {
    return static_cast<QComboBox*>(Child(designer, ("MyFrame" + std::to_string(row)).c_str(), box));
  }
  // A row linking orders.client_id to clients.id, the FK table typed in.
  static void AddOrdersToClients(QWidget& designer, int row) {
    Click(designer, "Add");
    QLineEdit* edit = Box(designer, row, "ComboBox1")->lineEdit();
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);  // over the designed text
    QTest::keyClicks(edit, "orders");
  }

  QApplication& application_ = testing::TestApplication();
  ScriptedDialogs dialogs_;
  TemporaryFolder folder_;
  Settings settings_;
  TestDatabase source_;
  ChoosingMainWindow window_;
  std::unique_ptr<DsnLoginStore> logins_;
};

TEST_F(ForeignKeyDesignerTest, RowsAreAddedCheckedSavedAndLoadedAndContinueGivesTheScripts) {
  window_.session().ConnectToSource(source_.Dsn());
  ForeignKeyDesigner designer(window_, settings_);
  EXPECT_EQ(designer.objectName(), "Form12");
  EXPECT_EQ(designer.windowTitle(), "Set Foreign Keys");
  EXPECT_TRUE(designer.windowFlags() & Qt::WindowStaysOnTopHint);
  const std::string path = (folder_.path() / "keys.fks").string();

  WhenLoaded([&](ForeignKeyDesigner& shown) {
    EXPECT_EQ(static_cast<QLabel*>(Child(shown, "Label7"))->text(), "Sources info retrieved.");
    EXPECT_TRUE(Child(shown, "Label4")->isVisible());
    AddOrdersToClients(shown, 1);
    EXPECT_FALSE(Child(shown, "Label4")->isVisible());
    EXPECT_TRUE(static_cast<QCheckBox*>(Child(shown, "MyFrame1", "CheckBox1"))->isChecked());
    EXPECT_EQ(Box(shown, 1, "ComboBox2")->currentText(), "client_id");
    EXPECT_EQ(Box(shown, 1, "ComboBox3")->currentText(), "clients");
    EXPECT_EQ(Box(shown, 1, "ComboBox4")->currentText(), "id");
    // At the designed place; as wide as its boxes need, at least the designed 561.
    const QRect row = Child(shown, "MyFrame1")->geometry();
    EXPECT_EQ(row, QRect(2, 10, std::max(561, Box(shown, 1, "ComboBox4")->geometry().right() + 9), 47));

    dialogs_.AnswerSaveFile(QString::fromStdString(path));
    Click(shown, "SaveAll");
    auto* saved_on = static_cast<QLabel*>(Child(shown, "MyFrame1", "Label2"));
    EXPECT_EQ(saved_on->text(), "Saved on :");
    // The heading is shown whole, the stamp after it.
    EXPECT_GE(saved_on->width(), saved_on->sizeHint().width());
    EXPECT_GT(Child(shown, "MyFrame1", "Label3")->x(), saved_on->geometry().right());
    Click(shown, "Clear");
    EXPECT_EQ(shown.findChild<QWidget*>("MyFrame1"), nullptr);
    EXPECT_TRUE(Child(shown, "Label4")->isVisible());

    dialogs_.AnswerOpenFile(QString::fromStdString(path));
    Click(shown, "Load");
    EXPECT_EQ(dialogs_.messages().back().text, "1/1 Foreign Key(s) loaded.");
    EXPECT_EQ(Box(shown, 1, "ComboBox1")->currentText(), "orders");
    EXPECT_TRUE(static_cast<QCheckBox*>(Child(shown, "MyFrame1", "CheckBox1"))->isChecked());
    Click(shown, "Done");  // saved: no question
  });
  ForeignKeyScripts scripts;
  ASSERT_TRUE(designer.Run({"clients", "orders"}, scripts));
  EXPECT_NE(ReadFileBytes(path).find("\r\norders;client_id;clients;id;1;"), std::string::npos);
  EXPECT_EQ(scripts.add_constraint_script,
            "ALTER TABLE `orders` ADD CONSTRAINT `FK_QMV_orders_client_id_clients_id` FOREIGN KEY (`client_id`) "
            "REFERENCES `clients`(`id`);\r\n");
  EXPECT_TRUE(scripts.drop_existing);
  EXPECT_EQ(designer.findChild<QWidget*>("MyFrame1"), nullptr);
}

TEST_F(ForeignKeyDesignerTest, CancelAllEndsTheRunWithoutATab) {
  window_.chosen_tables = {"clients", "orders"};
  dialogs_.AnswerQuestion(MessageAnswer::Yes);  // "Do you want to set foreign key(s) ?"
  WhenLoaded([&](ForeignKeyDesigner& shown) {
    AddOrdersToClients(shown, 1);
    Click(shown, "Cancel");
  });
  window_.RunGenerateScript(QString::fromStdString(source_.Dsn()), "");
  EXPECT_EQ(window_.TabCount(), 0);
}

// A run over several tables without the designer still follows its drop
// box: checked (as designed), the empty drop script is an item of its own
// before the first table; cleared in an earlier run, there is none.
TEST_F(ForeignKeyDesignerTest, TheDropBoxDecidesTheDropItemAlsoWithoutTheDesigner) {
  window_.chosen_tables = {"clients", "orders"};
  const auto line_ends_before_first_table = [&] {
    const std::string path = (folder_.path() / "script.sql").string();
    dialogs_.AnswerSaveFile(QString::fromStdString(path));
    window_.SaveCurrentScript();
    const std::string script = ReadFileBytes(path);
    const std::string head = script.substr(0, script.find("CREATE TABLE"));
    std::size_t count = 0;
    for (std::size_t at = head.find("\r\n"); at != std::string::npos; at = head.find("\r\n", at + 2)) ++count;
    return count;
  };
  dialogs_.AnswerQuestion(MessageAnswer::No);  // "Do you want to set foreign key(s) ?"
  window_.RunGenerateScript(QString::fromStdString(source_.Dsn()), "");
  const std::size_t with_drop_item = line_ends_before_first_table();

  dialogs_.AnswerQuestion(MessageAnswer::Yes);  // the designer, with no key: Done asks nothing
  WhenLoaded([&](ForeignKeyDesigner& shown) {
    static_cast<QCheckBox*>(Child(shown, "CheckBox1"))->setChecked(false);
    Click(shown, "Done");
  });
  window_.RunGenerateScript(QString::fromStdString(source_.Dsn()), "");
  dialogs_.AnswerQuestion(MessageAnswer::No);
  window_.RunGenerateScript(QString::fromStdString(source_.Dsn()), "");
  ASSERT_EQ(window_.TabCount(), 3);
  EXPECT_EQ(line_ends_before_first_table(), with_drop_item - 1);
}

// The designer in a real run: its DROP goes before the first table, its ADD
// after the last, and a real engine takes the script's tables, then the ADD,
// then the DROP.
TEST_F(ForeignKeyDesignerTest, ScriptOfARunHoldsTheConstraintsAndLoadsIntoTheServers) {
  window_.chosen_tables = {"clients", "orders"};
  struct Case {
    TargetDialect dialect;
    std::string drop;
    std::string add;
  } const cases[] = {
      {TargetDialect::PostgreSql,
       "ALTER TABLE \"orders\" DROP CONSTRAINT \"fk_qmv_orders_client_id_clients_id\";\r\n",
       "ALTER TABLE \"orders\" ADD CONSTRAINT \"fk_qmv_orders_client_id_clients_id\" FOREIGN KEY (\"client_id\") "
       "REFERENCES \"clients\" (\"id\") MATCH FULL;\r\n"},
      {TargetDialect::MySql, "ALTER TABLE `orders` DROP FOREIGN KEY `FK_QMV_orders_client_id_clients_id`;\r\n",
       "ALTER TABLE `orders` ADD CONSTRAINT `FK_QMV_orders_client_id_clients_id` FOREIGN KEY (`client_id`) "
       "REFERENCES `clients`(`id`);\r\n"},
  };
  int tab = 0;
  for (const Case& test : cases) {
    SCOPED_TRACE(static_cast<int>(test.dialect));
    window_.SelectDialect(static_cast<int>(test.dialect));
    dialogs_.AnswerQuestion(MessageAnswer::Yes);  // "Do you want to set foreign key(s) ?"
    dialogs_.AnswerQuestion(MessageAnswer::Yes);  // "Continue without saving ...?"
    WhenLoaded([&](ForeignKeyDesigner& shown) {
      AddOrdersToClients(shown, 1);
      Click(shown, "Done");
    });
    window_.RunGenerateScript(QString::fromStdString(source_.Dsn()), "");
    ASSERT_EQ(window_.TabCount(), ++tab);

    const std::string path = (folder_.path() / ("script" + std::to_string(tab) + ".sql")).string();
    dialogs_.AnswerSaveFile(QString::fromStdString(path));
    window_.SaveCurrentScript();
    std::string script = ReadFileBytes(path);
    const size_t drop = script.find(test.drop);
    const size_t add = script.find(test.add);
    const size_t first_table = script.find("CREATE TABLE");
    const size_t last_table = script.rfind("INSERT INTO");
    ASSERT_NE(drop, std::string::npos) << script;
    ASSERT_NE(add, std::string::npos) << script;
    EXPECT_LT(drop, first_table);
    EXPECT_GT(add, last_table);

    TestDatabase target = test.dialect == TargetDialect::PostgreSql ? TestDatabase::Postgres() : TestDatabase::MariaDb();
    script.erase(drop, test.drop.size());  // no constraint to drop yet
    const auto load = [&](const std::string& text) {
      return test.dialect == TargetDialect::PostgreSql ? testing::RunPsqlScript(target, text)
                                                       : testing::RunMariaDbScript(target, text);
    };
    const testing::ScriptRun tables_and_add = load(script);
    ASSERT_TRUE(tables_and_add.succeeded) << tables_and_add.output << "\n" << script;
    EXPECT_THROW(target.Execute("INSERT INTO " + target.Quote("orders") + " VALUES (11, 99)"), std::runtime_error);
    const testing::ScriptRun dropped = load(test.drop);
    ASSERT_TRUE(dropped.succeeded) << dropped.output;
    target.Execute("INSERT INTO " + target.Quote("orders") + " VALUES (11, 99)");
  }
}

}  // namespace
}  // namespace quill
