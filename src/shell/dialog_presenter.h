#pragma once

#include <QFont>
#include <QPoint>
#include <QString>
#include <optional>

#include "common/user_interface.h"

class QWidget;

namespace quill {

// Every modal question, message and file or font chooser of the windows goes
// through the one current presenter, so tests answer them with a script.
class DialogPresenter {
 public:
  virtual ~DialogPresenter() = default;

  // A message box; top_left places it (plain messages), else it is centred.
  virtual MessageAnswer ShowMessage(QWidget* parent, const QString& title, const QString& text, MessageIcon icon,
                                    MessageButtons buttons, bool default_is_no,
                                    std::optional<QPoint> top_left) = 0;
  // Empty when the user cancels. The dialogs open in start_folder.
  virtual QString ChooseSaveFile(QWidget* parent, const QString& title, const QString& suggested_name,
                                 const QString& filter, const QString& default_suffix,
                                 const QString& start_folder) = 0;
  virtual QString ChooseOpenFile(QWidget* parent, const QString& title, const QString& filter,
                                 const QString& start_folder) = 0;
  virtual QString ChooseFolder(QWidget* parent, const QString& title, const QString& start_folder) = 0;
  // False when the user cancels; font is left as it was then.
  virtual bool ChooseFont(QWidget* parent, QFont& font, QColor& color) = 0;

  static DialogPresenter& Current();
  // Replaces the presenter (tests); nullptr goes back to the real dialogs.
  static void SetCurrent(DialogPresenter* presenter);
};

// The real dialogs of Qt.
class WidgetDialogPresenter : public DialogPresenter {
 public:
  MessageAnswer ShowMessage(QWidget* parent, const QString& title, const QString& text, MessageIcon icon,
                            MessageButtons buttons, bool default_is_no, std::optional<QPoint> top_left) override;
  QString ChooseSaveFile(QWidget* parent, const QString& title, const QString& suggested_name, const QString& filter,
                         const QString& default_suffix, const QString& start_folder) override;
  QString ChooseOpenFile(QWidget* parent, const QString& title, const QString& filter,
                         const QString& start_folder) override;
  QString ChooseFolder(QWidget* parent, const QString& title, const QString& start_folder) override;
  bool ChooseFont(QWidget* parent, QFont& font, QColor& color) override;
};

inline const QString kProductName = "Quillmarsh";

// The application's report of an error that no command caught: the error's
// text under the product name, with the error icon.
void ShowApplicationError(QWidget* parent, const QString& text);

}  // namespace quill
