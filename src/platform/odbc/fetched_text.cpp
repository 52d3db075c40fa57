#include "platform/odbc/fetched_text.h"

#include <exception>
#include <mutex>
#include <vector>

#include "platform/odbc/odbc_handles.h"
#include "platform/odbc/odbc_session.h"
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

std::optional<std::vector<std::string>> FetchedColumnTexts(const OdbcSession& session, const std::string& query) {
  std::vector<std::string> texts;
  const std::lock_guard lock(session.calls());
  try {
    OdbcHandle statement(SQL_HANDLE_STMT, session.connection());
    WithoutEscapeClauses(statement.get());
    WideText text = Utf8ToUtf16(query);
    if (!SQL_SUCCEEDED(SQLExecDirectW(statement.get(), text.data(), SQL_NTS))) return std::nullopt;
    SQLRETURN fetched;
    while (SQL_SUCCEEDED(fetched = SQLFetch(statement.get()))) texts.push_back(FetchedText(statement.get(), 1));
    if (fetched != SQL_NO_DATA) return std::nullopt;
  } catch (const std::exception&) {
    return std::nullopt;
  }
  return texts;
}

}  // namespace quill
