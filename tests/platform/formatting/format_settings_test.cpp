#include "platform/formatting/format_settings.h"

#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "fixtures/temporary_folder.h"
#include "platform/formatting/format_date_time.h"
#include "platform/formatting/format_float.h"
#include "platform/formatting/format_settings_guard.h"

extern char** environ;

namespace quill {
namespace {

TEST(FormatSettings, CLocaleDefaults) {
  const FormatSettings c = CLocaleFormatSettings();
  EXPECT_EQ(c.short_date_format, "yyyy-mm-dd");
  EXPECT_EQ(c.long_time_format, "hh:nn:ss");
  EXPECT_EQ(c.short_time_format, "hh:nn");
  EXPECT_EQ(c.date_separator, "-");
  EXPECT_EQ(c.time_separator, ":");
  EXPECT_EQ(c.decimal_separator, ".");
  EXPECT_EQ(c.time_am_string, "AM");
  EXPECT_EQ(c.time_pm_string, "PM");
  EXPECT_EQ(c.short_month_names[0], "Jan");
  EXPECT_EQ(c.long_month_names[11], "December");
  EXPECT_EQ(c.short_day_names[0], "Sun");
  EXPECT_EQ(c.long_day_names[6], "Saturday");
}

TEST(FormatSettings, TheProcessStartsWithTheCLocaleValues) {
  EXPECT_EQ(GlobalFormatSettings(), CLocaleFormatSettings());
}

struct PatternCase {
  const char* pattern;
  const char* expected;
};

TEST(FormatSettings, TranslatesLocalePatterns) {
  const PatternCase cases[] = {
      {"%m/%d/%y", "mm/dd/yyyy"},  // the two-digit year is widened
      {"%d.%m.%Y", "dd.mm.yyyy"},
      {"%Y-%m-%d", "yyyy-mm-dd"},
      {"%F", "yyyy-mm-dd"},
      {"%D", "mm/dd/yyyy"},
      {"%e %B %Y", "d mmmm yyyy"},
      {"%a %d %b %Y", "ddd dd mmm yyyy"},
      {"%A, %-d. %B %Y", "dddd, d. mmmm yyyy"},
      {"%H:%M:%S", "hh:nn:ss"},
      {"%T", "hh:nn:ss"},
      {"%R", "hh:nn"},
      {"%r", "hh:nn:ss ampm"},
      {"%l:%M %p", "h:nn ampm"},
      {"%k.%M", "h.nn"},
      {"%Hh%M", "hh\"h\"nn"},               // letters would be specifiers: quoted
      {"%d de %B de %Y", "dd \"de\" mmmm \"de\" yyyy"},
      {"%Y年%m月%d日", "yyyy年mm月dd日"},
      {"%H:%M:%S %Z", "hh:nn:ss "},         // no time zone specifier: left out
      {"100%%", "100%"},
      {"%d'%m", "dd\"'\"mm"},
  };
  for (const PatternCase& c : cases) {
    EXPECT_EQ(TranslateLocalePattern(c.pattern), c.expected) << c.pattern;
  }
  EXPECT_EQ(TranslateLocalePattern("%r", "%H.%M.%S"), "hh.nn.ss");
}

TEST(FormatSettings, TranslatedPatternsFormatAsTheLocaleWould) {
  const FormatSettings settings = CLocaleFormatSettings();
  const DateTime value{2004, 3, 7, 13, 5, 9, 0};
  EXPECT_EQ(FormatDateTime(TranslateLocalePattern("%Hh%M"), value, settings), "13h05");
  EXPECT_EQ(FormatDateTime(TranslateLocalePattern("%d de %B de %Y"), value, settings), "07 de March de 2004");
  EXPECT_EQ(FormatDateTime(TranslateLocalePattern("%r"), value, settings), "01:05:09 PM");
  EXPECT_EQ(FormatDateTime(TranslateLocalePattern("%d'%m"), value, settings), "07'03");
}

// Sets environment variables for one scope and puts the old values back.
class EnvironmentScope {
 public:
  void Set(const char* name, const char* value) {
    const char* old = std::getenv(name);
    saved_.push_back({name, old == nullptr ? std::nullopt : std::optional<std::string>(old)});
    if (value == nullptr) {
      unsetenv(name);
    } else {
      setenv(name, value, 1);
    }
  }
  ~EnvironmentScope() {
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
      if (it->second) {
        setenv(it->first.c_str(), it->second->c_str(), 1);
      } else {
        unsetenv(it->first.c_str());
      }
    }
  }

 private:
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

TEST(FormatSettings, CLocalesAndMissingLocalesGiveTheCValues) {
  for (const char* name : {"C", "POSIX", "C.UTF-8", "xx_NOWHERE.UTF-8"}) {
    EnvironmentScope environment;
    environment.Set("LC_ALL", name);
    EXPECT_EQ(FormatSettingsFromEnvironment(), CLocaleFormatSettings()) << name;
  }
  EnvironmentScope environment;
  for (const char* name : {"LC_ALL", "LC_TIME", "LC_NUMERIC", "LANG"}) environment.Set(name, nullptr);
  EXPECT_EQ(FormatSettingsFromEnvironment(), CLocaleFormatSettings());
}

// Real locales compiled by the C library's localedef into a folder of the
// test, so the tests do not depend on the locales installed on the machine.
class InstalledLocale : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = locales_.path();
    environment_.Set("LOCPATH", folder_.c_str());
    for (const char* name : {"LC_ALL", "LC_TIME", "LC_NUMERIC", "LANG"}) environment_.Set(name, nullptr);
  }
  // Compiles e.g. ("de_DE", "UTF-8") as "de_DE.UTF-8" and returns that name.
  std::string Compile(const std::string& source, const std::string& charmap) {
    const std::string name = source + "." + charmap;
    const std::string target = (folder_ / name).string();
    std::vector<std::string> arguments = {"localedef", "-i", source, "-f", charmap, target};
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    int status = 0;
    EXPECT_EQ(posix_spawnp(&pid, "localedef", nullptr, nullptr, argv.data(), environ), 0) << "localedef not found";
    waitpid(pid, &status, 0);
    EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(target) / "LC_TIME")) << "localedef made no " << name;
    return name;
  }

  // A folder of this test's own: the process id alone may name a folder that
  // an ended process left behind.
  testing::TemporaryFolder locales_;
  std::filesystem::path folder_;
  EnvironmentScope environment_;
};

TEST_F(InstalledLocale, GermanDatesTimesAndNumbers) {
  environment_.Set("LC_ALL", Compile("de_DE", "UTF-8").c_str());
  const FormatSettings de = FormatSettingsFromEnvironment();
  EXPECT_EQ(de.short_date_format, "dd.mm.yyyy");
  EXPECT_EQ(de.long_date_format, "dddd d mmmm yyyy");
  EXPECT_EQ(de.long_time_format, "hh:nn:ss");
  EXPECT_EQ(de.short_time_format, "hh:nn");
  EXPECT_EQ(de.date_separator, ".");
  EXPECT_EQ(de.time_separator, ":");
  EXPECT_EQ(de.short_month_names[2], "Mär");
  EXPECT_EQ(de.long_month_names[2], "März");
  EXPECT_EQ(de.short_day_names[0], "So");
  EXPECT_EQ(de.long_day_names[1], "Montag");
  EXPECT_EQ(de.decimal_separator, ",");
  EXPECT_EQ(de.thousand_separator, ".");
  const DateTime value{2004, 3, 1, 13, 5, 9, 0};
  EXPECT_EQ(FormatDateTime("c", value, de), "01.03.2004 13:05:09");
  EXPECT_EQ(FormatDateTime("dddddd", value, de), "Montag 1 März 2004");
  EXPECT_EQ(FormatFloat("#,##0.00", 1234.5, de), "1.234,50");
}

TEST_F(InstalledLocale, TheTimeAndNumberCategoriesAreReadApart) {
  const std::string german = Compile("de_DE", "UTF-8");
  environment_.Set("LANG", "C");
  environment_.Set("LC_TIME", german.c_str());
  const FormatSettings mixed = FormatSettingsFromEnvironment();
  EXPECT_EQ(mixed.short_date_format, "dd.mm.yyyy");
  EXPECT_EQ(mixed.decimal_separator, ".");
  // The locale is only read: the process's own stays the C locale.
  EXPECT_EQ(FormatSettingsFromEnvironment(), mixed);
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%.1f", 2.5);
  EXPECT_STREQ(buffer, "2.5");
}

TEST_F(InstalledLocale, TwelveHourClockOfAnAmericanLocale) {
  environment_.Set("LC_ALL", Compile("en_US", "UTF-8").c_str());
  const FormatSettings us = FormatSettingsFromEnvironment();
  EXPECT_EQ(us.short_date_format, "mm/dd/yyyy");
  EXPECT_EQ(us.date_separator, "/");
  EXPECT_EQ(us.long_time_format, "hh:nn:ss ampm");
  EXPECT_EQ(us.short_time_format, "hh:nn ampm");
  EXPECT_EQ(FormatDateTime("c", DateTime{2004, 12, 31, 0, 30, 0, 0}, us), "12/31/2004 12:30:00 AM");
}

TEST_F(InstalledLocale, NamesOfAnEightBitLocaleBecomeUtf8) {
  environment_.Set("LC_ALL", Compile("fr_FR", "ISO-8859-1").c_str());
  const FormatSettings fr = FormatSettingsFromEnvironment();
  EXPECT_EQ(fr.short_date_format, "dd/mm/yyyy");
  EXPECT_EQ(fr.short_month_names[1], "févr.");
  EXPECT_EQ(fr.long_month_names[7], "août");
  EXPECT_EQ(fr.thousand_separator, "\u00a0");
}

TEST_F(InstalledLocale, InitialisingSetsTheGlobalVariables) {
  testing::FormatSettingsGuard guard;
  environment_.Set("LC_ALL", Compile("de_DE", "UTF-8").c_str());
  InitialiseFormatSettingsFromLocale();
  EXPECT_EQ(GlobalFormatSettings().short_date_format, "dd.mm.yyyy");
  EXPECT_EQ(FormatFloat("0.0", 2.5), "2,5");
}

}  // namespace
}  // namespace quill
