#pragma once

namespace quill {

// Clears the upper halves of the wide vector registers (VZEROUPPER) on
// processors that have them. Code of the windowing libraries can leave them
// dirty; until they are cleared, every plain SSE instruction the program runs
// after pays for it (a whole script was 50% slower). The shell's Escape poll
// calls it when a run starts and after it let the windows repaint.
void ClearUpperVectorState();

}  // namespace quill
