#include <sql.h>
#include <sqlext.h>

#include "platform/registry/registry_sources.h"

namespace quill::registry_sources {
namespace {

// unixODBC's version, as the driver manager reports it ("2.3.11").
std::string DriverManagerVersion() {
  SQLHENV environment = SQL_NULL_HENV;
  if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &environment))) return "";
  char version[64] = {};
  SQLINTEGER length = 0;
  const SQLRETURN result = SQLGetEnvAttr(environment, SQL_ATTR_UNIXODBC_VERSION, version, sizeof version, &length);
  SQLFreeHandle(SQL_HANDLE_ENV, environment);
  return SQL_SUCCEEDED(result) ? std::string(version) : std::string();
}

}  // namespace

RegistryKey DataAccessKey() {
  RegistryKey key;
  const std::string version = DriverManagerVersion();
  if (!version.empty()) key.values.push_back(StringValue("FullInstallVer", version));
  return key;
}

}  // namespace quill::registry_sources
