#include "generator/script_header.h"

#include "generator/log_stamp.h"

namespace quill {

std::string DialectName(TargetDialect dialect) {
  switch (dialect) {
    case TargetDialect::MySql: return "MySql";
    case TargetDialect::MsSql: return "MS SQL";
    case TargetDialect::Oracle: return "Oracle";
    case TargetDialect::Pervasive: return "Pervasive";
    case TargetDialect::PostgreSql: return "PostgreSQL";
  }
  return "MySql";
}

std::string ScriptHeader(const Settings& settings, const Clock& clock) {
  const bool arrows = settings.format == TargetDialect::Pervasive;
  const std::string open = arrows ? "<-- " : "/* ";
  const std::string close = arrows ? " -->\r\n" : " */\r\n";
  std::string header;
  header += open + "Created with Quillmarsh v." + kProgramVersion + close;
  header += open + HeaderStamp(clock) + close;
  header += open + "Type of SQL : " + DialectName(settings.format) + close;
  if (settings.debug_mode) header += open + "-- DEBUG MODE --" + close;
  return header;
}

std::string ScriptSessionStart(TargetDialect dialect) {
  if (dialect == TargetDialect::PostgreSql) {
    return "SET client_encoding = 'UTF8';\r\n"
           "SET standard_conforming_strings = on;\r\n";
  }
  if (dialect == TargetDialect::MySql) {
    // A mode appears once in the list: each is taken out with the commas
    // around it, then the outer commas go.
    return "SET @quillmarsh_sql_mode = @@SESSION.sql_mode, "
           "@quillmarsh_character_set_client = @@SESSION.character_set_client, "
           "@quillmarsh_character_set_results = @@SESSION.character_set_results, "
           "@quillmarsh_collation_connection = @@SESSION.collation_connection;\r\n"
           "SET NAMES utf8mb4;\r\n"
           "SET SESSION sql_mode = TRIM(BOTH ',' FROM REPLACE(REPLACE(REPLACE(CONCAT(',', @@SESSION.sql_mode, ','), "
           "',NO_BACKSLASH_ESCAPES,', ','), ',EMPTY_STRING_IS_NULL,', ','), ',ORACLE,', ','));\r\n";
  }
  return {};
}

std::string ScriptSessionEnd(TargetDialect dialect) {
  if (dialect != TargetDialect::MySql) return {};
  return "SET SESSION sql_mode = @quillmarsh_sql_mode, "
         "SESSION character_set_client = @quillmarsh_character_set_client, "
         "SESSION character_set_results = @quillmarsh_character_set_results, "
         "SESSION collation_connection = @quillmarsh_collation_connection;";
}

}  // namespace quill
