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

// One run's names: unique in their folder letter case aside, the same for
// the same owner, and independent from folder to folder.
TEST(RunFileNamesTest, EachOwnerHasAFileOfItsOwnInItsFolder) {
  const struct {
    std::string folder;
    std::string owner;
    std::string name;
    std::string extension;
    std::string given;
  } cases[] = {
      {"/out", "t1", "a_b", ".csv", "a_b.csv"},
      {"/out", "t2", "a/b", ".csv", "a_b_2.csv"},
      {"/out", "t3", "A_B", ".csv", "A_B_3.csv"},   // one file on a case-insensitive file system
      {"/out", "t4", "a_b_2", ".csv", "a_b_2_2.csv"},
      {"/out", "t1", "a_b", ".csv", "a_b.csv"},     // the same owner again
      {"/out", "t5", "a_b", ".xml", "a_b.xml"},     // another extension is another file
      {"/other", "t2", "a/b", ".csv", "a_b.csv"},   // another folder starts afresh
      {"/out", "t6", std::string(300, 'y'), ".csv", std::string(236, 'y') + ".csv"},
      {"/out", "t7", std::string(300, 'y'), ".csv", std::string(234, 'y') + "_2.csv"},
      {"/out", "t8", "Ärger", "", "Ärger"},
      {"/out", "t9", "ärger", "", "ärger_2"},     // letters beyond ASCII are folded too
      {"/out", "t10", "ΣΟΦΊΑ", ".csv", "ΣΟΦΊΑ.csv"},
      {"/out", "t11", "σοφία", ".csv", "σοφία_2.csv"},
      {"/out", "t12", "ПРИВЕТ", ".xml", "ПРИВЕТ.xml"},
      {"/out", "t13", "привет", ".xml", "привет_2.xml"},
      {"/out", "t14", "Ärger\xFF", "", "Ärger\xFF"},  // a byte of no character stands for itself
      {"/out", "t15", "ärger\xFF", "", "ärger\xFF_2"},
  };
  RunFileNames names;
  for (const auto& c : cases) {
    EXPECT_EQ(names.NameIn(c.folder, c.owner, c.name, c.extension), c.given) << c.owner << " " << c.name;
  }
}

}  // namespace
}  // namespace quill
