#include "shell/escape_poll.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QThread>

#include "shell_test_support.h"

namespace quill {
namespace {

void PostKey(QWidget* target, int key) {
  QCoreApplication::postEvent(target, new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier, key == Qt::Key_A ? "a" : ""));
  QCoreApplication::postEvent(target, new QKeyEvent(QEvent::KeyRelease, key, Qt::NoModifier, key == Qt::Key_A ? "a" : ""));
}

// While a command runs, the poll swallows typing and remembers Escape; a
// dialog the command opens runs its own loop and still gets its input.
TEST(EscapePoll, SwallowsInputOnlyWhileItLetsEventsThrough) {
  testing::TestApplication();
  QLineEdit edit;
  edit.show();
  EscapePoll poll;
  EscapePollScope running(poll);

  PostKey(&edit, Qt::Key_A);
  PostKey(&edit, Qt::Key_Escape);
  QThread::msleep(60);
  EXPECT_TRUE(poll.Poll());
  EXPECT_TRUE(edit.text().isEmpty());
  EXPECT_FALSE(poll.Poll());

  // As inside a message box's own event loop during the run.
  PostKey(&edit, Qt::Key_A);
  QApplication::processEvents();
  EXPECT_EQ(edit.text(), "a");
}

}  // namespace
}  // namespace quill
