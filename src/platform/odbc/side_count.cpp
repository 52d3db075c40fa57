#include "platform/odbc/side_count.h"

#include <sqlext.h>

#include <algorithm>
#include <exception>
#include <utility>

#include "platform/odbc/fetched_text.h"
#include "platform/odbc/odbc_handles.h"
#include "platform/odbc/utf16_text.h"

namespace quill {

SideSession::SideSession(std::string data_source, std::string user_name, std::string password,
                         int connection_timeout_seconds, int command_timeout_seconds)
    : data_source_(std::move(data_source)),
      user_name_(std::move(user_name)),
      password_(std::move(password)),
      connection_timeout_seconds_(connection_timeout_seconds),
      command_timeout_seconds_(command_timeout_seconds) {}

SideSession::~SideSession() { std::fill(password_.begin(), password_.end(), '\0'); }

std::shared_ptr<OdbcSession> SideSession::Get() {
  const std::lock_guard lock(mutex_);
  if (tried_) return session_;
  tried_ = true;
  try {
    session_ = std::make_shared<OdbcSession>(data_source_, user_name_, password_, connection_timeout_seconds_,
                                             command_timeout_seconds_);
    // MariaDB's driver cancels a statement by unlocking, from the cancelling
    // thread, a lock that the running thread holds: its statement is killed
    // by its connection's number instead.
    // No other thread has the session yet.
    if (session_->facts().is_mariadb) {
      OdbcHandle statement(SQL_HANDLE_STMT, session_->connection());
      WideText query = Utf8ToUtf16("SELECT CONNECTION_ID()");
      if (SQL_SUCCEEDED(SQLExecDirectW(statement.get(), query.data(), SQL_NTS)) &&
          SQL_SUCCEEDED(SQLFetch(statement.get()))) {
        const std::string id = FetchedText(statement.get(), 1);
        if (!id.empty() && id.find_first_not_of("0123456789") == std::string::npos) {
          cancel_statement_ = "KILL QUERY " + id;
        }
      }
    }
  } catch (const std::exception&) {
    // A server with no connection to spare: counts are made by the readers.
    session_.reset();
  }
  std::fill(password_.begin(), password_.end(), '\0');
  password_.clear();
  return session_;
}

std::string SideSession::CancelStatement() {
  const std::lock_guard lock(mutex_);
  return cancel_statement_;
}

SideCount::SideCount(std::shared_ptr<SideSession> side, std::string statement_text, bool narrow,
                     std::shared_ptr<OdbcSession> reader)
    : side_(std::move(side)),
      reader_(std::move(reader)),
      thread_([this, text = std::move(statement_text), narrow] { Run(text, narrow); }) {}

SideCount::~SideCount() {
  {
    const std::lock_guard lock(mutex_);
    given_up_ = true;
    if (running_ != SQL_NULL_HSTMT) CancelRunning();
  }
  thread_.join();
}

void SideCount::CancelRunning() {
  // The side session runs nothing else until this count lets go of it, so
  // the statement killed is this one.
  const std::string cancel = side_->CancelStatement();
  if (!cancel.empty() && reader_) {
    const std::lock_guard calls(reader_->calls());
    if (reader_->Run(cancel)) return;
  }
  SQLCancel(running_);
}

bool SideCount::Coming() const {
  const std::lock_guard lock(mutex_);
  return coming_;
}

std::optional<int64_t> SideCount::Rows() const {
  const std::lock_guard lock(mutex_);
  return rows_;
}

void SideCount::Run(const std::string& statement_text, bool narrow) {
  std::optional<int64_t> rows;
  try {
    const std::shared_ptr<OdbcSession> session = side_->Get();
    if (session) {
      const std::lock_guard calls(session->calls());
      OdbcHandle statement(SQL_HANDLE_STMT, session->connection());
      WithoutEscapeClauses(statement.get());
      SQLSetStmtAttrW(statement.get(), SQL_ATTR_QUERY_TIMEOUT,
                      reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(session->command_timeout_seconds())), 0);
      bool given_up = false;
      {
        const std::lock_guard lock(mutex_);
        given_up = given_up_;
        if (!given_up) running_ = statement.get();
      }
      SQLRETURN ran = SQL_ERROR;
      if (!given_up) {
        std::string narrow_text = statement_text;
        WideText text = Utf8ToUtf16(statement_text);
        ran = narrow ? SQLExecDirect(statement.get(), reinterpret_cast<SQLCHAR*>(narrow_text.data()), SQL_NTS)
                     : SQLExecDirectW(statement.get(), text.data(), SQL_NTS);
      }
      {
        // The handle is freed only once no cancel can reach it.
        const std::lock_guard lock(mutex_);
        running_ = SQL_NULL_HSTMT;
        given_up = given_up_;
      }
      SQLBIGINT count = 0;
      SQLLEN indicator = 0;
      if (!given_up && SQL_SUCCEEDED(ran) && SQL_SUCCEEDED(SQLFetch(statement.get())) &&
          SQL_SUCCEEDED(SQLGetData(statement.get(), 1, SQL_C_SBIGINT, &count, sizeof(count), &indicator)) &&
          indicator != SQL_NULL_DATA) {
        rows = count;
      }
    }
  } catch (const std::exception&) {
    rows.reset();  // the count stays unknown; the reading is not affected
  }
  const std::lock_guard lock(mutex_);
  rows_ = rows;
  coming_ = false;
}

}  // namespace quill
