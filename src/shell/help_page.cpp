#include "shell/help_page.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace quill {

namespace {

constexpr char kHelpPageName[] = "tarnwick.html";
// xdg-open tells within moments whether it found a browser; one still
// running after this has started it and is left to run.
constexpr int kOpenerAnswerMilliseconds = 5000;

}  // namespace

QString HelpPagePath(const QString& program_folder) {
  const QString beside_current = QDir::current().absoluteFilePath(kHelpPageName);
  if (QFileInfo::exists(beside_current)) return beside_current;
  return QDir(program_folder).absoluteFilePath(kHelpPageName);
}

// xdg-open, not QDesktopServices: the desktop service counts the start of
// xdg-open as success, also when it then finds no browser and fails.
bool OpenHelpPage(const QString& path) {
  if (!QFileInfo::exists(path)) return false;
  const QString opener = QStandardPaths::findExecutable("xdg-open");
  if (opener.isEmpty()) return false;
  auto* process = new QProcess;
  process->setProgram(opener);
  process->setArguments({QUrl::fromLocalFile(path).toString()});
  process->setStandardInputFile(QProcess::nullDevice());
  QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
  QObject::connect(process, &QProcess::errorOccurred, process, [process](QProcess::ProcessError error) {
    if (error == QProcess::FailedToStart) process->deleteLater();
  });
  process->start();
  if (!process->waitForStarted()) return false;
  if (!process->waitForFinished(kOpenerAnswerMilliseconds)) return true;
  return process->exitStatus() == QProcess::NormalExit && process->exitCode() == 0;
}

}  // namespace quill
