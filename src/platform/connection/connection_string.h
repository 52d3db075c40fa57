#pragma once

#include <optional>
#include <string>

namespace quill {

// The value of one key of a connection string ("Key=Value;Key=Value"); keys
// compare ignoring case and surrounding blanks; a value may be enclosed in
// double quotes. nullopt when the key is absent.
std::optional<std::string> ConnectionStringValue(const std::string& connection_string, const std::string& key);

}  // namespace quill
