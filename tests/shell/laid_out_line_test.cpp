// A long line is laid out in pieces: positions and x must run on across the
// pieces' edges as they would in one layout of the whole line.
#include "shell/laid_out_line.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTextLayout>
#include <set>
#include <string>
#include <vector>

#include "common/utf8_steps.h"
#include "shell/shown_text.h"
#include "shell_test_support.h"

namespace quill {
namespace {

std::string Repeat(const std::string& text, std::size_t bytes) {
  std::string repeated;
  while (repeated.size() < bytes) repeated += text;
  return repeated;
}

// The character starts near every 16 KB, where pieces may end, and the ends.
std::vector<std::size_t> PositionsToCheck(const std::string& line) {
  std::set<std::size_t> wanted = {0, line.size()};
  for (std::size_t mark = 16 * 1024; mark < line.size(); mark += 16 * 1024) {
    for (std::size_t near = mark - 40; near < mark + 1100 && near < line.size(); near += 7) wanted.insert(near);
  }
  std::vector<std::size_t> starts;
  for (std::size_t at = 0; at <= line.size();) {
    const auto found = wanted.lower_bound(at);
    if (found != wanted.end() && *found == at) starts.push_back(at);
    if (at == line.size()) break;
    at += DecodeAt(line, at).length;
  }
  return starts;
}

TEST(LaidOutLineTest, PositionsAndXRunOnAcrossPieces) {
  testing::TestApplication();
  const QFont font = QApplication::font();
  const struct {
    const char* name;
    std::string line;
  } cases[] = {
      {"hexadecimal digits", "0x" + Repeat("0123456789ABCDEF", 70000)},
      {"text of 1 to 4 bytes a character", Repeat("O'Brien \xC3\xA9t\xC3\xA9 \xE5\x8C\x97\xF0\x9F\x98\x80 ", 70000)},
      {"no ASCII at all", Repeat("\xE5\x8C\x97\xE4\xBA\xAC", 70000)},
      {"a short line", "INSERT INTO t VALUES (1);"},
      {"an empty line", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const LaidOutLine line(100, c.line, font);
    QTextLayout whole(ShownText(c.line), font);
    whole.beginLayout();
    whole.createLine().setLineWidth(1e9);
    whole.endLayout();
    qreal previous_x = -1;
    for (std::size_t position : PositionsToCheck(c.line)) {
      const qreal x = line.XOf(position);
      EXPECT_GT(x, previous_x) << position;
      previous_x = x;
      EXPECT_NEAR(x, whole.lineAt(0).cursorToX(ShownIndex(c.line, position)), 1.0) << position;
      EXPECT_EQ(line.PositionAt(x), position) << position;
    }
    EXPECT_EQ(line.PositionAt(-5), 0u);
    EXPECT_EQ(line.PositionAt(1e12), c.line.size());
  }
}

}  // namespace
}  // namespace quill
