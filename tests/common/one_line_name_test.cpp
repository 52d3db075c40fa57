#include "common/one_line_name.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quill {
namespace {

// Every character a text view or a line reader ends a line at becomes a
// symbol of its own; everything else, invalid UTF-8 too, stays as it is.
TEST(OneLineNameTest, EachLineBreakIsASymbolOfItsOwn) {
  const struct {
    std::string name;
    std::string line;
  } cases[] = {
      {"plain name", "plain name"},
      {"a\nb", "a\u240Ab"},
      {"a\rb", "a\u240Db"},
      {"a\r\nb", "a\u240D\u240Ab"},
      {"a\vb\fc", "a\u240Bb\u240Cc"},
      {"a\u0085b\u2028c\u2029d", "a\u2424b\u2424c\u2424d"},
      {"tab\there", "tab\there"},
      {"Zoë 東京", "Zoë 東京"},
      {"bad\xFF\xC3", "bad\xFF\xC3"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(OneLineName(c.name), c.line) << c.name;
}

}  // namespace
}  // namespace quill
