#include "shell/image_list.h"

#include <QFile>

#include "shell/shell_resources.h"

namespace quill {

QIcon ImageListIcon(int index) {
  EnsureShellResources();
  const QString path = QString(":/pictures/imagelist/%1.svg").arg(index, 2, 10, QChar('0'));
  if (!QFile::exists(path)) return QIcon();
  return QIcon(path);
}

}  // namespace quill
