#include "shell/wrapping_check_box.h"

#include <QStyleOptionButton>
#include <QStylePainter>
#include <algorithm>

namespace quill {
namespace {

// The caption's preferred width before it wraps.
constexpr int kPreferredTextWidth = 250;
constexpr int kTextFlags = Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop;

}  // namespace

WrappingCheckBox::WrappingCheckBox(const QString& text, QWidget* parent) : QCheckBox(text, parent) {
  QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  policy.setHeightForWidth(true);
  setSizePolicy(policy);
}

int WrappingCheckBox::TextLeft() const {
  return style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, this) +
         style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, this) + 2;
}

QRect WrappingCheckBox::TextRect(int width) const {
  const int text_width = std::max(1, width - TextLeft());
  return fontMetrics().boundingRect(QRect(0, 0, text_width, 100000), kTextFlags, text());
}

int WrappingCheckBox::heightForWidth(int width) const {
  const int indicator = style()->pixelMetric(QStyle::PM_IndicatorHeight, nullptr, this);
  return std::max(indicator, TextRect(width).height()) + 4;
}

QSize WrappingCheckBox::sizeHint() const {
  const int natural = fontMetrics().horizontalAdvance(text());
  const int width = TextLeft() + std::min(natural, kPreferredTextWidth) + 1;
  return QSize(width, heightForWidth(width));
}

QSize WrappingCheckBox::minimumSizeHint() const {
  // The longest word, which never wraps.
  int longest = 0;
  for (const QString& word : text().split(' ', Qt::SkipEmptyParts))
    longest = std::max(longest, fontMetrics().horizontalAdvance(word));
  // One line high: the layout asks heightForWidth for the height at its width.
  return QSize(TextLeft() + longest + 1, heightForWidth(100000));
}

void WrappingCheckBox::paintEvent(QPaintEvent*) {
  QStylePainter painter(this);
  QStyleOptionButton option;
  initStyleOption(&option);
  option.text.clear();
  const int line = fontMetrics().height();
  option.rect = QRect(0, 2, width(), line);
  option.rect = style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, this);
  painter.drawPrimitive(QStyle::PE_IndicatorCheckBox, option);
  const QRect text_rect(TextLeft(), 2, std::max(1, width() - TextLeft()), height() - 2);
  painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
  painter.drawText(text_rect, kTextFlags, text());
  if (hasFocus()) {
    QStyleOptionFocusRect focus;
    focus.initFrom(this);
    focus.rect = painter.boundingRect(text_rect, kTextFlags, text()).adjusted(-1, 0, 1, 0);
    painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
  }
}

bool WrappingCheckBox::hitButton(const QPoint& position) const { return rect().contains(position); }

}  // namespace quill
