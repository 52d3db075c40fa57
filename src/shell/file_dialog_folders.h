#pragma once

#include <QString>

class QWidget;

namespace quill {

// The kinds of file the windows' file and folder dialogs choose; each opens
// in the folder last used for its kind.
enum class FileKind { Script, Log, AccessExport, CsvExport, XmlExport, TableSelection, ForeignKeySet, SourceDatabase };

// The folder a dialog of this kind opens in: the one last used for it while
// it still exists, else the user's home folder (never the program's folder,
// which may be a hidden folder of the installed program).
QString StartFolder(FileKind kind);
// Keeps the folder for the next dialog of the kind.
void RememberFolder(FileKind kind, const QString& folder);
// Where the folders are kept, per user, as Qt's settings in the user's
// configuration folder (XDG_CONFIG_HOME, else ~/.config).
QString FileDialogFoldersPath();

// The presenter's choosers, opened in the kind's folder; a file or folder
// chosen makes its folder the kind's. Empty when the user cancels.
QString ChooseSaveFileOfKind(FileKind kind, QWidget* parent, const QString& title, const QString& suggested_name,
                             const QString& filter, const QString& default_suffix);
QString ChooseOpenFileOfKind(FileKind kind, QWidget* parent, const QString& title, const QString& filter);
QString ChooseFolderOfKind(FileKind kind, QWidget* parent, const QString& title);

}  // namespace quill
