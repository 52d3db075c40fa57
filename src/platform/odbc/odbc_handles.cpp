#include "platform/odbc/odbc_handles.h"

#include <algorithm>
#include <vector>

#include "platform/dataset/data_access_error.h"
#include "platform/odbc/utf16_text.h"

namespace quill {

std::string OdbcDiagnostics(SQLSMALLINT handle_type, SQLHANDLE handle) {
  std::string text;
  for (SQLSMALLINT record = 1;; ++record) {
    SQLWCHAR state[6] = {};
    SQLINTEGER native_error = 0;
    SQLSMALLINT length = 0;
    std::vector<SQLWCHAR> message(1024);
    SQLRETURN result = SQLGetDiagRecW(handle_type, handle, record, state, &native_error, message.data(),
                                      static_cast<SQLSMALLINT>(message.size()), &length);
    if (result == SQL_SUCCESS_WITH_INFO && length >= static_cast<SQLSMALLINT>(message.size())) {
      message.resize(length + 1);
      result = SQLGetDiagRecW(handle_type, handle, record, state, &native_error, message.data(),
                              static_cast<SQLSMALLINT>(message.size()), &length);
    }
    if (!SQL_SUCCEEDED(result)) break;
    const std::size_t used = TerminatedLength(message.data(), std::max<SQLSMALLINT>(length, 0), message.size() - 1);
    // The state ends at its first NUL: some drivers leave it empty, and a
    // NUL copied into the text would end the whole message there.
    const std::size_t state_length = TerminatedLength(state, 0, 5);
    if (!text.empty()) text += "\n";
    if (state_length > 0) text += "[" + Utf16ToUtf8(state, state_length) + "] ";
    text += Utf16ToUtf8(message.data(), used);
  }
  return text;
}

void CheckOdbc(SQLRETURN result, SQLSMALLINT handle_type, SQLHANDLE handle, const std::string& what) {
  if (SQL_SUCCEEDED(result) || result == SQL_NO_DATA) return;
  std::string message = handle == SQL_NULL_HANDLE ? std::string() : OdbcDiagnostics(handle_type, handle);
  if (message.empty()) message = what;
  throw DataAccessError(message);
}

void WithoutEscapeClauses(SQLHSTMT statement) {
  // A request only: a driver that cannot scan still runs the statement.
  SQLSetStmtAttrW(statement, SQL_ATTR_NOSCAN, reinterpret_cast<SQLPOINTER>(SQL_NOSCAN_ON), 0);
}

OdbcHandle::OdbcHandle(SQLSMALLINT handle_type, SQLHANDLE parent) : type_(handle_type) {
  const SQLRETURN result = SQLAllocHandle(handle_type, parent, &handle_);
  if (!SQL_SUCCEEDED(result)) {
    handle_ = SQL_NULL_HANDLE;
    const SQLSMALLINT parent_type = handle_type == SQL_HANDLE_STMT ? SQL_HANDLE_DBC : SQL_HANDLE_ENV;
    CheckOdbc(SQL_ERROR, parent_type, parent, "The ODBC driver manager could not allocate a handle.");
  }
}

OdbcHandle::~OdbcHandle() {
  if (handle_ == SQL_NULL_HANDLE) return;
  if (type_ == SQL_HANDLE_STMT) SQLFreeStmt(handle_, SQL_CLOSE);
  SQLFreeHandle(type_, handle_);
}

}  // namespace quill
