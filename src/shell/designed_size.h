#pragma once

#include <QPoint>
#include <QSize>

class QWidget;

namespace quill {

// Sizes a window laid out by Qt layouts: its designed size where its
// controls fit, larger where this system's texts need more room (wrapped
// texts as high as they need at the window's width). A fixed window keeps
// that size.
void FitDesignedSize(QWidget* window, const QSize& designed, bool fixed);

// Puts a window's frame (its title bar included) at top_left, at every
// showing, the first one too.
void PlaceWindowFrame(QWidget* window, const QPoint& top_left);

}  // namespace quill
