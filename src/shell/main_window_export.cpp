#include <QTreeWidget>

#include "common/silent_abort.h"
#include "export/export_run.h"
#include "shell/dialog_presenter.h"
#include "shell/file_dialog_folders.h"
#include "shell/escape_poll.h"
#include "shell/main_window.h"

namespace quill {

namespace {

ExportRunMessages ExportTexts(const MainWindowMessages& messages) {
  ExportRunMessages texts;
  texts.select_window_caption = messages.select_window_caption.toStdString();
  texts.status_gen_access = messages.status_gen_access.toStdString();
  texts.status_gen_csv = messages.status_gen_csv.toStdString();
  texts.status_gen_xml = messages.status_gen_xml.toStdString();
  texts.status_generate = messages.status_generate.toStdString();
  texts.status_abort = messages.status_abort.toStdString();
  texts.status_ready = messages.status_ready.toStdString();
  texts.msg_cant_get_data = messages.msg_cant_get_data.toStdString();
  texts.msg_same_schema = messages.msg_same_schema.toStdString();
  texts.msg_debug_mode_on = messages.msg_debug_mode_on.toStdString();
  return texts;
}

}  // namespace

std::string MainWindow::SelectedSourceForExport() const {
  if (tree_->currentItem() == nullptr) throw SilentAbort();
  return tree_->currentItem()->text(0).toStdString();
}

void MainWindow::ExportToAccess() {
  const std::string source_name = SelectedSourceForExport();
  EscapePollScope running(*escape_poll_);
  ExportRun run(settings_, session(), *this, program_folder_, SystemNow);
  run.messages() = ExportTexts(messages_);
  run.AccessExportRun(source_name, [this] {
    return ChooseSaveFileOfKind(FileKind::AccessExport, this, "Save As", "NewDatabase.mdb", "MDB Access File (*.mdb)",
                                "mdb")
        .toStdString();
  });
}

void MainWindow::ExportToCsv() {
  const std::string source_name = SelectedSourceForExport();
  const QString folder = ChooseFolderOfKind(FileKind::CsvExport, this, "Where to save CSV Files");
  if (folder.isEmpty()) return;
  EscapePollScope running(*escape_poll_);
  ExportRun run(settings_, session(), *this, program_folder_, SystemNow);
  run.messages() = ExportTexts(messages_);
  run.CsvExportRun(source_name, folder.toStdString());
}

void MainWindow::ExportToXml() {
  const std::string source_name = SelectedSourceForExport();
  const QString folder = ChooseFolderOfKind(FileKind::XmlExport, this, "Where to save XML Files");
  if (folder.isEmpty()) return;
  EscapePollScope running(*escape_poll_);
  ExportRun run(settings_, session(), *this, program_folder_, SystemNow);
  run.messages() = ExportTexts(messages_);
  run.XmlExportRun(source_name, folder.toStdString());
}

}  // namespace quill
