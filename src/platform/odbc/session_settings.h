#pragma once

#include <string>
#include <vector>

namespace quill {

// The settings a source session runs under, whatever the server's
// configuration, the database or the role made them: each would otherwise
// change what the program's statements (and the driver's own) read, how a
// value comes back, or cut a read short.

// PostgreSQL's, as the startup options of a connection ("-cname=value ..."):
// they hold from the session's first statement on, the driver's own included.
// With the newer settings for a server that knows them (9.6 and 14 on); an
// older server refuses a connection that names one.
std::string PostgresStartupOptions(bool with_newer_settings);

// The same settings, and those a startup option cannot carry on every server
// version, as SET statements for a session already open.
std::vector<std::string> PostgresSettingStatements();

// MariaDB's, as SET statements (MariaDB has no startup options).
std::vector<std::string> MariaDbSettingStatements();

}  // namespace quill
