#include "platform/ini/ini_document.h"

#include <gtest/gtest.h>

namespace quill {
namespace {

TEST(IniDocumentTest, SectionAndKeyNamesIgnoreCaseAndFirstMatchWins) {
  const IniDocument document(
      "[Misc]\n"
      "Drop=1\n"
      "drop=2\n"
      "[misc]\n"
      "Alpha=1\n");
  EXPECT_EQ(document.Find("MISC", "DROP"), "1");
  // The second [misc] is never looked at.
  EXPECT_EQ(document.Find("Misc", "Alpha"), std::nullopt);
  EXPECT_EQ(document.Find("Output", "Drop"), std::nullopt);
}

TEST(IniDocumentTest, BlanksAroundNamesAndValuesAndQuotesAreNotPartOfThem) {
  const IniDocument document(
      "  [ Data ]  \r\n"
      "  Size = 30 \r\n"
      "Font=\"MS Sans Serif\"\r\n"
      "Empty=\r\n"
      "; Comment=1\r\n"
      "# Other=1\r\n"
      "no equals sign\r\n");
  EXPECT_EQ(document.Find("Data", "Size"), "30");
  EXPECT_EQ(document.Find("Data", "Font"), "MS Sans Serif");
  EXPECT_EQ(document.Find("Data", "Empty"), "");
  EXPECT_EQ(document.Find("Data", "; Comment"), std::nullopt);
  EXPECT_EQ(document.Find("Data", "# Other"), std::nullopt);
}

TEST(IniDocumentTest, KeysBeforeAnySectionBelongToNone) {
  const IniDocument document("Drop=1\n[Misc]\nAlpha=1\n");
  EXPECT_EQ(document.Find("Misc", "Drop"), std::nullopt);
  EXPECT_EQ(document.Find("", "Drop"), std::nullopt);
}

TEST(IniDocumentTest, SetReplacesInPlaceAndKeepsOtherLinesAndComments) {
  IniDocument document(
      "; my settings\n"
      "[Misc]\n"
      "Drop = 1\n"
      "; keep me\n"
      "Alpha=0\n"
      "\n"
      "[Output]\n"
      "Format=2\n");
  document.Set("misc", "DROP", "0");
  EXPECT_EQ(document.Text(),
            "; my settings\n"
            "[Misc]\n"
            "Drop =0\n"
            "; keep me\n"
            "Alpha=0\n"
            "\n"
            "[Output]\n"
            "Format=2\n");
}

TEST(IniDocumentTest, NewKeysGoToTheEndOfTheirSectionAndNewSectionsToTheEnd) {
  IniDocument document(
      "[Misc]\r\n"
      "Drop=1\r\n"
      "\r\n"
      "[Output]\r\n"
      "Format=2\r\n");
  document.Set("Misc", "Alpha", "1");
  document.Set("Output", "Content", "0");
  document.Set("Data", "Size", "30");
  EXPECT_EQ(document.Text(),
            "[Misc]\r\n"
            "Drop=1\r\n"
            "Alpha=1\r\n"
            "\r\n"
            "[Output]\r\n"
            "Format=2\r\n"
            "Content=0\r\n"
            "[Data]\r\n"
            "Size=30\r\n");
}

TEST(IniDocumentTest, AnEmptyDocumentGrowsSectionByKey) {
  IniDocument document;
  document.Set("Data", "Convert", "0");
  document.Set("Data", "Size", "30");
  document.Set("Misc", "Drop", "1");
  EXPECT_EQ(document.Text(), "[Data]\nConvert=0\nSize=30\n[Misc]\nDrop=1\n");
}

TEST(IniDocumentTest, SectionsAndEntriesComeInFileOrderOnce) {
  const IniDocument document(
      "[Zeta Source]\nDriver=SQLite3\nDatabase=/tmp/z.db\ndriver=other\n"
      "[Alpha Source]\nDriver=PostgreSQL Unicode\n"
      "[zeta source]\nDriver=ignored\n");
  EXPECT_EQ(document.SectionNames(), (std::vector<std::string>{"Zeta Source", "Alpha Source"}));
  EXPECT_EQ(document.Entries("ZETA SOURCE"),
            (std::vector<std::pair<std::string, std::string>>{{"Driver", "SQLite3"}, {"Database", "/tmp/z.db"}}));
  EXPECT_TRUE(document.Entries("Missing").empty());
}

TEST(IniDocumentTest, ATextWithoutFinalLineEndKeepsItThatWay) {
  IniDocument document("[Misc]\nDrop=1");
  document.Set("Misc", "Drop", "0");
  EXPECT_EQ(document.Text(), "[Misc]\nDrop=0");
}

}  // namespace
}  // namespace quill
