#include "common/text_lines.h"

#include <gtest/gtest.h>

namespace quill {
namespace {

TEST(TextLinesTest, EveryLineEndCountsOnce) {
  using Lines = std::vector<std::string>;
  const struct {
    std::string text;
    Lines lines;
  } cases[] = {
      {"", {}},
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\nb", {"a", "b"}},
      {"a\r\r\nb\r", {"a", "", "b"}},
      {"\r\n\r\n", {"", ""}},
  };
  for (const auto& test : cases) EXPECT_EQ(TextLines(test.text), test.lines) << test.text;
}

}  // namespace
}  // namespace quill
