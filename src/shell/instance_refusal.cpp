#include "shell/instance_refusal.h"

#include <QMessageBox>

namespace quill {

std::unique_ptr<QMessageBox> InstanceRefusalBox(bool lock_failed) {
  if (lock_failed) {
    return std::make_unique<QMessageBox>(QMessageBox::NoIcon, "Quillmarsh", "Error creating semaphore !",
                                         QMessageBox::Ok);
  }
  return std::make_unique<QMessageBox>(QMessageBox::Warning, "Quillmarsh.", "Quillmarsh is already running !",
                                       QMessageBox::Ok);
}

}  // namespace quill
