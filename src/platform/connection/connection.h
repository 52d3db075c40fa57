#pragma once

#include <memory>
#include <string>

#include "platform/dataset/connection_backend.h"
#include "platform/dataset/data_access_error.h"

namespace quill {

// The one data-source connection: its string names the provider
// ("Provider=MSDASQL.1;...;Data Source=DSN" or
// "Provider=Microsoft.Jet.OLEDB.4.0;...;Data Source=PATH;") and the source.
class Connection {
 public:
  Connection();
  ~Connection();

  void SetConnectionString(const std::string& connection_string);
  const std::string& ConnectionString() const { return connection_string_; }
  int ConnectionTimeout() const { return connection_timeout_seconds_; }
  int CommandTimeout() const { return command_timeout_seconds_; }

  // Opens with a user name and a password; nothing happens when already open.
  // Throws DataAccessError with the provider's message.
  void Open(const std::string& user_name, const std::string& password);
  void Close();
  bool IsOpen() const { return backend_ != nullptr; }

  // Both throw DataAccessError when closed or when the source refuses.
  std::unique_ptr<Dataset> OpenSchema(SchemaKind kind, const SchemaRestrictions& restrictions = {});
  std::unique_ptr<Dataset> OpenTable(const std::string& table_name);

 private:
  std::string connection_string_;
  int connection_timeout_seconds_ = 30;
  int command_timeout_seconds_ = 45;
  std::unique_ptr<ConnectionBackend> backend_;
};

}  // namespace quill
