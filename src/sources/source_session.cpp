#include "sources/source_session.h"

#include <exception>

#include "common/silent_abort.h"
#include "common/user_interface.h"
#include "platform/connection/sqlite_source.h"
#include "platform/dataset/data_access_error.h"
#include "platform/text/connection_string.h"
#include "sources/jet_source.h"
#include "sources/registryaccess.h"

namespace quill {
namespace {

const char kOdbcKey[] = "SOFTWARE\\ODBC\\ODBC.INI\\";

// A value that cannot be read counts as the empty text.
std::string ReadSourceValue(const std::string& source_name, const std::string& value_name) {
  std::string text;
  ReadRegString(RegistryRoot::LocalMachine, kOdbcKey + source_name + "\\" + value_name, text);
  return text;
}

Field& RowsetColumn(Dataset& rowset, const std::string& name) {
  Field* field = rowset.FindField(name);
  if (field == nullptr) throw DataAccessError("The tables rowset has no column " + name + ".");
  return *field;
}

}  // namespace

std::string NamingTheFile(const std::string& message, const std::string& file) {
  if (file.empty() || message.find(file) != std::string::npos) return message;
  return message + " (file: " + file + ")";
}

std::string SourceFileOf(const std::string& driver_library, const std::string& database_entry,
                         const std::optional<std::string>& jet_path) {
  if (jet_path) return *jet_path;
  const bool file_driver = IsSqlite3Driver(driver_library) || IsMdbToolsDriver(driver_library);
  if (file_driver || database_entry.find('/') != std::string::npos) return database_entry;
  return {};
}

bool IsJetDsn(const std::string& driver) {
  return driver.find("ODBCJT32") != std::string::npos || driver.find("odbcjt32") != std::string::npos;
}

std::string JetConnectionString(const std::string& dbq) {
  return "Provider=Microsoft.Jet.OLEDB.4.0;Persist Security Info=True;Data Source=" + ConnectionStringQuoted(dbq) + ";";
}

std::string OdbcConnectionString(const std::string& source_name) {
  return "Provider=MSDASQL.1;Persist Security Info=True;Data Source=" + ConnectionStringQuoted(source_name);
}

SourceSession::SourceSession(Settings& settings, const DsnLoginStore& logins, UserInterface& ui)
    : settings_(settings), logins_(logins), ui_(ui) {}

void SourceSession::RefreshLogin(const std::string& source_name) { current_login_ = logins_.GetPssw(source_name); }

void SourceSession::ConnectToSource(const std::string& source_name) {
  const std::string dbq = ReadSourceValue(source_name, "DBQ");
  const std::string driver = ReadSourceValue(source_name, "Driver");
  // Access, Excel and text sources are read by the Jet stand-in whatever
  // driver names them: no ODBC driver of this system reads them whole.
  const std::optional<std::string> jet_path = JetSourcePath(driver, dbq, ReadSourceValue(source_name, "Database"));
  connection_.Close();
  if (jet_path && !settings_.jet_eng) {
    connection_.SetConnectionString(JetConnectionString(*jet_path));
  } else {
    connection_.SetConnectionString(OdbcConnectionString(source_name));
  }
  try {
    RefreshLogin(source_name);
    connection_.Open(current_login_.user_name, current_login_.password);
    return;
  } catch (const std::exception& error) {
    ui_.ShowErrorDialog(NamingTheFile(error.what(), SourceFileOf(driver, dbq, jet_path)));
  }
  // One retry through the ODBC provider, if the user agrees to give up Jet.
  if (settings_.jet_eng) throw SilentAbort();
  if (ui_.ShowMessageBox(messages_.msg_conn_prbl, MessageIcon::Question, MessageButtons::YesNo) != MessageAnswer::Yes) {
    throw SilentAbort();
  }
  settings_.jet_eng = true;
  connection_.Close();
  connection_.SetConnectionString(OdbcConnectionString(source_name));
  RefreshLogin(source_name);
  try {
    connection_.Open(current_login_.user_name, current_login_.password);
  } catch (const DataAccessError& error) {
    throw DataAccessError(NamingTheFile(error.what(), SourceFileOf(driver, dbq, jet_path)));
  }
}

void SourceSession::GetTableNames(std::vector<std::string>& tables) {
  std::unique_ptr<Dataset> rowset = connection_.OpenSchema(SchemaKind::Tables);
  Field& table_type = RowsetColumn(*rowset, "TABLE_TYPE");
  Field& table_schema = RowsetColumn(*rowset, "TABLE_SCHEMA");
  Field& table_name = RowsetColumn(*rowset, "TABLE_NAME");
  for (; !rowset->Eof(); rowset->Next()) {
    const std::string type = table_type.AsString();
    if (type != "TABLE" && !(settings_.extr_from_system && type == "SYSTEM TABLE")) continue;
    const std::string schema = table_schema.AsString();
    tables.push_back(schema.empty() ? table_name.AsString() : schema + "." + table_name.AsString());
  }
}

}  // namespace quill
