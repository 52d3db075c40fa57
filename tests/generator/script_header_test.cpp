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
