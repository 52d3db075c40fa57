#pragma once

#include <string>
#include <vector>

#include "foreignkeys/constraint_scripts.h"

namespace quill {

constexpr const char* kForeignKeySetFileName = "ForeignKeySet.fks";

// One saved row of a foreign-key set file (".fks").
struct ForeignKeySetRow {
  ForeignKeyValues key;
  bool selected = false;
  std::string stamp;  // when the row was first saved
};

// The whole file: the two comment lines ("created on" with the date and time,
// "From source :" with the source tree's caption), then one line per row of
// six fields each ended by ";"; every line ends with CR LF.
std::string ForeignKeySetText(const std::string& date_and_time, const std::string& source_caption,
                              const std::vector<ForeignKeySetRow>& rows);

// Writes the text in one step; throws InOutError.
void WriteForeignKeySetFile(const std::string& path, const std::string& text);

// The file's lines (UTF-8, or Windows-1252 when the bytes are not UTF-8);
// throws InOutError when it cannot be read.
std::vector<std::string> ReadForeignKeySetLines(const std::string& path);

// The six fields of a row line; nothing for a comment line (its first field
// holds "//") and for a line of fewer than six fields, which holds no row.
bool ParseForeignKeySetLine(const std::string& line, ForeignKeySetRow& row);

}  // namespace quill
