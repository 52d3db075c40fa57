#pragma once

#include <QStyledItemDelegate>

namespace quill {

// Draws the rows of the options dialog's source list: alternating
// backgrounds, the selected row in the selection colour with black text, and
// the source image at the left.
class SourceItemDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  static constexpr int kItemHeight = 18;
  static QColor OddRowColor() { return QColor(238, 243, 244); }
  static QColor SelectedRowColor() { return QColor(197, 209, 248); }

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

}  // namespace quill
