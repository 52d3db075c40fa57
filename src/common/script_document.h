#pragma once

#include <string>

#include "common/script_buffer.h"

namespace quill {

// One generated script as the main window shows it in a new tab. The tab
// takes it over whole: the script is never copied on its way.
struct ScriptDocument {
  std::string tab_caption;
  int tab_image = 2;     // image index of the tab
  ScriptBuffer script;   // ScriptLines: one item per statement, each may hold CR LF
  std::string summary;   // ScriptSummary, lines joined by "\n"
};

}  // namespace quill
