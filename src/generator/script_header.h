#pragma once

#include <string>

#include "common/clock.h"
#include "sources/settings.h"

namespace quill {

constexpr const char* kProgramVersion = "1.6.4.28";

// "MySql", "MS SQL", "Oracle", "Pervasive" or "PostgreSQL".
std::string DialectName(TargetDialect dialect);

// The comment block at the top of a script, one item ending in CR LF: the
// version, the date and time, the dialect and, in debug mode, a fourth line.
// Pervasive scripts use the arrow form.
std::string ScriptHeader(const Settings& settings, const Clock& clock);

}  // namespace quill
