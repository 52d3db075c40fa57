#pragma once

#include <string>
#include <vector>

namespace quill {

// A table-selection file (".tbs"): two comment lines, then one listed table
// name per line, CR LF line ends. Written atomically; throws InOutError.
void WriteTableSelectionFile(const std::string& path, const std::string& date_and_time,
                             const std::string& source_caption, const std::vector<std::string>& table_names);

// The kinds of file the selection dialog loads, by the text after the last
// "." of the file's name (exact case).
enum class SelectionFileKind { Tables, ForeignKeySet, Unsupported };
SelectionFileKind SelectionFileKindOf(const std::string& path);

// The table names of a ".tbs" file (every line as it is) or of a ".fks" file
// (the first and third field of every row whose first field holds no "//").
// Throws InOutError when the file cannot be read.
std::vector<std::string> ReadSelectionFileNames(const std::string& path, SelectionFileKind kind);

}  // namespace quill
