#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/connection/connection.h"
#include "sources/dsn_login_store.h"
#include "sources/settings.h"

namespace quill {

class UserInterface;

// The source's driver is the Jet ODBC driver: its file name, in exactly one of
// the two spellings, is part of the driver path.
bool IsJetDsn(const std::string& driver);
std::string JetConnectionString(const std::string& dbq);
std::string OdbcConnectionString(const std::string& source_name);

// A failed connection to a source that names a file says which file: the
// driver's own words often do not.
std::string NamingTheFile(const std::string& message, const std::string& file);

// The file a source is read from, empty for a source on a server: the file
// or folder the Jet stand-in reads, or the database entry of a driver that
// reads a file (SQLite, MDBTools) or of any driver where it is a path. A
// server's database name is no file.
std::string SourceFileOf(const std::string& driver_library, const std::string& database_entry,
                         const std::optional<std::string>& jet_path);

// The main window's texts that connecting shows (replaced by language files).
struct ConnectionMessages {
  std::string msg_conn_prbl = "Connection problem detected, disable Jet Provider now ?";
};

// The one shared connection to a data source, with the login it was opened
// with. The generator, the foreign-key designer and the exports all read
// through it.
class SourceSession {
 public:
  SourceSession(Settings& settings, const DsnLoginStore& logins, UserInterface& ui);

  // Connects to the system data source; throws SilentAbort when the user
  // declines the retry, or the retry's DataAccessError.
  void ConnectToSource(const std::string& source_name);
  // Appends the source's tables ("schema.table" where there is a schema).
  void GetTableNames(std::vector<std::string>& tables);

  Connection& connection() { return connection_; }
  const DsnLogin& CurrentLogin() const { return current_login_; }
  // Fills CurrentLogin from the login store, as before every open.
  void RefreshLogin(const std::string& source_name);

  ConnectionMessages& messages() { return messages_; }

 private:
  Settings& settings_;
  const DsnLoginStore& logins_;
  UserInterface& ui_;
  Connection connection_;
  DsnLogin current_login_;
  ConnectionMessages messages_;
};

}  // namespace quill
