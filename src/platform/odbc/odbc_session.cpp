#include "platform/odbc/odbc_session.h"

#include <odbcinst.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <optional>
#include <vector>

#include "platform/odbc/fetched_text.h"
#include "platform/odbc/session_settings.h"
#include "platform/text/text_encoding.h"
#include "platform/odbc/utf16_text.h"

namespace quill {
namespace {

OdbcHandle& PreparedEnvironment(OdbcHandle& environment) {
  environment.Check(SQLSetEnvAttr(environment.get(), SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0),
                    "The ODBC driver manager refused ODBC version 3.");
  return environment;
}

// Asked through the narrow call, into a zero-filled buffer: for a driver
// without wide calls (the MDBTools driver) unixODBC's wide call converts the
// answer as a terminated string, and that driver leaves its quote character
// unterminated, so the conversion runs on through unixODBC's buffer and past
// the end of ours. The narrow call hands our buffer to such a driver as it
// is. The answers read here (the driver's file name, marks) are ASCII.
std::string InfoText(SQLHDBC connection, SQLUSMALLINT info) {
  std::vector<SQLCHAR> buffer(256, 0);
  const std::size_t capacity = buffer.size() - 1;
  SQLSMALLINT length = 0;
  const SQLRETURN result =
      SQLGetInfo(connection, info, buffer.data(), static_cast<SQLSMALLINT>(capacity), &length);
  if (!SQL_SUCCEEDED(result)) return {};
  std::size_t chars = std::min<std::size_t>(std::max<SQLSMALLINT>(length, 0), capacity);
  while (chars < capacity && buffer[chars] != 0) ++chars;
  return std::string(reinterpret_cast<const char*>(buffer.data()), chars);
}

SQLUINTEGER InfoMask(SQLHDBC connection, SQLUSMALLINT info) {
  SQLUINTEGER value = 0;
  if (!SQL_SUCCEEDED(SQLGetInfoW(connection, info, &value, sizeof(value), nullptr))) return 0;
  return value;
}

// By default the SQLite, PostgreSQL and MariaDB drivers read a whole result
// into memory when the statement runs. Each has an option that makes it hand
// rows over as they are fetched (SQLite steps through them, PostgreSQL reads
// through a cursor in blocks, MariaDB leaves them on the server until fetched),
// so reading a table takes the same memory whatever its size. (MariaDB's
// driver has the option from 3.1.17 on; 3.1.15 holds the whole result, so
// tables are read in pages along their keys as well, see KeyPaging.)
// MariaDB's session also gets utf8mb4, whatever character set its DSN names:
// text then arrives whole, as the UTF-8 the program keeps.
std::string StreamingOption(const std::string& driver_name) {
  if (driver_name.find("sqlite") != std::string::npos) return "StepAPI=1";
  if (driver_name.find("psqlodbc") != std::string::npos) return "UseDeclareFetch=1;Fetch=1024";
  if (driver_name.find("maodbc") != std::string::npos) return "NO_CACHE=1;CHARSET=utf8mb4";
  return {};
}

bool IsPostgresDriver(const std::string& driver_name) { return driver_name.find("psqlodbc") != std::string::npos; }

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

// An entry of the ODBC configuration as unixODBC reads it (a user's DSNs,
// then the system's).
std::string ConfigurationEntry(const std::string& section, const std::string& key, const char* file) {
  // An empty section would list every section.
  if (section.empty()) return {};
  std::vector<char> buffer(4096, 0);
  const int length = SQLGetPrivateProfileString(section.c_str(), key.c_str(), "", buffer.data(),
                                                static_cast<int>(buffer.size() - 1), file);
  if (length <= 0) return {};
  return std::string(buffer.data(), strnlen(buffer.data(), buffer.size() - 1));
}

// The library of the DSN's driver: the DSN names it by its path or by a
// section of odbcinst.ini.
std::string DataSourceLibrary(const std::string& data_source) {
  const std::string driver = ConfigurationEntry(data_source, "Driver", "ODBC.INI");
  const std::string library = ConfigurationEntry(driver, "Driver", "ODBCINST.INI");
  return library.empty() ? driver : library;
}

// The library lower-cased. Known before the first connection, so that this
// connection already carries the driver's options.
std::string DataSourceDriver(const std::string& data_source) { return Lower(DataSourceLibrary(data_source)); }

// The keys of a DSN's section, in file order.
std::vector<std::string> DataSourceKeys(const std::string& data_source) {
  std::vector<char> buffer(16384, 0);
  const int length = SQLGetPrivateProfileString(data_source.c_str(), nullptr, "", buffer.data(),
                                                static_cast<int>(buffer.size() - 1), "ODBC.INI");
  std::vector<std::string> keys;
  for (std::size_t at = 0; length > 0 && at < buffer.size() && buffer[at] != 0;) {
    const std::string key(buffer.data() + at);
    keys.push_back(key);
    at += key.size() + 1;
  }
  return keys;
}

// psqlodbc hands its pqopt entry to libpq as connection parameters; the
// session's settings go there as startup options, after the DSN's own
// parameters (which the connection string's entry replaces). Empty when the
// DSN's parameters cannot stand in braces.
std::string PostgresStartupOption(const std::string& data_source, bool with_newer_settings) {
  const std::string own = ConfigurationEntry(data_source, "pqopt", "ODBC.INI");
  if (own.find_first_of("{}") != std::string::npos) return {};
  return "pqopt={" + own + (own.empty() ? "" : " ") + "options='" + PostgresStartupOptions(with_newer_settings) +
         "'}";
}

// The connection strings' options to try in turn, the fullest first: a
// server that refuses a startup option still takes the rest.
std::vector<std::string> ConnectionOptions(const std::string& driver_name, const std::string& data_source) {
  const std::string streaming = StreamingOption(driver_name);
  if (streaming.empty()) return {};
  std::vector<std::string> options;
  if (IsPostgresDriver(driver_name)) {
    for (const bool with_newer_settings : {true, false}) {
      const std::string startup = PostgresStartupOption(data_source, with_newer_settings);
      if (!startup.empty()) options.push_back(streaming + ";" + startup);
    }
  }
  options.push_back(streaming);
  return options;
}

bool IsUtf8CharacterSet(const std::string& name) {
  return name == "utf8mb4" || name == "utf8mb3" || name == "utf8";
}

// unixODBC's SQLConnectW converts a terminated argument by reading a fixed
// SQL_MAX_DSN_LENGTH + 1 characters of it, past the end of a shorter value:
// each argument goes in a zero-filled buffer longer than that.
constexpr std::size_t kConnectArgumentChars = 512;

std::vector<SQLWCHAR> ConnectArgument(const WideText& text) {
  std::vector<SQLWCHAR> buffer(std::max(kConnectArgumentChars, text.size() + 1), 0);
  std::copy(text.begin(), text.end(), buffer.begin());
  return buffer;
}

bool IsMariaDbDriver(const std::string& driver_name) { return driver_name.find("maodbc") != std::string::npos; }

// A value in braces, each "}" doubled: psqlodbc reads its password so, and
// MariaDB's driver every value.
std::string Braced(const std::string& value) {
  std::string braced = "{";
  for (const char c : value) braced += c == '}' ? std::string("}}") : std::string(1, c);
  return braced + "}";
}

// A password as a braced value: psqlodbc and MariaDB's driver read "}}"
// inside the braces as one "}", so with them any password joins; other
// drivers take only passwords free of braces. Empty when it cannot join.
std::optional<std::string> PasswordValue(const std::string& password, const std::string& driver_name) {
  if (IsPostgresDriver(driver_name) || IsMariaDbDriver(driver_name)) return Braced(password);
  if (password.find_first_of("{}") != std::string::npos) return std::nullopt;
  return "{" + password + "}";
}

// A user name as a connection string gives it: bare when nothing in it needs
// the braces, else braced where the driver reads braces ("}}" standing for
// "}" in MariaDB's); psqlodbc takes braces around a user name as part of
// it. Empty when it cannot join.
std::optional<std::string> UserNameValue(const std::string& name, const std::string& driver_name) {
  const bool bare = name.find_first_of(";{}") == std::string::npos && name.front() != ' ' && name.back() != ' ';
  if (bare) return name;
  if (IsMariaDbDriver(driver_name)) return Braced(name);
  if (name.find_first_of("{}") != std::string::npos) return std::nullopt;
  return "{" + name + "}";
}

// A value that psqlodbc takes bare: it ends a value at ";" and reads braces
// as part of it (only its password and pqopt entries are unbraced).
bool BareForPostgres(const std::string& value) {
  return !value.empty() && value.find(';') == std::string::npos && value.front() != '{' && value.front() != ' ' &&
         value.back() != ' ';
}

// A DSN's own entries after its driver's library, for psqlodbc when the
// DSN's name cannot stand in a connection string: the driver reads them as
// it would read them from the DSN. The pqopt entry goes with the session's
// startup options. nullopt when one of them cannot stand there either.
std::optional<std::string> PostgresDataSourceEntries(const std::string& data_source) {
  const std::string library = DataSourceLibrary(data_source);
  if (!BareForPostgres(library)) return std::nullopt;
  std::string entries = "DRIVER=" + library;
  for (const std::string& key : DataSourceKeys(data_source)) {
    const std::string lower = Lower(key);
    if (lower == "driver" || lower == "description" || lower == "pqopt") continue;
    if (key.find_first_of(";={}") != std::string::npos) return std::nullopt;
    const std::string value = ConfigurationEntry(data_source, key, "ODBC.INI");
    if (value.empty()) continue;
    if (lower == "password" || lower == "pwd") {
      entries += ";" + key + "=" + Braced(value);
    } else {
      if (!BareForPostgres(value)) return std::nullopt;
      entries += ";" + key + "=" + value;
    }
  }
  return entries;
}

// The data source as a connection string's first entry, so that the
// driver reads the DSN beside the session's options whatever its name
// holds. unixODBC and MariaDB's driver read a braced name ("}}" standing
// for "}"); psqlodbc takes a name bare, and for one it cannot take bare it
// gets the DSN's entries instead. nullopt when none of these can carry it.
std::optional<std::string> DataSourceEntry(const std::string& data_source, const std::string& driver_name) {
  if (data_source.empty() || data_source.front() == ' ' || data_source.back() == ' ') return std::nullopt;
  if (IsMariaDbDriver(driver_name)) return "DSN=" + Braced(data_source);
  if (IsPostgresDriver(driver_name)) {
    if (BareForPostgres(data_source)) return "DSN=" + data_source;
    return PostgresDataSourceEntries(data_source);
  }
  if (data_source.find_first_of(";{}=") != std::string::npos) return std::nullopt;
  return "DSN=" + data_source;
}

// Null for an empty text, so the driver takes the DSN's own login.
SQLWCHAR* OrNull(const WideText& text, std::vector<SQLWCHAR>& buffer) {
  return text.empty() ? nullptr : buffer.data();
}

}  // namespace

OdbcSession::OdbcSession(const std::string& data_source, const std::string& user_name, const std::string& password,
                         int connection_timeout_seconds, int command_timeout_seconds)
    : environment_(SQL_HANDLE_ENV, SQL_NULL_HANDLE),
      connection_(SQL_HANDLE_DBC, PreparedEnvironment(environment_).get()),
      command_timeout_seconds_(command_timeout_seconds) {
  // Time-out and read-only mode are requests: drivers that lack them still connect.
  SQLSetConnectAttrW(connection_.get(), SQL_ATTR_LOGIN_TIMEOUT,
                     reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(connection_timeout_seconds)), 0);
  SQLSetConnectAttrW(connection_.get(), SQL_ATTR_ACCESS_MODE, reinterpret_cast<SQLPOINTER>(SQL_MODE_READ_ONLY), 0);
  // A DSN whose driver is known from the configuration connects with its
  // options at once; otherwise the driver's name says after a first
  // connection.
  if (!ConnectWithOptions(data_source, user_name, password, DataSourceDriver(data_source))) {
    Connect(data_source, user_name, password);
    ReadDriverFacts();
    if (!ConnectionOptions(facts_.driver_name, data_source).empty()) {
      ReconnectWithOptions(data_source, user_name, password, facts_.driver_name);
    }
  }
  ReadDriverFacts();
  // A DSN that cannot join a connection string keeps its own character set:
  // text goes as UTF-8 only when the session really sends that.
  facts_.text_as_utf8 = facts_.is_sqlite || (facts_.is_mariadb && IsUtf8CharacterSet(ResultCharacterSet())) ||
                        (facts_.is_postgres && NarrowTextIsUtf8());
  // Set again once connected: a session whose startup options the server
  // refused, or whose DSN runs statements of its own when it connects
  // (ConnSettings, INITSTMT), still reads under them.
  if (facts_.is_postgres) {
    for (const std::string& statement : PostgresSettingStatements()) RunQuietly(statement);
  }
  if (facts_.is_mariadb) {
    for (const std::string& statement : MariaDbSettingStatements()) RunQuietly(statement);
  }
}

void OdbcSession::RunQuietly(const std::string& statement_text) {
  try {
    OdbcHandle statement(SQL_HANDLE_STMT, connection_.get());
    WithoutEscapeClauses(statement.get());
    WideText text = Utf8ToUtf16(statement_text);
    SQLExecDirectW(statement.get(), text.data(), SQL_NTS);
  } catch (const std::exception&) {
    // A request only: the session goes on without it.
  }
}

bool OdbcSession::Run(const std::string& statement_text) {
  OdbcHandle statement(SQL_HANDLE_STMT, connection_.get());
  WithoutEscapeClauses(statement.get());
  WideText text = Utf8ToUtf16(statement_text);
  return SQL_SUCCEEDED(SQLExecDirectW(statement.get(), text.data(), SQL_NTS));
}

std::string OdbcSession::ResultCharacterSet() {
  try {
    OdbcHandle statement(SQL_HANDLE_STMT, connection_.get());
    WithoutEscapeClauses(statement.get());
    WideText query = Utf8ToUtf16("SELECT @@character_set_results");
    if (!SQL_SUCCEEDED(SQLExecDirectW(statement.get(), query.data(), SQL_NTS))) return {};
    if (!SQL_SUCCEEDED(SQLFetch(statement.get()))) return {};
    std::string text = FetchedText(statement.get(), 1);
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
  } catch (const std::exception&) {
    return {};
  }
}

// psqlodbc hands a UTF-8 database's text to SQL_C_CHAR as it came when the
// program's locale speaks UTF-8 too (else it converts it to the locale's
// characters): asked with characters of two, three and four bytes.
bool OdbcSession::NarrowTextIsUtf8() {
  static constexpr char kExpected[] = "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80";
  try {
    OdbcHandle statement(SQL_HANDLE_STMT, connection_.get());
    WideText query = Utf8ToUtf16("SELECT pg_catalog.chr(233) || pg_catalog.chr(8364) || pg_catalog.chr(128512)");
    if (!SQL_SUCCEEDED(SQLExecDirectW(statement.get(), query.data(), SQL_NTS))) return false;
    if (!SQL_SUCCEEDED(SQLFetch(statement.get()))) return false;
    char buffer[32] = {};
    SQLLEN length = 0;
    if (SQLGetData(statement.get(), 1, SQL_C_CHAR, buffer, sizeof(buffer), &length) != SQL_SUCCESS) return false;
    return length == static_cast<SQLLEN>(sizeof(kExpected) - 1) &&
           std::string(buffer, static_cast<std::size_t>(length)) == kExpected;
  } catch (const std::exception&) {
    return false;
  }
}

void OdbcSession::Connect(const std::string& data_source, const std::string& user_name, const std::string& password) {
  const WideText dsn = Utf8ToUtf16(data_source);
  const WideText user = Utf8ToUtf16(user_name);
  const WideText secret = Utf8ToUtf16(password);
  std::vector<SQLWCHAR> dsn_buffer = ConnectArgument(dsn);
  std::vector<SQLWCHAR> user_buffer = ConnectArgument(user);
  std::vector<SQLWCHAR> secret_buffer = ConnectArgument(secret);
  // SQLConnect takes the three values apart, so no character of a password
  // can change the meaning of a connection string. A name beyond ASCII goes
  // as its UTF-8 bytes (see ConnectWithOptions).
  SQLRETURN result;
  if (!IsAscii(data_source)) {
    std::string name = data_source;
    std::string login = user_name;
    std::string secret_text = password;
    result = SQLConnect(connection_.get(), reinterpret_cast<SQLCHAR*>(name.data()), SQL_NTS,
                        login.empty() ? nullptr : reinterpret_cast<SQLCHAR*>(login.data()), login.empty() ? 0 : SQL_NTS,
                        secret_text.empty() ? nullptr : reinterpret_cast<SQLCHAR*>(secret_text.data()),
                        secret_text.empty() ? 0 : SQL_NTS);
    std::fill(secret_text.begin(), secret_text.end(), 0);
  } else {
    result = SQLConnectW(connection_.get(), dsn_buffer.data(), SQL_NTS, OrNull(user, user_buffer),
                         user.empty() ? 0 : SQL_NTS, OrNull(secret, secret_buffer), secret.empty() ? 0 : SQL_NTS);
  }
  std::fill(secret_buffer.begin(), secret_buffer.end(), 0);
  connection_.Check(result, "The data source \"" + data_source + "\" could not be opened.");
  connected_ = true;
}

// The options travel in a connection string, which only values free of its
// special characters can safely join; otherwise the plain connection is
// made. True once connected with one of the options.
bool OdbcSession::ConnectWithOptions(const std::string& data_source, const std::string& user_name,
                                     const std::string& password, const std::string& driver_name) {
  const std::vector<std::string> options = ConnectionOptions(driver_name, data_source);
  const std::optional<std::string> password_value = PasswordValue(password, driver_name);
  const std::optional<std::string> user_value =
      user_name.empty() ? std::optional<std::string>("") : UserNameValue(user_name, driver_name);
  const std::optional<std::string> source = DataSourceEntry(data_source, driver_name);
  if (options.empty() || !source || !user_value || !password_value) return false;
  std::string login = *source + ";";
  if (!user_name.empty()) login += "UID=" + *user_value + ";";
  if (!password.empty()) login += "PWD=" + *password_value + ";";
  // unixODBC finds a DSN by the low byte of each character of a wide name,
  // so a name beyond ASCII goes as the UTF-8 bytes that odbc.ini holds.
  const bool narrow = !IsAscii(data_source);
  for (const std::string& option : options) {
    SQLRETURN result;
    SQLSMALLINT length = 0;
    if (narrow) {
      std::string text = login + option;
      result = SQLDriverConnect(connection_.get(), nullptr, reinterpret_cast<SQLCHAR*>(text.data()), SQL_NTS, nullptr,
                                0, &length, SQL_DRIVER_NOPROMPT);
      std::fill(text.begin(), text.end(), 0);
    } else {
      WideText wide = Utf8ToUtf16(login + option);
      result = SQLDriverConnectW(connection_.get(), nullptr, wide.data(), SQL_NTS, nullptr, 0, &length,
                                 SQL_DRIVER_NOPROMPT);
      std::fill(wide.begin(), wide.end(), 0);
    }
    if (SQL_SUCCEEDED(result)) {
      connected_ = true;
      return true;
    }
  }
  return false;
}

void OdbcSession::ReconnectWithOptions(const std::string& data_source, const std::string& user_name,
                                       const std::string& password, const std::string& driver_name) {
  SQLDisconnect(connection_.get());
  connected_ = false;
  if (!ConnectWithOptions(data_source, user_name, password, driver_name)) Connect(data_source, user_name, password);
}

OdbcSession::~OdbcSession() {
  if (connected_) SQLDisconnect(connection_.get());
}

void OdbcSession::ReadDriverFacts() {
  const SQLHDBC dbc = connection_.get();
  std::string driver = InfoText(dbc, SQL_DRIVER_NAME);
  std::transform(driver.begin(), driver.end(), driver.begin(), [](unsigned char c) { return std::tolower(c); });
  facts_.driver_name = driver;
  facts_.is_sqlite = driver.find("sqlite") != std::string::npos;
  facts_.is_mariadb = driver.find("maodbc") != std::string::npos;
  facts_.is_postgres = driver.find("psqlodbc") != std::string::npos;
  facts_.identifier_quote = InfoText(dbc, SQL_IDENTIFIER_QUOTE_CHAR);
  if (facts_.identifier_quote == " ") facts_.identifier_quote.clear();
  // MariaDB's driver gives the double quote when the server's SQL mode holds
  // ANSI_QUOTES; the back-quote quotes a name in every mode, and the session
  // leaves that mode.
  if (facts_.is_mariadb) facts_.identifier_quote = "`";
  facts_.search_escape = InfoText(dbc, SQL_SEARCH_PATTERN_ESCAPE);
  const SQLUINTEGER schema_usage = InfoMask(dbc, SQL_SCHEMA_USAGE);
  const SQLUINTEGER catalog_usage = InfoMask(dbc, SQL_CATALOG_USAGE);
  facts_.schemas_in_statements = (schema_usage & SQL_SU_DML_STATEMENTS) != 0;
  facts_.catalogs_without_schemas = schema_usage == 0 && catalog_usage != 0;
  facts_.getdata_extensions = InfoMask(dbc, SQL_GETDATA_EXTENSIONS);
}

std::string OdbcSession::CurrentCatalog() const {
  const std::lock_guard lock(calls_);
  std::vector<SQLWCHAR> buffer(512);
  SQLINTEGER length = 0;
  const SQLRETURN result = SQLGetConnectAttrW(connection_.get(), SQL_ATTR_CURRENT_CATALOG, buffer.data(),
                                              static_cast<SQLINTEGER>(buffer.size() * sizeof(SQLWCHAR)), &length);
  if (!SQL_SUCCEEDED(result) || length <= 0) return {};
  const std::size_t chars = TerminatedLength(buffer.data(), length / sizeof(SQLWCHAR), buffer.size() - 1);
  return Utf16ToUtf8(buffer.data(), chars);
}

}  // namespace quill
