#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

#include "sources/settings.h"

namespace quill::bench {

// The user's path through the program's main window, for one table of a
// source: the window open on the source's listed tables (settings of a first
// start, `dialect`, debug mode off, logins kept in `folder`), then the run as
// the user starts it. Runs on Qt's offscreen platform unless QT_QPA_PLATFORM
// says otherwise. `table` is the name as the program lists it ("public.bench"
// under a schema).

struct ShownScript {
  std::size_t bytes = 0;
  double seconds = 0;  // the double-click to the painted tab (or the saved file)
};

// A double-click on the table's node to the painted script tab; the run
// moves the window's progress bar and status text and polls Escape as it
// does for the user.
ShownScript ShowInWindow(const std::filesystem::path& folder, TargetDialect dialect, const std::string& dsn,
                         const std::string& table);

// The same run through the same window (progress bar, status, Escape poll),
// the finished script saved to `file` instead of shown; seconds from the
// start of the run to the saved file.
ShownScript SaveThroughWindow(const std::filesystem::path& folder, TargetDialect dialect, const std::string& dsn,
                              const std::string& table, const std::filesystem::path& file);

// The former measure: the run through the bench's silent double of the
// windows (no progress bar, no poll), then the script shown in the tab.
ShownScript ShowThroughDouble(const std::filesystem::path& folder, TargetDialect dialect, const std::string& dsn,
                              const std::string& table);

}  // namespace quill::bench
