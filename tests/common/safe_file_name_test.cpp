#include "common/safe_file_name.h"

#include <gtest/gtest.h>

#include <string>

namespace quill {
namespace {

TEST(SafeFileNameTest, EveryNameStaysOnePartInsideItsFolder) {
  const std::string long_name(300, 'a');
  const std::string long_greek = "x" + [] {
    std::string text;
    for (int i = 0; i < 200; ++i) text += "\xCE\xB1";  // alpha, two bytes each
    return text;
  }();
  const struct {
    std::string name;
    std::string extension;
    std::string safe;
  } cases[] = {
      {"orders", ".csv", "orders.csv"},
      {"Order Details", ".xml", "Order Details.xml"},
      {"public.orders", ".csv", "public.orders.csv"},
      {"Łukasiewicz 日本", ".csv", "Łukasiewicz 日本.csv"},
      {"../elsewhere/x", ".csv", ".._elsewhere_x.csv"},
      {"x./../elsewhere/x", ".csv", "x._.._elsewhere_x.csv"},
      {"a\\..\\b", "", "a_.._b"},
      {"..", "", "__"},
      {".", ".xml", "_.xml"},
      {"...", "", "___"},
      {"", ".csv", "_.csv"},
      {std::string("nul\0here", 8), "", "nul_here"},
      {"tab\there\nline\x7F", "", "tab_here_line_"},
      {"..hidden", "", "..hidden"},
      {long_name, ".csv", std::string(236, 'a') + ".csv"},
      {long_greek, ".xml", "x" + long_greek.substr(1, 234) + ".xml"},
  };
  for (const auto& test : cases) {
    const std::string safe = SafeFileName(test.name, test.extension);
    EXPECT_EQ(safe, test.safe) << test.name;
    EXPECT_LE(safe.size(), kMaxFileNameBytes) << test.name;
  }
}

}  // namespace
}  // namespace quill
