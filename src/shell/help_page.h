#pragma once

#include <QString>

namespace quill {

// The program's help page. It is named relative to the current folder, as
// the welcome pages are; started from elsewhere, the copy beside the program
// is used. program_folder ends with "/".
QString HelpPagePath(const QString& program_folder);

// Opens the page in the desktop's browser; false when there is no page or no
// browser could be started.
bool OpenHelpPage(const QString& path);

}  // namespace quill
