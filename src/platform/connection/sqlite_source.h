#pragma once

#include <optional>
#include <string>

namespace quill {

// The file of a system data source whose driver is the SQLite3 ODBC driver:
// its "Database" entry (or "DBQ"). Nothing for a source of any other driver,
// which is then read through ODBC.
std::optional<std::string> SqliteDataSourceFile(const std::string& data_source);

// The driver as a DSN names it: the library's path (libsqlite3odbc.so), or the
// driver section's name when odbcinst.ini does not resolve it.
bool IsSqlite3Driver(const std::string& driver);

}  // namespace quill
