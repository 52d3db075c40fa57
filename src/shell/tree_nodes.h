#pragma once

#include <QTreeWidgetItem>

namespace quill {

// Image indexes of the tree's nodes; the kind of a node is told by its level
// and its image.
constexpr int kRootImage = 0;
constexpr int kSourceImage = 1;
constexpr int kTableImage = 2;
constexpr int kSchemaImage = 3;
constexpr int kSelectedSourceImage = 15;

constexpr int kImageRole = Qt::UserRole + 1;
constexpr int kSelectedImageRole = Qt::UserRole + 2;

void SetNodeImage(QTreeWidgetItem* node, int image, int selected_image);
int NodeImage(const QTreeWidgetItem* node);
int NodeLevel(const QTreeWidgetItem* node);

}  // namespace quill
