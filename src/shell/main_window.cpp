#include "shell/main_window.h"

#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QUrl>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QGuiApplication>
#include <QScreen>
#include <QScrollBar>
#include <QTabBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QThread>
#include <QTimer>
#include <QHBoxLayout>
#include <QToolButton>
#include <QTreeWidget>
#include <QWindowStateChangeEvent>

#include "common/silent_abort.h"
#include "shell/designed_size.h"
#include "shell/dialog_presenter.h"
#include "shell/escape_poll.h"
#include "shell/status_bar_display.h"
#include "shell/foreign_key_designer.h"
#include "shell/help_page.h"
#include "shell/image_list.h"
#include "shell/options_dialog.h"
#include "shell/script_view.h"
#include "shell/table_selection_dialog.h"
#include "sources/dsn_login_store.h"
#include "sources/source_session.h"

namespace quill {
namespace {

constexpr int kDesignedClientWidth = 678;
constexpr int kDesignedClientHeight = 522;
constexpr int kDesignedLeft = 370;
constexpr int kMinimumWidth = 570;
constexpr int kDesignedLeftWidth = 217;
constexpr int kDesignedLogButtonWidth = 39;
constexpr int kDesignedCheckHeight = 17;
constexpr int kMostIntroGrowth = 80;
constexpr int kDesignedSummaryHeight = 97;
constexpr int kDesignedTop = 157;
constexpr int kMinimumBarTop = 250;
constexpr int kDesignedBarTop = 392;
constexpr int kLeastBarPos = 100;  // the drag's lowest bar, above the bottom
constexpr int kStatusBarHeight = 25;

QAction* AddItem(QMenu* menu, const QString& object_name, const QString& text,
                 const QKeySequence& shortcut = QKeySequence()) {
  QAction* action = menu->addAction(text);
  action->setObjectName(object_name);
  if (!shortcut.isEmpty()) action->setShortcut(shortcut);
  return action;
}

// The width a tool button takes in the given style.
int WidthInStyle(const QToolButton& button, Qt::ToolButtonStyle style) {
  QToolButton probe;
  probe.setFont(button.font());
  probe.setIconSize(button.iconSize());
  probe.setIcon(button.icon());
  probe.setText(button.text());
  probe.setAutoRaise(button.autoRaise());
  probe.setToolButtonStyle(style);
  return probe.sizeHint().width();
}

// How often, and how many times, a shown window is looked at while the
// window manager frames and places it.
constexpr int kFrameLookInterval = 50;
constexpr int kFrameLooks = 80;

}  // namespace

MainWindow::MainWindow(std::string program_folder, Settings& settings)
    : program_folder_(std::move(program_folder)), settings_(settings), escape_poll_(std::make_unique<EscapePoll>()) {
  setObjectName("Form1");
  setWindowTitle(kProductName);
  setCursor(Qt::PointingHandCursor);
  setMinimumSize(kMinimumWidth, 404);
  BuildMenus();
  BuildCentralArea();
  BuildToolBar();
  BuildStatusBar();
  resize(kDesignedClientWidth, kDesignedClientHeight + menuBar()->sizeHint().height());
  move(kDesignedLeft, kDesignedTop);
  GrowForToolBarTexts();
  FitToolBar();
  frame_watch_ = new QTimer(this);
  frame_watch_->setInterval(kFrameLookInterval);
  connect(frame_watch_, &QTimer::timeout, this, [this] { WatchForFrame(); });
  // A text that changes (a language) may need the designed places to grow.
  central_->installEventFilter(this);

  // The commands that need a script or a source wait for one.
  SetScriptCommandsEnabled(false);
  config_button_->setEnabled(false);
  delete_button_->setEnabled(false);
  generate_button_->setEnabled(false);
  summary_->setPlainText(messages_.intro_text);
}

MainWindow::~MainWindow() = default;

void MainWindow::SetLoginStore(DsnLoginStore* logins) {
  logins_ = logins;
  session_ = std::make_unique<SourceSession>(settings_, *logins_, *this);
}

SourceSession& MainWindow::session() {
  if (!session_) {
    own_logins_ = std::make_unique<DsnLoginStore>(program_folder_, *this);
    SetLoginStore(own_logins_.get());
  }
  // The connection question speaks the window's current language.
  session_->messages().msg_conn_prbl = messages_.msg_conn_prbl.toStdString();
  return *session_;
}

void MainWindow::BuildMenus() {
  QMenuBar* bar = menuBar();

  QMenu* file = bar->addMenu("File");
  file->setObjectName("File1");
  save_as_ = AddItem(file, "Save1", "Save As", QKeySequence("Ctrl+S"));
  connect(save_as_, &QAction::triggered, this, [this] { RunCommand([this] { SaveCurrentScript(); }); });
  QAction* exit = AddItem(file, "Exit1", "Exit", QKeySequence("Ctrl+E"));
  // Exit ends the loop at once: the close handler does not run, nothing is saved.
  connect(exit, &QAction::triggered, this, [] { QApplication::exit(0); });

  QMenu* edit = bar->addMenu("Edit");
  edit->setObjectName("Edit1");
  replace_ = AddItem(edit, "Replace1", "Replace", QKeySequence("Ctrl+R"));
  replace_->setEnabled(false);
  select_all_ = AddItem(edit, "SelectAll1", "Select All", QKeySequence("Ctrl+A"));
  connect(select_all_, &QAction::triggered, this, [this] {
    if (ScriptView* editor = ScriptEditor(tabs_->currentIndex())) {
      editor->setFocus();
      editor->SelectAll();
    }
  });
  copy_ = AddItem(edit, "CopytoClipboard1", "Copy", QKeySequence("Ctrl+C"));
  connect(copy_, &QAction::triggered, this, [this] {
    if (ScriptView* editor = ScriptEditor(tabs_->currentIndex())) {
      editor->setFocus();
      editor->Copy();
    }
  });

  QMenu* connection = bar->addMenu("Connection");
  connection->setObjectName("Connection1");
  QAction* refresh = AddItem(connection, "Reconnect1", "Refresh Sources");
  connect(refresh, &QAction::triggered, this, [this] { RunCommand([this] { RefreshSources(); }); });
  connection->addSeparator();
  AddItem(connection, "ODBC1", "ODBC - Add System Sources")->setEnabled(false);
  AddItem(connection, "ODBCAdministration1", "ODBC - Administration")->setEnabled(false);

  QMenu* options = bar->addMenu("Options");
  options->setObjectName("Options1");
  QMenu* output = options->addMenu("SQL Ouput");
  output->setObjectName("Ouput1");
  dialect_group_ = new QActionGroup(this);
  const char* dialect_names[] = {"MySql1", "MSSQL1", "Oracle1", "Pervasive1", "PostG1"};
  const char* dialect_texts[] = {"MySql", "MS SQL", "Oracle", "Pervasive", "PostgreSQL"};
  for (int i = 0; i < 5; ++i) {
    QAction* item = AddItem(output, dialect_names[i], dialect_texts[i]);
    item->setCheckable(true);
    dialect_group_->addAction(item);
    dialect_items_.push_back(item);
    connect(item, &QAction::triggered, this, [this, i] { SelectDialect(i); });
  }
  QMenu* content = options->addMenu("SQL Content");
  content->setObjectName("Content1");
  content_group_ = new QActionGroup(this);
  const char* content_names[] = {"TableandData1", "Tableonly1", "DataOnly1"};
  const char* content_texts[] = {"Table and Data", "Table Only", "Data Only"};
  for (int i = 0; i < 3; ++i) {
    QAction* item = AddItem(content, content_names[i], content_texts[i]);
    item->setCheckable(true);
    content_group_->addAction(item);
    content_items_.push_back(item);
    connect(item, &QAction::triggered, this, [this, i] { SelectContent(i); });
  }
  QMenu* drop = options->addMenu("Drop Table");
  drop->setObjectName("DropTable1");
  drop_group_ = new QActionGroup(this);
  drop_on_ = AddItem(drop, "On1", "On");
  drop_off_ = AddItem(drop, "Off1", "Off");
  for (QAction* item : {drop_on_, drop_off_}) {
    item->setCheckable(true);
    drop_group_->addAction(item);
  }
  connect(drop_on_, &QAction::triggered, this, [this] { SelectDrop(true); });
  connect(drop_off_, &QAction::triggered, this, [this] { SelectDrop(false); });
  QAction* login = AddItem(options, "Login1", "Login");
  connect(login, &QAction::triggered, this, [this] { RunCommand([this] { ShowOptionsDialog(1); }); });
  QAction* font = AddItem(options, "Font1", "Font");
  connect(font, &QAction::triggered, this, [this] { RunCommand([this] { ChooseScriptFont(); }); });
  QAction* more_options = AddItem(options, "Options2", "More Options");
  connect(more_options, &QAction::triggered, this, [this] { RunCommand([this] { ShowOptionsDialog(-1); }); });

  QMenu* help = bar->addMenu("Help");
  help->setObjectName("Help1");
  QAction* help_file = AddItem(help, "Help2", "Help");
  connect(help_file, &QAction::triggered, this, [this] { ShowHelpPage(); });
  help->addSeparator();
  AddItem(help, "About1", "About")->setEnabled(false);

  QMenu* language = bar->addMenu("Language");
  language->setObjectName("Language1");
  AddItem(language, "Engilshdefault1", "English (default)")->setEnabled(false);
  AddItem(language, "Franais1", QString::fromUtf8("Français"))->setEnabled(false);

  QAction* update = bar->addAction("Check for update");
  update->setObjectName("Checkforupdate1");
  update->setEnabled(false);
}

void MainWindow::BuildCentralArea() {
  central_ = new QWidget(this);
  central_->setObjectName("ClientArea");
  setCentralWidget(central_);

  tree_ = new QTreeWidget(central_);
  tree_->setObjectName("TreeView1");
  tree_->setHeaderHidden(true);
  tree_->setRootIsDecorated(false);
  tree_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  tree_->setContextMenuPolicy(Qt::CustomContextMenu);
  tree_->setMouseTracking(true);
  // The double click lists a source and expands it; the tree's own toggle
  // would collapse it again.
  tree_->setExpandsOnDoubleClick(false);
  tree_->setGeometry(8, 30, 217, 177);
  connect(tree_, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* node) { ApplySelectionRule(node); });
  connect(tree_, &QTreeWidget::itemDoubleClicked, this,
          [this](QTreeWidgetItem* node) { RunCommand([this, node] { ActivateNode(node); }); });
  connect(tree_, &QTreeWidget::customContextMenuRequested, this, [this](const QPoint& at) { ShowTreeMenu(at); });

  jet_check_ = new QCheckBox("Do not use Jet Provider", central_);
  jet_check_->setObjectName("CheckBox2");
  jet_check_->setToolTip(
      "If your tables cannot be listed you can disable the OLEDB Jet Provider. (Primary Key info may be lost)");
  jet_check_->setGeometry(8, 220, 217, 17);
  connect(jet_check_, &QCheckBox::toggled, this, [this](bool checked) { settings_.jet_eng = checked; });

  debug_check_ = new QCheckBox("Debug mode  (Get only 5 rows)", central_);
  debug_check_->setObjectName("CheckBox1");
  debug_check_->setGeometry(8, 236, 217, 17);
  debug_check_->setChecked(true);
  settings_.debug_mode = true;
  connect(debug_check_, &QCheckBox::toggled, this, [this](bool checked) { settings_.debug_mode = checked; });

  summary_ = new QPlainTextEdit(central_);
  summary_->setObjectName("Memo2");
  summary_->setReadOnly(true);
  summary_->setGeometry(8, 256, 217, 97);
  QPalette tip = summary_->palette();
  tip.setColor(QPalette::Base, QColor(255, 255, 225));
  summary_->setPalette(tip);

  tabs_ = new QTabBar(central_);
  tabs_->setObjectName("TabControl1");
  tabs_->setGeometry(232, 30, 356, 30);
  tabs_->setExpanding(false);
  connect(tabs_, &QTabBar::currentChanged, this, [this](int) { ShowCurrentTab(); });

  close_tab_image_ = new QLabel(QString::fromUtf8("✕"), central_);
  close_tab_image_->setObjectName("Image1");
  close_tab_image_->setGeometry(593, 36, 14, 22);
  close_tab_image_->setToolTip("Close");
  close_tab_image_->hide();
  close_tab_image_->installEventFilter(this);

  script_panel_ = new QWidget(central_);
  script_panel_->setObjectName("Panel2");
  script_panel_->setGeometry(232, 60, 377, 325);

  welcome_panel_ = new QWidget(central_);
  welcome_panel_->setObjectName("Bevel2");
  welcome_panel_->setAutoFillBackground(true);
  QPalette white = welcome_panel_->palette();
  white.setColor(QPalette::Window, Qt::white);
  welcome_panel_->setPalette(white);
  welcome_panel_->setGeometry(230, 30, 378, 358);

  splitter_bar_ = new QWidget(central_);
  splitter_bar_->setObjectName("Panel1");
  splitter_bar_->setCursor(Qt::SplitVCursor);
  splitter_bar_->setGeometry(8, kDesignedBarTop, 601, 7);
  splitter_bar_->setMouseTracking(true);
  splitter_bar_->installEventFilter(this);

  log_ = new QTextEdit(central_);
  log_->setObjectName("Memo1");
  log_->setReadOnly(true);
  log_->setAcceptRichText(false);
  log_->setLineWrapMode(QTextEdit::NoWrap);
  log_->setGeometry(8, 408, 553, 60);

  clear_button_ = new QPushButton("Clear", central_);
  clear_button_->setObjectName("Button1");
  connect(clear_button_, &QPushButton::clicked, log_, &QTextEdit::clear);
  save_log_button_ = new QPushButton("Save", central_);
  save_log_button_->setObjectName("Button2");
  connect(save_log_button_, &QPushButton::clicked, this, [this] { RunCommand([this] { SaveLog(); }); });

  source_menu_ = new QMenu(this);
  source_menu_->setObjectName("PopupMenu1");
  QAction* list_tables = AddItem(source_menu_, "ListTables1", "List Tables");
  connect(list_tables, &QAction::triggered, this, [this] {
    RunCommand([this] { ListTablesOfSource(tree_->currentItem(), false); });
  });
  QAction* generate = AddItem(source_menu_, "BatchConversion1", "Generate SQL");
  connect(generate, &QAction::triggered, this, [this] {
    RunCommand([this] {
      if (tree_->currentItem() == nullptr) throw SilentAbort();
      RunGenerateScript(tree_->currentItem()->text(0), QString());
    });
  });
  QMenu* export_menu = source_menu_->addMenu("Export to File (Beta)");
  export_menu->setObjectName("Exportto1");
  connect(AddItem(export_menu, "AccessFile2", "Access MDB File"), &QAction::triggered, this,
          [this] { RunCommand([this] { ExportToAccess(); }); });
  connect(AddItem(export_menu, "CSVFile1", "Excel CSV File"), &QAction::triggered, this,
          [this] { RunCommand([this] { ExportToCsv(); }); });
  connect(AddItem(export_menu, "XMLFile1", "MS XML File"), &QAction::triggered, this,
          [this] { RunCommand([this] { ExportToXml(); }); });
  AddItem(source_menu_, "Configure1", "Configure")->setEnabled(false);
  QAction* password = AddItem(source_menu_, "Password1", "Password");
  connect(password, &QAction::triggered, this, [this] { RunCommand([this] { ShowOptionsDialog(1); }); });
  AddItem(source_menu_, "DeleteSource1", "Delete")->setEnabled(false);

  root_menu_ = new QMenu(this);
  root_menu_->setObjectName("PopupMenu2");
  QAction* root_refresh = AddItem(root_menu_, "Refresh1", "Refresh");
  connect(root_refresh, &QAction::triggered, this, [this] { RunCommand([this] { RefreshSources(); }); });
  AddItem(root_menu_, "AddRemSystemSources1", "Add System Sources")->setEnabled(false);
}

void MainWindow::BuildToolBar() {
  // A plain row rather than a QToolBar, which would fold controls that do
  // not fit into an extension menu.
  auto* tool_bar = new QWidget(central_);
  tool_bar->setObjectName("ToolBar1");
  tool_bar->setGeometry(0, 0, kDesignedClientWidth, 30);
  auto* row = new QHBoxLayout(tool_bar);
  row->setContentsMargins(2, 2, 2, 2);
  row->setSpacing(2);

  auto add_button = [&](const QString& object_name, const QString& text, int image) {
    auto* button = new QToolButton(tool_bar);
    button->setObjectName(object_name);
    button->setText(text);
    button->setIcon(ImageListIcon(image));
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setToolTip(text);
    button->setAutoRaise(true);
    row->addWidget(button);
    return button;
  };
  save_button_ = add_button("ToolButton1", "Save Script", kImageSaveScript);
  connect(save_button_, &QToolButton::clicked, this, [this] { RunCommand([this] { SaveCurrentScript(); }); });
  add_button_ = add_button("ToolButton3", "Add Source", kImageAddSource);
  add_button_->setEnabled(false);
  config_button_ = add_button("ToolButton4", "Config Source", kImageConfigSource);
  delete_button_ = add_button("ToolButton5", "Delete Source", kImageDeleteSource);
  generate_button_ = add_button("ToolButton7", "Generate SQL", kImageGenerateSql);
  connect(generate_button_, &QToolButton::clicked, this, [this] { RunCommand([this] { GenerateFromToolbar(); }); });

  dialect_combo_ = new QComboBox(tool_bar);
  dialect_combo_->setObjectName("ComboBox1");
  dialect_combo_->setToolTip("SQL Output");
  dialect_combo_->addItems({"MySql", "MS SQL", "Oracle", "Pervasive", "PostgreSQL"});
  row->addWidget(dialect_combo_);
  connect(dialect_combo_, &QComboBox::activated, this, [this](int index) { SelectDialect(index); });

  content_combo_ = new QComboBox(tool_bar);
  content_combo_->setObjectName("ComboBox2");
  content_combo_->setToolTip("SQL Content");
  content_combo_->addItems({"Table and Data", "Table Only", "Data Only"});
  row->addWidget(content_combo_);
  connect(content_combo_, &QComboBox::activated, this, [this](int index) { SelectContent(index); });

  schema_edit_ = new QLineEdit(tool_bar);
  schema_edit_->setObjectName("Edit2");
  schema_edit_->setToolTip("Destination Schema/Database, aplies only to MySql, MS SQL and Postgres");
  // A real placeholder: whatever is typed, however the box was reached, is the schema.
  schema_edit_->setPlaceholderText("Schema/Database");
  schema_edit_->setMaximumWidth(120);
  row->addWidget(schema_edit_);
  connect(schema_edit_, &QLineEdit::textChanged, this,
          [this](const QString& text) { settings_.ms_schema = text.toStdString(); });

  drop_check_ = new QCheckBox("Drop Table", tool_bar);
  drop_check_->setObjectName("CheckBox3");
  drop_check_->setToolTip("Include or not DROP table clause");
  row->addWidget(drop_check_);
  row->addStretch(1);
  connect(drop_check_, &QCheckBox::clicked, this, [this](bool checked) { SelectDrop(checked); });

  SelectDialect(0);
  SelectContent(0);
  SelectDrop(false);
}

void MainWindow::BuildStatusBar() {
  auto* status_bar = new QWidget(central_);
  status_bar->setObjectName("StatusBar1");
  status_text_ = new QLabel(" Ready", status_bar);
  status_text_->setObjectName("StatusPanel0");
  status_text_->setFrameShape(QFrame::Panel);
  status_text_->setFrameShadow(QFrame::Sunken);
  progress_ = new QProgressBar(status_bar);
  progress_->setObjectName("ProgressBar1");
  progress_->setTextVisible(false);
  progress_->setRange(0, 100);
  progress_->setValue(0);
  status_display_ = std::make_unique<StatusBarDisplay>(*status_text_, *progress_);
  auto* panel2 = new QLabel(status_bar);
  panel2->setObjectName("StatusPanel2");
  panel2->setFrameShape(QFrame::Panel);
  panel2->setFrameShadow(QFrame::Sunken);
}

// How much the designed places grow so that the texts of this system's
// fonts fit: the left column for the check boxes, the log buttons for their
// captions, the two check boxes for their height.
MainWindow::Growth MainWindow::TextGrowth() const {
  Growth growth;
  growth.left_column =
      std::max({0, jet_check_->sizeHint().width() - kDesignedLeftWidth, debug_check_->sizeHint().width() - kDesignedLeftWidth});
  // A welcome text broken into its own lines keeps them whole in the summary
  // panel (a text of one line simply wraps), up to a limit.
  const QStringList intro_lines = messages_.intro_text.split(QRegularExpression("\r?\n"));
  if (intro_lines.size() > 1) {
    int intro_width = 0;
    for (const QString& line : intro_lines)
      intro_width = std::max(intro_width, summary_->fontMetrics().horizontalAdvance(line));
    intro_width += 2 * summary_->frameWidth() + 2 * static_cast<int>(summary_->document()->documentMargin()) +
                   summary_->verticalScrollBar()->sizeHint().width() + 2;
    growth.left_column = std::max(growth.left_column, std::min(intro_width - kDesignedLeftWidth, kMostIntroGrowth));
  }
  // The summary panel grows upwards until the welcome text, wrapped at the
  // panel's width, fits it without scrolling, up to a limit.
  const int inner_width = kDesignedLeftWidth + growth.left_column - 2 * summary_->frameWidth() -
                          2 * static_cast<int>(summary_->document()->documentMargin()) - 4;
  const QString intro = QString(messages_.intro_text).replace("\r\n", "\n");
  const int intro_height = summary_->fontMetrics().boundingRect(QRect(0, 0, inner_width, 100000), Qt::TextWordWrap, intro).height() +
                           2 * summary_->frameWidth() + 2 * static_cast<int>(summary_->document()->documentMargin()) + 2;
  growth.summary_height = std::clamp(intro_height, kDesignedSummaryHeight, kDesignedSummaryHeight + kMostIntroGrowth);
  growth.log_buttons = std::max({0, clear_button_->sizeHint().width() - kDesignedLogButtonWidth,
                                 save_log_button_->sizeHint().width() - kDesignedLogButtonWidth});
  growth.check_height = std::max({kDesignedCheckHeight, jet_check_->sizeHint().height(), debug_check_->sizeHint().height()});
  return growth;
}

// The splitter bar's top decides the vertical layout.
void MainWindow::LayoutForBar(int bar_top) {
  const Growth growth = TextGrowth();
  const int height = central_->height();
  const int p = bar_top;
  const int summary_top = p - 6 - growth.summary_height;
  summary_->setGeometry(summary_->x(), summary_top, summary_->width(), growth.summary_height);
  // The check boxes keep their designed tops while they fit above the summary.
  const int debug_top = std::min(p - 123, summary_top - growth.check_height);
  const int jet_top = std::min(p - 140, debug_top - growth.check_height);
  debug_check_->setGeometry(8, debug_top, kDesignedLeftWidth + growth.left_column, growth.check_height);
  jet_check_->setGeometry(8, jet_top, kDesignedLeftWidth + growth.left_column, growth.check_height);
  tree_->resize(kDesignedLeftWidth + growth.left_column, std::max(0, std::min(p - 173, jet_top - 1 - tree_->y())));
  welcome_panel_->resize(welcome_panel_->width(), std::max(0, p - 37));
  script_panel_->resize(script_panel_->width(), std::max(0, p - 66));
  splitter_bar_->move(8, p);
  log_->setGeometry(log_->x(), p + 15, log_->width(), std::max(0, height - p - 45));
  // The buttons are at least as high as their captions; "Save" then starts below "Clear".
  const int button_height = std::max(clear_button_->sizeHint().height(), (height - p - 50) / 2);
  const int button_width = kDesignedLogButtonWidth + growth.log_buttons;
  clear_button_->setGeometry(clear_button_->x(), p + 15, button_width, button_height);
  save_log_button_->setGeometry(save_log_button_->x(),
                                std::max((height - p - 45) / 2 + p + 15, clear_button_->geometry().bottom() + 3),
                                button_width, button_height);
  for (ScriptView* editor : script_memos_) editor->setGeometry(script_panel_->rect());
}

void MainWindow::LayoutAll() {
  const Growth growth = TextGrowth();
  const int height = central_->height();
  const int width = central_->width();
  // Until the window's own layout has given the client area its size (it is
  // a few pixels high before), the bar's distance from the bottom is kept.
  const bool real_size = central_->geometry().bottom() == rect().bottom();
  // A first bar inside the drag limits: at its designed top where the window
  // is tall enough, else 100 above the bottom, so that the log and its
  // buttons keep the room the drag leaves them.
  if (bar_pos_ <= 0 && real_size) bar_pos_ = std::max(kLeastBarPos, height - kDesignedBarTop);
  int p = height - bar_pos_;
  if (p < kMinimumBarTop) {
    if (real_size) bar_pos_ = kLeastBarPos;
    p = kMinimumBarTop;
  }
  summary_->resize(kDesignedLeftWidth + growth.left_column, summary_->height());
  LayoutForBar(p);
  const int right = growth.left_column;  // the right side moves over by the column's growth
  log_->resize(std::max(0, width - 67 - growth.log_buttons), log_->height());
  clear_button_->move(width - 52 - growth.log_buttons, clear_button_->y());
  save_log_button_->move(width - 52 - growth.log_buttons, save_log_button_->y());
  welcome_panel_->setGeometry(230 + right, welcome_panel_->y(), std::max(0, width - 247 - right),
                              welcome_panel_->height());
  script_panel_->setGeometry(232 + right, script_panel_->y(), std::max(0, width - 247 - right),
                             script_panel_->height());
  close_tab_image_->move(width - 28, close_tab_image_->y());
  tabs_->setGeometry(232 + right, tabs_->y(), std::max(0, width - 270 - right), tabs_->height());
  splitter_bar_->resize(std::max(0, width - 23), splitter_bar_->height());
  for (ScriptView* editor : script_memos_) editor->setGeometry(script_panel_->rect());
  if (auto* tool_bar = central_->findChild<QWidget*>("ToolBar1")) tool_bar->resize(width, 30);
  if (auto* status_bar = central_->findChild<QWidget*>("StatusBar1")) {
    status_bar->setGeometry(0, height - kStatusBarHeight, width, kStatusBarHeight);
    const int panel0 = std::max(0, width - 265);
    status_text_->setGeometry(0, 0, panel0, kStatusBarHeight);
    progress_->setGeometry(panel0 + 2, 3, 240 - 4, kStatusBarHeight - 6);
    // The last panel takes what is left of the bar.
    if (auto* panel2 = status_bar->findChild<QLabel*>("StatusPanel2"))
      panel2->setGeometry(panel0 + 240, 0, std::max(0, width - panel0 - 240), kStatusBarHeight);
  }
}

MainWindow::ToolBarWidths MainWindow::MeasureToolBar() const {
  ToolBarWidths widths;
  const auto* tool_bar = central_->findChild<QWidget*>("ToolBar1");
  if (tool_bar == nullptr) return widths;
  const QList<QToolButton*> buttons = tool_bar->findChildren<QToolButton*>(QString(), Qt::FindDirectChildrenOnly);
  widths.with_texts = widths.pictures_only = tool_bar->sizeHint().width();
  for (const QToolButton* button : buttons) {
    const int now = button->sizeHint().width();
    widths.with_texts += WidthInStyle(*button, Qt::ToolButtonTextBesideIcon) - now;
    widths.pictures_only += WidthInStyle(*button, Qt::ToolButtonIconOnly) - now;
  }
  return widths;
}

QScreen* MainWindow::ScreenShownOn() const {
  QScreen* at_centre = QGuiApplication::screenAt(frameGeometry().center());
  return at_centre != nullptr ? at_centre : screen();
}

// The designed width grows to hold the tool bar's texts where the screen has
// room for them; a size the user saved is kept as it was.
void MainWindow::GrowForToolBarTexts() {
  if (size_from_settings_ || isMaximized()) return;
  const QScreen* shown_on = ScreenShownOn();
  if (shown_on == nullptr) return;
  const int needed = MeasureToolBar().with_texts;
  const int frame = frameGeometry().width() - geometry().width();
  if (width() < needed && needed + frame <= AvailableArea(*shown_on).width()) resize(needed, height());
}

// The tool buttons show their texts where the window holds them, and their
// pictures only (the texts stay as tool tips) where it does not; the window
// is never narrower than the buttons' pictures and the other controls need.
void MainWindow::FitToolBar() {
  auto* tool_bar = central_->findChild<QWidget*>("ToolBar1");
  if (tool_bar == nullptr) return;
  const ToolBarWidths widths = MeasureToolBar();
  const Qt::ToolButtonStyle style =
      widths.with_texts <= width() ? Qt::ToolButtonTextBesideIcon : Qt::ToolButtonIconOnly;
  for (QToolButton* button : tool_bar->findChildren<QToolButton*>(QString(), Qt::FindDirectChildrenOnly)) {
    if (button->toolButtonStyle() != style) button->setToolButtonStyle(style);
  }
  setMinimumWidth(std::max(kMinimumWidth, widths.pictures_only));
}

// Where the window's frame would leave the screen's available area, the
// window is moved onto it, and shrunk where it is larger; a window that
// fits stays exactly where and as large as it is. Before the window manager
// has framed the window its frame is not known: it is fitted again then.
void MainWindow::FitOnScreen() {
  if (isMaximized() || isFullScreen()) return;
  const QScreen* shown_on = ScreenShownOn();
  if (shown_on == nullptr) return;
  const QRect room = AvailableArea(*shown_on);
  const QRect frame = frameGeometry();
  const QSize frame_extra = frame.size() - geometry().size();
  const int fitted_width = std::clamp(width(), minimumWidth(), std::max(minimumWidth(), room.width() - frame_extra.width()));
  const int fitted_height =
      std::clamp(height(), minimumHeight(), std::max(minimumHeight(), room.height() - frame_extra.height()));
  if (fitted_width != width() || fitted_height != height()) resize(fitted_width, fitted_height);
  const QSize frame_size = size() + frame_extra;
  const int left = std::max(room.left(), std::min(frame.left(), room.right() + 1 - frame_size.width()));
  const int top = std::max(room.top(), std::min(frame.top(), room.bottom() + 1 - frame_size.height()));
  if (QPoint(left, top) != frame.topLeft()) PlaceWindowFrame(this, QPoint(left, top));
}

void MainWindow::FitNewTexts() {
  GrowForToolBarTexts();
  FitToolBar();
  LayoutAll();
  if (isVisible()) FitOnScreen();
}

// Fitted again at every look once framed, not only at the first: the frame
// known at the first look may be an early one (the window manager still
// placing it, the texts of a language still widening the window), and a
// fit made then would leave the final frame off the screen. A window that
// fits is left as it is.
void MainWindow::WatchForFrame() {
  ++frame_looks_;
  // A restored window keeps its maximized place until the window system
  // gives it back its normal one: that is what is fitted. Its normal place
  // may be that same place (a saved size larger than the screen): one still
  // there at the last look is fitted as it is.
  const bool last_look = frame_looks_ >= kFrameLooks;
  if (frameGeometry() != geometry() && (geometry() != maximized_place_ || last_look)) FitOnScreen();
  if (frame_looks_ >= kFrameLooks) {
    frame_watch_->stop();
    maximized_place_ = QRect();
  }
}

void MainWindow::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  FitToolBar();
  LayoutAll();
}

void MainWindow::changeEvent(QEvent* event) {
  // Tracks maximize and restore as the system commands do.
  if (event->type() == QEvent::WindowStateChange) {
    if (isMaximized()) maximized_flag_ = true;
    else if (!isMinimized()) maximized_flag_ = false;
    // A window shown maximized first was sized for its normal state before
    // its frame was known; restored, it is fitted again once the window
    // manager has framed and placed it.
    const auto before = static_cast<QWindowStateChangeEvent*>(event)->oldState();
    if (before.testAnyFlags(Qt::WindowMaximized | Qt::WindowFullScreen) && windowState() == Qt::WindowNoState) {
      maximized_place_ = geometry();
      WatchFrameAgain();
    }
  }
  QMainWindow::changeEvent(event);
}

void MainWindow::WatchFrameAgain() {
  frame_looks_ = 0;
  frame_watch_->start();
  // The first look once the events already queued (a new place, a new
  // state) are done with.
  QTimer::singleShot(0, this, [this] { WatchForFrame(); });
}

bool MainWindow::event(QEvent* event) {
  if (event->type() == QEvent::WindowActivate && !escape_poll_->running()) QuietRebuildSources();
  // The screen is known once the window shows, its frame a little later.
  if (event->type() == QEvent::Show) {
    FitOnScreen();
    WatchFrameAgain();
  }
  return QMainWindow::event(event);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == central_ && event->type() == QEvent::LayoutRequest) {
    FitNewTexts();
    return false;
  }
  if (watched == central_) return QMainWindow::eventFilter(watched, event);
  if (watched == close_tab_image_ && event->type() == QEvent::MouseButtonRelease) {
    CloseCurrentTab();
    return true;
  }
  // The bar gets other events too (paint, enter, layout): only mouse events are QMouseEvents.
  const bool mouse_event = event->type() == QEvent::MouseButtonPress ||
                           event->type() == QEvent::MouseButtonRelease || event->type() == QEvent::MouseMove;
  if (watched == splitter_bar_ && mouse_event) {
    auto* mouse = static_cast<QMouseEvent*>(event);
    switch (event->type()) {
      case QEvent::MouseButtonPress:
        if (mouse->button() == Qt::LeftButton) {
          dragging_bar_ = true;
          drag_origin_ = mouse->globalPosition().toPoint() - splitter_bar_->pos();
        }
        return true;
      case QEvent::MouseButtonRelease:
        if (mouse->button() == Qt::LeftButton) dragging_bar_ = false;
        return true;
      case QEvent::MouseMove: {
        const int height = central_->height();
        const int new_top = mouse->globalPosition().toPoint().y() - drag_origin_.y();
        if (dragging_bar_ && new_top >= kMinimumBarTop && new_top <= height - kLeastBarPos) splitter_bar_->move(8, new_top);
        bar_pos_ = height - splitter_bar_->y();
        LayoutForBar(splitter_bar_->y());
        return true;
      }
      default:
        break;
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  SaveWindowSettings();
  event->accept();
}

QPoint MainWindow::PlacedPoint(int dx, int dy) const {
  const QRect frame = frameGeometry();
  return QPoint(frame.left() + frame.width() / 2 - dx, frame.top() + frame.height() / 2 - dy);
}

template <typename Command>
void MainWindow::RunCommand(Command command) {
  try {
    command();
  } catch (const SilentAbort&) {
  } catch (const std::exception& error) {
    ShowApplicationError(error.what());
  }
  // A command may have switched the Jet provider off; the box shows it.
  const QSignalBlocker blocker(jet_check_);
  jet_check_->setChecked(settings_.jet_eng);
}

void MainWindow::RunGuarded(const std::function<void()>& command) { RunCommand(command); }

// --- UserInterface -----------------------------------------------------------

void MainWindow::ShowPlacedMessage(const std::string& text, int dx, int dy) {
  DialogPresenter::Current().ShowMessage(this, kProductName, QString::fromStdString(text), MessageIcon::None,
                                         MessageButtons::Ok, false, PlacedPoint(dx, dy));
}

// A box owned by the main window while one of its dialogs is open would open
// behind that dialog, which then looks frozen: it belongs to the window in
// front when it is asked.
QWidget* MainWindow::FrontWindow() {
  if (QWidget* modal = QApplication::activeModalWidget()) return modal;
  return this;
}

MessageAnswer MainWindow::ShowMessageBox(const std::string& text, MessageIcon icon, MessageButtons buttons,
                                         bool default_is_no) {
  return DialogPresenter::Current().ShowMessage(FrontWindow(), kProductName, QString::fromStdString(text), icon,
                                                buttons, default_is_no, std::nullopt);
}

void MainWindow::ShowErrorDialog(const std::string& text) {
  DialogPresenter::Current().ShowMessage(FrontWindow(), "Error", QString::fromStdString(text), MessageIcon::Error,
                                         MessageButtons::Ok, false, std::nullopt);
}

void MainWindow::ShowApplicationError(const std::string& text) {
  quill::ShowApplicationError(this, QString::fromStdString(text));
}

void MainWindow::AddLogLine(const std::string& text) { AppendLogLine(QString::fromStdString(text), std::nullopt); }

void MainWindow::AddColoredLine(const std::string& text, uint32_t color) {
  // The colour value is the class library's: 0x00BBGGRR.
  AppendLogLine(QString::fromStdString(text), QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF));
}

// The line goes in as plain text, exactly as it stands (ampersands, quotes,
// runs of blanks); only a coloured line gets a colour of its own.
void MainWindow::AppendLogLine(const QString& text, std::optional<QColor> color) {
  QTextCursor cursor(log_->document());
  cursor.movePosition(QTextCursor::End);
  QTextCharFormat format;
  if (color) format.setForeground(*color);
  if (!log_->document()->isEmpty()) cursor.insertBlock(QTextBlockFormat(), format);
  cursor.insertText(text, format);
  log_->setTextCursor(cursor);
  log_->ensureCursorVisible();
}

void MainWindow::SetStatusText(const std::string& text) { status_display_->SetText(QString::fromStdString(text)); }

void MainWindow::SetTabImage(int tab_index, int image_index) {
  tabs_->setTabData(tab_index, image_index);
  tabs_->setTabIcon(tab_index, ImageListIcon(image_index));
}

void MainWindow::SetProgressMinimum(int minimum) { status_display_->SetMinimum(minimum); }
void MainWindow::SetProgressMaximum(int maximum) { status_display_->SetMaximum(maximum); }
void MainWindow::SetProgressPosition(int position) { status_display_->SetPosition(position); }
int MainWindow::ProgressMaximum() const { return status_display_->Maximum(); }
int MainWindow::ProgressPosition() const { return status_display_->Position(); }

bool MainWindow::EscapePressed() { return escape_poll_->Poll(); }

std::string MainWindow::SelectedNodeCaption() const {
  QTreeWidgetItem* node = tree_->currentItem();
  return node != nullptr ? node->text(0).toStdString() : std::string();
}

bool MainWindow::SelectTables(const std::vector<std::string>& listed_tables, const std::string& caption,
                              std::vector<std::string>& chosen_tables) {
  if (table_selection_dialog_ == nullptr) return false;
  return table_selection_dialog_->Run(listed_tables, caption, chosen_tables);
}

bool MainWindow::RunForeignKeyDesigner(const std::vector<std::string>& tables, ForeignKeyScripts& scripts) {
  if (foreign_key_designer_ == nullptr) foreign_key_designer_ = new ForeignKeyDesigner(*this, settings_);
  return foreign_key_designer_->Run(tables, scripts);
}

void MainWindow::Pause(int milliseconds) {
  QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  QThread::msleep(static_cast<unsigned long>(milliseconds));
}

void MainWindow::ShowOptionsDialog(int page) {
  if (options_dialog_ != nullptr) options_dialog_->Open(page);
}

void MainWindow::SyncJetProviderBox() {
  const QSignalBlocker blocker(jet_check_);
  jet_check_->setChecked(settings_.jet_eng);
}

void MainWindow::StatusPause() {
  Pause(300);
  SetStatusText(messages_.status_ready.toStdString());
}

void MainWindow::ShowHelpPage() {
  const QString path = HelpPagePath(QString::fromStdString(program_folder_));
  if (OpenHelpPage(path)) return;
  ShowMessageBox("No browser could be started to show the help. The help page is the file:\n" + path.toStdString(),
                 MessageIcon::Information, MessageButtons::Ok);
}

}  // namespace quill
