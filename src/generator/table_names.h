#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/dataset/connection_backend.h"
#include "sources/settings.h"

namespace quill {

// The text after the first "." of a listed name, or the whole name.
std::string_view TextAfterFirstPoint(std::string_view listed_name);
// The table's own name in a listed name: the text after its first point
// (the schema's end), or the whole name when nothing follows the point (a
// SQLite table "x." or "\."), so that no table is written without a name.
std::string_view TableNameAfterSchema(std::string_view listed_name);

// The schema rowsets' restrictions naming a listed table: the text before
// its first point as schema and the rest as table, or, when either would be
// empty (a SQLite table ".x", "x." or "\."), the whole name as table.
SchemaRestrictions ListedTableRestrictions(const std::string& listed_name);

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
