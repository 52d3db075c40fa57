#pragma once

#include <memory>

class QMessageBox;

namespace quill {

// The message of a start that the instance lock refused, before any window
// exists: when no lock could be made at all, the plain message (no icon, OK,
// the application's title) "Error creating semaphore !"; when another
// instance holds it, "Quillmarsh is already running !" titled "Quillmarsh."
// with the exclamation icon and an OK button.
std::unique_ptr<QMessageBox> InstanceRefusalBox(bool lock_failed);

}  // namespace quill
