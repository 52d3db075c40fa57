#pragma once

#include <optional>
#include <string>

#include "sources/dsn_administration.h"

namespace quill {

// Opens a source from its driver and the attributes entered in the setup
// dialog, before anything is written, the way connecting to it would read
// it: an Access, Excel or text source through the Jet stand-in (unless
// jet_off), a SQLite3 source through the SQLite library, any other through
// its driver; then lists its tables and closes it again. Nothing when that
// worked, else the driver's or reader's own message, naming the file of a
// source that names one.
std::optional<std::string> TryDataSource(const std::string& driver, const SourceAttributes& attributes, bool jet_off);

// The ODBC connection string of a driver and its attributes
// ("DRIVER={name};KEY=value;..."): a value holding ";", "{" or "}", or
// blanks at its ends, goes in braces (a "}" in it doubled).
std::string DriverConnectionString(const std::string& driver, const SourceAttributes& attributes);

}  // namespace quill
