#include "shell/data_source_dialog.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTreeWidget>

#include "shell/dialog_presenter.h"
#include "shell/main_window.h"
#include "shell/tree_nodes.h"
#include "sources/dsn_login_store.h"
#include "sources/registryaccess.h"

namespace quill {
namespace {

constexpr int kNoDriversDx = 200;
constexpr int kNoDriversDy = 60;

QPushButton* AddButton(QWidget* parent, const char* object_name, const char* text, const QRect& geometry) {
  auto* button = new QPushButton(text, parent);
  button->setObjectName(object_name);
  button->setGeometry(geometry);
  return button;
}

// The tree's selected node when it is a data source.
QTreeWidgetItem* SelectedSource(MainWindow& main_window) {
  QTreeWidgetItem* node = main_window.tree()->currentItem();
  return node != nullptr && NodeLevel(node) == 1 ? node : nullptr;
}

}  // namespace

// --- the driver's setup dialog ----------------------------------------------

DriverSetupWindow::DriverSetupWindow(QWidget* parent) : QDialog(parent) {
  setObjectName("DriverSetup");
  setWindowTitle("ODBC Data Source Setup");
  setFixedSize(320, 260);

  auto* name_label = new QLabel("Data Source Name :", this);
  name_label->setObjectName("LabelName");
  name_label->setGeometry(8, 8, 304, 16);
  name_edit_ = new QLineEdit(this);
  name_edit_->setObjectName("EditName");
  name_edit_->setGeometry(8, 26, 304, 21);
  auto* rows_label = new QLabel("Attributes (key = value) :", this);
  rows_label->setObjectName("LabelAttributes");
  rows_label->setGeometry(8, 54, 304, 16);
  attribute_rows_ = new QPlainTextEdit(this);
  attribute_rows_->setObjectName("MemoAttributes");
  attribute_rows_->setLineWrapMode(QPlainTextEdit::NoWrap);
  attribute_rows_->setGeometry(8, 72, 304, 146);
  connect(AddButton(this, "ButtonOk", "OK", QRect(152, 226, 76, 25)), &QPushButton::clicked, this, &QDialog::accept);
  connect(AddButton(this, "ButtonCancel", "Cancel", QRect(236, 226, 76, 25)), &QPushButton::clicked, this,
          &QDialog::reject);
}

bool DriverSetupWindow::EditSource(const std::string& driver, std::string& name, bool name_fixed,
                                   SourceAttributes& attributes) {
  setWindowTitle("ODBC Data Source Setup - " + QString::fromStdString(driver));
  name_edit_->setText(QString::fromStdString(name));
  name_edit_->setReadOnly(name_fixed);
  QString rows;
  for (const auto& [key, value] : attributes) rows += QString::fromStdString(key + " = " + value) + "\n";
  attribute_rows_->setPlainText(rows);
  if (exec() != QDialog::Accepted) return false;
  if (!name_fixed) name = name_edit_->text().toStdString();
  attributes = ParseAttributeRows(attribute_rows_->toPlainText());
  return true;
}

SourceAttributes ParseAttributeRows(const QString& text) {
  SourceAttributes attributes;
  for (const QString& line : text.split('\n')) {
    if (line.trimmed().isEmpty()) continue;
    const qsizetype equals = line.indexOf('=');
    const QString key = (equals < 0 ? line : line.left(equals)).trimmed();
    const QString value = equals < 0 ? QString() : line.mid(equals + 1).trimmed();
    attributes.emplace_back(key.toStdString(), value.toStdString());
  }
  return attributes;
}

// --- "Add System Data Source Name" --------------------------------------------

DataSourceDialog::DataSourceDialog(MainWindow& main_window) : QDialog(&main_window), main_window_(main_window) {
  setObjectName("Form11");
  setWindowTitle("Add System Data Source Name");
  setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);
  setFixedSize(355, 309);
  setup_window_ = new DriverSetupWindow(this);

  auto* driver_label = new QLabel("ODBC Driver :", this);
  driver_label->setObjectName("Label1");
  driver_label->setGeometry(8, 8, 339, 16);
  grid_ = new QTableWidget(0, 2, this);
  grid_->setObjectName("StringGrid1");
  grid_->setGeometry(8, 26, 339, 150);
  grid_->setHorizontalHeaderLabels({"Name", "Version"});
  grid_->verticalHeader()->hide();
  grid_->verticalHeader()->setDefaultSectionSize(17);
  grid_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  grid_->setShowGrid(false);
  grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
  grid_->setSelectionMode(QAbstractItemView::SingleSelection);
  grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  connect(grid_, &QTableWidget::cellDoubleClicked, this, [this] { CreateSource(); });

  auto* name_label = new QLabel("Data Source Name :", this);
  name_label->setObjectName("Label2");
  name_label->setGeometry(8, 184, 339, 16);
  name_edit_ = new QLineEdit(this);
  name_edit_->setObjectName("Edit1");
  name_edit_->setGeometry(8, 202, 339, 21);

  auto* note = new QLabel(
      "Note : If your specific source database ODBC driver is not listed here it means that it is not installed on "
      "your system. See your source database information locally or on the web on how to install the right ODBC "
      "driver.",
      this);
  note->setObjectName("Label5");
  note->setWordWrap(true);
  note->setGeometry(8, 228, 339, 44);

  connect(AddButton(this, "Button2", "Create", QRect(188, 278, 76, 25)), &QPushButton::clicked, this,
          [this] { CreateSource(); });
  connect(AddButton(this, "Button3", "Close", QRect(271, 278, 76, 25)), &QPushButton::clicked, this,
          &QDialog::close);
}

bool DataSourceDialog::FillDriverList() {
  std::vector<std::string> drivers;
  if (!OdbcDriverList(drivers)) {
    main_window_.ShowPlacedMessage(main_window_.messages().msg_no_odbc.toStdString(), kNoDriversDx, kNoDriversDy);
    return false;
  }
  if (drivers.empty()) {
    main_window_.ShowMessageBox(main_window_.messages().msg_no_odbc.toStdString(), MessageIcon::Warning,
                                MessageButtons::Ok);
    return false;
  }
  grid_->setRowCount(static_cast<int>(drivers.size()));
  grid_->setColumnWidth(0, 230);
  grid_->setColumnWidth(1, 85);
  for (int row = 0; row < grid_->rowCount(); ++row) {
    const std::string& driver = drivers[static_cast<size_t>(row)];
    grid_->setItem(row, 0, new QTableWidgetItem(QString::fromStdString(driver)));
    std::string library;
    // A driver whose library cannot be read keeps the version cell it had.
    if (!ReadRegString(RegistryRoot::LocalMachine, "SOFTWARE\\ODBC\\ODBCINST.INI\\" + driver + "\\Driver", library))
      continue;
    grid_->setItem(row, 1, new QTableWidgetItem(QString::fromStdString(GetFileVersionString(library))));
  }
  grid_->setCurrentCell(0, 0);
  return true;
}

void DataSourceDialog::ShowOdbc() {
  if (!FillDriverList()) return;
  exec();
}

void DataSourceDialog::showEvent(QShowEvent* event) {
  const QRect main = main_window_.frameGeometry();
  move(main.left() + main.width() / 2 - 144, main.top() + main.height() / 2 - 112);
  QDialog::showEvent(event);
}

void DataSourceDialog::CreateSource() {
  const QTableWidgetItem* driver_cell = grid_->item(grid_->currentRow(), 0);
  if (driver_cell == nullptr) return;
  if (!ConfigDataSource(*setup_window_, driver_cell->text().toStdString(), name_edit_->text().toStdString())) return;
  name_edit_->clear();
  main_window_.RefreshSources();
  // Owned by this window, which stays on top: the box must open above it.
  DialogPresenter::Current().ShowMessage(this, kProductName, messages_.data_source_created, MessageIcon::Information,
                                         MessageButtons::Ok, false, std::nullopt);
}

// --- the source commands --------------------------------------------------------

void ConfigureSource(MainWindow& main_window, const QString& source_name) {
  const std::string name = source_name.toStdString();
  DriverSetupWindow setup_window(&main_window);
  // The answer is not looked at; the tree is not refreshed.
  ConfigSystemDataSource(&setup_window, InstallerRequest::ConfigSystemDsn, DsnDriverName(name),
                         DsnAttributeList(name));
}

void DeleteSource(MainWindow& main_window, DsnLoginStore& logins, const QString& source_name) {
  if (main_window.ShowMessageBox(main_window.messages().msg_are_you_sure.toStdString(), MessageIcon::Warning,
                                 MessageButtons::YesNo) != MessageAnswer::Yes)
    return;
  const std::string name = source_name.toStdString();
  if (RemoveSystemDSN(logins, DsnDriverName(name), name)) {
    main_window.RefreshSources();
    main_window.ShowMessageBox(main_window.messages().msg_deleted.toStdString(), MessageIcon::Information,
                               MessageButtons::Ok);
  } else {
    main_window.ShowMessageBox(main_window.messages().msg_cannot_delete.toStdString(), MessageIcon::Warning,
                               MessageButtons::Ok);
  }
}

void ConfigureSelectedSource(MainWindow& main_window) {
  if (QTreeWidgetItem* source = SelectedSource(main_window)) ConfigureSource(main_window, source->text(0));
}

void DeleteSelectedSource(MainWindow& main_window, DsnLoginStore& logins) {
  if (QTreeWidgetItem* source = SelectedSource(main_window)) DeleteSource(main_window, logins, source->text(0));
}

bool RunOdbcAdministrator(MainWindow& main_window) {
  const QString program = QStandardPaths::findExecutable(kOdbcAdministratorProgram);
  if (!program.isEmpty() && QProcess::startDetached(program, {})) return true;
  main_window.ShowMessageBox(kNoOdbcAdministrator.toStdString(), MessageIcon::Warning, MessageButtons::Ok);
  return false;
}

}  // namespace quill
