#include "platform/odbc/session_settings.h"

#include <cstddef>

namespace quill {
namespace {

struct Setting {
  const char* name;
  const char* value;  // free of blanks, quotes and backslashes
};

// Settings every supported PostgreSQL version knows, so that a startup
// option of them never refuses the connection:
// - search_path: no operator, function, type or table of a user's schema
//   shadows a built-in that a statement names without its schema (the
//   driver's own catalog statements do so);
// - standard_conforming_strings: a backslash in a literal is a character;
// - DateStyle, IntervalStyle, bytea_output, extra_float_digits: the text
//   forms the reading expects, every digit of a float included;
// - TimeZone: one text for each instant of a timestamptz, none repeated when
//   clocks go back;
// - statement_timeout, lock_timeout: only the program's own time-out ends a
//   read;
// - quote_all_identifiers: a name comes back quoted only where it needs it;
// - client_min_messages, xmloption: the server's defaults.
constexpr Setting kPostgresSettings[] = {
    {"search_path", "pg_catalog"},
    {"standard_conforming_strings", "on"},
    {"DateStyle", "ISO"},
    {"IntervalStyle", "postgres"},
    {"bytea_output", "hex"},
    {"extra_float_digits", "3"},
    {"TimeZone", "UTC"},
    {"statement_timeout", "0"},
    {"lock_timeout", "0"},
    {"quote_all_identifiers", "off"},
    {"client_min_messages", "notice"},
    {"xmloption", "content"},
};

// Settings of newer versions (9.6 and 14): a read that pauses between blocks
// is not ended as idle, not even in the driver's first statements, when the
// session is too young for a SET; a table comes in the same order every time
// it is read (a dataset that reads its rows again skips those it has
// delivered), so a scan starts at the table's beginning and no parallel plan
// mixes its rows. As startup options where the server knows them all.
constexpr Setting kPostgresNewerSettings[] = {
    {"idle_in_transaction_session_timeout", "0"},
    {"idle_session_timeout", "0"},
    {"synchronize_seqscans", "off"},
    {"max_parallel_workers_per_gather", "0"},
};

// Settings whose values a startup option cannot carry: a statement outside
// a snapshot never waits for a serializable one.
constexpr Setting kPostgresSessionSettings[] = {
    {"default_transaction_isolation", "read committed"},
    {"default_transaction_deferrable", "off"},
};

template <std::size_t N>
void AppendStartupOptions(std::string& options, const Setting (&settings)[N]) {
  for (const Setting& setting : settings) {
    if (!options.empty()) options += ' ';
    options += std::string("-c") + setting.name + "=" + setting.value;
  }
}

template <std::size_t N>
void AppendSetStatements(std::vector<std::string>& statements, const Setting (&settings)[N]) {
  for (const Setting& setting : settings) {
    statements.push_back(std::string("SET ") + setting.name + " TO '" + setting.value + "'");
  }
}

}  // namespace

std::string PostgresStartupOptions(bool with_newer_settings) {
  std::string options;
  AppendStartupOptions(options, kPostgresSettings);
  if (with_newer_settings) AppendStartupOptions(options, kPostgresNewerSettings);
  return options;
}

std::vector<std::string> PostgresSettingStatements() {
  std::vector<std::string> statements;
  AppendSetStatements(statements, kPostgresSettings);
  AppendSetStatements(statements, kPostgresNewerSettings);
  AppendSetStatements(statements, kPostgresSessionSettings);
  return statements;
}

// One statement each, so that a server without one of them keeps the rest:
// - sql_mode: no mode changes how a statement reads (ANSI_QUOTES, ORACLE,
//   NO_BACKSLASH_ESCAPES) or how a value comes back (PAD_CHAR_TO_FULL_LENGTH
//   pads the CHAR keys a page starts after);
// - sql_select_limit, max_join_size, max_statement_time: nothing cuts a read
//   short or refuses it (DEFAULT would be the server's own value);
// - max_sort_length: a page's order compares whole keys;
// - wait_timeout: the session outlasts the pause while a page is written;
// - time_zone: one text for each instant of a TIMESTAMP, none repeated when
//   clocks go back;
// - the isolation level: no statement sees rows of an unfinished transaction;
// - autocommit: as the driver set it, so that a read outside a snapshot sees
//   the table as it is now, not as an implicit transaction first saw it.
std::vector<std::string> MariaDbSettingStatements() {
  return {
      "SET SESSION sql_mode = ''",
      "SET SESSION sql_select_limit = 18446744073709551615",
      "SET SESSION max_join_size = 18446744073709551615",
      "SET SESSION max_statement_time = 0",
      "SET SESSION max_sort_length = 8388608",
      "SET SESSION wait_timeout = 28800",
      "SET SESSION time_zone = '+00:00'",
      "SET SESSION TRANSACTION ISOLATION LEVEL REPEATABLE READ",
      "SET SESSION autocommit = 1",
  };
}

}  // namespace quill
