#include "platform/odbc/fetched_text.h"

#include <vector>

#include "platform/odbc/utf16_text.h"

namespace quill {

std::string FetchedText(SQLHSTMT statement, SQLUSMALLINT column) {
  std::vector<SQLWCHAR> buffer(1024);
  SQLLEN length = 0;
  if (!SQL_SUCCEEDED(SQLGetData(statement, column, SQL_C_WCHAR, buffer.data(),
                                static_cast<SQLLEN>(buffer.size() * sizeof(SQLWCHAR)), &length)) ||
      length < 0) {
    return {};
  }
  const std::size_t units = TerminatedLength(buffer.data(), static_cast<std::size_t>(length) / sizeof(SQLWCHAR),
                                             buffer.size() - 1);
  return Utf16ToUtf8(buffer.data(), units);
}

}  // namespace quill
