// Script tabs with their editors and summaries, and the log view's commands.
#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QTextBlock>
#include <QTextEdit>
#include <QToolButton>
#include <string_view>
#include <vector>

#include "common/silent_abort.h"
#include "generator/script_generator.h"
#include "platform/files/atomic_file.h"
#include "platform/files/in_out_error.h"
#include "shell/dialog_presenter.h"
#include "shell/file_dialog_folders.h"
#include "shell/escape_poll.h"
#include "shell/foreign_key_designer.h"
#include "shell/main_window.h"

#include "shell/status_bar_display.h"
#include "shell/script_font.h"
#include "shell/script_view.h"
#include "sources/settings_file.h"

namespace quill {
namespace {

// A script or the log written to the file the user chose; a failure names
// the file.
void WriteNamedFile(const std::string& path, const std::vector<std::string_view>& parts) {
  try {
    WriteFileAtomically(path, parts);
  } catch (const InOutError& error) {
    throw FileCreateError(path, error);
  }
}

}  // namespace

int MainWindow::TabCount() const { return tabs_->count(); }

ScriptView* MainWindow::ScriptEditor(int index) const {
  if (index < 0 || index >= static_cast<int>(script_memos_.size())) return nullptr;
  return script_memos_[index];
}

QString MainWindow::SummaryText() const { return summary_->toPlainText(); }
QString MainWindow::LogText() const { return log_->toPlainText(); }
QString MainWindow::StatusText() const { return status_display_->Text(); }

void MainWindow::SetScriptCommandsEnabled(bool enabled) {
  save_as_->setEnabled(enabled);
  save_button_->setEnabled(enabled);
  select_all_->setEnabled(enabled);
  copy_->setEnabled(enabled);
  replace_->setEnabled(enabled);
}

void MainWindow::AddScriptTab(ScriptDocument document) {
  // The editor takes the script's buffer over: nothing is copied or laid out
  // but the lines on screen.
  auto* editor = new ScriptView(std::move(document.script), script_panel_);
  editor->setObjectName(QString("ScriptMemo%1").arg(script_memos_.size()));
  editor->setGeometry(script_panel_->rect());
  ApplyScriptFont(editor);
  script_memos_.push_back(editor);
  script_summaries_.push_back(QString::fromStdString(document.summary));

  const QString caption = QString::fromStdString(document.tab_caption);
  script_captions_.push_back(caption);
  // A tab strip reads "&" as a mnemonic: doubled, the caption reads as the name.
  const int index = tabs_->addTab(QString(caption).replace('&', "&&"));
  SetTabImage(index, document.tab_image);
  tabs_->setCurrentIndex(index);
  ShowCurrentTab();
  SetScriptCommandsEnabled(true);
  close_tab_image_->show();
  welcome_panel_->hide();
}

void MainWindow::ShowCurrentTab() {
  const int index = tabs_->currentIndex();
  if (index < 0 || index >= static_cast<int>(script_memos_.size())) return;
  for (ScriptView* editor : script_memos_) editor->setVisible(editor == script_memos_[index]);
  script_memos_[index]->raise();
  summary_->setPlainText(script_summaries_[index]);
}

void MainWindow::CloseCurrentTab() {
  const int index = tabs_->currentIndex();
  if (index < 0) return;
  delete script_memos_[index];
  script_memos_.erase(script_memos_.begin() + index);
  ReleaseFreedMemory();
  script_summaries_.erase(script_summaries_.begin() + index);
  script_captions_.erase(script_captions_.begin() + index);
  {
    const QSignalBlocker blocker(tabs_);
    tabs_->removeTab(index);
    // The last remaining tab becomes current, not the neighbour.
    if (tabs_->count() > 0) tabs_->setCurrentIndex(tabs_->count() - 1);
  }
  if (tabs_->count() > 0) {
    ShowCurrentTab();
    welcome_panel_->hide();
    return;
  }
  summary_->setPlainText(messages_.intro_text);
  SetScriptCommandsEnabled(false);
  close_tab_image_->hide();
  welcome_panel_->show();
}

void MainWindow::SaveCurrentScript() {
  const int index = tabs_->currentIndex();
  if (index < 0) return;
  const QString file = ChooseSaveFileOfKind(FileKind::Script, this, "Save As", script_captions_[index],
                                            "SQL File (*.sql);;Dump File (*.dump)", "sql");
  if (!file.isEmpty()) {
    SetProgressPosition(0);
    SetStatusText(messages_.status_saving.toStdString());
    SetProgressMaximum(2);
    SetProgressPosition(1);
    // The script's bytes as they stand, piece by piece: a script left as
    // generated is written byte for byte. Every line ends with a break, so a
    // last line the user left open gets its CR LF.
    const ScriptText& text = script_memos_[index]->text();
    std::vector<std::string_view> parts = text.Spans();
    if (!text.empty() && text.LineEnd(text.LineCount() - 1) > text.LineStart(text.LineCount() - 1))
      parts.push_back("\r\n");
    WriteNamedFile(file.toStdString(), parts);
    SetProgressPosition(ProgressMaximum());
  }
  SetStatusText(messages_.status_ready.toStdString());
}

void MainWindow::SaveLog() {
  const QString file = ChooseSaveFileOfKind(FileKind::Log, this, "Save", "Log.txt", "Text File (*.txt)", "");
  if (file.isEmpty()) return;
  std::string text;
  for (QTextBlock block = log_->document()->begin(); block.isValid(); block = block.next()) {
    text += block.text().toStdString();
    text += "\r\n";
  }
  WriteNamedFile(file.toStdString(), {text});
}

void MainWindow::ChooseScriptFont() {
  DialogPresenter::Current().ChooseFont(this, script_font_, script_font_color_);
  ApplyFontToEditors();
  StoreScriptFont(script_font_, script_font_color_, settings_);
  settings_.font_color = ColorNumber(script_font_color_, palette());
  SaveFontOptions(settings_, OptionsFilePath(program_folder_));
}

void MainWindow::RunGenerateScript(const QString& source_name, const QString& table_name) {
  EscapePollScope running(*escape_poll_);
  ScriptGenerator generator(settings_, session(), *this, SystemNow);
  // A run over several tables puts the drop script first while the
  // designer's box is checked, also when the designer is not shown.
  generator.foreign_key_scripts().drop_existing =
      foreign_key_designer_ == nullptr || foreign_key_designer_->model().drop_existing;
  ScriptRunMessages& texts = generator.messages();
  texts.msg_no_tables_found = messages_.msg_no_tables_found.toStdString();
  texts.select_window_caption = messages_.select_window_caption.toStdString();
  texts.msg_dupl_tbl_nm_found = messages_.msg_dupl_tbl_nm_found.toStdString();
  texts.msg_do_you_want = messages_.msg_do_you_want.toStdString();
  texts.status_generate = messages_.status_generate.toStdString();
  texts.status_abort = messages_.status_abort.toStdString();
  texts.msg_cant_get_data = messages_.msg_cant_get_data.toStdString();
  texts.msg_error_w_tabl = messages_.msg_error_w_tabl.toStdString();
  texts.status_ready = messages_.status_ready.toStdString();
  texts.msg_debug_mode_on = messages_.msg_debug_mode_on.toStdString();
  generator.GenerateScript(source_name.toStdString(), table_name.toStdString());
}

}  // namespace quill
