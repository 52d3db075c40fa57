#pragma once

#include <string>
#include <vector>

#include "platform/sqlite/sqlite_column_class.h"
#include "platform/sqlite/sqlite_file.h"

namespace quill {

// Makes the profile aggregate known to the file's connection (once per file).
void RegisterColumnProfileFunction(const SqliteFile& file);

// What one pass over a table found: its count of rows and each column's profile.
struct SqliteTableProfile {
  int64_t rows = 0;
  std::vector<SqliteColumnProfile> columns;
};

// One pass over the table (one SELECT with count(*) and the profile
// aggregate over the columns) gives the profile of every column; `declared`
// says per column what to look at. `table_sql` is the quoted table name,
// `column_sql` the quoted column names.
SqliteTableProfile ProfileTable(const SqliteFile& file, const std::string& table_sql,
                                const std::vector<std::string>& column_sql,
                                const std::vector<SqliteColumnClass>& declared);

}  // namespace quill
