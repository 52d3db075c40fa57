#pragma once

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>
#include <deque>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "shell/dialog_presenter.h"
#include "shell/languages.h"

class QApplication;

namespace quill {
struct Settings;
}

namespace quill::testing {

// The one application object of a shell test process (offscreen platform).
QApplication& TestApplication();

struct ShownMessage {
  QString title;
  QString text;
  MessageIcon icon = MessageIcon::None;
  MessageButtons buttons = MessageButtons::Ok;
  std::optional<QPoint> top_left;
  QWidget* parent = nullptr;  // the window the box belongs to
};

// Answers the windows' dialogs from a script and records every message; a
// question nobody scripted fails the test (and answers No).
class ScriptedDialogs : public DialogPresenter {
 public:
  ScriptedDialogs();
  ~ScriptedDialogs() override;

  void AnswerQuestion(MessageAnswer answer) { answers_.push_back(answer); }
  void AnswerSaveFile(const QString& path) { save_files_.push_back(path); }
  void AnswerOpenFile(const QString& path) { open_files_.push_back(path); }
  void AnswerFolder(const QString& path) { folders_.push_back(path); }
  // The next font dialog is confirmed with this font and colour.
  void AnswerFont(const QFont& font, const QColor& color) { fonts_.push_back({font, color}); }

  const std::vector<ShownMessage>& messages() const { return messages_; }
  const std::vector<QString>& suggested_file_names() const { return suggested_file_names_; }
  // The folder each file or folder chooser opened in, in order.
  const std::vector<QString>& start_folders() const { return start_folders_; }

  MessageAnswer ShowMessage(QWidget* parent, const QString& title, const QString& text, MessageIcon icon,
                            MessageButtons buttons, bool default_is_no, std::optional<QPoint> top_left) override;
  QString ChooseSaveFile(QWidget* parent, const QString& title, const QString& suggested_name, const QString& filter,
                         const QString& default_suffix, const QString& start_folder) override;
  QString ChooseOpenFile(QWidget* parent, const QString& title, const QString& filter,
                         const QString& start_folder) override;
  QString ChooseFolder(QWidget* parent, const QString& title, const QString& start_folder) override;
  bool ChooseFont(QWidget* parent, QFont& font, QColor& color) override;

 private:
  std::deque<MessageAnswer> answers_;
  std::deque<QString> save_files_;
  std::deque<QString> open_files_;
  std::deque<QString> folders_;
  std::deque<std::pair<QFont, QColor>> fonts_;
  std::vector<ShownMessage> messages_;
  std::vector<QString> suggested_file_names_;
  std::vector<QString> start_folders_;
};

// A fresh folder standing in for the program's folder; removed at the end.
class TemporaryFolder {
 public:
  TemporaryFolder();
  ~TemporaryFolder();
  const std::filesystem::path& path() const { return path_; }
  // The path with a trailing "/", as the program's folder is given.
  std::string ProgramFolder() const { return path_.string() + "/"; }

 private:
  std::filesystem::path path_;
};

std::string ReadFileBytes(const std::filesystem::path& path);

// Where the window's frame lies as the X server and the window manager have
// it (Qt keeps the frame of a window shown again out of date at times); on
// other platforms and for a hidden window, the window's own frame geometry.
QRect FrameOnScreen(QWidget* window);

// Where a frame of frame_size opens when its place is wanted: there where it
// lies on the area; else, on each axis, moved the least that puts it on the
// area, or to the area's start where it is longer than the area.
QPoint PlaceOnArea(const QPoint& wanted, const QSize& frame_size, const QRect& area);

// The windows a language reaches besides the main window and the options
// dialogs, owned by the test.
struct LanguageSideWindows {
  LanguageSideWindows();
  ~LanguageSideWindows();

  // Makes the windows over `window` on the first call; then every window a
  // language is loaded into.
  LanguageWindows All(MainWindow& window, OptionsDialog& options, DateFormatDialog& date_format,
                      const Settings& settings);

  std::unique_ptr<TableSelectionDialog> selection;
  std::unique_ptr<ForeignKeyDesigner> designer;
  std::unique_ptr<ReplaceDialog> replace;
  std::unique_ptr<UpdateCheckDialog> update;
  std::unique_ptr<DataSourceDialog> add_source;
  WelcomePanel* welcome = nullptr;
};

}  // namespace quill::testing
