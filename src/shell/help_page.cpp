#include "shell/help_page.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace quill {

namespace {
constexpr char kHelpPageName[] = "tarnwick.html";
}

QString HelpPagePath(const QString& program_folder) {
  const QString beside_current = QDir::current().absoluteFilePath(kHelpPageName);
  if (QFileInfo::exists(beside_current)) return beside_current;
  return QDir(program_folder).absoluteFilePath(kHelpPageName);
}

bool OpenHelpPage(const QString& path) {
  if (!QFileInfo::exists(path)) return false;
  return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

}  // namespace quill
