// The output options of the menus and the tool bar, kept in step, and the
// main window's keys of "options.ini".
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLayout>
#include <QLineEdit>
#include <QTextEdit>
#include <QThread>

#include <QActionGroup>

#include "platform/ini/profile_strings.h"
#include "shell/main_window.h"
#include "shell/script_font.h"
#include "shell/script_view.h"
#include "sources/settings_file.h"

namespace quill {

void MainWindow::SelectDialect(int dialect) {
  if (dialect < 0 || dialect >= static_cast<int>(dialect_items_.size())) return;
  dialect_items_[dialect]->setChecked(true);
  dialect_combo_->setCurrentIndex(dialect);
  settings_.format = static_cast<TargetDialect>(dialect);
  // The destination schema applies to MySql, MS SQL and PostgreSQL only.
  const bool schema_applies = dialect == 0 || dialect == 1 || dialect == 4;
  schema_edit_->setVisible(schema_applies);
}

void MainWindow::SelectContent(int content) {
  if (content < 0 || content >= static_cast<int>(content_items_.size())) return;
  content_items_[content]->setChecked(true);
  content_combo_->setCurrentIndex(content);
  settings_.content = static_cast<ContentMode>(content);
}

void MainWindow::UncheckAll(QActionGroup* group, QComboBox* combo) {
  group->setExclusive(false);
  for (QAction* item : group->actions()) item->setChecked(false);
  group->setExclusive(true);
  combo->setCurrentIndex(-1);
}

void MainWindow::SelectDrop(bool on) {
  (on ? drop_on_ : drop_off_)->setChecked(true);
  drop_check_->setChecked(on);
  settings_.drop = on;
}

void MainWindow::LoadWindowSettings(int startup_pause_milliseconds) {
  const std::string options_path = OptionsFilePath(program_folder_);
  settings_.width = width();
  settings_.height = height();
  settings_.top = y();
  settings_.left = x();
  const Settings before = settings_;
  LoadMainWindowOptions(settings_, options_path);

  SelectContent(static_cast<int>(settings_.content));
  SelectDialect(static_cast<int>(settings_.format));
  // A stored number that names no item leaves every item of its menu and
  // combo box unchecked.
  const auto names_no_item = [&](const char* key, int count) {
    const std::string text = GetPrivateProfileString("Output", key, "", options_path);
    bool is_number = false;
    const int value = QString::fromStdString(text).toInt(&is_number);
    return is_number && (value < 0 || value >= count);
  };
  if (names_no_item("Content", static_cast<int>(content_items_.size())))
    UncheckAll(content_group_, content_combo_);
  if (names_no_item("Format", static_cast<int>(dialect_items_.size())))
    UncheckAll(dialect_group_, dialect_combo_);
  SelectDrop(settings_.drop);
  script_font_ = ScriptFontFromSettings(settings_, script_font_);
  script_font_color_ = ScriptFontColor(settings_.font_color, palette());
  // A saved size and place come back exactly where they fit the screen;
  // where they do not (another screen, a damaged file), the window is moved
  // and shrunk onto it.
  size_from_settings_ = !GetPrivateProfileString("Misc", "Width", "", options_path).empty() ||
                        !GetPrivateProfileString("Misc", "Height", "", options_path).empty();
  if (settings_.width != before.width || settings_.height != before.height) resize(settings_.width, settings_.height);
  if (settings_.top != before.top || settings_.left != before.left) move(settings_.left, settings_.top);
  FitToolBar();
  FitOnScreen();
  if (startup_pause_milliseconds > 0) QThread::msleep(static_cast<unsigned long>(startup_pause_milliseconds));
  maximized_flag_ = settings_.maximized;
  bar_pos_ = settings_.bar_pos;
  schema_edit_->setText(QString::fromStdString(settings_.ms_schema));
  jet_check_->setChecked(settings_.jet_eng);
  ApplyFontToEditors();
  // The client area gets its size now, so the bar is placed from the saved
  // distance, not from the few pixels of a window not laid out yet.
  if (layout() != nullptr) layout()->activate();
  LayoutAll();
}

void MainWindow::SaveWindowSettings() {
  settings_.bar_pos = bar_pos_;
  settings_.maximized = maximized_flag_;
  if (!maximized_flag_) {
    settings_.width = width();
    settings_.height = height();
    settings_.top = y();
    settings_.left = x();
  }
  settings_.ms_schema = schema_edit_->text().toStdString();
  try {
    SaveMainWindowOptions(settings_, OptionsFilePath(program_folder_));
  } catch (const std::exception& error) {
    ShowErrorDialog(error.what());
  }
}

void MainWindow::ApplyScriptFont(QWidget* editor) {
  editor->setFont(script_font_);
  QPalette palette = editor->palette();
  palette.setColor(QPalette::Text, script_font_color_);
  editor->setPalette(palette);
}

void MainWindow::ApplyFontToEditors() {
  for (ScriptView* editor : script_memos_) ApplyScriptFont(editor);
  ApplyScriptFont(log_);
}

}  // namespace quill
