#include "shell/source_item_delegate.h"

#include <QPainter>
#include <QStyle>

#include "shell/image_list.h"

namespace quill {
namespace {

constexpr int kTextLeft = 30;
constexpr int kTextTop = 2;
constexpr int kImageLeft = 4;
constexpr int kImageSize = 16;

// The image of a data source in the main window's image list.
QPixmap SourceImage() { return ImageListIcon(kImageSourceItem).pixmap(kImageSize, kImageSize); }

}  // namespace

void SourceItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
  const QRect rect = option.rect;
  const QString text = index.data(Qt::DisplayRole).toString();
  const QRect text_rect(rect.left() + kTextLeft, rect.top() + kTextTop, rect.width() - kTextLeft,
                        rect.height() - kTextTop);
  painter->save();
  painter->fillRect(rect, index.row() % 2 == 1 ? OddRowColor() : QColor(Qt::white));
  painter->setPen(option.palette.color(QPalette::Text));
  painter->drawText(text_rect, Qt::AlignLeft | Qt::AlignTop, text);
  if (option.state & QStyle::State_Selected) {
    painter->fillRect(rect, SelectedRowColor());
    painter->setPen(Qt::black);
    painter->drawText(text_rect, Qt::AlignLeft | Qt::AlignTop, text);
  }
  const QPixmap image = SourceImage();
  const int image_height = image.height() / std::max<qreal>(1, image.devicePixelRatio());
  painter->drawPixmap(rect.left() + kImageLeft, rect.top() + (rect.height() - image_height) / 2, image);
  painter->restore();
}

QSize SourceItemDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
  return QSize(QStyledItemDelegate::sizeHint(option, index).width() + kTextLeft, kItemHeight);
}

}  // namespace quill
