#pragma once

#include <filesystem>
#include <string>

#include "common/user_interface.h"
#include "sources/settings.h"

namespace quill::bench {

// One whole script run as the program makes it, connect to finished script:
// `table` of the source `dsn` in `dialect`, no debug lines, logins kept in
// `folder`; the script goes to ui.AddScriptTab.
void RunScript(const std::filesystem::path& folder, TargetDialect dialect, const std::string& dsn,
               const std::string& table, UserInterface& ui);

}  // namespace quill::bench
