#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "sources/dsn_login_store.h"

namespace quill {

// A login key file holds one record of 42 bytes: for the user name and then the
// password, a length byte (0-20) and 20 bytes of scrambled text, zero-filled.
constexpr size_t kDsnKeyFieldCapacity = 20;
constexpr size_t kDsnKeyRecordSize = 2 * (1 + kDsnKeyFieldCapacity);

// The longest start of text that fits max_bytes without splitting a UTF-8
// character.
std::string CutToWholeUtf8Characters(const std::string& text, size_t max_bytes);

std::string EncodeDsnKeyRecord(const DsnLogin& login);
// record holds at least kDsnKeyRecordSize bytes.
DsnLogin DecodeDsnKeyRecord(std::string_view record);

// "pssw/" + source + ".key" in the program's folder; nothing for a source name
// that cannot be one file name (it holds a "/").
std::optional<std::string> DsnKeyFilePath(const std::string& program_folder, const std::string& dsn_name);
std::string DsnKeyFolder(const std::string& program_folder);

// Reads the file's first record; throws InOutError when the file cannot be
// read or is shorter than a record.
DsnLogin ReadDsnKeyFile(const std::string& path);
// Writes the record readable by the owner only; throws InOutError.
void WriteDsnKeyFile(const std::string& path, const DsnLogin& login);

}  // namespace quill
