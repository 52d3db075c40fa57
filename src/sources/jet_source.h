#pragma once

#include <optional>
#include <string>

namespace quill {

// Debian's MDBTools ODBC driver (libmdbodbc.so, libmdbodbcW.so), named by its
// library or, where odbcinst.ini does not resolve it, by its section.
bool IsMdbToolsDriver(const std::string& driver);

// The path names what the Jet stand-in reads: an Access file (.mdb, .accdb),
// an Excel workbook (.xls), or a folder of text files (an absolute path to
// an existing folder; a server's database name is never one).
bool NamesJetFileOrFolder(const std::string& path);

// What a source's Jet reader opens, when the source is one of the Jet
// family's: DBQ for a source of the Jet driver (IsJetDsn) or of the MDBTools
// driver, and for any other source its database entry (Database, else DBQ)
// when that names an Access or Excel file or a text folder. Nothing for a
// source that is read through its own driver.
std::optional<std::string> JetSourcePath(const std::string& driver, const std::string& dbq,
                                         const std::string& database);

}  // namespace quill
