#pragma once

#include "common/user_interface.h"

namespace quill {

// The Escape poll of one export run. The frame asks before every table and
// the writers between rows; once Escape was seen the run stays stopped, so a
// stop during a table's rows also ends the table loop.
class RunStop {
 public:
  explicit RunStop(UserInterface& ui) : ui_(ui) {}

  // Polls the key unless a stop was seen already; true once stopped.
  bool Poll() {
    if (!stopped_) stopped_ = ui_.EscapePressed();
    return stopped_;
  }
  bool stopped() const { return stopped_; }

 private:
  UserInterface& ui_;
  bool stopped_ = false;
};

}  // namespace quill
