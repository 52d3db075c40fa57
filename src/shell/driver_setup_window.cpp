#include "shell/driver_setup_window.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>
#include <algorithm>

#include "platform/ini/name_compare.h"
#include "shell/designed_size.h"
#include "shell/dialog_presenter.h"
#include "shell/file_dialog_folders.h"
#include "sources/settings.h"
#include "sources/trial_connection.h"

namespace quill {
namespace {

constexpr QSize kDesignedSize(340, 260);

struct FieldDesign {
  SetupFieldRole role;
  const char* label_name;
  const char* edit_name;
  const char* caption;
};

const FieldDesign kFieldDesigns[] = {
    {SetupFieldRole::Server, "LabelServer", "EditServer", "Server :"},
    {SetupFieldRole::Port, "LabelPort", "EditPort", "Port :"},
    {SetupFieldRole::Database, "LabelDatabase", "EditDatabase", "Database :"},
    {SetupFieldRole::User, "LabelUser", "EditUser", "User Name :"},
    {SetupFieldRole::Password, "LabelPassword", "EditPassword", "Password :"},
};

}  // namespace

DriverSetupWindow::DriverSetupWindow(QWidget* parent, const Settings* settings)
    : QDialog(parent), settings_(settings) {
  setObjectName("DriverSetup");
  setWindowTitle(messages_.caption);

  auto* grid = new QGridLayout;
  auto* name_label = new QLabel("Data Source Name :");
  name_label->setObjectName("LabelName");
  name_edit_ = new QLineEdit;
  name_edit_->setObjectName("EditName");
  name_edit_->setMinimumWidth(180);
  grid->addWidget(name_label, 0, 0);
  grid->addWidget(name_edit_, 0, 1);
  int row = 1;
  for (const FieldDesign& design : kFieldDesigns) {
    FieldRow field{design.role, new QLabel(design.caption), new QLineEdit, {}};
    field.label->setObjectName(design.label_name);
    field.edit->setObjectName(design.edit_name);
    field.edit->setMinimumWidth(120);
    if (design.role == SetupFieldRole::Password) field.edit->setEchoMode(QLineEdit::Password);
    grid->addWidget(field.label, row, 0);
    auto* line = new QHBoxLayout;
    line->setContentsMargins(0, 0, 0, 0);
    line->addWidget(field.edit, 1);
    if (design.role == SetupFieldRole::Database) {
      browse_file_ = new QPushButton("...");
      browse_file_->setObjectName("ButtonBrowse");
      browse_file_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
      connect(browse_file_, &QPushButton::clicked, this, [this] { BrowseForFile(); });
      browse_folder_ = new QPushButton("Folder...");
      browse_folder_->setObjectName("ButtonBrowseFolder");
      browse_folder_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
      connect(browse_folder_, &QPushButton::clicked, this, [this] { BrowseForFolder(); });
      line->addWidget(browse_file_);
      line->addWidget(browse_folder_);
    }
    grid->addLayout(line, row, 1);
    fields_.push_back(field);
    ++row;
  }
  grid->setColumnStretch(1, 1);

  auto* rows_label = new QLabel("Other attributes (key = value) :");
  rows_label->setObjectName("LabelAttributes");
  rows_label->setWordWrap(true);
  attribute_rows_ = new QPlainTextEdit;
  attribute_rows_->setObjectName("MemoAttributes");
  attribute_rows_->setLineWrapMode(QPlainTextEdit::NoWrap);
  attribute_rows_->setMinimumSize(304, 96);

  auto* test = new QPushButton("Test Connection");
  test->setObjectName("ButtonTest");
  connect(test, &QPushButton::clicked, this, [this] { TestConnection(); });
  auto* ok = new QPushButton("OK");
  ok->setObjectName("ButtonOk");
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, [this] { AcceptIfValid(); });
  auto* cancel = new QPushButton("Cancel");
  cancel->setObjectName("ButtonCancel");
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(8, 8, 8, 8);
  column->addLayout(grid);
  column->addWidget(rows_label);
  column->addWidget(attribute_rows_, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(test);
  buttons->addStretch(1);
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  column->addLayout(buttons);
  Prepare(std::string(), std::string(), false, {});
}

DriverSetupWindow::FieldRow* DriverSetupWindow::Row(SetupFieldRole role) {
  for (FieldRow& field : fields_) {
    if (field.role == role) return &field;
  }
  return nullptr;
}

void DriverSetupWindow::Prepare(const std::string& driver, const std::string& name, bool name_fixed,
                                const SourceAttributes& attributes) {
  driver_ = driver;
  setWindowTitle(driver.empty() ? messages_.caption : messages_.caption + " - " + QString::fromStdString(driver));
  name_edit_->setText(QString::fromStdString(name));
  name_edit_->setReadOnly(name_fixed);
  for (FieldRow& field : fields_) {
    field.key.clear();
    field.edit->clear();
  }
  bool file_field = false;
  bool folder_field = false;
  for (const SetupField& setup : DriverSetupFields(driver)) {
    FieldRow* field = Row(setup.role);
    field->key = setup.key;
    file_field = file_field || setup.is_file;
    folder_field = folder_field || setup.may_be_folder;
  }
  QString rows;
  for (const auto& [key, value] : attributes) {
    FieldRow* owner = nullptr;
    for (FieldRow& field : fields_) {
      if (!field.key.empty() && SameNameIgnoringCase(field.key, key)) owner = &field;
    }
    if (owner != nullptr) owner->edit->setText(QString::fromStdString(value));
    else rows += QString::fromStdString(key + " = " + value) + "\n";
  }
  attribute_rows_->setPlainText(rows);
  for (FieldRow& field : fields_) {
    field.label->setVisible(!field.key.empty());
    field.edit->setVisible(!field.key.empty());
  }
  browse_file_->setVisible(file_field);
  browse_folder_->setVisible(folder_field);
  jet_files_ = folder_field;
  FitDesignedSize(this, kDesignedSize, false);
}

// A language loaded since the last filling may need more room.
void DriverSetupWindow::showEvent(QShowEvent* event) {
  FitDesignedSize(this, kDesignedSize, false);
  QDialog::showEvent(event);
}

bool DriverSetupWindow::EditSource(const std::string& driver, std::string& name, bool name_fixed,
                                   SourceAttributes& attributes) {
  Prepare(driver, name, name_fixed, attributes);
  if (exec() != QDialog::Accepted) return false;
  if (!name_fixed) name = name_edit_->text().toStdString();
  attributes = *EnteredAttributes();
  return true;
}

std::optional<SourceAttributes> DriverSetupWindow::EnteredAttributes() {
  QString bad_line;
  const std::optional<SourceAttributes> rows = ParseAttributeRows(attribute_rows_->toPlainText(), &bad_line);
  if (!rows) {
    DialogPresenter::Current().ShowMessage(this, kProductName,
                                           messages_.row_without_equals + " \"=\" :\n" + bad_line,
                                           MessageIcon::Warning, MessageButtons::Ok, false, std::nullopt);
    return std::nullopt;
  }
  SourceAttributes attributes;
  for (const FieldRow& field : fields_) {
    const QString value = field.edit->text().trimmed();
    if (!field.key.empty() && !value.isEmpty()) attributes.emplace_back(field.key, value.toStdString());
  }
  for (const auto& row : *rows) {
    auto same = std::find_if(attributes.begin(), attributes.end(),
                             [&](const auto& attribute) { return SameNameIgnoringCase(attribute.first, row.first); });
    if (same != attributes.end()) same->second = row.second;
    else attributes.push_back(row);
  }
  return attributes;
}

void DriverSetupWindow::AcceptIfValid() {
  if (EnteredAttributes()) accept();
}

void DriverSetupWindow::TestConnection() {
  const std::optional<SourceAttributes> attributes = EnteredAttributes();
  if (!attributes) return;
  const bool jet_off = settings_ != nullptr && settings_->jet_eng;
  const std::optional<std::string> failure = TryDataSource(driver_, *attributes, jet_off);
  DialogPresenter::Current().ShowMessage(this, kProductName,
                                         failure ? QString::fromStdString(*failure) : messages_.test_succeeded,
                                         failure ? MessageIcon::Error : MessageIcon::Information, MessageButtons::Ok,
                                         false, std::nullopt);
}

void DriverSetupWindow::BrowseForFile() {
  FieldRow* database = Row(SetupFieldRole::Database);
  const QString filter = jet_files_ ? "Access and Excel Files (*.mdb *.accdb *.xls);;All Files (*)"
                                    : "SQLite Database (*.db *.sqlite *.sqlite3 *.db3);;All Files (*)";
  const QString file = ChooseOpenFileOfKind(FileKind::SourceDatabase, this, messages_.choose_file, filter);
  if (!file.isEmpty()) database->edit->setText(file);
}

void DriverSetupWindow::BrowseForFolder() {
  FieldRow* database = Row(SetupFieldRole::Database);
  const QString folder = ChooseFolderOfKind(FileKind::SourceDatabase, this, messages_.choose_folder);
  if (!folder.isEmpty()) database->edit->setText(folder);
}

std::optional<SourceAttributes> ParseAttributeRows(const QString& text, QString* bad_line) {
  SourceAttributes attributes;
  // Lines end in any of the usual ways; a lone CR ends one too.
  static const QRegularExpression kLineEnd("\r\n|\r|\n");
  for (const QString& line : text.split(kLineEnd)) {
    if (line.trimmed().isEmpty()) continue;
    const qsizetype equals = line.indexOf('=');
    if (equals < 0) {
      if (bad_line != nullptr) *bad_line = line.trimmed();
      return std::nullopt;
    }
    attributes.emplace_back(line.left(equals).trimmed().toStdString(), line.mid(equals + 1).trimmed().toStdString());
  }
  return attributes;
}

}  // namespace quill
