#include "shell/escape_poll.h"

#include <QApplication>
#include <QKeyEvent>
#include <ctime>

#include "platform/cpu/vector_state.h"

namespace quill {
namespace {

constexpr int kPaintInterval = 50;

bool IsUserInput(QEvent::Type type) {
  switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::Shortcut:
    case QEvent::ShortcutOverride:
    case QEvent::ContextMenu:
    case QEvent::Close:
      return true;
    default:
      return false;
  }
}

// The system's coarse clock (a few ms of resolution): read from memory the
// kernel keeps up to date, far cheaper than the precise clock, which is
// what a poll once per row needs.
int64_t CoarseMilliseconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC_COARSE, &now);
  return int64_t{now.tv_sec} * 1000 + now.tv_nsec / 1000000;
}

}  // namespace

EscapePoll::EscapePoll() : events_at_(CoarseMilliseconds()) {}

EscapePoll::~EscapePoll() = default;

// While a command runs, every Escape press is noted wherever it is
// delivered: by the poll's own event handling, or by any other loop that
// runs meanwhile (a pause, a message box), so no single press is missed.
void EscapePoll::Begin() {
  ClearUpperVectorState();  // the windows' code before the run may have left them dirty
  if (depth_++ == 0) {
    pressed_ = false;
    down_ = false;
    if (qApp != nullptr) qApp->installEventFilter(this);
  }
}

void EscapePoll::End() {
  if (depth_ > 0 && --depth_ == 0 && qApp != nullptr) qApp->removeEventFilter(this);
}

// Input is filtered only while the poll itself lets events through: the
// message boxes and dialogs a command opens run their own loops and take
// clicks and keys as usual.
bool EscapePoll::Poll() {
  if (CoarseMilliseconds() - events_at_ >= kPaintInterval && qApp != nullptr) {
    if (depth_ == 0) qApp->installEventFilter(this);
    swallowing_ = true;
    QApplication::processEvents(QEventLoop::AllEvents);
    ClearUpperVectorState();  // the repaint may have left them dirty
    swallowing_ = false;
    if (depth_ == 0) qApp->removeEventFilter(this);
    events_at_ = CoarseMilliseconds();
  }
  const bool result = pressed_ || down_;
  pressed_ = false;
  return result;
}

bool EscapePoll::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Escape) {
      if (event->type() == QEvent::KeyPress) pressed_ = true;
      down_ = event->type() == QEvent::KeyPress;
    }
  }
  if (swallowing_ && IsUserInput(event->type())) return true;
  return QObject::eventFilter(watched, event);
}

}  // namespace quill
