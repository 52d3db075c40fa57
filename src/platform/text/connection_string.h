#pragma once

#include <optional>
#include <string>

namespace quill {

// The value of one key of a connection string ("Key=Value;Key=Value"); keys
// compare ignoring case and surrounding blanks; a value may be enclosed in
// double or single quotes, a doubled quote inside standing for one. nullopt
// when the key is absent.
std::optional<std::string> ConnectionStringValue(const std::string& connection_string, const std::string& key);

// A value as it must stand in a connection string for ConnectionStringValue
// to give it back whole: as it is when plain, else in double quotes. A data
// source name or a file path may hold ";" or quotes, and cut there it would
// name another source or file.
std::string ConnectionStringQuoted(const std::string& value);

}  // namespace quill
