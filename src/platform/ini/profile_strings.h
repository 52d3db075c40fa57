#pragma once

#include <string>

#include "platform/ini/ini_document.h"

namespace quill {

// The profile-string calls on an INI file. Section and key names ignore case;
// a missing file, section or key gives default_value.
std::string GetPrivateProfileString(const std::string& section, const std::string& key,
                                    const std::string& default_value, const std::string& path);

// Writes one key, keeping every other line of the file in place; creates the
// file when it is missing. Throws InOutError when the file cannot be written.
void WritePrivateProfileString(const std::string& section, const std::string& key, const std::string& value,
                               const std::string& path);

// The file as a document, empty when it is missing or unreadable; and its
// replacement in one atomic write, for callers that read or write many keys.
IniDocument LoadIniFile(const std::string& path);
void SaveIniFile(const IniDocument& document, const std::string& path);

}  // namespace quill
