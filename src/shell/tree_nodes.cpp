#include "shell/tree_nodes.h"

#include <QApplication>
#include <QStyle>

namespace quill {
namespace {

QIcon IconForImage(int image) {
  QStyle* style = QApplication::style();
  switch (image) {
    case kRootImage: return style->standardIcon(QStyle::SP_ComputerIcon);
    case kSourceImage: return style->standardIcon(QStyle::SP_DriveHDIcon);
    case kTableImage: return style->standardIcon(QStyle::SP_FileIcon);
    case kSchemaImage: return style->standardIcon(QStyle::SP_DirIcon);
    default: return style->standardIcon(QStyle::SP_DriveNetIcon);
  }
}

}  // namespace

void SetNodeImage(QTreeWidgetItem* node, int image, int selected_image) {
  node->setData(0, kImageRole, image);
  node->setData(0, kSelectedImageRole, selected_image);
  node->setIcon(0, IconForImage(image));
}

int NodeImage(const QTreeWidgetItem* node) { return node->data(0, kImageRole).toInt(); }

int NodeLevel(const QTreeWidgetItem* node) {
  int level = 0;
  for (const QTreeWidgetItem* parent = node->parent(); parent != nullptr; parent = parent->parent()) ++level;
  return level;
}

}  // namespace quill
