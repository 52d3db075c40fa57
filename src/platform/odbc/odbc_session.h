#pragma once

#include <sql.h>
#include <sqlext.h>

#include <mutex>
#include <string>
#include <vector>

#include "platform/odbc/odbc_handles.h"

namespace quill {

// What a connection needs to know of its driver, asked once after connecting.
struct OdbcDriverFacts {
  std::string driver_name;  // the driver library's name, lower case
  bool is_sqlite = false;
  bool is_mariadb = false;
  bool is_postgres = false;
  // Character data is asked for as SQL_C_CHAR and arrives as UTF-8: the
  // SQLite driver, and the MariaDB driver on a utf8mb4 session. The MariaDB
  // driver reports wrong lengths for some UTF-16 values and converts every
  // one of them on its own, so UTF-8 is both whole and cheaper there.
  // psqlodbc, asked for UTF-8 where it passes a UTF-8 database's text on
  // unchanged, copies each value instead of converting it to UTF-16 in a
  // buffer of its own.
  bool text_as_utf8 = false;
  std::string identifier_quote;    // empty when the source quotes nothing
  std::string search_escape;       // escape of "_" and "%" in catalog patterns
  bool schemas_in_statements = false;
  bool catalogs_without_schemas = false;  // databases as catalogs (MariaDB)
  SQLUINTEGER getdata_extensions = 0;
};

// One connected ODBC connection. Datasets share it, so it stays connected
// until the last of them is gone, even after the connection closed.
class OdbcSession {
 public:
  OdbcSession(const std::string& data_source, const std::string& user_name, const std::string& password,
              int connection_timeout_seconds, int command_timeout_seconds);
  ~OdbcSession();
  OdbcSession(const OdbcSession&) = delete;
  OdbcSession& operator=(const OdbcSession&) = delete;

  SQLHDBC connection() const { return connection_.get(); }
  const OdbcDriverFacts& facts() const { return facts_; }
  int command_timeout_seconds() const { return command_timeout_seconds_; }
  // The database the connection is in, as the driver names it (empty when none).
  std::string CurrentCatalog() const;
  // Held around every call on the connection's statements: a dataset may be
  // fetching its next block on a thread of its own meanwhile, and not every
  // driver takes calls from two threads at once. The one exception is a page
  // that the driver holds whole, whose rows are copied out without it (see
  // OdbcResultDataset).
  std::mutex& calls() const { return calls_; }
  // Runs one statement that returns no rows; whether the source took it.
  // Call with the call lock held.
  bool Run(const std::string& statement_text);
  // The consistent view of the source that table readers hold (see
  // TableSnapshot): its kind (none when ended), how many readers share it,
  // and a number of its own.
  struct OpenSnapshot {
    int kind = 0;  // a SnapshotKind
    int readers = 0;
    int number = 0;
  };
  OpenSnapshot& open_snapshot() { return open_snapshot_; }

 private:
  void Connect(const std::string& data_source, const std::string& user_name, const std::string& password);
  void ReadDriverFacts();
  // The character set the server sends results in, as the session says.
  std::string ResultCharacterSet();
  // Whether psqlodbc gives text to SQL_C_CHAR as UTF-8, unchanged.
  bool NarrowTextIsUtf8();
  // Runs a statement that the session may refuse.
  void RunQuietly(const std::string& statement_text);
  // Connects through a connection string with the first of the driver's
  // options that it takes; false when none did or none could be joined.
  bool ConnectWithOptions(const std::string& data_source, const std::string& user_name, const std::string& password,
                          const std::string& driver_name);
  void ReconnectWithOptions(const std::string& data_source, const std::string& user_name, const std::string& password,
                            const std::string& driver_name);

  OdbcHandle environment_;
  OdbcHandle connection_;
  bool connected_ = false;
  int command_timeout_seconds_;
  OdbcDriverFacts facts_;
  mutable std::mutex calls_;
  OpenSnapshot open_snapshot_;
};

}  // namespace quill
