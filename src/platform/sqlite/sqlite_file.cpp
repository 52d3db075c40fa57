#include "platform/sqlite/sqlite_file.h"

#include <sys/stat.h>

namespace quill {
namespace {

// How long a read waits for a writer of another program to finish.
constexpr int kBusyTimeoutMilliseconds = 2000;

}  // namespace

SqliteFile::SqliteFile(const std::string& path) : path_(path) {
  // Opening read-only never creates the file; the check gives the clearer text.
  struct stat status {};
  if (path.empty() || stat(path.c_str(), &status) != 0) throw Error("the database file does not exist");
  if (S_ISDIR(status.st_mode)) throw Error("the database file is a folder");
  // Opening a FIFO would wait for a writer; a device is no database.
  if (!S_ISREG(status.st_mode)) throw Error("the database file is not a plain file");
  const int code = sqlite3_open_v2(path.c_str(), &handle_, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
  if (code != SQLITE_OK) {
    const DataAccessError error = handle_ != nullptr ? Error(code) : Error(sqlite3_errstr(code));
    sqlite3_close(handle_);
    handle_ = nullptr;
    throw error;
  }
  sqlite3_busy_timeout(handle_, kBusyTimeoutMilliseconds);
  sqlite3_extended_result_codes(handle_, 1);
  // No statement can change the file's catalog behind the library. (The
  // schema stays trusted: a generated column that calls json_array() would
  // otherwise make the whole file unreadable; the program's own functions
  // are marked for direct calls only.)
  sqlite3_db_config(handle_, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
  // The header and the catalog are read now, so that a file which is not a
  // database, is damaged or is locked fails the connection.
  try {
    SqliteStatement check(*this, "SELECT count(*) FROM sqlite_schema");
    check.Step();
  } catch (...) {
    sqlite3_close(handle_);
    handle_ = nullptr;
    throw;
  }
}

SqliteFile::~SqliteFile() { sqlite3_close(handle_); }

DataAccessError SqliteFile::Error(int code) const {
  const char* message = handle_ != nullptr && sqlite3_errcode(handle_) == code ? sqlite3_errmsg(handle_)
                                                                               : sqlite3_errstr(code);
  return Error(std::string(message));
}

DataAccessError SqliteFile::Error(const std::string& message) const {
  return DataAccessError("[SQLite] " + message + " (file '" + path_ + "')");
}

SqliteStatement::SqliteStatement(const SqliteFile& file, std::string_view sql) : file_(file) {
  const int code = sqlite3_prepare_v2(file.handle(), sql.data(), static_cast<int>(sql.size()), &statement_, nullptr);
  if (code != SQLITE_OK) throw file.Error(code);
}

SqliteStatement::~SqliteStatement() { sqlite3_finalize(statement_); }

void SqliteStatement::BindText(int index, const std::string& text) {
  const int code = sqlite3_bind_text(statement_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
  if (code != SQLITE_OK) throw file_.Error(code);
}

bool SqliteStatement::Step() {
  const int code = sqlite3_step(statement_);
  if (code == SQLITE_ROW) return true;
  if (code == SQLITE_DONE) return false;
  const DataAccessError error = file_.Error(code);
  sqlite3_reset(statement_);
  throw error;
}

void SqliteStatement::Reset() { sqlite3_reset(statement_); }

std::string QuoteSqliteName(std::string_view name) {
  std::string quoted = "\"";
  for (const char c : name) {
    quoted += c;
    if (c == '"') quoted += c;
  }
  quoted += '"';
  return quoted;
}

}  // namespace quill
