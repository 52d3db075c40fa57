#include "shell/tree_nodes.h"

#include "shell/image_list.h"

namespace quill {
void SetNodeImage(QTreeWidgetItem* node, int image, int selected_image) {
  node->setData(0, kImageRole, image);
  node->setData(0, kSelectedImageRole, selected_image);
  // The selected picture shows while the node is selected.
  QIcon icon = ImageListIcon(image);
  if (selected_image != image) {
    const QIcon selected = ImageListIcon(selected_image);
    for (const QSize& size : selected.availableSizes()) icon.addPixmap(selected.pixmap(size), QIcon::Selected);
    if (selected.availableSizes().isEmpty()) icon.addPixmap(selected.pixmap(16, 16), QIcon::Selected);
  }
  node->setIcon(0, icon);
}

int NodeImage(const QTreeWidgetItem* node) { return node->data(0, kImageRole).toInt(); }

int NodeLevel(const QTreeWidgetItem* node) {
  int level = 0;
  for (const QTreeWidgetItem* parent = node->parent(); parent != nullptr; parent = parent->parent()) ++level;
  return level;
}

}  // namespace quill
