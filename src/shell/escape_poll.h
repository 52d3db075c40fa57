#pragma once

#include <QObject>
#include <cstdint>

namespace quill {

// The Escape poll of a long command that runs on the user-interface thread:
// each poll lets pending events through (at most every 50 ms) so the window
// repaints and the progress bar moves, swallowing the user's input meanwhile.
// A poll in between costs one read of the coarse clock: a run polls per row.
// Every Escape press while the command runs is remembered until a poll sees
// it, whichever event loop delivered it.
class EscapePoll : public QObject {
 public:
  EscapePoll();
  ~EscapePoll() override;

  void Begin();
  void End();
  bool running() const { return depth_ > 0; }

  // True when Escape is down or was pressed since the previous poll.
  bool Poll();

  // For tests: as if the user pressed Escape.
  void SimulateEscape() { pressed_ = true; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  int depth_ = 0;
  bool pressed_ = false;
  bool down_ = false;
  bool swallowing_ = false;  // while the poll itself lets events through
  int64_t events_at_ = 0;  // ms of the coarse clock when events last went through
};

// Marks a command as running for its scope.
class EscapePollScope {
 public:
  explicit EscapePollScope(EscapePoll& poll) : poll_(poll) { poll_.Begin(); }
  ~EscapePollScope() { poll_.End(); }

 private:
  EscapePoll& poll_;
};

}  // namespace quill
