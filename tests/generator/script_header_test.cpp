// The script header and the log stamp, against a fixed clock.

#include "generator/script_header.h"

#include <gtest/gtest.h>

#include "generator/log_stamp.h"
#include "platform/formatting/format_settings.h"

namespace quill {
namespace {

DateTime Now() { return DateTime{2004, 12, 31, 23, 59, 58, 0}; }

struct HeaderCase {
  TargetDialect dialect;
  bool debug;
  std::string expected;
};

TEST(ScriptHeaderTest, CommentFormPerDialectWithTheDebugLine) {
  const std::vector<HeaderCase> cases = {
      {TargetDialect::MySql, false,
       "/* Created with Quillmarsh v.1.6.4.28 */\r\n/* 2004-12-31 23:59:58 */\r\n/* Type of SQL : MySql */\r\n"},
      {TargetDialect::PostgreSql, true,
       "/* Created with Quillmarsh v.1.6.4.28 */\r\n/* 2004-12-31 23:59:58 */\r\n/* Type of SQL : PostgreSQL */\r\n"
       "/* -- DEBUG MODE -- */\r\n"},
      {TargetDialect::Pervasive, true,
       "<-- Created with Quillmarsh v.1.6.4.28 -->\r\n<-- 2004-12-31 23:59:58 -->\r\n"
       "<-- Type of SQL : Pervasive -->\r\n<-- -- DEBUG MODE -- -->\r\n"},
  };
  for (const HeaderCase& c : cases) {
    Settings settings;
    settings.format = c.dialect;
    settings.debug_mode = c.debug;
    EXPECT_EQ(ScriptHeader(settings, &Now), c.expected) << DialectName(c.dialect);
  }
}

// The session statements after the header lines and at the end: the
// settings the literals depend on, and for MySql the session's own back.
TEST(ScriptHeaderTest, SessionStatementsPerDialect) {
  const struct {
    TargetDialect dialect;
    std::string start;
    std::string end;
  } cases[] = {
      {TargetDialect::PostgreSql, "SET client_encoding = 'UTF8';\r\nSET standard_conforming_strings = on;\r\n", ""},
      {TargetDialect::MySql,
       "SET @quillmarsh_sql_mode = @@SESSION.sql_mode, @quillmarsh_character_set_client = "
       "@@SESSION.character_set_client, @quillmarsh_character_set_results = @@SESSION.character_set_results, "
       "@quillmarsh_collation_connection = @@SESSION.collation_connection;\r\n"
       "SET NAMES utf8mb4;\r\n"
       "SET SESSION sql_mode = TRIM(BOTH ',' FROM REPLACE(REPLACE(REPLACE(CONCAT(',', @@SESSION.sql_mode, ','), "
       "',NO_BACKSLASH_ESCAPES,', ','), ',EMPTY_STRING_IS_NULL,', ','), ',ORACLE,', ','));\r\n",
       "SET SESSION sql_mode = @quillmarsh_sql_mode, SESSION character_set_client = @quillmarsh_character_set_client, "
       "SESSION character_set_results = @quillmarsh_character_set_results, "
       "SESSION collation_connection = @quillmarsh_collation_connection;"},
      {TargetDialect::MsSql, "", ""},
      {TargetDialect::Oracle, "", ""},
      {TargetDialect::Pervasive, "", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ScriptSessionStart(c.dialect), c.start) << DialectName(c.dialect);
    EXPECT_EQ(ScriptSessionEnd(c.dialect), c.end) << DialectName(c.dialect);
  }
}

TEST(ScriptHeaderTest, StampsFollowTheSystemsShortDateAndLongTimeFormats) {
  EXPECT_EQ(LogStamp(&Now), "2004-12-31 - 23:59:58");
  FormatSettings& formats = GlobalFormatSettings();
  const FormatSettings saved = formats;
  formats.short_date_format = "dd/mm/yyyy";
  formats.date_separator = ".";
  formats.long_time_format = "h:nn:ss am/pm";
  EXPECT_EQ(LogStamp(&Now), "31.12.2004 - 11:59:58 pm");
  EXPECT_EQ(HeaderStamp(&Now), "31.12.2004 11:59:58 pm");
  formats = saved;
}

}  // namespace
}  // namespace quill
