#include "platform/connection/connection.h"

#include <algorithm>
#include <cctype>

#include "platform/text/connection_string.h"
#include "platform/connection/sqlite_source.h"
#include "platform/jet/reader/jet_backend.h"
#include "platform/odbc/odbc_backend.h"
#include "platform/sqlite/sqlite_backend.h"

namespace quill {
namespace {

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

bool IsOdbcProvider(const std::string& provider) {
  const std::string name = Lower(provider);
  return name.empty() || name == "msdasql" || name.rfind("msdasql.", 0) == 0;
}

bool IsJetProvider(const std::string& provider) { return Lower(provider).rfind("microsoft.jet.oledb.", 0) == 0; }

}  // namespace

Connection::Connection() = default;
Connection::~Connection() = default;

void Connection::SetConnectionString(const std::string& connection_string) { connection_string_ = connection_string; }

void Connection::Open(const std::string& user_name, const std::string& password) {
  if (backend_) return;
  const std::string provider = ConnectionStringValue(connection_string_, "Provider").value_or("");
  const std::string data_source = ConnectionStringValue(connection_string_, "Data Source").value_or("");
  if (IsOdbcProvider(provider)) {
    if (data_source.empty()) throw DataAccessError("No data source name was given.");
    // A SQLite source keeps its ODBC definition but is read through the
    // SQLite library: the driver loses digits, text and dotted names.
    if (const std::optional<std::string> file = SqliteDataSourceFile(data_source)) {
      backend_ = std::make_unique<SqliteBackend>(*file);
      return;
    }
    backend_ = std::make_unique<OdbcBackend>(data_source, user_name, password, connection_timeout_seconds_,
                                             command_timeout_seconds_);
  } else if (IsJetProvider(provider)) {
    backend_ = OpenJetBackend(data_source);
  } else {
    throw DataAccessError("Provider cannot be found. It may not be properly installed. (" + provider + ")");
  }
}

void Connection::Close() { backend_.reset(); }

std::unique_ptr<Dataset> Connection::OpenSchema(SchemaKind kind, const SchemaRestrictions& restrictions) {
  if (!backend_) throw DataAccessError("Operation is not allowed when the object is closed.");
  return backend_->OpenSchema(kind, restrictions);
}

std::unique_ptr<Dataset> Connection::OpenTable(const std::string& table_name) {
  if (!backend_) throw DataAccessError("Operation is not allowed when the object is closed.");
  return backend_->OpenTable(table_name);
}

}  // namespace quill
