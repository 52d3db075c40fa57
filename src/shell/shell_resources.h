#pragma once

namespace quill {

// Registers the compiled-in resources (language list, pictures, sound). They
// live in a static library, whose registration the linker would otherwise
// drop; every reader calls this first, and repeated calls cost nothing.
void EnsureShellResources();

}  // namespace quill
