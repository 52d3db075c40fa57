#include "common/clock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <string>

#include "platform/formatting/date_time.h"

namespace quill {
namespace {

// time() reads a coarse clock that may lag the precise one by a tick, so the
// bounds come from the same clock the program reads.
std::time_t PreciseSeconds() {
  return std::chrono::system_clock::to_time_t(
      std::chrono::floor<std::chrono::seconds>(std::chrono::system_clock::now()));
}

DateTime LocalTime(std::time_t seconds) {
  std::tm local{};
  localtime_r(&seconds, &local);
  return DateTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec, 0};
}

// The local clock of a fixed zone far from UTC, so a reading in UTC fails.
TEST(SystemNow, IsTheLocalTimeWithMilliseconds) {
  const char* old_zone = std::getenv("TZ");
  const std::string saved = old_zone == nullptr ? "" : old_zone;
  setenv("TZ", "XXX-09:30", 1);
  tzset();
  const std::time_t before = PreciseSeconds();
  const DateTime now = SystemNow();
  const std::time_t after = PreciseSeconds();
  EXPECT_GE(ToSerial(now), ToSerial(LocalTime(before)));
  EXPECT_LT(ToSerial(now), ToSerial(LocalTime(after + 1)));
  EXPECT_EQ(now.nanosecond % 1'000'000, 0);
  EXPECT_LT(now.nanosecond, 1'000'000'000);
  if (old_zone == nullptr) {
    unsetenv("TZ");
  } else {
    setenv("TZ", saved.c_str(), 1);
  }
  tzset();
}

}  // namespace
}  // namespace quill
