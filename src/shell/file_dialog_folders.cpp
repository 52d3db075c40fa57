#include "shell/file_dialog_folders.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include "shell/dialog_presenter.h"

namespace quill {
namespace {

QString KeyOf(FileKind kind) {
  switch (kind) {
    case FileKind::Script: return "Script";
    case FileKind::Log: return "Log";
    case FileKind::AccessExport: return "AccessExport";
    case FileKind::CsvExport: return "CsvExport";
    case FileKind::XmlExport: return "XmlExport";
    case FileKind::TableSelection: return "TableSelection";
    case FileKind::ForeignKeySet: return "ForeignKeySet";
    case FileKind::SourceDatabase: return "SourceDatabase";
  }
  return "Other";
}

// Read and written at each use: the file is small, and a path that follows
// XDG_CONFIG_HOME as it is now (Qt's own default path is fixed per process).
QSettings FoldersSettings() { return QSettings(FileDialogFoldersPath(), QSettings::IniFormat); }

QString FolderOfFile(const QString& file) { return QFileInfo(file).absolutePath(); }

}  // namespace

QString FileDialogFoldersPath() {
  return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/Quillmarsh/file-dialogs.ini";
}

QString StartFolder(FileKind kind) {
  const QString folder = FoldersSettings().value("LastFolders/" + KeyOf(kind)).toString();
  if (!folder.isEmpty() && QFileInfo(folder).isDir()) return folder;
  return QDir::homePath();
}

void RememberFolder(FileKind kind, const QString& folder) {
  if (folder.isEmpty()) return;
  QSettings settings = FoldersSettings();
  settings.setValue("LastFolders/" + KeyOf(kind), QDir::cleanPath(QDir(folder).absolutePath()));
}

QString ChooseSaveFileOfKind(FileKind kind, QWidget* parent, const QString& title, const QString& suggested_name,
                             const QString& filter, const QString& default_suffix) {
  const QString file = DialogPresenter::Current().ChooseSaveFile(parent, title, suggested_name, filter,
                                                                 default_suffix, StartFolder(kind));
  if (!file.isEmpty()) RememberFolder(kind, FolderOfFile(file));
  return file;
}

QString ChooseOpenFileOfKind(FileKind kind, QWidget* parent, const QString& title, const QString& filter) {
  const QString file = DialogPresenter::Current().ChooseOpenFile(parent, title, filter, StartFolder(kind));
  if (!file.isEmpty()) RememberFolder(kind, FolderOfFile(file));
  return file;
}

QString ChooseFolderOfKind(FileKind kind, QWidget* parent, const QString& title) {
  const QString folder = DialogPresenter::Current().ChooseFolder(parent, title, StartFolder(kind));
  if (!folder.isEmpty()) RememberFolder(kind, folder);
  return folder;
}

}  // namespace quill
