#include "common/clock.h"

#include <chrono>
#include <ctime>

namespace quill {

DateTime SystemNow() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  // to_time_t may round; take the milliseconds from the same whole second.
  const auto since_second = now - std::chrono::system_clock::from_time_t(seconds);
  long long milliseconds = std::chrono::duration_cast<std::chrono::milliseconds>(since_second).count();
  std::time_t local_seconds = seconds;
  if (milliseconds < 0) {
    milliseconds += 1000;
    local_seconds -= 1;
  }
  std::tm local{};
  localtime_r(&local_seconds, &local);
  DateTime result;
  result.year = local.tm_year + 1900;
  result.month = local.tm_mon + 1;
  result.day = local.tm_mday;
  result.hour = local.tm_hour;
  result.minute = local.tm_min;
  result.second = local.tm_sec == 60 ? 59 : local.tm_sec;  // a leap second is not a time of day
  result.nanosecond = static_cast<int>(milliseconds) * 1'000'000;
  return result;
}

}  // namespace quill
