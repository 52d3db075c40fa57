#include "shell/dialog_presenter.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>

#include "shell/designed_size.h"
#include "shell/script_font_dialog.h"

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

// Centres a folder browser on the screen's work area when it shows, as
// the system's folder browser opens: its frame's left is half the work
// area's width less half its own, its top likewise, from the screen's origin.
class WorkAreaCentring : public QObject {
 public:
  WorkAreaCentring(QWidget* window, const QWidget* framed_like) : QObject(window), framed_like_(framed_like) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    auto* window = static_cast<QWidget*>(watched);
    if (event->type() == QEvent::Show && window->screen() != nullptr) {
      const QSize frame = ExpectedFrameSize(window, framed_like_);
      const QRect screen = window->screen()->geometry();
      const QRect work_area = window->screen()->availableGeometry();
      PlaceWindowFrame(window, screen.topLeft() + QPoint(work_area.width() / 2 - frame.width() / 2,
                                                          work_area.height() / 2 - frame.height() / 2));
    }
    return false;
  }

 private:
  const QWidget* framed_like_;
};

}  // namespace

DialogPresenter& DialogPresenter::Current() {
  static WidgetDialogPresenter widgets;
  return current_presenter != nullptr ? *current_presenter : widgets;
}

void DialogPresenter::SetCurrent(DialogPresenter* presenter) { current_presenter = presenter; }

void ShowApplicationError(QWidget* parent, const QString& text) {
  DialogPresenter::Current().ShowMessage(parent, kProductName, text, MessageIcon::Error, MessageButtons::Ok, false,
                                         std::nullopt);
}

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
    PlaceWindowFrame(&box, *top_left);
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
  QFileDialog dialog(parent, title, start_folder);
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOption(QFileDialog::ShowDirsOnly);
  dialog.installEventFilter(new WorkAreaCentring(&dialog, parent != nullptr ? parent->window() : nullptr));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().first();
}

bool WidgetDialogPresenter::ChooseFont(QWidget* parent, QFont& font, QColor& color) {
  ScriptFontDialog dialog(parent, font, color);
  if (dialog.exec() != QDialog::Accepted) return false;
  font = dialog.chosen_font();
  color = dialog.chosen_color();
  return true;
}

}  // namespace quill
