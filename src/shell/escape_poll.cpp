#include "shell/escape_poll.h"

#include <QApplication>
#include <QKeyEvent>

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

}  // namespace

EscapePoll::EscapePoll() { since_events_.start(); }

EscapePoll::~EscapePoll() = default;

void EscapePoll::Begin() {
  if (depth_++ == 0) {
    pressed_ = false;
    down_ = false;
  }
}

void EscapePoll::End() {
  if (depth_ > 0) --depth_;
}

// Input is filtered only while the poll itself lets events through: the
// message boxes and dialogs a command opens run their own loops and take
// clicks and keys as usual.
bool EscapePoll::Poll() {
  if (since_events_.elapsed() >= kPaintInterval && qApp != nullptr) {
    qApp->installEventFilter(this);
    QApplication::processEvents(QEventLoop::AllEvents);
    qApp->removeEventFilter(this);
    since_events_.restart();
  }
  const bool result = pressed_ || down_;
  pressed_ = false;
  return result;
}

bool EscapePoll::eventFilter(QObject* watched, QEvent* event) {
  if (IsUserInput(event->type())) {
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
      auto* key = static_cast<QKeyEvent*>(event);
      if (key->key() == Qt::Key_Escape) {
        if (event->type() == QEvent::KeyPress) pressed_ = true;
        down_ = event->type() == QEvent::KeyPress;
      }
    }
    return true;
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace quill
