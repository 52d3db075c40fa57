#include "shell/table_selection_dialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>

#include "common/clock.h"
#include "common/one_line_name.h"
#include "shell/designed_size.h"
#include "common/silent_abort.h"
#include "generator/log_stamp.h"
#include "generator/table_selection_file.h"
#include "shell/dialog_presenter.h"
#include "shell/file_dialog_folders.h"
#include "shell/main_window.h"

namespace quill {

TableSelectionDialog::TableSelectionDialog(MainWindow& main_window)
    : QDialog(&main_window), main_window_(main_window) {
  setObjectName("Form9");
  setWindowTitle("Select Tables");
  setWindowFlags(Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowMinimizeButtonHint);

  // The designed arrangement in a grid that grows where this system's texts
  // need more room than the designed 424 x 328.
  auto* available = new QLabel("Available tables :");
  available->setObjectName("Label1");
  check_list_ = new QListWidget;
  check_list_->setObjectName("CheckListBox1");
  check_list_->setMinimumSize(180, 250);

  auto* to_process_label = new QLabel("Tables to process :");
  to_process_label->setObjectName("Label2");
  to_process_ = new QPlainTextEdit;
  to_process_->setObjectName("Memo1");
  to_process_->setReadOnly(true);
  to_process_->setLineWrapMode(QPlainTextEdit::NoWrap);
  to_process_->setMinimumSize(180, 250);

  auto add_button = [](const char* object_name, const char* text) {
    auto* button = new QPushButton(text);
    button->setObjectName(object_name);
    return button;
  };
  QPushButton* copy = add_button("Button1", ">>");
  QPushButton* select_all = add_button("Button3", "Select All");
  QPushButton* deselect_all = add_button("Button4", "Deselect All");
  QPushButton* clear = add_button("Button5", "Clear");
  QPushButton* done = add_button("Button2", "Done");
  QPushButton* cancel = add_button("Button6", "Cancel");
  QPushButton* load = add_button("Button7", "Load");
  QPushButton* save = add_button("Button8", "Save");

  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(8, 8, 8, 8);
  grid->addWidget(available, 0, 0);
  grid->addWidget(to_process_label, 0, 2);
  grid->addWidget(check_list_, 1, 0);
  grid->addWidget(copy, 1, 1, Qt::AlignVCenter);
  grid->addWidget(to_process_, 1, 2);
  const auto row_of = [](std::initializer_list<QWidget*> widgets, bool right) {
    auto* row = new QHBoxLayout;
    if (right) row->addStretch(1);
    for (QWidget* widget : widgets) row->addWidget(widget);
    if (!right) row->addStretch(1);
    return row;
  };
  grid->addLayout(row_of({select_all, deselect_all}, false), 2, 0);
  grid->addLayout(row_of({clear}, false), 2, 2);
  grid->addLayout(row_of({load, save}, false), 3, 0);
  grid->addLayout(row_of({cancel, done}, true), 3, 2);
  FitDesignedSize(this, QSize(424, 328), true);
  done->setDefault(true);

  connect(copy, &QPushButton::clicked, this, &TableSelectionDialog::CopyCheckedToList);
  connect(select_all, &QPushButton::clicked, this, [this] { SetAllChecked(true); });
  connect(deselect_all, &QPushButton::clicked, this, [this] { SetAllChecked(false); });
  connect(clear, &QPushButton::clicked, to_process_, &QPlainTextEdit::clear);
  connect(done, &QPushButton::clicked, this, &TableSelectionDialog::Done);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  auto guarded = [this](void (TableSelectionDialog::*command)()) {
    return [this, command] {
      try {
        (this->*command)();
      } catch (const SilentAbort&) {
      } catch (const std::exception& error) {
        main_window_.ShowApplicationError(error.what());
      }
    };
  };
  connect(load, &QPushButton::clicked, this, guarded(&TableSelectionDialog::LoadSelection));
  connect(save, &QPushButton::clicked, this, guarded(&TableSelectionDialog::SaveSelection));
}

bool TableSelectionDialog::Run(const std::vector<std::string>& listed_tables, const std::string& caption,
                               std::vector<std::string>& chosen_tables) {
  Fill(listed_tables, caption);
  if (exec() != QDialog::Accepted) return false;
  chosen_tables = TablesToProcess();
  return true;
}

// Each line is the name ">>" put there in that form, else the line as the
// user typed it.
std::vector<std::string> TableSelectionDialog::TablesToProcess() const {
  std::vector<std::string> lines;
  if (to_process_->document()->isEmpty()) return lines;
  std::vector<bool> used(copied_names_.size(), false);
  for (QTextBlock block = to_process_->document()->begin(); block.isValid(); block = block.next()) {
    const QString line = block.text();
    std::string name = line.toStdString();
    for (std::size_t i = 0; i < copied_names_.size(); ++i) {
      if (!used[i] && QString::fromStdString(OneLineName(copied_names_[i])) == line) {
        used[i] = true;
        name = copied_names_[i];
        break;
      }
    }
    lines.push_back(name);
  }
  return lines;
}

void TableSelectionDialog::Fill(const std::vector<std::string>& listed_tables, const std::string& caption) {
  to_process_->clear();
  copied_names_.clear();
  check_list_->clear();
  for (const std::string& name : listed_tables) {
    auto* item = new QListWidgetItem(QString::fromStdString(name), check_list_);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Unchecked);
  }
  setWindowTitle(QString::fromStdString(caption));
}

void TableSelectionDialog::showEvent(QShowEvent* event) {
  FitDesignedSize(this, QSize(424, 328), true);  // a language may have changed the texts
  const QRect main = main_window_.frameGeometry();
  PlaceWindowFrame(this, QPoint(main.left() + main.width() / 2 - 208, main.top() + main.height() / 2 - 164));
  QDialog::showEvent(event);
}

std::vector<std::string> TableSelectionDialog::CheckedNames() const {
  std::vector<std::string> names;
  for (int i = 0; i < check_list_->count(); ++i)
    if (check_list_->item(i)->checkState() == Qt::Checked) names.push_back(check_list_->item(i)->text().toStdString());
  return names;
}

void TableSelectionDialog::CopyCheckedToList() {
  copied_names_ = CheckedNames();
  QStringList lines;
  for (const std::string& name : copied_names_) lines.append(QString::fromStdString(OneLineName(name)));
  to_process_->setPlainText(lines.join('\n'));
}

void TableSelectionDialog::Done() {
  if (to_process_->document()->isEmpty()) {
    const QRect frame = frameGeometry();
    DialogPresenter::Current().ShowMessage(this, kProductName, messages_.msg_at_least_one, MessageIcon::None,
                                           MessageButtons::Ok, false,
                                           QPoint(frame.left() + frame.width() / 2 - 100,
                                                  frame.top() + frame.height() / 2 - 60));
    return;
  }
  accept();
}

void TableSelectionDialog::SetAllChecked(bool checked) {
  for (int i = 0; i < check_list_->count(); ++i) check_list_->item(i)->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

void TableSelectionDialog::Warn(const QString& text) {
  DialogPresenter::Current().ShowMessage(this, kProductName, text, MessageIcon::Warning, MessageButtons::Ok, false,
                                         std::nullopt);
}

void TableSelectionDialog::SaveSelection() {
  const std::vector<std::string> names = CheckedNames();
  if (names.empty()) {
    Warn(messages_.msg_no_tbl_sel);
    return;
  }
  const QString file = ChooseSaveFileOfKind(FileKind::TableSelection, this, "Save Table Selection",
                                            "TableSelection.tbs", "TBS Table Selection File (*.tbs)", "tbs");
  if (file.isEmpty()) return;
  WriteTableSelectionFile(file.toStdString(), HeaderStamp(SystemNow), main_window_.SelectedNodeCaption(), names);
}

void TableSelectionDialog::LoadSelection() {
  const QString file = ChooseOpenFileOfKind(FileKind::TableSelection, this, "Load Table Selection",
                                            "TBS Table Selection File (*.tbs);;FKS Foreign Key Set (*.fks)");
  if (file.isEmpty()) return;
  const SelectionFileKind kind = SelectionFileKindOf(file.toStdString());
  if (kind == SelectionFileKind::Unsupported) {
    Warn(messages_.msg_file_not_supp);
    return;
  }
  const std::vector<std::string> names = ReadSelectionFileNames(file.toStdString(), kind);
  if (names.empty()) {
    Warn(messages_.msg_no_tbl_in_file);
    return;
  }
  if (!CheckedNames().empty() &&
      DialogPresenter::Current().ShowMessage(this, kProductName, messages_.msg_des_tbl, MessageIcon::Question,
                                             MessageButtons::YesNo, false, std::nullopt) == MessageAnswer::Yes)
    SetAllChecked(false);

  QStringList not_found;
  for (const std::string& name : names) {
    if (name.find("//") != std::string::npos) continue;
    const QString wanted = QString::fromStdString(name);
    bool matched = false;
    for (int i = 0; i < check_list_->count(); ++i) {
      // A name holding a line break is saved as one line (OneLineName).
      const QString text = check_list_->item(i)->text();
      if (text == wanted || QString::fromStdString(OneLineName(text.toStdString())) == wanted) {
        check_list_->item(i)->setCheckState(Qt::Checked);
        matched = true;
      }
    }
    if (!matched) not_found.append(wanted);
  }
  if (not_found.isEmpty()) return;
  QString text;
  if (not_found.size() == 1) {
    text = messages_.msg_tbl_rej1 + not_found.first() + "\r\n";
  } else {
    text = QString::number(not_found.size()) + messages_.msg_tbl_rej2 + "\r\n\r\n";
    for (const QString& name : not_found) text += name + "\r\n";
  }
  DialogPresenter::Current().ShowMessage(this, kProductName, text, MessageIcon::Information, MessageButtons::Ok, false,
                                         std::nullopt);
}

}  // namespace quill
