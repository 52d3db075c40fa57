#include "sources/trial_connection.h"

#include <algorithm>
#include <exception>
#include <vector>

#include "platform/connection/sqlite_source.h"
#include "platform/jet/reader/jet_backend.h"
#include "platform/ini/name_compare.h"
#include "platform/odbc/odbc_handles.h"
#include "platform/odbc/utf16_text.h"
#include "platform/sqlite/sqlite_backend.h"
#include "sources/jet_source.h"
#include "sources/source_session.h"

namespace quill {
namespace {

std::string AttributeValue(const SourceAttributes& attributes, const std::string& key) {
  for (const auto& [name, value] : attributes) {
    if (SameNameIgnoringCase(name, key)) return value;
  }
  return {};
}

std::string ConnectionStringValue(const std::string& value) {
  const bool plain = value.find_first_of(";{}") == std::string::npos &&
                     (value.empty() || (value.front() != ' ' && value.back() != ' '));
  if (plain) return value;
  std::string braced = "{";
  for (const char ch : value) braced += ch == '}' ? std::string("}}") : std::string(1, ch);
  return braced + "}";
}

// The driver's own connect, with no dialog of its own.
void ConnectThroughDriver(const std::string& driver, const SourceAttributes& attributes) {
  OdbcHandle environment(SQL_HANDLE_ENV, SQL_NULL_HANDLE);
  const SQLRETURN version =
      SQLSetEnvAttr(environment.get(), SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
  environment.Check(version, "The ODBC driver manager refused ODBC version 3.");
  OdbcHandle connection(SQL_HANDLE_DBC, environment.get());
  SQLSetConnectAttrW(connection.get(), SQL_ATTR_LOGIN_TIMEOUT, reinterpret_cast<SQLPOINTER>(30), 0);
  WideText text = Utf8ToUtf16(DriverConnectionString(driver, attributes));
  SQLSMALLINT length = 0;
  const SQLRETURN result =
      SQLDriverConnectW(connection.get(), nullptr, text.data(), SQL_NTS, nullptr, 0, &length, SQL_DRIVER_NOPROMPT);
  std::fill(text.begin(), text.end(), 0);  // it may hold a password
  connection.Check(result, "The driver \"" + driver + "\" could not connect.");
  SQLDisconnect(connection.get());
}

}  // namespace

std::string DriverConnectionString(const std::string& driver, const SourceAttributes& attributes) {
  std::string text = "DRIVER={" + driver + "}";
  for (const auto& [key, value] : attributes) {
    // A key that would change the string's meaning is no attribute.
    if (key.empty() || key.find_first_of(";={}") != std::string::npos) continue;
    text += ";" + key + "=" + ConnectionStringValue(value);
  }
  return text;
}

std::optional<std::string> TryDataSource(const std::string& driver, const SourceAttributes& attributes,
                                         bool jet_off) {
  const std::string library = DriverLibraryOf(driver);
  const std::string database = AttributeValue(attributes, "Database");
  const std::string dbq_entry = AttributeValue(attributes, "DBQ");
  const std::string dbq = dbq_entry.empty() ? database : dbq_entry;
  const std::optional<std::string> jet_path = JetSourcePath(library, dbq, database);
  const std::string file = jet_path.value_or(dbq);
  const std::string named_file = SourceFileOf(library, dbq, jet_path);
  try {
    if (jet_path && !jet_off) {
      OpenJetBackend(*jet_path)->OpenSchema(SchemaKind::Tables, {});
    } else if (IsSqlite3Driver(library)) {
      SqliteBackend(file).OpenSchema(SchemaKind::Tables, {});
    } else if (IsMdbToolsDriver(library) && dbq_entry.empty() && !database.empty()) {
      // The MDBTools driver reads Database from a DSN but only DBQ from a
      // connection string.
      SourceAttributes with_dbq = attributes;
      with_dbq.emplace_back("DBQ", database);
      ConnectThroughDriver(driver, with_dbq);
    } else {
      ConnectThroughDriver(driver, attributes);
    }
  } catch (const std::exception& error) {
    return NamingTheFile(error.what(), named_file);
  }
  return std::nullopt;
}

}  // namespace quill
