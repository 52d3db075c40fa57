#pragma once

#include <sql.h>
#include <sqlext.h>

#include <string>

namespace quill {

// The driver's diagnostic records of a handle, one "[SQLSTATE] message" line
// each (lines joined by "\n"); empty when the driver left none.
std::string OdbcDiagnostics(SQLSMALLINT handle_type, SQLHANDLE handle);

// Throws DataAccessError when `result` is a failure: the message is the
// handle's diagnostics, or `what` when the driver gave none.
void CheckOdbc(SQLRETURN result, SQLSMALLINT handle_type, SQLHANDLE handle, const std::string& what);

// Makes the driver take a statement's text as it is: the program's
// statements hold no escape clauses, so braces in a quoted name are the
// name's own, never a clause for the driver to rewrite.
void WithoutEscapeClauses(SQLHSTMT statement);

// Owns one ODBC handle and frees it; statement handles are closed first.
class OdbcHandle {
 public:
  OdbcHandle(SQLSMALLINT handle_type, SQLHANDLE parent);
  ~OdbcHandle();
  OdbcHandle(const OdbcHandle&) = delete;
  OdbcHandle& operator=(const OdbcHandle&) = delete;

  SQLHANDLE get() const { return handle_; }
  SQLSMALLINT type() const { return type_; }
  void Check(SQLRETURN result, const std::string& what) const { CheckOdbc(result, type_, handle_, what); }

 private:
  SQLSMALLINT type_;
  SQLHANDLE handle_ = SQL_NULL_HANDLE;
};

}  // namespace quill
