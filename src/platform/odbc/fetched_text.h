#pragma once

#include <sql.h>
#include <sqlext.h>

#include <optional>
#include <string>
#include <vector>

namespace quill {

class OdbcSession;

// The text of a column of the current row of a small catalog or settings
// query, as UTF-8; empty when NULL or when the driver cannot give it.
std::string FetchedText(SQLHSTMT statement, SQLUSMALLINT column);

// The first column of every row of a small catalog query, run with the
// session's call lock; nullopt when the query or a fetch failed.
std::optional<std::vector<std::string>> FetchedColumnTexts(const OdbcSession& session, const std::string& query);

}  // namespace quill
