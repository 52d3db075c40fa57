#include "shell/scrolling_page.h"

#include <QFontMetrics>
#include <QFrame>

namespace quill {

ScrollingPage::ScrollingPage(QWidget* page) {
  setFrameShape(QFrame::NoFrame);
  setWidgetResizable(true);
  setWidget(page);
}

void ScrollingPage::SetYielding(bool yielding) {
  if (yielding == yielding_) return;
  yielding_ = yielding;
  updateGeometry();
}

QSize ScrollingPage::minimumSizeHint() const {
  const QSize page = widget()->minimumSizeHint();
  if (!yielding_) return page;
  // Room for a few lines of the page and its scroll bar.
  constexpr int kLinesKept = 4;
  return {page.width(), std::min(page.height(), kLinesKept * fontMetrics().lineSpacing())};
}

QSize ScrollingPage::sizeHint() const { return widget()->sizeHint().expandedTo(minimumSizeHint()); }

}  // namespace quill
