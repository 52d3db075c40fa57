#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/registry/registry.h"

namespace quill {

// The read-only registry routines. A value is named by one path: the key, a
// backslash and the value name ("SOFTWARE\ODBC\ODBC.INI\" + source + "\Driver").

// 1-based position of the last ch in text; 0 when there is none.
int LastCharPos(char ch, const std::string& text);

// True with the value's bytes in data when the value exists with
// expected_type; false and data untouched otherwise.
bool ReadRegValue(RegistryRoot root, const std::string& path, uint32_t expected_type, std::vector<uint8_t>& data);

// A REG_SZ value without its terminating NUL; on false text is unchanged.
bool ReadRegString(RegistryRoot root, const std::string& path, std::string& text);

// A REG_DWORD value; value is 0 on false.
bool ReadRegDWORD(RegistryRoot root, const std::string& path, uint32_t& value);

// Clears list, then fills it with the key's sub-key names (sub_keys true) or
// value names, in registry order; false when the key cannot be opened.
bool EnumRegNames(RegistryRoot root, const std::string& key_path, std::vector<std::string>& list, bool sub_keys);
bool EnumRegValueNames(RegistryRoot root, const std::string& key_path, std::vector<std::string>& list);

// The names of the ODBC system data sources and of the installed ODBC drivers,
// in registry order; false when the key cannot be opened.
bool SystemDsnList(std::vector<std::string>& names);
bool OdbcDriverList(std::vector<std::string>& names);

}  // namespace quill
