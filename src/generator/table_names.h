#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "sources/settings.h"

namespace quill {

// The text after the first "." of a listed name, or the whole name.
std::string_view TextAfterFirstPoint(std::string_view listed_name);

// A table of a folder of text files: its listed name ends in ".csv", ".asc",
// ".tab" or ".txt" after its first "." (exact case).
bool IsTextFileTable(std::string_view listed_name);

// True when two chosen tables would get the same name in the script (the text
// after the first "." equal); never for a choice holding a text-file table.
bool HasDuplicateTableNames(const std::vector<std::string>& listed_names);

// The table's name in the script, in its parts: the destination schema (for
// MS SQL, PostgreSQL and MySql, when one is set) and the name, with the
// source schema dropped, or a text file's extension dropped.
struct OutputTableNameParts {
  std::string schema;
  std::string name;
};
OutputTableNameParts OutputTableNameFor(const Settings& settings, std::string_view listed_name,
                                        bool text_file_table);
// The parts joined the way each dialect's writer expects inside its outer
// quotes: schema + "].[" + name for MS SQL, with double quotes for PostgreSQL
// and back quotes for MySql.
std::string JoinOutputTableName(TargetDialect dialect, const OutputTableNameParts& parts);

// Every occurrence of `from` in text replaced by `to`.
std::string ReplaceAll(std::string text, char from, char to);

}  // namespace quill
