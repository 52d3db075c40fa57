#include "platform/formatting/format_date_time.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/formatting/format_settings.h"
#include "platform/formatting/format_settings_guard.h"

namespace quill {
namespace {

struct FormatCase {
  const char* format;
  DateTime value;
  const char* expected;
};

// Friday 31 December 2004, 13:05:09.045.
const DateTime kAfternoon{2004, 12, 31, 13, 5, 9, 45'000'000};
const DateTime kMorning{2005, 3, 7, 9, 4, 3, 7'000'000};  // a Monday
const DateTime kMidnight{2004, 12, 31, 0, 0, 0, 0};

void ExpectCases(const FormatCase* begin, const FormatCase* end, const FormatSettings& settings) {
  for (const FormatCase* c = begin; c != end; ++c) {
    EXPECT_EQ(FormatDateTime(c->format, c->value, settings), c->expected) << "format \"" << c->format << "\"";
  }
}

TEST(FormatDateTime, EverySpecifier) {
  const FormatCase cases[] = {
      {"c", kAfternoon, "2004-12-31 13:05:09"},
      {"c", kMidnight, "2004-12-31"},
      {"d", kMorning, "7"},
      {"dd", kMorning, "07"},
      {"d", kAfternoon, "31"},
      {"ddd", kAfternoon, "Fri"},
      {"dddd", kMorning, "Monday"},
      {"ddddd", kAfternoon, "2004-12-31"},
      {"dddddd", kAfternoon, "Friday, December 31, 2004"},
      {"m", kMorning, "3"},
      {"mm", kMorning, "03"},
      {"mmm", kMorning, "Mar"},
      {"mmmm", kAfternoon, "December"},
      {"yy", kMorning, "05"},
      {"yyyy", kMorning, "2005"},
      {"h", kMorning, "9"},
      {"hh", kMorning, "09"},
      {"h", kAfternoon, "13"},
      {"n", kMorning, "4"},
      {"nn", kMorning, "04"},
      {"s", kMorning, "3"},
      {"ss", kMorning, "03"},
      {"z", kMorning, "7"},
      {"zzz", kMorning, "007"},
      {"zzz", kAfternoon, "045"},
      {"t", kAfternoon, "13:05"},
      {"tt", kAfternoon, "13:05:09"},
      {"yyyy/mm/dd", kAfternoon, "2004-12-31"},
      {"hh:nn:ss", kMorning, "09:04:03"},
      {"dd mmmm yyyy, dddd", kMorning, "07 March 2005, Monday"},
  };
  ExpectCases(std::begin(cases), std::end(cases), CLocaleFormatSettings());
}

TEST(FormatDateTime, UpperAndLowerCaseAlike) {
  const FormatCase cases[] = {
      {"YYYY-MM-DD", kAfternoon, "2004-12-31"},
      {"HH:NN:SS.ZZZ", kAfternoon, "13:05:09.045"},
      {"DDDD MMM", kMorning, "Monday Mar"},
      {"Yyyy", kMorning, "2005"},
      {"C", kMidnight, "2004-12-31"},
      {"HH:MM", kMorning, "09:04"},
  };
  ExpectCases(std::begin(cases), std::end(cases), CLocaleFormatSettings());
}

TEST(FormatDateTime, AnEmptyFormatIsTheShortDateAndLongTime) {
  const FormatSettings settings = CLocaleFormatSettings();
  EXPECT_EQ(FormatDateTime("", kAfternoon, settings), "2004-12-31 13:05:09");
  EXPECT_EQ(FormatDateTime("", kMidnight, settings), "2004-12-31");
  // Milliseconds alone do not make a time of day for "c".
  EXPECT_EQ(FormatDateTime("", DateTime{2004, 12, 31, 0, 0, 0, 500'000'000}, settings), "2004-12-31");
  EXPECT_EQ(FormatDateTime("", DateTime{2004, 12, 31, 0, 0, 1, 0}, settings), "2004-12-31 00:00:01");
}

TEST(FormatDateTime, AnMAfterAnHourIsTheMinute) {
  const FormatCase cases[] = {
      {"hh:mm", kMorning, "09:04"},
      {"h:m", kMorning, "9:4"},
      {"hh mm", kMorning, "09 04"},
      {"hh'h'mm", kMorning, "09h04"},
      {"hh\" o'clock \"mm", kMorning, "09 o'clock 04"},
      {"hhmm", kMorning, "0904"},
      {"mm", kMorning, "03"},
      {"mm hh", kMorning, "03 09"},
      {"hh dd mm", kMorning, "09 07 03"},  // another letter in between: the month again
      {"hh:nn mm", kMorning, "09:04 03"},
      {"hh:mm:ss dd/mm", kMorning, "09:04:03 07-03"},
  };
  ExpectCases(std::begin(cases), std::end(cases), CLocaleFormatSettings());
}

TEST(FormatDateTime, TwelveHourClock) {
  const DateTime half_past_midnight{2004, 1, 1, 0, 30, 0, 0};
  const DateTime half_past_noon{2004, 1, 1, 12, 30, 0, 0};
  const DateTime before_noon{2004, 1, 1, 11, 59, 0, 0};
  const DateTime evening{2004, 1, 1, 23, 5, 0, 0};
  const FormatCase cases[] = {
      {"h:nn am/pm", half_past_midnight, "12:30 am"},
      {"h:nn am/pm", half_past_noon, "12:30 pm"},
      {"h:nn am/pm", before_noon, "11:59 am"},
      {"hh:nn am/pm", evening, "11:05 pm"},
      {"h:nn AM/PM", evening, "11:05 PM"},
      {"h:nn Am/pM", evening, "11:05 pM"},  // the case of the format's own text
      {"h a/p", half_past_midnight, "12 a"},
      {"h A/P", evening, "11 P"},
      {"h ampm", half_past_midnight, "12 AM"},
      {"h AMPM", half_past_noon, "12 PM"},
      {"h", half_past_midnight, "0"},
      {"h 'am/pm'", evening, "23 am/pm"},        // quoted: no 12-hour clock
      {"h h am/pm", evening, "23 11 pm"},        // only the hour before it
      {"am/pm h", evening, "pm 11"},             // after it in the same format
      {"h amx", evening, "23 a1x"},  // no clock: "a" stands, "m" is the month again
  };
  ExpectCases(std::begin(cases), std::end(cases), CLocaleFormatSettings());
}

TEST(FormatDateTime, AmPmTextsAndSeparatorsComeFromTheSettings) {
  FormatSettings settings = CLocaleFormatSettings();
  settings.time_am_string = "vorm.";
  settings.time_pm_string = "nachm.";
  settings.date_separator = ".";
  settings.time_separator = "h";
  const FormatCase cases[] = {
      {"hh:nn ampm", kAfternoon, "01h05 nachm."},
      {"h ampm", kMorning, "9 vorm."},
      {"dd/mm/yyyy", kAfternoon, "31.12.2004"},
      {"d/m/yy", kMorning, "7.3.05"},
  };
  ExpectCases(std::begin(cases), std::end(cases), settings);
}

TEST(FormatDateTime, QuotedAndOtherTextStandsAsItIs) {
  const FormatCase cases[] = {
      {"'yyyy' yyyy", kAfternoon, "yyyy 2004"},
      {"\"dd\"dd", kAfternoon, "dd31"},
      {"'it''s' d", kAfternoon, "its 31"},
      {"\"a 'b'\" d", kAfternoon, "a 'b' 31"},
      {"yyyy 'unclosed", kAfternoon, "2004 unclosed"},
      {"yyyy年mm月dd日", kAfternoon, "2004年12月31日"},
      {"[yyyy] #x%", kAfternoon, "[2004] #x%"},
      {"dd. mmm", kAfternoon, "31. Dec"},
  };
  ExpectCases(std::begin(cases), std::end(cases), CLocaleFormatSettings());
}

TEST(FormatDateTime, NamedFormatsAndNamesFromTheSettings) {
  FormatSettings settings = CLocaleFormatSettings();
  settings.short_date_format = "dd/mm/yy";
  settings.long_date_format = "dddd d mmmm yyyy";
  settings.short_time_format = "h'h'nn";
  settings.long_time_format = "hh:nn:ss.zzz";
  settings.long_month_names[11] = "décembre";
  settings.long_day_names[5] = "vendredi";
  const FormatCase cases[] = {
      {"ddddd", kAfternoon, "31-12-04"},
      {"dddddd", kAfternoon, "vendredi 31 décembre 2004"},
      {"t", kAfternoon, "13h05"},
      {"tt", kAfternoon, "13:05:09.045"},
      {"c", kAfternoon, "31-12-04 13:05:09.045"},
      {"", kMidnight, "31-12-04"},
  };
  ExpectCases(std::begin(cases), std::end(cases), settings);
}

TEST(FormatDateTime, AFormatVariableNamingItselfEnds) {
  FormatSettings settings = CLocaleFormatSettings();
  settings.short_date_format = "ddddd";
  settings.long_time_format = "c";
  EXPECT_EQ(FormatDateTime("ddddd", kAfternoon, settings), "");
  EXPECT_EQ(FormatDateTime("[c]", kAfternoon, settings), "[  ]");
}

TEST(FormatDateTime, FarDatesAndDaysOfTheWeek) {
  const FormatSettings settings = CLocaleFormatSettings();
  EXPECT_EQ(FormatDateTime("yyyy-mm-dd dddd", DateTime{100, 3, 1}, settings), "0100-03-01 Monday");
  EXPECT_EQ(FormatDateTime("yy", DateTime{100, 3, 1}, settings), "00");
  EXPECT_EQ(FormatDateTime("yyyy-mm-dd dddd", DateTime{1, 1, 1}, settings), "0001-01-01 Monday");
  EXPECT_EQ(FormatDateTime("yyyy-mm-dd dddd", DateTime{1899, 12, 30}, settings), "1899-12-30 Saturday");
  EXPECT_EQ(FormatDateTime("yyyy-mm-dd dddd", DateTime{2000, 2, 29}, settings), "2000-02-29 Tuesday");
  EXPECT_EQ(FormatDateTime("yyyy-mm-dd dddd", DateTime{9999, 12, 31}, settings), "9999-12-31 Friday");
}

TEST(FormatDateTime, TheShortFormFollowsTheGlobalVariables) {
  testing::FormatSettingsGuard guard;
  EXPECT_EQ(FormatDateTime("c", kAfternoon), "2004-12-31 13:05:09");
  GlobalFormatSettings().short_date_format = "dd/mm/yyyy";
  GlobalFormatSettings().date_separator = ".";
  EXPECT_EQ(FormatDateTime("c", kAfternoon), "31.12.2004 13:05:09");
}

}  // namespace
}  // namespace quill
