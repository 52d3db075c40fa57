// The field texts and masks every script value starts from: nanoseconds per
// value for floats (shortest text and a mask) and date-times, over a spread
// of magnitudes, so a slow path in the digit conversion shows.
//
// Usage: bench_field_text [values]     (default 1000000)

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/formatting/field_text.h"
#include "platform/formatting/format_float.h"

namespace {

using Clock = std::chrono::steady_clock;

template <typename Format>
void Measure(const char* name, size_t count, Format format) {
  size_t characters = 0;
  const auto start = Clock::now();
  for (size_t i = 0; i < count; ++i) characters += format(i).size();
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  std::printf("%-28s %8.1f ns/value  (%zu characters)\n", name, seconds * 1e9 / static_cast<double>(count), characters);
}

}  // namespace

int main(int argc, char** argv) {
  const size_t count = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 1'000'000;
  std::vector<double> values(count);
  unsigned long long state = 12345;
  for (double& value : values) {
    state = state * 6364136223846793005ULL + 1442695040888963407ULL;
    const double mantissa = static_cast<double>(state >> 11) / 9007199254740992.0;
    value = (mantissa - 0.5) * std::pow(10.0, static_cast<int>(state % 41) - 20);
  }
  Measure("FloatFieldText", count, [&](size_t i) { return quill::FloatFieldText(values[i]); });
  Measure("FormatFloat #,##0.00", count, [&](size_t i) { return quill::FormatFloat("#,##0.00", values[i]); });
  Measure("FormatFloat 0.00E+00", count, [&](size_t i) { return quill::FormatFloat("0.00E+00", values[i]); });
  Measure("FormatFloat 0.00 (tiny)", count, [&](size_t i) { return quill::FormatFloat("0.00", values[i] * 1e-290); });
  Measure("DateTimeFieldText", count, [&](size_t i) {
    const int n = static_cast<int>(i);
    return quill::DateTimeFieldText(quill::DateTime{1900 + n % 200, 1 + n % 12, 1 + n % 28, n % 24, n % 60, n % 60, 0});
  });
  return 0;
}
