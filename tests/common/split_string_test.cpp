#include "common/split_string.h"

#include <gtest/gtest.h>

namespace quill {
namespace {

TEST(SplitString, LastPieceIsAlwaysAnItem) {
  struct Case {
    std::string text;
    std::string delimiter;
    std::vector<std::string> pieces;
  };
  const Case cases[] = {
      {"a;b;c", ";", {"a", "b", "c"}},
      {"a;b;", ";", {"a", "b", ""}},
      {"", ";", {""}},
      {";", ";", {"", ""}},
      {"one", ";", {"one"}},
      {"a--b----c", "--", {"a", "b", "", "c"}},
  };
  for (const Case& c : cases) EXPECT_EQ(SplitString(c.text, c.delimiter), c.pieces) << c.text;
}

}  // namespace
}  // namespace quill
