#include "shell/options_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolButton>
#include <QThread>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <charconv>
#include <optional>

#include "shell/byte_length_validator.h"
#include "shell/date_format_dialog.h"
#include "shell/designed_size.h"
#include "shell/dialog_presenter.h"
#include "shell/main_window.h"
#include "shell/radio_group.h"
#include "shell/settings_bindings.h"
#include "shell/source_item_delegate.h"
#include "shell/tree_nodes.h"
#include "shell/up_down.h"
#include "shell/wrapping_check_box.h"
#include "sources/folder_contents.h"
#include "sources/registryaccess.h"
#include "sources/settings_file.h"

namespace quill {
namespace {

constexpr int kClientWidth = 291;
constexpr int kClientHeight = 440;
constexpr int kPlacementDx = 142;
constexpr int kPlacementDy = 165;
// The key file holds 20 bytes of each: the edits take no more.
constexpr int kLoginLength = 20;
// UpDown1's own range: from the designed size of 30 the field size runs 1 to 125.
constexpr int kUpDownMinimum = -29;
constexpr int kUpDownMaximum = 95;
const QString kNoDsnFound = "-- No DSN Found --";

// The whole text as a decimal integer, as the field-size arrows read it.
std::optional<long long> ParseWholeNumber(const std::string& text) {
  long long value = 0;
  const char* begin = text.data();
  const char* end = text.data() + text.size();
  const auto [rest, error] = std::from_chars(begin, end, value);
  if (error != std::errc() || rest != end || text.empty()) return std::nullopt;
  return value;
}

QLabel* NamedLabel(const char* object_name, const QString& text) {
  auto* label = new QLabel(text);
  label->setObjectName(object_name);
  return label;
}

}  // namespace

OptionsDialog::OptionsDialog(MainWindow& main_window, Settings& settings, DsnLoginStore& logins,
                             std::string program_folder)
    : QDialog(&main_window, Qt::Tool | Qt::WindowStaysOnTopHint),
      main_window_(main_window),
      settings_(settings),
      logins_(logins),
      program_folder_(std::move(program_folder)) {
  setObjectName("PagesDlg");
  setWindowTitle("Quillmarsh Options");
  setModal(true);

  pages_ = new QTabWidget(this);
  pages_->setObjectName("PageControl1");
  pages_->addTab(BuildDatesPage(), "Dates");
  pages_->addTab(BuildLoginPage(), "Login");
  pages_->addTab(BuildBlobPage(), "BLOB");
  pages_->addTab(BuildAutomationPage(), "Automation");
  pages_->addTab(BuildFormatPage(), "Format");
  pages_->addTab(BuildMiscPage(), "Misc");

  auto* buttons = new QDialogButtonBox(this);
  QPushButton* ok = buttons->addButton("OK", QDialogButtonBox::AcceptRole);
  ok->setObjectName("OKBtn");
  ok->setDefault(true);
  QPushButton* cancel = buttons->addButton("Cancel", QDialogButtonBox::RejectRole);
  cancel->setObjectName("Button5");
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* column = new QVBoxLayout(this);
  column->addWidget(pages_);
  column->addWidget(buttons);
  // Every tab shows its whole caption.
  pages_->setUsesScrollButtons(false);
  FitDesignedSize(this, QSize(kClientWidth, kClientHeight), false);

  SetPagesOptions(settings_, OptionsFilePath(program_folder_));
  ShowSettings();
  opened_with_ = settings_;
}

OptionsDialog::~OptionsDialog() = default;

// --- pages --------------------------------------------------------------------

template <typename Field>
void OptionsDialog::KeepField(Field Settings::*field) {
  copy_fields_.push_back([field](Settings& to, const Settings& from) { to.*field = from.*field; });
}

QCheckBox* OptionsDialog::AddCheckBox(QVBoxLayout* column, const QString& object_name, const QString& caption,
                                      bool Settings::*field) {
  auto* box = new WrappingCheckBox(caption);
  box->setObjectName(object_name);
  column->addWidget(box);
  show_settings_.push_back(BindCheckBox(box, settings_, field));
  KeepField(field);
  return box;
}

QLineEdit* OptionsDialog::AddEdit(const QString& object_name, std::string Settings::*field) {
  auto* edit = new QLineEdit;
  edit->setObjectName(object_name);
  show_settings_.push_back(BindLineEdit(edit, settings_, field));
  KeepField(field);
  return edit;
}

RadioGroup* OptionsDialog::AddRadioGroup(const QString& object_name, const QString& caption,
                                         const QStringList& items, int Settings::*field) {
  auto* group = new RadioGroup(object_name, caption, items, nullptr);
  show_settings_.push_back(BindRadioGroup(group, settings_, field));
  KeepField(field);
  return group;
}

QWidget* OptionsDialog::BuildDatesPage() {
  auto* page = new QWidget;
  page->setObjectName("DatesPage");
  auto* column = new QVBoxLayout(page);

  auto* dates = new QGroupBox("Dates");
  dates->setObjectName("GroupBox3");
  auto* date_column = new QVBoxLayout(dates);
  convert_button_ = new QRadioButton("Convert date fields to text fields");
  convert_button_->setObjectName("RadioButton1");
  leave_button_ = new QRadioButton("Leave dates as they are");
  leave_button_->setObjectName("RadioButton3");
  formatting_button_ = new QRadioButton("Use date formatting");
  formatting_button_->setObjectName("RadioButton2");
  const std::pair<QRadioButton*, bool Settings::*> modes[] = {
      {convert_button_, &Settings::convert}, {leave_button_, &Settings::leave},
      {formatting_button_, &Settings::formatting}};
  for (const auto& [button, field] : modes) {
    date_column->addWidget(button);
    connect(button, &QRadioButton::toggled, this, [this, field = field](bool checked) { settings_.*field = checked; });
    KeepField(field);
  }
  show_settings_.push_back([this] { ShowDateMode(); });

  auto* size_row = new QHBoxLayout;
  size_row->addWidget(NamedLabel("Label1", "Field size :"));
  size_edit_ = AddEdit("Edit1", &Settings::size);
  size_edit_->setReadOnly(true);
  QPalette menu_colour = size_edit_->palette();
  menu_colour.setColor(QPalette::Base, menu_colour.color(QPalette::Button));
  size_edit_->setPalette(menu_colour);
  size_edit_->setMaximumWidth(50);
  size_row->addWidget(size_edit_);
  size_up_down_ = new UpDown("UpDown1", kUpDownMinimum, kUpDownMaximum, page);
  connect(size_up_down_, &UpDown::Clicked, this, [this](bool up) { ChangeFieldSize(up); });
  size_row->addWidget(size_up_down_);
  size_row->addStretch(1);
  date_column->addLayout(size_row);
  column->addWidget(dates);

  auto* formats = new QPushButton("Date field formatting options");
  formats->setObjectName("Button1");
  connect(formats, &QPushButton::clicked, this, [this] { OpenDateFormats(); });
  column->addWidget(formats);
  column->addStretch(1);
  return page;
}

QWidget* OptionsDialog::BuildLoginPage() {
  auto* page = new QWidget;
  page->setObjectName("LoginPage");
  auto* column = new QVBoxLayout(page);
  AddWrappedLabel(column, "DSN :")->setObjectName("Label6");
  sources_ = new QComboBox;
  sources_->setObjectName("ComboBox1");
  sources_->setItemDelegate(new SourceItemDelegate(sources_));
  column->addWidget(sources_);
  connect(sources_, &QComboBox::currentIndexChanged, this, [this](int) { ShowLoginOfChosenSource(); });

  AddWrappedLabel(column, "User Name :")->setObjectName("Label7");
  user_edit_ = new QLineEdit;
  user_edit_->setObjectName("Edit3");
  user_edit_->setMaxLength(kLoginLength);
  user_edit_->setValidator(new ByteLengthValidator(kLoginLength, user_edit_));
  column->addWidget(user_edit_);
  AddWrappedLabel(column, "Password :")->setObjectName("Label8");
  password_edit_ = new QLineEdit;
  password_edit_->setObjectName("Edit4");
  password_edit_->setMaxLength(kLoginLength);
  password_edit_->setValidator(new ByteLengthValidator(kLoginLength, password_edit_));
  password_edit_->setEchoMode(QLineEdit::Password);
  column->addWidget(password_edit_);

  assign_button_ = new QPushButton("Assign Password for this DSN");
  assign_button_->setObjectName("Button4");
  connect(assign_button_, &QPushButton::clicked, this, [this] { AssignPassword(); });
  column->addWidget(assign_button_);
  column->addStretch(1);
  return page;
}

QWidget* OptionsDialog::BuildBlobPage() {
  auto* page = new QWidget;
  page->setObjectName("BlobPage");
  auto* column = new QVBoxLayout(page);
  AddCheckBox(column, "CheckBox12", "Extract Files from BLOB fields", &Settings::extract_files);
  QCheckBox* raw = AddCheckBox(
      column, "CheckBox13",
      "Strore Blob file in destination database as raw binary (Else, only path to file will be stored)",
      &Settings::save_as_raw);
  raw->setToolTip("Not included : Pervasive, MS XML, CSV.");

  AddWrappedLabel(column, "Root path where files will be stored :")->setObjectName("Label3");
  auto* root_row = new QHBoxLayout;
  blob_root_edit_ = AddEdit("Edit6", &Settings::blob_path);
  root_row->addWidget(blob_root_edit_);
  // A tool button: as narrow as its three points.
  auto* browse = new QToolButton;
  browse->setObjectName("Button2");
  browse->setText("...");
  connect(browse, &QToolButton::clicked, this, [this] { ChooseBlobFolder(); });
  root_row->addWidget(browse);
  column->addLayout(root_row);

  auto* kinds = new QGroupBox("Look for these file formats");
  kinds->setObjectName("GroupBox2");
  auto* kind_grid = new QGridLayout(kinds);
  const std::pair<const char*, const char*> kind_boxes[] = {
      {"CheckBox15", "JPG"}, {"CheckBox14", "BMP"}, {"CheckBox16", "TIF"}, {"CheckBox17", "GIF"},
      {"CheckBox18", "WMF"}, {"CheckBox24", "PNG"}, {"CheckBox20", "DOC"}, {"CheckBox23", "MP3"},
      {"CheckBox22", "WAV"}, {"CheckBox21", "ZIP"}, {"CheckBox19", "PDF"}};
  bool Settings::*const kind_fields[] = {&Settings::find_jpg, &Settings::find_bmp, &Settings::find_tif,
                                         &Settings::find_gif, &Settings::find_wmf, &Settings::find_png,
                                         &Settings::find_doc, &Settings::find_mp3, &Settings::find_wav,
                                         &Settings::find_zip, &Settings::find_pdf};
  for (int i = 0; i < 11; ++i) {
    auto* cell = new QVBoxLayout;
    AddCheckBox(cell, kind_boxes[i].first, kind_boxes[i].second, kind_fields[i]);
    kind_grid->addLayout(cell, i / 4, i % 4);
  }
  column->addWidget(kinds);

  auto* empty = new QPushButton("Delete all files in this folder");
  empty->setObjectName("Button3");
  connect(empty, &QPushButton::clicked, this, [this] { EmptyBlobFolder(); });
  column->addWidget(empty);
  column->addWidget(AddRadioGroup("RadioGroup2", "Method", {"Restrict (Faster)", "Filter (More secure)"},
                                  &Settings::files_method));
  column->addStretch(1);
  return page;
}

QWidget* OptionsDialog::BuildAutomationPage() {
  auto* page = new QWidget;
  page->setObjectName("AutomationPage");
  auto* column = new QVBoxLayout(page);
  AddCheckBox(column, "CheckBox2", "SQL generation on source double click.", &Settings::batch);
  AddCheckBox(column, "CheckBox4", "Disable warnings. (Write them only to log.)", &Settings::disable_warn);
  column->addStretch(1);
  return page;
}

QWidget* OptionsDialog::BuildFormatPage() {
  auto* page = new QWidget;
  page->setObjectName("FormatPage");
  auto* column = new QVBoxLayout(page);
  AddCheckBox(column, "CheckBox3", "Put an underscore '_' to replace spaces  on table name and column name.",
              &Settings::underscore);
  AddCheckBox(column, "CheckBox5", "Extract text from blob fields.", &Settings::text_from_blob);
  AddCheckBox(column, "CheckBox10", "Replace NULL values by empty quoted field.", &Settings::null_quoted);
  auto* float_row = new QHBoxLayout;
  float_row->addWidget(NamedLabel("Label12", "Float formatting value :"));
  float_row->addWidget(AddEdit("Edit5", &Settings::float_format));
  column->addLayout(float_row);

  auto* ms_sql = new QGroupBox("MS SQL");
  ms_sql->setObjectName("GroupBox4");
  auto* ms_column = new QVBoxLayout(ms_sql);
  AddCheckBox(ms_column, "CheckBox1", "Don't put quotes on numeric fields", &Settings::quoted);
  AddWrappedLabel(ms_column, "This includes ; ")->setObjectName("Label5");
  AddWrappedLabel(ms_column, "numeric, bigint, int, smallint, tinyint, bit, float.")->setObjectName("Label4");
  auto* go_row = new QHBoxLayout;
  auto* go_check_cell = new QVBoxLayout;
  AddCheckBox(go_check_cell, "CheckBox11", "Add GO Statement Every", &Settings::go);
  go_row->addLayout(go_check_cell);
  QLineEdit* go_lines = AddEdit("Edit2", &Settings::go_lines);
  go_lines->setMaximumWidth(50);
  go_row->addWidget(go_lines);
  go_row->addWidget(NamedLabel("Label2", "lines"));
  go_row->addStretch(1);
  ms_column->addLayout(go_row);
  column->addWidget(ms_sql);
  column->addStretch(1);
  return page;
}

QWidget* OptionsDialog::BuildMiscPage() {
  auto* page = new QWidget;
  page->setObjectName("MiscPage");
  auto* column = new QVBoxLayout(page);
  QCheckBox* jet = AddCheckBox(column, "CheckBox7", "Do not use Jet Provider", &Settings::jet_eng);
  jet->setToolTip(
      "Use this option to use standard way to get tables, to use when jet can not read a file (primary key info may "
      "be lost) ");
  // The main window's box shows the same field.
  connect(jet, &QCheckBox::toggled, this, [this] { main_window_.SyncJetProviderBox(); });
  QCheckBox* system = AddCheckBox(column, "CheckBox6", "Extract system tables. (Experimental).",
                                  &Settings::extr_from_system);
  system->setToolTip("Use this option to force extraction of hidden tables, like excel sheets.");
  AddCheckBox(column, "CheckBox9", "List tables in alphabetical order", &Settings::alpha);
  RadioGroup* access =
      AddRadioGroup("RadioGroup1", "Generated Access File Format", {"Access 97", "Access 2000"}, &Settings::access);
  access->setVisible(false);
  column->addWidget(access);
  column->addStretch(1);
  return page;
}

// --- showing and closing ---------------------------------------------------

void OptionsDialog::ShowSettings() {
  for (const std::function<void()>& show : show_settings_) show();
  main_window_.SyncJetProviderBox();
}

// The three keys are independent in the file; as one group of radio buttons
// the last one read as set wins, and the settings follow the buttons.
void OptionsDialog::ShowDateMode() {
  QRadioButton* chosen = nullptr;
  if (settings_.convert) chosen = convert_button_;
  if (settings_.formatting) chosen = formatting_button_;
  if (settings_.leave) chosen = leave_button_;
  for (QRadioButton* button : {convert_button_, formatting_button_, leave_button_}) button->setAutoExclusive(false);
  for (QRadioButton* button : {convert_button_, formatting_button_, leave_button_}) button->setChecked(button == chosen);
  for (QRadioButton* button : {convert_button_, formatting_button_, leave_button_}) button->setAutoExclusive(true);
  settings_.convert = convert_button_->isChecked();
  settings_.formatting = formatting_button_->isChecked();
  settings_.leave = leave_button_->isChecked();
}

void OptionsDialog::SetPage(OptionsPage page) { pages_->setCurrentIndex(static_cast<int>(page)); }

OptionsPage OptionsDialog::CurrentPage() const { return static_cast<OptionsPage>(pages_->currentIndex()); }

int OptionsDialog::Open(int page) {
  if (page >= 0) SetPage(static_cast<OptionsPage>(page));
  return exec();
}

void OptionsDialog::showEvent(QShowEvent* event) {
  // The texts may have changed with a language since the last showing.
  FitDesignedSize(this, QSize(kClientWidth, kClientHeight), false);
  ShowSettings();
  opened_with_ = settings_;
  main_window_.SetStatusText(main_window_.messages().status_refresh.toStdString());
  FillSources();
  // A plain wait: events handled here could close the dialog before it runs.
  QThread::msleep(300);
  main_window_.SetStatusText(main_window_.messages().status_ready.toStdString());
  const QRect owner = main_window_.frameGeometry();
  PlaceWindowFrame(this, QPoint(owner.left() + owner.width() / 2 - kPlacementDx,
                               owner.top() + owner.height() / 2 - kPlacementDy));
  QDialog::showEvent(event);
}

void OptionsDialog::done(int result) {
  const std::string options_path = OptionsFilePath(program_folder_);
  if (result == QDialog::Accepted) {
    try {
      SetFileOptions(settings_, options_path);
    } catch (const std::exception& error) {
      main_window_.ShowErrorDialog(error.what());
    }
  } else {
    // Undoes every change since the last save; the controls follow. A key
    // the file does not hold yet goes back to its state when the dialog
    // opened, so a cancel undoes the edit on a first start too.
    Settings reloaded = settings_;
    for (const auto& copy : copy_fields_) copy(reloaded, opened_with_);
    SetPagesOptions(reloaded, options_path);
    for (const auto& copy : copy_fields_) copy(settings_, reloaded);
    ShowSettings();
  }
  QDialog::done(result);
}

// --- Login page --------------------------------------------------------------

void OptionsDialog::FillSources() {
  std::vector<std::string> names;
  if (!SystemDsnList(names)) main_window_.ShowPlacedMessage("No system sources found", 200, 60);
  if (names.empty()) {
    if (main_window_.ShowMessageBox(main_window_.messages().msg_no_avail_src_f.toStdString(), MessageIcon::Question,
                                    MessageButtons::YesNo) == MessageAnswer::Yes)
      main_window_.ShowOdbc();
    names.clear();
    SystemDsnList(names);
  }

  const QSignalBlocker blocker(sources_);
  sources_->clear();
  for (const std::string& name : names) sources_->addItem(QString::fromStdString(name));
  if (sources_->count() == 0) {
    sources_->addItem(kNoDsnFound);
    sources_->setCurrentIndex(0);
    for (QWidget* login_control : std::initializer_list<QWidget*>{user_edit_, password_edit_, assign_button_})
      login_control->setEnabled(false);
    user_edit_->clear();
    password_edit_->clear();
    return;
  }

  // The source selected in the tree, else (also when it is no longer listed) the first.
  int chosen = 0;
  const QTreeWidgetItem* node = main_window_.tree()->currentItem();
  if (node != nullptr && NodeLevel(node) == 1) chosen = std::max(0, sources_->findText(node->text(0), Qt::MatchFixedString));
  sources_->setCurrentIndex(chosen);
  for (QWidget* login_control : std::initializer_list<QWidget*>{user_edit_, password_edit_, assign_button_})
    login_control->setEnabled(true);
  ShowLoginOfChosenSource();
}

void OptionsDialog::ShowLoginOfChosenSource() {
  if (!assign_button_->isEnabled() && sources_->currentText() == kNoDsnFound) return;
  const DsnLogin login = logins_.GetPssw(sources_->currentText().toStdString());
  user_edit_->setText(QString::fromStdString(login.user_name));
  password_edit_->setText(QString::fromStdString(login.password));
}

void OptionsDialog::AssignPassword() {
  if (!assign_button_->isEnabled() || sources_->currentIndex() < 0) return;
  AssignPasswordForDsn(logins_, sources_->currentText().toStdString(),
                       DsnLogin{user_edit_->text().toStdString(), password_edit_->text().toStdString()},
                       main_window_, messages_.login);
}

// --- Dates page --------------------------------------------------------------

void OptionsDialog::ChangeFieldSize(bool up) {
  const std::string text = size_edit_->text().toStdString();
  const std::optional<long long> size = ParseWholeNumber(text);
  if (!size) {
    main_window_.ShowErrorDialog("'" + text + "' is not a valid integer value");
    return;
  }
  size_edit_->setText(QString::number(*size + (up ? 1 : -1)));
}

void OptionsDialog::OpenDateFormats() {
  if (date_format_dialog_ != nullptr) date_format_dialog_->Open(static_cast<int>(settings_.format));
}

// --- BLOB page ---------------------------------------------------------------

void OptionsDialog::ChooseBlobFolder() {
  const QString folder =
      DialogPresenter::Current().ChooseFolder(this, "Where to save BLOB Files", blob_root_edit_->text());
  if (!folder.isEmpty()) blob_root_edit_->setText(folder);
}

void OptionsDialog::ShowRefusal(const QString& text) {
  DialogPresenter::Current().ShowMessage(this, kProductName, text, MessageIcon::Warning, MessageButtons::Ok, false,
                                         std::nullopt);
}

void OptionsDialog::EmptyBlobFolder() {
  const std::string root = blob_root_edit_->text().toStdString();
  // Refused before the question: an empty path would name the file system's root.
  switch (CheckFolderToEmpty(root, UserHomeFolder())) {
    case EmptyingRefusal::EmptyPath: return ShowRefusal(messages_.msg_no_blob_root);
    case EmptyingRefusal::FileSystemRoot: return ShowRefusal(messages_.msg_root_refused);
    case EmptyingRefusal::HomeFolder: return ShowRefusal(messages_.msg_home_refused);
    case EmptyingRefusal::None: break;
  }
  const MessageAnswer answer = DialogPresenter::Current().ShowMessage(
      this, kProductName, messages_.msg_sure_delete, MessageIcon::Question, MessageButtons::OkCancel, false,
      std::nullopt);
  if (answer != MessageAnswer::Ok) return;
  // Stops silently at the first entry that cannot be deleted, as the command always has.
  DeleteFolderContents(root + "/");
}

}  // namespace quill
