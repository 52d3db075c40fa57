#include "shell/data_source_dialog.h"

#include <QHeaderView>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "shell/designed_size.h"
#include "shell/dialog_presenter.h"
#include "shell/main_window.h"
#include "shell/tree_nodes.h"
#include "sources/dsn_login_store.h"
#include "sources/registryaccess.h"

namespace quill {
namespace {

constexpr int kNoDriversDx = 200;
constexpr int kNoDriversDy = 60;

// The tree's selected node when it is a data source.
QTreeWidgetItem* SelectedSource(MainWindow& main_window) {
  QTreeWidgetItem* node = main_window.tree()->currentItem();
  return node != nullptr && NodeLevel(node) == 1 ? node : nullptr;
}

// The width the widest text of a grid's column needs, with the cell's margins.
int WidestCell(const QTableWidget& grid, int column) {
  const int margins = 2 * (grid.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &grid) + 1) + 4;
  int widest = 0;
  for (int row = 0; row < grid.rowCount(); ++row) {
    if (const QTableWidgetItem* cell = grid.item(row, column))
      widest = std::max(widest, grid.fontMetrics().horizontalAdvance(cell->text()) + margins);
  }
  return widest;
}

}  // namespace

// --- "Add System Data Source Name" --------------------------------------------

DataSourceDialog::DataSourceDialog(MainWindow& main_window) : QDialog(&main_window), main_window_(main_window) {
  setObjectName("Form11");
  setWindowTitle("Add System Data Source Name");
  setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);
  setup_window_ = new DriverSetupWindow(this, &main_window.settings());

  auto* driver_label = new QLabel("ODBC Driver :");
  driver_label->setObjectName("Label1");
  grid_ = new QTableWidget(0, 2);
  grid_->setObjectName("StringGrid1");
  grid_->setMinimumSize(339, 150);
  grid_->setHorizontalHeaderLabels({"Name", "Version"});
  grid_->verticalHeader()->hide();
  grid_->verticalHeader()->setDefaultSectionSize(17);
  grid_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  grid_->setShowGrid(false);
  grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
  grid_->setSelectionMode(QAbstractItemView::SingleSelection);
  grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  connect(grid_, &QTableWidget::cellDoubleClicked, this, [this] { CreateSource(); });

  auto* name_label = new QLabel("Data Source Name :");
  name_label->setObjectName("Label2");
  name_edit_ = new QLineEdit;
  name_edit_->setObjectName("Edit1");

  auto* note = new QLabel(
      "Note : If your specific source database ODBC driver is not listed here it means that it is not installed on "
      "your system. See your source database information locally or on the web on how to install the right ODBC "
      "driver.");
  note->setObjectName("Label5");
  note->setWordWrap(true);

  auto* create = new QPushButton("Create");
  create->setObjectName("Button2");
  connect(create, &QPushButton::clicked, this, [this] { CreateSource(); });
  auto* close_button = new QPushButton("Close");
  close_button->setObjectName("Button3");
  connect(close_button, &QPushButton::clicked, this, &QDialog::close);

  // The designed column of controls; the window is as large as they need,
  // at least the designed 355 wide.
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(8, 8, 8, 8);
  for (QWidget* widget : std::initializer_list<QWidget*>{driver_label, grid_, name_label, name_edit_, note})
    column->addWidget(widget);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(create);
  buttons->addWidget(close_button);
  column->addLayout(buttons);
  FitDesignedSize(this, QSize(355, 309), true);
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
  for (int row = 0; row < grid_->rowCount(); ++row) {
    const std::string& driver = drivers[static_cast<size_t>(row)];
    grid_->setItem(row, 0, new QTableWidgetItem(QString::fromStdString(driver)));
    std::string library;
    // A driver whose library cannot be read keeps the version cell it had.
    if (!ReadRegString(RegistryRoot::LocalMachine, "SOFTWARE\\ODBC\\ODBCINST.INI\\" + driver + "\\Driver", library))
      continue;
    grid_->setItem(row, 1, new QTableWidgetItem(QString::fromStdString(GetFileVersionString(library))));
  }
  // The designed 230 and 85 pixels, wider where a name or a version needs
  // more; the grid, and the window with it, as wide as its columns.
  const int designed_widths[] = {230, 85};
  int columns_width = 0;
  for (int column = 0; column < 2; ++column) {
    grid_->setColumnWidth(column, std::max({designed_widths[column], WidestCell(*grid_, column),
                                            grid_->horizontalHeader()->sectionSizeHint(column)}));
    columns_width += grid_->columnWidth(column);
  }
  grid_->setMinimumWidth(std::max(339, columns_width + 2 * grid_->frameWidth() +
                                           grid_->verticalScrollBar()->sizeHint().width() + 2));
  grid_->setCurrentCell(0, 0);
  return true;
}

void DataSourceDialog::ShowOdbc() {
  if (!FillDriverList()) return;
  exec();
}

void DataSourceDialog::showEvent(QShowEvent* event) {
  FitDesignedSize(this, QSize(355, 309), true);
  const QRect main = main_window_.frameGeometry();
  PlaceWindowFrame(this, QPoint(main.left() + main.width() / 2 - 144, main.top() + main.height() / 2 - 112));
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

namespace {

// The setup window belongs to the add window, where a language reaches it;
// while a source is configured from the main window it is lent to the main
// window, so that it opens over it and not over the hidden add window.
class LentSetupWindow {
 public:
  LentSetupWindow(DriverSetupWindow& setup_window, QWidget& borrower)
      : setup_window_(setup_window), owner_(setup_window.parentWidget()), flags_(setup_window.windowFlags()) {
    setup_window_.setParent(&borrower, flags_);
  }
  ~LentSetupWindow() { setup_window_.setParent(owner_, flags_); }
  LentSetupWindow(const LentSetupWindow&) = delete;
  LentSetupWindow& operator=(const LentSetupWindow&) = delete;

 private:
  DriverSetupWindow& setup_window_;
  QWidget* owner_;
  Qt::WindowFlags flags_;
};

}  // namespace

void ConfigureSource(MainWindow& main_window, DriverSetupWindow& setup_window, const QString& source_name) {
  const LentSetupWindow lent(setup_window, main_window);
  const std::string name = source_name.toStdString();
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

void ConfigureSelectedSource(MainWindow& main_window, DriverSetupWindow& setup_window) {
  if (QTreeWidgetItem* source = SelectedSource(main_window)) {
    ConfigureSource(main_window, setup_window, source->text(0));
  }
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
