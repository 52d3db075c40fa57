#include "shell/data_source_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
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
#include "fixtures/odbc_data_sources.h"
#include "fixtures/script_loaders.h"
#include "fixtures/test_database.h"
#include "fixtures/test_servers.h"
#include "platform/jet/writer/jet_database.h"
#include "platform/jet/writer/value_conversion.h"
#include "shell/main_window.h"
#include "shell/script_view.h"
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
  void CompleteSetup(const QString& rows, QString* shown_name, QString* shown_rows, bool accept = true,
                     QString* shown_database = nullptr) {
    OnNextModal([=](QWidget& setup) {
      EXPECT_EQ(setup.objectName(), "DriverSetup");
      if (shown_name) *shown_name = FindIn<QLineEdit>(setup, "EditName")->text();
      if (shown_database) *shown_database = FindIn<QLineEdit>(setup, "EditDatabase")->text();
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
  QString shown_database = "not shown";
  OnNextModal([&](QWidget& window) {
    auto* grid = FindIn<QTableWidget>(window, "StringGrid1");
    grid->setCurrentCell(0, 0);  // SQLite3
    FindIn<QLineEdit>(window, "Edit1")->setText("New Source");
    CompleteSetup("Database = /tmp/new.db\n\nTimeout=500\n", &shown_name, &shown_rows, true, &shown_database);
    FindIn<QPushButton>(window, "Button2")->click();
    EXPECT_EQ(FindIn<QLineEdit>(window, "Edit1")->text(), "");
    EXPECT_TRUE(window.isVisible());
    window.close();
  });
  Dialog().ShowOdbc();

  EXPECT_EQ(shown_name, "New Source");
  EXPECT_EQ(shown_database, "") << "the attribute the driver needs, empty";
  EXPECT_EQ(shown_rows, "");
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
      {"bad attribute", "Bad Row", "[Sales Data] = x\nDriver = /bin/sh", true},
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
  QString shown_database;
  // Looked at first, before the setup window is completed.
  QWidget* owner_while_open = nullptr;
  QTimer::singleShot(0, &modal_context_, [&] { owner_while_open = Dialog().setup_window().parentWidget(); });
  CompleteSetup("Database = /tmp/moved.db", &shown_name, &shown_rows, true, &shown_database);
  ConfigureSource(Window(), Dialog().setup_window(), "Sales Data");
  // Over the main window while open; the add window's again afterwards.
  EXPECT_EQ(owner_while_open, &Window());
  EXPECT_EQ(Dialog().setup_window().parentWidget(), &Dialog());
  EXPECT_EQ(shown_name, "Sales Data");
  EXPECT_EQ(shown_database, "/tmp/sales.db") << "the driver's attribute in its field";
  EXPECT_EQ(shown_rows, "");
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
    ConfigureSelectedSource(Window(), Dialog().setup_window());
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

namespace quill {
namespace {

using testing::QueryRow;
using testing::TestDatabase;

std::optional<std::string> Text(const char* text) { return std::string(text); }

// The same file under another name.
std::string CopyOf(const std::filesystem::path& file, const std::filesystem::path& copy) {
  std::filesystem::copy_file(file, copy, std::filesystem::copy_options::overwrite_existing);
  return copy.string();
}

// An Access file of the program's own writer: one table with a key, a text
// column with accented letters, a double and a Null.
std::string WriteShopMdb(const std::filesystem::path& path) {
  jet::JetDatabase database(path.string(), jet::JetVersion::kJet4);
  jet::JetTable& table = database.AddTable(
      "customers", {jet::MakeColumn("id", jet::JetType::kLongInteger), jet::MakeColumn("name", jet::JetType::kText, 40),
                    jet::MakeColumn("amount", jet::JetType::kDouble)});
  database.AddPrimaryKey(table, "PrimaryKey", "id");
  const std::vector<std::vector<jet::Variant>> rows = {{int64_t{1}, std::string("Ann"), 1.5},
                                                       {int64_t{2}, std::string("Zoë Ångström"), -2.25},
                                                       {int64_t{3}, jet::Null(), 0.0}};
  for (const auto& row : rows) {
    std::vector<jet::CellValue> cells;
    for (size_t i = 0; i < row.size(); ++i)
      cells.push_back(jet::ConvertValue(row[i], table.columns[i], database.format()));
    database.AddRow(table, std::move(cells));
  }
  database.Close();
  return path.string();
}

class SourceWindowsTest : public DataSourceDialogTest {
 protected:
  SourceWindowsTest() { testing::InstallMdbToolsDriver(); }

  // Adds a source as a user does: the driver chosen in the list, the name
  // typed, the setup window completed by `complete`, then Create.
  void AddSource(const QString& driver, const QString& name, std::function<void(QWidget&)> complete) {
    OnNextModal([=, this](QWidget& window) {
      auto* grid = FindIn<QTableWidget>(window, "StringGrid1");
      for (int row = 0; row < grid->rowCount(); ++row)
        if (grid->item(row, 0)->text() == driver) grid->setCurrentCell(row, 0);
      EXPECT_EQ(grid->item(grid->currentRow(), 0)->text(), driver);
      FindIn<QLineEdit>(window, "Edit1")->setText(name);
      OnNextModal(complete);
      FindIn<QPushButton>(window, "Button2")->click();
      window.close();
    });
    Dialog().ShowOdbc();
  }

  // Lists the source's tables in the tree and scripts each one as PostgreSQL.
  std::vector<std::pair<QString, QString>> ScriptEveryTable(const QString& source_name) {
    std::vector<std::pair<QString, QString>> scripts;
    Window().QuietRebuildSources();
    QTreeWidgetItem* source = SourceNode(source_name);
    if (source == nullptr) {
      ADD_FAILURE() << "no source " << source_name.toStdString();
      return scripts;
    }
    Window().ActivateNode(source);
    for (int i = 0; i < source->childCount(); ++i) {
      const int tabs = Window().TabCount();
      Window().ActivateNode(source->child(i));
      if (Window().TabCount() != tabs + 1) {
        ADD_FAILURE() << "no script for " << source->child(i)->text(0).toStdString();
        continue;
      }
      scripts.emplace_back(source->child(i)->text(0), Window().ScriptEditor(tabs)->PlainText());
    }
    return scripts;
  }
};

// An Access file, an Access 2007 file, an Excel workbook and a folder of text
// files, each added in the Add Source window with Debian's MDBTools driver
// (the file in Database, chosen with the file browser), are read by the
// program's own readers: every table listed, scripted whole and loaded into
// PostgreSQL, holds the file's values.
TEST_F(SourceWindowsTest, AccessExcelAndTextSourcesAddedInTheWindowsAreReadWhole) {
  const std::filesystem::path files = folder_.path() / "files";
  std::filesystem::create_directories(files / "texts");
  const std::string mdb = WriteShopMdb(files / "shop.mdb");
  const std::string accdb = CopyOf(mdb, files / "shop.accdb");
  const std::string xls = CopyOf(QUILL_SOURCE_DIR "/tests/platform/jet/data/workbook.xls", files / "book.xls");
  std::ofstream(files / "texts" / "clients.csv") << "id;name\r\n1;Ann\r\n2;Zoë\r\n";
  const std::string texts = (files / "texts").string();

  struct Table {
    const char* listed;
    std::string query;  // on the loaded script
    std::vector<QueryRow> rows;
  };
  // Text columns come as CHAR(n), blank-padded.
  const std::vector<Table> shop = {{"customers",
                                    "SELECT id, rtrim(name), amount FROM customers ORDER BY id",
                                    {{Text("1"), Text("Ann"), Text("1.5")},
                                     {Text("2"), Text("Zoë Ångström"), Text("-2.25")},
                                     {Text("3"), std::nullopt, Text("0")}}}};
  struct Case {
    const char* name;
    std::string database;
    bool browse_folder;
    std::vector<Table> tables;
  };
  const Case cases[] = {
      {"Shop Access", mdb, false, shop},
      {"Shop Access 2007", accdb, false, shop},
      {"Book Excel",
       xls,
       false,
       {{"Clients", "SELECT id, rtrim(name), note, rtrim(mixed) FROM clients ORDER BY id",
         {{Text("1"), Text("Zoë Ångström"), Text("short"), Text("7")},
          {Text("2.5"), Text("O'Brien \"Ltd\""), Text(std::string(300, 'x').c_str()), Text("seven")},
          {Text("3"), std::nullopt, std::nullopt, std::nullopt}}},
        {"Price List", "SELECT rtrim(item), f2 FROM \"price list\"", {{Text("pen"), Text("1.25")}}}}},
      {"Client Texts",
       texts,
       true,
       {{"clients.csv",
         "SELECT rtrim(id), rtrim(name) FROM clients ORDER BY 1",
         {{Text("1"), Text("Ann")}, {Text("2"), Text("Zoë")}}}}},
  };
  Window().findChild<QCheckBox*>("CheckBox1")->setChecked(false);  // whole tables
  Window().SelectDialect(static_cast<int>(TargetDialect::PostgreSql));
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    QStringList shown_fields;
    AddSource(testing::kMdbToolsDriver, test.name, [&](QWidget& setup) {
      for (QLineEdit* edit : setup.findChildren<QLineEdit*>())
        if (edit->isVisibleTo(&setup) && edit->objectName() != "EditName") shown_fields << edit->objectName();
      if (test.browse_folder) dialogs_.AnswerFolder(QString::fromStdString(test.database));
      else dialogs_.AnswerOpenFile(QString::fromStdString(test.database));
      FindIn<QPushButton>(setup, test.browse_folder ? "ButtonBrowseFolder" : "ButtonBrowse")->click();
      EXPECT_EQ(FindIn<QLineEdit>(setup, "EditDatabase")->text().toStdString(), test.database);
      FindIn<QPushButton>(setup, "ButtonOk")->click();
    });
    EXPECT_EQ(shown_fields, QStringList{"EditDatabase"});
    EXPECT_EQ(LastMessage(), "Data Source Name Created.");
    EXPECT_EQ(ReadSourceAttributes(test.name), (SourceAttributes{{"Database", test.database}}));

    const auto scripts = ScriptEveryTable(test.name);
    ASSERT_EQ(scripts.size(), test.tables.size());
    TestDatabase target = TestDatabase::Postgres();
    for (size_t i = 0; i < scripts.size(); ++i) {
      EXPECT_EQ(scripts[i].first, test.tables[i].listed);
      const std::string script = scripts[i].second.toStdString();
      const testing::ScriptRun load = testing::RunPsqlScript(target, script);
      ASSERT_TRUE(load.succeeded) << load.output << "\n--- script ---\n" << script;
      EXPECT_EQ(target.Query(test.tables[i].query), test.tables[i].rows) << test.tables[i].listed;
    }
  }
  for (const testing::ShownMessage& message : dialogs_.messages())
    EXPECT_NE(message.icon, MessageIcon::Error) << message.text.toStdString();
}

}  // namespace
}  // namespace quill

namespace quill {
namespace {

// The controls of the setup window shown for a driver.
QStringList ShownControls(QWidget& setup) {
  QStringList names;
  for (QWidget* control : setup.findChildren<QWidget*>()) {
    const QString name = control->objectName();
    const bool field = name.startsWith("Edit") && name != "EditName";
    if ((field || name.startsWith("ButtonBrowse")) && control->isVisibleTo(&setup)) names << name;
  }
  names.sort();
  return names;
}

// Each driver Debian ships gets the fields its own dialog would ask for; the
// source's attributes fill them, the others stay key = value rows, and what
// is entered comes back as the source's attributes.
TEST_F(SourceWindowsTest, TheSetupWindowHasTheFieldsOfItsDriver) {
  struct Case {
    const char* driver;
    SourceAttributes attributes;
    QStringList controls;
    std::vector<std::pair<const char*, QString>> fields;
    QString rows;
  };
  const Case cases[] = {
      {testing::kPostgresDriver,
       {{"servername", "db.example"}, {"Port", "5433"}, {"Database", "shop"}, {"Username", "ann"},
        {"Password", "s;cret"}, {"BoolsAsChar", "0"}},
       {"EditDatabase", "EditPassword", "EditPort", "EditServer", "EditUser"},
       {{"EditServer", "db.example"}, {"EditPort", "5433"}, {"EditUser", "ann"}, {"EditPassword", "s;cret"}},
       "BoolsAsChar = 0\n"},
      {testing::kMariaDbDriver,
       {{"SERVER", "127.0.0.1"}, {"PORT", "3306"}, {"DATABASE", "shop"}, {"USER", "max"}, {"PASSWORD", "pw"}},
       {"EditDatabase", "EditPassword", "EditPort", "EditServer", "EditUser"},
       {{"EditServer", "127.0.0.1"}, {"EditDatabase", "shop"}, {"EditPassword", "pw"}},
       ""},
      {testing::kSqliteDriver, {{"Database", "/tmp/a.db"}, {"Timeout", "500"}}, {"ButtonBrowse", "EditDatabase"},
       {{"EditDatabase", "/tmp/a.db"}}, "Timeout = 500\n"},
      {testing::kMdbToolsDriver, {{"Database", "/tmp/a.mdb"}},
       {"ButtonBrowse", "ButtonBrowseFolder", "EditDatabase"}, {{"EditDatabase", "/tmp/a.mdb"}}, ""},
      {"No Library", {{"Anything", "at all"}}, {}, {}, "Anything = at all\n"},
  };
  std::ofstream(OdbcFile("odbcinst.ini"), std::ios::app) << "\n[No Library]\nDescription=nothing\n";
  DriverSetupWindow& setup = Dialog().setup_window();
  for (const Case& test : cases) {
    SCOPED_TRACE(test.driver);
    setup.Prepare(test.driver, "A Source", false, test.attributes);
    EXPECT_EQ(ShownControls(setup), test.controls);
    for (const auto& [name, text] : test.fields) EXPECT_EQ(FindIn<QLineEdit>(setup, name)->text(), text) << name;
    EXPECT_EQ(FindIn<QPlainTextEdit>(setup, "MemoAttributes")->toPlainText(), test.rows);
    EXPECT_EQ(FindIn<QLineEdit>(setup, "EditPassword")->echoMode(), QLineEdit::Password);
    EXPECT_TRUE(setup.windowTitle().endsWith(QString(" - ") + test.driver));
    // Nothing changed: the same attributes come back, field names as the
    // driver spells them.
    SourceAttributes expected = test.attributes;
    if (expected[0].first == "servername") expected[0].first = "Servername";
    const std::optional<SourceAttributes> entered = setup.EnteredAttributes();
    ASSERT_TRUE(entered.has_value());
    EXPECT_EQ(*entered, expected);
  }
  // A field emptied is no attribute; a row naming a field's attribute wins.
  setup.Prepare(testing::kPostgresDriver, "A Source", false, {{"Servername", "h"}, {"Port", "1"}});
  FindIn<QLineEdit>(setup, "EditPort")->clear();
  FindIn<QPlainTextEdit>(setup, "MemoAttributes")->setPlainText("SERVERNAME = other\nSSLmode = disable");
  EXPECT_EQ(setup.EnteredAttributes(), (SourceAttributes{{"Servername", "other"}, {"SSLmode", "disable"}}));
  EXPECT_TRUE(dialogs_.messages().empty());
}

// A row without "=" is no attribute: OK and Test Connection refuse it with a
// message that names it, and the window stays open until it is mended.
TEST_F(SourceWindowsTest, ARowWithoutEqualsIsRefusedWithAMessage) {
  struct Case {
    const char* rows;
    std::optional<QString> refused_line;  // nothing: accepted
    SourceAttributes attributes;
  };
  const Case cases[] = {
      {"Servername 127.0.0.1", "Servername 127.0.0.1", {}},
      {"Port = 1\n  Database  \nUser = u", "Database", {}},
      // Lines that end in a lone CR are lines too.
      {"Servername=127.0.0.1\rPort = 45731\rDatabase = shop",
       std::nullopt,
       {{"Servername", "127.0.0.1"}, {"Port", "45731"}, {"Database", "shop"}}},
      {"ConnSettings = SET a=1\r\n\r\nEmpty =", std::nullopt, {{"ConnSettings", "SET a=1"}, {"Empty", ""}}},
  };
  DriverSetupWindow& setup = Dialog().setup_window();
  for (const Case& test : cases) {
    SCOPED_TRACE(test.rows);
    testing::ScriptedDialogs dialogs;
    SourceAttributes attributes;
    std::string name = "Rows";
    bool stayed_open = false;
    OnNextModal([&](QWidget& window) {
      FindIn<QPlainTextEdit>(window, "MemoAttributes")->setPlainText(test.rows);
      FindIn<QPushButton>(window, "ButtonTest")->click();
      FindIn<QPushButton>(window, "ButtonOk")->click();
      stayed_open = window.isVisible();
      if (stayed_open) window.close();
    });
    const bool accepted = setup.EditSource("Unknown Driver", name, false, attributes);
    EXPECT_EQ(accepted, !test.refused_line.has_value());
    EXPECT_EQ(stayed_open, test.refused_line.has_value());
    if (test.refused_line) {
      ASSERT_EQ(dialogs.messages().size(), 2u) << "Test Connection and OK";
      for (const testing::ShownMessage& message : dialogs.messages()) {
        EXPECT_EQ(message.text, "This attribute line has no \"=\" :\n" + *test.refused_line);
        EXPECT_EQ(message.icon, MessageIcon::Warning);
        EXPECT_EQ(message.parent, &setup);
      }
    } else {
      EXPECT_EQ(attributes, test.attributes);
    }
  }
}

// A missing or damaged file, or a server that does not answer: Test
// Connection and connecting show the driver's or reader's own message, which
// names the file or the server, and the program goes on.
TEST_F(SourceWindowsTest, TestConnectionAndConnectingShowWhatTheDriverOrReaderSays) {
  const std::filesystem::path files = folder_.path() / "files";
  std::filesystem::create_directories(files);
  TestDatabase sqlite = TestDatabase::Sqlite();
  sqlite.Execute("CREATE TABLE kept (id INTEGER)");
  const std::string sqlite_file = ReadSourceAttributes(sqlite.Dsn())[0].second;
  const std::string mdb = WriteShopMdb(files / "shop.mdb");
  const std::string missing = (files / "gone" / "missing.mdb").string();
  for (const char* damaged : {"damaged.mdb", "damaged.xls", "damaged.sqlite"})
    std::ofstream(files / damaged) << std::string(4096, 'Z');
  TestDatabase postgres = TestDatabase::Postgres();
  postgres.Execute("CREATE TABLE kept (id integer)");
  const std::string closed_port = std::to_string(testing::ClosedLoopbackPort());

  struct Case {
    const char* what;
    const char* driver;
    SourceAttributes attributes;
    std::vector<std::string> said;  // empty: the source opens
    bool jet_off = false;           // "Do not use Jet Provider"
    // A server's database is no file: its message names none.
    std::vector<std::string> unsaid = {};
  };
  SourceAttributes unknown_database = ReadSourceAttributes(postgres.Dsn());
  for (auto& [key, value] : unknown_database)
    if (key == "Database") value = "no_such_shop";
  const Case cases[] = {
      {"SQLite file", testing::kSqliteDriver, {{"Database", sqlite_file}}, {}},
      {"missing SQLite file", testing::kSqliteDriver, {{"Database", (files / "gone.sqlite").string()}},
       {(files / "gone.sqlite").string(), "does not exist"}},
      {"damaged SQLite file", testing::kSqliteDriver, {{"Database", (files / "damaged.sqlite").string()}},
       {(files / "damaged.sqlite").string(), "not a database"}},
      {"Access file", testing::kMdbToolsDriver, {{"Database", mdb}}, {}},
      {"missing Access file", testing::kMdbToolsDriver, {{"Database", missing}}, {"Could not find file '" + missing}},
      {"damaged Access file", testing::kMdbToolsDriver, {{"Database", (files / "damaged.mdb").string()}},
       {(files / "damaged.mdb").string()}},
      {"damaged workbook", testing::kMdbToolsDriver, {{"Database", (files / "damaged.xls").string()}},
       {(files / "damaged.xls").string()}},
      {"PostgreSQL server", testing::kPostgresDriver, ReadSourceAttributes(postgres.Dsn()), {}},
      {"PostgreSQL server that does not answer", testing::kPostgresDriver,
       {{"Servername", "127.0.0.1"}, {"Port", closed_port}, {"Database", "shop"}},
       {"127.0.0.1", closed_port},
       false,
       {"(file:"}},
      {"PostgreSQL server without the database", testing::kPostgresDriver, unknown_database, {"no_such_shop"}, false,
       {"(file:"}},
      {"MariaDB server that does not answer", testing::kMariaDbDriver,
       {{"SERVER", "127.0.0.1"}, {"PORT", closed_port}, {"DATABASE", "shop"}},
       {"127.0.0.1"},
       false,
       {"(file:"}},
      // Through the MDBTools driver itself, whose message has no state.
      {"MDBTools driver without a file", testing::kMdbToolsDriver, {}, {"Could not find "}, true},
      {"MDBTools driver on an Access file", testing::kMdbToolsDriver, {{"Database", mdb}}, {}, true},
  };
  DriverSetupWindow& setup = Dialog().setup_window();
  int number = 0;
  for (const Case& test : cases) {
    SCOPED_TRACE(test.what);
    const QString name = "Trial " + QString::number(++number);
    settings_.jet_eng = test.jet_off;
    // Test Connection, with the values entered and nothing written yet.
    testing::ScriptedDialogs tried;
    setup.Prepare(test.driver, name.toStdString(), false, test.attributes);
    FindIn<QPushButton>(setup, "ButtonTest")->click();
    ASSERT_EQ(tried.messages().size(), 1u);
    const testing::ShownMessage& answer = tried.messages()[0];
    EXPECT_EQ(answer.parent, &setup);
    if (test.said.empty()) {
      EXPECT_EQ(answer.text, "Connection successful.");
      EXPECT_EQ(answer.icon, MessageIcon::Information);
    } else {
      EXPECT_EQ(answer.icon, MessageIcon::Error);
      for (const std::string& part : test.said)
        EXPECT_NE(answer.text.toStdString().find(part), std::string::npos) << answer.text.toStdString();
      for (const std::string& part : test.unsaid)
        EXPECT_EQ(answer.text.toStdString().find(part), std::string::npos) << answer.text.toStdString();
    }

    // Connecting to the source once it is written says the same.
    testing::ScriptedDialogs connected;
    testing::RegisterSystemDsn(name.toStdString(), test.driver, test.attributes);
    Window().QuietRebuildSources();
    const bool retry_offered = !test.said.empty() && !test.jet_off;
    if (retry_offered) connected.AnswerQuestion(MessageAnswer::No);  // no retry without Jet
    Window().RunGuarded([&] { Window().ActivateNode(SourceNode(name)); });
    if (test.said.empty()) {
      EXPECT_TRUE(connected.messages().empty());
    } else {
      ASSERT_EQ(connected.messages().size(), retry_offered ? 2u : 1u);
      EXPECT_EQ(connected.messages()[0].icon, MessageIcon::Error);
      for (const std::string& part : test.said) {
        EXPECT_NE(connected.messages()[0].text.toStdString().find(part), std::string::npos)
            << connected.messages()[0].text.toStdString();
      }
      for (const std::string& part : test.unsaid) {
        EXPECT_EQ(connected.messages()[0].text.toStdString().find(part), std::string::npos)
            << connected.messages()[0].text.toStdString();
      }
    }
    testing::RemoveSystemDsn(name.toStdString());
  }
  // The program goes on: a good source still lists its tables.
  settings_.jet_eng = false;
  Window().QuietRebuildSources();
  Window().ActivateNode(SourceNode(QString::fromStdString(sqlite.Dsn())));
  ASSERT_EQ(SourceNode(QString::fromStdString(sqlite.Dsn()))->childCount(), 1);
  EXPECT_EQ(SourceNode(QString::fromStdString(sqlite.Dsn()))->child(0)->text(0), "kept");
}

}  // namespace
}  // namespace quill
