#pragma once

#include <sql.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "platform/odbc/odbc_session.h"

namespace quill {

// A second connection to a source, opened when it is first needed and kept
// for the backend's life, for statements that run beside the table readers.
// The login is forgotten once the connection was tried.
class SideSession {
 public:
  SideSession(std::string data_source, std::string user_name, std::string password, int connection_timeout_seconds,
              int command_timeout_seconds);
  ~SideSession();
  SideSession(const SideSession&) = delete;
  SideSession& operator=(const SideSession&) = delete;

  // The connection; null when it could not be opened.
  std::shared_ptr<OdbcSession> Get();
  // The statement that stops the connection's running statement from
  // another connection of the same login; empty where a cancel of the
  // statement itself is safe.
  std::string CancelStatement();

 private:
  std::mutex mutex_;
  bool tried_ = false;
  std::string cancel_statement_;
  std::string data_source_;
  std::string user_name_;
  std::string password_;
  int connection_timeout_seconds_;
  int command_timeout_seconds_;
  std::shared_ptr<OdbcSession> session_;
};

// A table's record count, made on the side session while the table is read,
// so that the first rows need not wait for it. Its statement is cancelled
// when the count is given up before it is in: through the reader's own
// connection where the side session names a statement for it, else with a
// cancel of the statement.
class SideCount {
 public:
  SideCount(std::shared_ptr<SideSession> side, std::string statement_text, bool narrow,
            std::shared_ptr<OdbcSession> reader);
  ~SideCount();
  SideCount(const SideCount&) = delete;
  SideCount& operator=(const SideCount&) = delete;

  // Whether the count is still running.
  bool Coming() const;
  // The count, once in; nullopt while coming or when it failed.
  std::optional<int64_t> Rows() const;

 private:
  void Run(const std::string& statement_text, bool narrow);
  // Stops the running statement; called with mutex_ held.
  void CancelRunning();

  std::shared_ptr<SideSession> side_;
  std::shared_ptr<OdbcSession> reader_;
  mutable std::mutex mutex_;
  bool coming_ = true;
  bool given_up_ = false;
  SQLHSTMT running_ = SQL_NULL_HSTMT;  // the statement while it runs, for a cancel
  std::optional<int64_t> rows_;
  std::thread thread_;
};

}  // namespace quill
