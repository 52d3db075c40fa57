#pragma once

#include <string>
#include <vector>

#include "platform/sqlite/sqlite_column_class.h"
#include "platform/sqlite/sqlite_file.h"

namespace quill {

// Makes the profile aggregate known to the file's connection (once per file).
void RegisterColumnProfileFunction(const SqliteFile& file);

// One pass over the table (one SELECT with an aggregate per column) gives the
// profile of every column; `declared` says per column what to look at.
// `table_sql` is the quoted table name, `column_sql` the quoted column names.
std::vector<SqliteColumnProfile> ProfileColumns(const SqliteFile& file, const std::string& table_sql,
                                                const std::vector<std::string>& column_sql,
                                                const std::vector<SqliteColumnClass>& declared);

}  // namespace quill
