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

// The statements after the header lines that make the script's literals
// read the same in every session, each line ending in CR LF: PostgreSQL
// takes UTF-8 and standard-conforming strings (a backslash is no escape);
// MySql saves the session's sql_mode and character set, takes utf8mb4 and
// clears the modes that change how a literal reads (NO_BACKSLASH_ESCAPES,
// EMPTY_STRING_IS_NULL, ORACLE). Empty for the other dialects.
std::string ScriptSessionStart(TargetDialect dialect);

// The statement after the script's last item that gives a MySql session its
// own sql_mode and character set back; empty for the other dialects.
std::string ScriptSessionEnd(TargetDialect dialect);

}  // namespace quill
