#pragma once

#include <QIcon>

namespace quill {

// The main window's image list "ImageList1": the pictures of the tree's
// nodes, the script tabs, the toolbar and the designer, drawn for the
// program and built in as resources. The tree's and the tabs' indexes are
// the ones the nodes and runs use; the others are the toolbar's and the
// designer's.
enum ImageIndex : int {
  kImageRoot = 0,
  kImageSource = 1,
  kImageTable = 2,
  kImageSchema = 3,
  kImageSaveScript = 4,
  kImageAddSource = 5,
  kImageConfigSource = 6,
  kImageDeleteSource = 7,
  kImageGenerateSql = 8,  // the blue button
  kImageArrow = 9,
  kImageSelectedSource = 15,
  kImageChosenTables = 16,
  kImageSourceItem = 17,
};

// The picture at index; a null icon for an index the list does not hold.
QIcon ImageListIcon(int index);

}  // namespace quill
