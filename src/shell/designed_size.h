#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

class QScreen;
class QWidget;

namespace quill {

// The screen's available area (less panels and docks) that a window's frame
// may take. At a fractional scale factor a frame's size in pixels is rounded
// from the window's: the area is one unit smaller, so that rounding never
// takes a frame past its edge.
QRect AvailableArea(const QScreen& screen);

// The width a window's frame needs to show its title whole.
int TitleBarWidth(const QWidget& window);

// Sizes a window laid out by Qt layouts: its designed size where its
// controls and its title fit, larger where this system's texts need more
// room (wrapped texts as high as they need at the window's width), and no
// larger than the screen's available area where its controls can share less
// room (its lists and pages scroll). A fixed window keeps that size. Before
// its first showing, a window's frame is taken to be as framed_like's (see
// ExpectedFrameSize).
void FitDesignedSize(QWidget* window, const QSize& designed, bool fixed, const QWidget* framed_like = nullptr);

// The size of a window's frame, its title bar included. Before the window
// manager has framed the window it is not known: a window framed as
// framed_like (by default its owner) is has the same borders.
QSize ExpectedFrameSize(const QWidget* window, const QWidget* framed_like = nullptr);

// Where a window's frame put at top_left would leave the available area of
// the screen it lands on (a smaller screen, a panel, an owner near the
// edge), the nearest corner that keeps it on that area; where the frame is
// larger than the area, its top-left part, title bar first, stays on it.
QPoint FrameCornerOnScreen(const QWidget* window, const QPoint& top_left);

// Puts a window's frame (its title bar included) at top_left, or where that
// would leave the screen at FrameCornerOnScreen's corner, at every showing,
// the first one too.
void PlaceWindowFrame(QWidget* window, const QPoint& top_left);

}  // namespace quill
