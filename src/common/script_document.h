#pragma once

#include <string>
#include <vector>

namespace quill {

// One generated script as the main window shows it in a new tab.
struct ScriptDocument {
  std::string tab_caption;
  int tab_image = 2;                 // image index of the tab
  std::vector<std::string> lines;    // ScriptLines; an item may hold CR LF
  std::string summary;               // ScriptSummary, lines joined by "\n"
};

}  // namespace quill
