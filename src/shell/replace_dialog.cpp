#include "shell/replace_dialog.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <algorithm>

#include "shell/designed_size.h"
#include "shell/main_window.h"
#include "shell/script_view.h"

namespace quill {
namespace {

constexpr int kResultDx = 100;
constexpr int kResultDy = 60;

// The tab strip's current tab; the main window names its tab strip TabControl1.
int CurrentTabIndex(const MainWindow& main_window) {
  const auto* tabs = main_window.findChild<QTabBar*>("TabControl1");
  return tabs == nullptr ? -1 : tabs->currentIndex();
}

constexpr int kDesignedWidth = 266;
constexpr int kDesignedHeight = 155;

}  // namespace

ReplaceDialog::ReplaceDialog(MainWindow& main_window) : QDialog(&main_window), main_window_(main_window) {
  setObjectName("Form5");
  setWindowTitle("Replace all in selected document");
  setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);
  setFixedSize(kDesignedWidth, kDesignedHeight);

  auto* find_label = new QLabel("Text to find :", this);
  find_label->setObjectName("Label1");
  find_label->setGeometry(8, 8, 250, 16);
  find_edit_ = new QLineEdit(this);
  find_edit_->setObjectName("Edit1");
  find_edit_->setGeometry(8, 24, 250, 21);

  auto* replace_label = new QLabel("Replace with :", this);
  replace_label->setObjectName("Label2");
  replace_label->setGeometry(8, 52, 250, 16);
  replace_edit_ = new QLineEdit(this);
  replace_edit_->setObjectName("Edit2");
  replace_edit_->setGeometry(8, 68, 250, 21);

  case_check_ = new QCheckBox("Case sensitive search", this);
  case_check_->setObjectName("CheckBox1");
  case_check_->setGeometry(8, 96, 250, 20);

  auto* replace_all = new QPushButton("Replace All", this);
  replace_all->setObjectName("Button1");
  replace_all->setGeometry(8, 122, 121, 25);
  connect(replace_all, &QPushButton::clicked, this, [this] { ReplaceAll(); });
  auto* done = new QPushButton("Done", this);
  done->setObjectName("Button2");
  done->setGeometry(137, 122, 121, 25);
  connect(done, &QPushButton::clicked, this, &QDialog::close);
}

void ReplaceDialog::showEvent(QShowEvent* event) {
  // Wider where its title needs it (a language may have changed it): the
  // edits and the check box take the width, the two buttons share it.
  const int width = std::max(kDesignedWidth, TitleBarWidth(*this));
  if (width != this->width()) {
    setFixedSize(width, kDesignedHeight);
    for (const char* name : {"Label1", "Edit1", "Label2", "Edit2", "CheckBox1"}) {
      QWidget* control = findChild<QWidget*>(name);
      control->resize(width - 16, control->height());
    }
    const int button_width = (width - 24) / 2;
    findChild<QWidget*>("Button1")->setGeometry(8, 122, button_width, 25);
    findChild<QWidget*>("Button2")->setGeometry(width - 8 - button_width, 122, button_width, 25);
  }
  const QRect main = main_window_.frameGeometry();
  PlaceWindowFrame(this, QPoint(main.left() + main.width() / 2 - 220, main.top() + main.height() / 2 - 193));
  QDialog::showEvent(event);
}

void ReplaceDialog::ReplaceAll() {
  if (find_edit_->text().isEmpty()) return;
  // The command opening this dialog is enabled only while a script tab exists.
  ScriptView* editor = main_window_.ScriptEditor(CurrentTabIndex(main_window_));
  if (editor == nullptr) return;
  // One pass over the script; a script in which nothing would change is left
  // untouched.
  const bool changed = editor->ReplaceEvery(find_edit_->text(), replace_edit_->text(),
                                            case_check_->isChecked() ? Qt::CaseSensitive : Qt::CaseInsensitive);
  const QString& message = changed ? messages_.all_occurrences_replaced : messages_.no_occurrences_found;
  main_window_.ShowPlacedMessage(message.toStdString(), kResultDx, kResultDy);
}

}  // namespace quill
