#pragma once

#include <QString>

namespace quill {

// The program's help page. It is named relative to the current folder, as
// the welcome pages are; started from elsewhere, the copy beside the program
// is used. program_folder ends with "/".
QString HelpPagePath(const QString& program_folder);

// Opens the page in the desktop's browser through xdg-open; false when there
// is no page, no xdg-open, or xdg-open ends with an error (no browser). One
// that is still running after a few seconds has started a browser and is
// left running.
bool OpenHelpPage(const QString& path);

}  // namespace quill
