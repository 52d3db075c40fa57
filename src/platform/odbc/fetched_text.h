#pragma once

#include <sql.h>
#include <sqlext.h>

#include <string>

namespace quill {

// The text of a column of the current row of a small catalog or settings
// query, as UTF-8; empty when NULL or when the driver cannot give it.
std::string FetchedText(SQLHSTMT statement, SQLUSMALLINT column);

}  // namespace quill
