#include "shell/shell_resources.h"

#include <QtGlobal>

static void RegisterQuillmarshResources() { Q_INIT_RESOURCE(quillmarsh); }

namespace quill {

void EnsureShellResources() {
  static const bool registered = (RegisterQuillmarshResources(), true);
  (void)registered;
}

}  // namespace quill
