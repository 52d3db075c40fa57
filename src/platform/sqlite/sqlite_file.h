#pragma once

#include <sqlite3.h>

#include <string>
#include <string_view>

#include "platform/dataset/data_access_error.h"

namespace quill {

// One SQLite database file opened read-only: it is never created, written or
// locked for writing. Datasets share it, so it stays open until the last of
// them is gone.
class SqliteFile {
 public:
  // Throws DataAccessError naming the file when it does not exist, is not a
  // database, is damaged or cannot be read.
  explicit SqliteFile(const std::string& path);
  ~SqliteFile();
  SqliteFile(const SqliteFile&) = delete;
  SqliteFile& operator=(const SqliteFile&) = delete;

  sqlite3* handle() const { return handle_; }
  const std::string& path() const { return path_; }

  // The library's message for the last failure, with the file's name.
  DataAccessError Error(int code) const;
  DataAccessError Error(const std::string& message) const;

 private:
  std::string path_;
  sqlite3* handle_ = nullptr;
};

// A prepared statement, finalized with the object.
class SqliteStatement {
 public:
  SqliteStatement(const SqliteFile& file, std::string_view sql);
  ~SqliteStatement();
  SqliteStatement(const SqliteStatement&) = delete;
  SqliteStatement& operator=(const SqliteStatement&) = delete;

  sqlite3_stmt* get() const { return statement_; }
  void BindText(int index, const std::string& text);
  // Steps once: true on a row, false at the end; throws on a failure.
  bool Step();
  void Reset();

 private:
  const SqliteFile& file_;
  sqlite3_stmt* statement_ = nullptr;
};

// A name between double quotes, each double quote inside doubled.
std::string QuoteSqliteName(std::string_view name);

}  // namespace quill
