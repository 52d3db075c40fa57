#include "shell/dialog_presenter.h"

#include <QDir>
#include <QFileDialog>
#include <QFontDialog>
#include <QMessageBox>
#include <QPushButton>

#include "shell/designed_size.h"

namespace quill {
namespace {

DialogPresenter* current_presenter = nullptr;

QMessageBox::Icon ToQtIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Information: return QMessageBox::Information;
    case MessageIcon::Warning: return QMessageBox::Warning;
    case MessageIcon::Error: return QMessageBox::Critical;
    case MessageIcon::Question: return QMessageBox::Question;
    case MessageIcon::None: break;
  }
  return QMessageBox::NoIcon;
}

// The file dialogs change nothing of the process's current folder, which the
// welcome pages and the help file are named against; keep it all the same.
class CurrentFolderKeeper {
 public:
  CurrentFolderKeeper() : folder_(QDir::currentPath()) {}
  ~CurrentFolderKeeper() { QDir::setCurrent(folder_); }

 private:
  QString folder_;
};

}  // namespace

DialogPresenter& DialogPresenter::Current() {
  static WidgetDialogPresenter widgets;
  return current_presenter != nullptr ? *current_presenter : widgets;
}

void DialogPresenter::SetCurrent(DialogPresenter* presenter) { current_presenter = presenter; }

MessageAnswer WidgetDialogPresenter::ShowMessage(QWidget* parent, const QString& title, const QString& text,
                                                 MessageIcon icon, MessageButtons buttons, bool default_is_no,
                                                 std::optional<QPoint> top_left) {
  QMessageBox box(ToQtIcon(icon), title, text, QMessageBox::NoButton, parent);
  if (buttons == MessageButtons::YesNo) {
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(default_is_no ? QMessageBox::No : QMessageBox::Yes);
  } else if (buttons == MessageButtons::OkCancel) {
    box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
    box.setDefaultButton(QMessageBox::Ok);
  } else {
    box.setStandardButtons(QMessageBox::Ok);
  }
  if (top_left) {
    box.adjustSize();
    PlaceWindowFrame(&box, *top_left, parent != nullptr ? parent->window() : nullptr);
  }
  const int result = box.exec();
  if (buttons == MessageButtons::Ok) return MessageAnswer::Ok;
  if (buttons == MessageButtons::OkCancel) return result == QMessageBox::Ok ? MessageAnswer::Ok : MessageAnswer::Cancel;
  return result == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
}

QString WidgetDialogPresenter::ChooseSaveFile(QWidget* parent, const QString& title, const QString& suggested_name,
                                              const QString& filter, const QString& default_suffix,
                                              const QString& start_folder) {
  CurrentFolderKeeper keeper;
  QFileDialog dialog(parent, title, start_folder, filter);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix(default_suffix);
  dialog.selectFile(suggested_name);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().first();
}

QString WidgetDialogPresenter::ChooseOpenFile(QWidget* parent, const QString& title, const QString& filter,
                                              const QString& start_folder) {
  CurrentFolderKeeper keeper;
  return QFileDialog::getOpenFileName(parent, title, start_folder, filter);
}

QString WidgetDialogPresenter::ChooseFolder(QWidget* parent, const QString& title, const QString& start_folder) {
  CurrentFolderKeeper keeper;
  return QFileDialog::getExistingDirectory(parent, title, start_folder);
}

bool WidgetDialogPresenter::ChooseFont(QWidget* parent, QFont& font, QColor& color) {
  bool accepted = false;
  const QFont chosen = QFontDialog::getFont(&accepted, font, parent);
  if (accepted) font = chosen;
  (void)color;  // the colour keeps its value: Qt's font dialog offers none
  return accepted;
}

}  // namespace quill
