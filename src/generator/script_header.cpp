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

}  // namespace quill
