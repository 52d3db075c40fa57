#include "shell/data_source_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QTreeWidget>
#include <filesystem>
#include <fstream>
#include <functional>

#include "fixtures/odbc_configuration.h"
#include "options_dialogs_fixture.h"
#include "shell/tree_nodes.h"
#include "sources/registryaccess.h"

namespace quill {
namespace {

std::vector<std::string> Sources() {
  std::vector<std::string> names;
  SystemDsnList(names);
  return names;
}

std::string OdbcFile(const char* name) { return testing::OdbcConfigurationFolder() + "/" + name; }

class DataSourceDialogTest : public testing::OptionsDialogsTest {
 protected:
  DataSourceDialogTest() {
    std::ofstream(OdbcFile("odbc.ini"), std::ios::trunc)
        << "[Sales Data]\nDriver=SQLite3\nDatabase=/tmp/sales.db\n\n[No Driver]\nDatabase=/tmp/none.db\n";
    Window().QuietRebuildSources();
  }

  DataSourceDialog& Dialog() {
    if (!dialog_) dialog_ = std::make_unique<DataSourceDialog>(Window());
    return *dialog_;
  }

  // Runs action on the next modal window once its loop runs; a modal window
  // that opens while the test expects none is closed and fails the test.
  void OnNextModal(std::function<void(QWidget&)> action) {
    QTimer::singleShot(0, &modal_context_, [action] {
      QWidget* modal = QApplication::activeModalWidget();
      ASSERT_NE(modal, nullptr);
      action(*modal);
    });
  }
  void ExpectNoModal() {
    QTimer::singleShot(0, &modal_context_, [] {
      if (QWidget* modal = QApplication::activeModalWidget()) {
        ADD_FAILURE() << "unexpected window " << modal->objectName().toStdString();
        modal->close();
      }
    });
  }

  // The setup window as a user completes it: the rows typed, then OK.
  void CompleteSetup(const QString& rows, QString* shown_name, QString* shown_rows, bool accept = true) {
    OnNextModal([=](QWidget& setup) {
      EXPECT_EQ(setup.objectName(), "DriverSetup");
      if (shown_name) *shown_name = FindIn<QLineEdit>(setup, "EditName")->text();
      if (shown_rows) *shown_rows = FindIn<QPlainTextEdit>(setup, "MemoAttributes")->toPlainText();
      FindIn<QPlainTextEdit>(setup, "MemoAttributes")->setPlainText(rows);
      FindIn<QPushButton>(setup, accept ? "ButtonOk" : "ButtonCancel")->click();
    });
  }

  QStringList TreeSources() {
    QStringList names;
    QTreeWidgetItem* root = Window().tree()->topLevelItem(0);
    for (int i = 0; i < root->childCount(); ++i) names.append(root->child(i)->text(0));
    return names;
  }

  QTreeWidgetItem* SourceNode(const QString& name) {
    QTreeWidgetItem* root = Window().tree()->topLevelItem(0);
    for (int i = 0; i < root->childCount(); ++i)
      if (root->child(i)->text(0) == name) return root->child(i);
    return nullptr;
  }

  QObject modal_context_;
  std::unique_ptr<DataSourceDialog> dialog_;
};

// The package's version as dpkg reports it, without its epoch.
QString InstalledVersion(const char* package) {
  QProcess query;
  query.start("dpkg-query", {"-W", "-f=${Version}", package});
  query.waitForFinished();
  QString version = QString::fromUtf8(query.readAllStandardOutput());
  return version.mid(version.indexOf(':') + 1);
}

TEST_F(DataSourceDialogTest, ListsEveryDriverWithTheVersionOfItsLibrary) {
  std::ofstream(OdbcFile("odbcinst.ini"), std::ios::app) << "\n[No Library]\nDescription=nothing\n";
  std::vector<std::vector<QString>> cells;
  QPoint position;
  OnNextModal([&](QWidget& window) {
    EXPECT_EQ(window.objectName(), "Form11");
    EXPECT_EQ(window.windowTitle(), "Add System Data Source Name");
    position = window.pos();
    auto* grid = FindIn<QTableWidget>(window, "StringGrid1");
    EXPECT_EQ(grid->horizontalHeaderItem(0)->text(), "Name");
    EXPECT_EQ(grid->horizontalHeaderItem(1)->text(), "Version");
    // The designed widths, wider where a text needs more.
    EXPECT_GE(grid->columnWidth(0), 230);
    EXPECT_GE(grid->columnWidth(1), 85);
    EXPECT_EQ(grid->currentRow(), 0);
    for (int row = 0; row < grid->rowCount(); ++row) {
      const QTableWidgetItem* version = grid->item(row, 1);
      cells.push_back({grid->item(row, 0)->text(), version ? version->text() : QString()});
      for (int column = 0; column < 2; ++column) {
        const QTableWidgetItem* cell = grid->item(row, column);
        if (cell == nullptr) continue;
        EXPECT_GE(grid->columnWidth(column), grid->fontMetrics().horizontalAdvance(cell->text()) + 6)
            << cell->text().toStdString();
      }
    }
    // Both columns lie inside the grid, next to each other.
    EXPECT_LE(grid->columnWidth(0) + grid->columnWidth(1), grid->viewport()->width());
    FindIn<QPushButton>(window, "Button3")->click();
  });
  Dialog().ShowOdbc();
  // Each driver shows the version of the Debian package that installed it.
  const std::vector<std::vector<QString>> expected = {{"SQLite3", InstalledVersion("libsqliteodbc")},
                                                      {"PostgreSQL Unicode", InstalledVersion("odbc-postgresql")},
                                                      {"MariaDB Unicode", InstalledVersion("odbc-mariadb")},
                                                      {"No Library", ""}};
  for (const auto& row : expected) EXPECT_FALSE(row[0] != "No Library" && row[1].isEmpty()) << row[0].toStdString();
  EXPECT_EQ(cells, expected);
  const QRect main = Window().frameGeometry();
  EXPECT_EQ(position, QPoint(main.left() + main.width() / 2 - 144, main.top() + main.height() / 2 - 112));
  EXPECT_TRUE(dialogs_.messages().empty());
}

TEST_F(DataSourceDialogTest, WithoutDriversTheWindowStaysHidden) {
  struct Case {
    const char* what;
    bool file_exists;
    MessageIcon icon;
    bool placed;
  };
  const Case cases[] = {
      {"no driver configuration", false, MessageIcon::None, true},
      {"no driver in it", true, MessageIcon::Warning, false},
  };
  for (const Case& test : cases) {
    testing::ScriptedDialogs dialogs;
    std::filesystem::remove(OdbcFile("odbcinst.ini"));
    if (test.file_exists) std::ofstream(OdbcFile("odbcinst.ini")) << "[ODBC]\nTrace=No\n";
    ExpectNoModal();
    Dialog().ShowOdbc();
    ASSERT_EQ(dialogs.messages().size(), 1u) << test.what;
    EXPECT_EQ(dialogs.messages()[0].text, "No ODBC Drivers found !") << test.what;
    EXPECT_EQ(dialogs.messages()[0].title, "Quillmarsh");
    EXPECT_EQ(dialogs.messages()[0].icon, test.icon) << test.what;
    EXPECT_EQ(dialogs.messages()[0].top_left.has_value(), test.placed) << test.what;
    if (test.placed) {
      const QRect main = Window().frameGeometry();
      EXPECT_EQ(*dialogs.messages()[0].top_left,
                QPoint(main.left() + main.width() / 2 - 200, main.top() + main.height() / 2 - 60));
    }
  }
}

TEST_F(DataSourceDialogTest, CreatingASourceThroughTheSetupDialogListsItAtOnce) {
  QString shown_name;
  QString shown_rows;
  OnNextModal([&](QWidget& window) {
    auto* grid = FindIn<QTableWidget>(window, "StringGrid1");
    grid->setCurrentCell(0, 0);  // SQLite3
    FindIn<QLineEdit>(window, "Edit1")->setText("New Source");
    CompleteSetup("Database = /tmp/new.db\n\nTimeout=500\n", &shown_name, &shown_rows);
    FindIn<QPushButton>(window, "Button2")->click();
    EXPECT_EQ(FindIn<QLineEdit>(window, "Edit1")->text(), "");
    EXPECT_TRUE(window.isVisible());
    window.close();
  });
  Dialog().ShowOdbc();

  EXPECT_EQ(shown_name, "New Source");
  EXPECT_EQ(shown_rows, "Database = \n") << "the attribute the driver needs, empty";
  EXPECT_EQ(Sources(), (std::vector<std::string>{"Sales Data", "No Driver", "New Source"}));
  EXPECT_EQ(ReadSourceAttributes("New Source"), (SourceAttributes{{"Database", "/tmp/new.db"}, {"Timeout", "500"}}));
  EXPECT_EQ(DsnDriverName("New Source"), "SQLite3");
  EXPECT_EQ(TreeSources(), (QStringList{"Sales Data", "No Driver", "New Source"}));
  ASSERT_EQ(dialogs_.messages().size(), 1u);
  EXPECT_EQ(dialogs_.messages()[0].text, "Data Source Name Created.");
  // Above the add-source window, which stays on top of the others.
  EXPECT_EQ(dialogs_.messages()[0].parent, &Dialog());
  EXPECT_EQ(dialogs_.messages()[0].icon, MessageIcon::Information);
  EXPECT_EQ(dialogs_.messages()[0].title, "Quillmarsh");
}

TEST_F(DataSourceDialogTest, ACancelledOrRefusedCreationShowsNothing) {
  struct Case {
    const char* what;
    const char* name;
    const char* rows;
    bool accept;
  };
  const Case cases[] = {
      {"cancelled", "Cancelled", "Database = /tmp/x.db", false},
      {"bad attribute", "Bad Row", "[Sales Data]\nDriver = /bin/sh", true},
  };
  for (const Case& test : cases) {
    OnNextModal([&](QWidget& window) {
      FindIn<QLineEdit>(window, "Edit1")->setText(test.name);
      CompleteSetup(test.rows, nullptr, nullptr, test.accept);
      FindIn<QPushButton>(window, "Button2")->click();
      EXPECT_EQ(FindIn<QLineEdit>(window, "Edit1")->text(), test.name) << test.what;
      window.close();
    });
    Dialog().ShowOdbc();
    EXPECT_EQ(Sources(), (std::vector<std::string>{"Sales Data", "No Driver"})) << test.what;
  }
  EXPECT_TRUE(dialogs_.messages().empty());
}

TEST_F(DataSourceDialogTest, ConfiguringOpensTheSetupDialogOnTheSource) {
  QString shown_name;
  QString shown_rows;
  CompleteSetup("Database = /tmp/moved.db", &shown_name, &shown_rows);
  ConfigureSource(Window(), "Sales Data");
  EXPECT_EQ(shown_name, "Sales Data");
  EXPECT_EQ(shown_rows, "Database = /tmp/sales.db\n");
  EXPECT_EQ(ReadSourceAttributes("Sales Data"), (SourceAttributes{{"Database", "/tmp/moved.db"}}));
  EXPECT_TRUE(dialogs_.messages().empty());
}

TEST_F(DataSourceDialogTest, RemovingAsksFirstAndAlwaysForgetsTheLogin) {
  logins_->AssignLogin("Sales Data", {"sa", "secret"}, true);
  logins_->AssignLogin("No Driver", {"nd", "secret"}, true);
  const std::filesystem::path keys = folder_.path() / "pssw";

  dialogs_.AnswerQuestion(MessageAnswer::No);
  DeleteSource(Window(), *logins_, "Sales Data");
  EXPECT_EQ(Sources(), (std::vector<std::string>{"Sales Data", "No Driver"}));
  EXPECT_EQ(logins_->GetPssw("Sales Data").user_name, "sa");
  ASSERT_EQ(dialogs_.messages().size(), 1u);
  EXPECT_EQ(dialogs_.messages()[0].text, "Are you sure you want to remove this Data Source Name ?");
  EXPECT_EQ(dialogs_.messages()[0].icon, MessageIcon::Warning);
  EXPECT_EQ(dialogs_.messages()[0].buttons, MessageButtons::YesNo);

  dialogs_.AnswerQuestion(MessageAnswer::Yes);
  DeleteSource(Window(), *logins_, "Sales Data");
  EXPECT_EQ(Sources(), (std::vector<std::string>{"No Driver"}));
  EXPECT_EQ(TreeSources(), (QStringList{"No Driver"}));
  EXPECT_EQ(logins_->GetPssw("Sales Data").user_name, "");
  EXPECT_FALSE(std::filesystem::exists(keys / "Sales Data.key"));
  EXPECT_EQ(dialogs_.messages().back().text, "DSN deleted.");
  EXPECT_EQ(dialogs_.messages().back().icon, MessageIcon::Information);

  // Without a driver the installer refuses; the login goes all the same.
  dialogs_.AnswerQuestion(MessageAnswer::Yes);
  DeleteSource(Window(), *logins_, "No Driver");
  EXPECT_EQ(Sources(), (std::vector<std::string>{"No Driver"}));
  EXPECT_EQ(logins_->GetPssw("No Driver").user_name, "");
  EXPECT_FALSE(std::filesystem::exists(keys / "No Driver.key"));
  EXPECT_EQ(dialogs_.messages().back().text, "Cannot delete DSN.");
  EXPECT_EQ(dialogs_.messages().back().icon, MessageIcon::Warning);
}

TEST_F(DataSourceDialogTest, ToolButtonsActOnlyOnASelectedSource) {
  QTreeWidgetItem* table = new QTreeWidgetItem(SourceNode("Sales Data"), QStringList("people"));
  SetNodeImage(table, kTableImage, kTableImage);
  for (QTreeWidgetItem* selected : {static_cast<QTreeWidgetItem*>(nullptr), table, Window().tree()->topLevelItem(0)}) {
    Window().tree()->setCurrentItem(selected);
    ExpectNoModal();
    ConfigureSelectedSource(Window());
    DeleteSelectedSource(Window(), *logins_);
  }
  EXPECT_TRUE(dialogs_.messages().empty());

  Window().tree()->setCurrentItem(SourceNode("Sales Data"));
  dialogs_.AnswerQuestion(MessageAnswer::Yes);
  DeleteSelectedSource(Window(), *logins_);
  EXPECT_EQ(Sources(), (std::vector<std::string>{"No Driver"}));
}

TEST_F(DataSourceDialogTest, TheAdministratorIsStartedWhenInstalledAndMissedOtherwise) {
  const std::filesystem::path bin = folder_.path() / "bin";
  std::filesystem::create_directory(bin);
  const QByteArray old_path = qgetenv("PATH");
  qputenv("PATH", QByteArray::fromStdString(bin.string()));
  EXPECT_FALSE(RunOdbcAdministrator(Window()));
  ASSERT_EQ(dialogs_.messages().size(), 1u);
  EXPECT_EQ(dialogs_.messages()[0].text, "No ODBC administrator is installed on this system.");
  EXPECT_EQ(dialogs_.messages()[0].icon, MessageIcon::Warning);

  const std::filesystem::path marker = folder_.path() / "started";
  const std::filesystem::path program = bin / "ODBCManageDataSourcesQ5";
  std::ofstream(program) << "#!/bin/sh\n: > '" << marker.string() << "'\n";
  std::filesystem::permissions(program, std::filesystem::perms::owner_all);
  EXPECT_TRUE(RunOdbcAdministrator(Window()));
  qputenv("PATH", old_path);
  EXPECT_EQ(dialogs_.messages().size(), 1u);
  // The program is not waited for; wait here until it has run.
  while (!std::filesystem::exists(marker)) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
}

}  // namespace
}  // namespace quill
