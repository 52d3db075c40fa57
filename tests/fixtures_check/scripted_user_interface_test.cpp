#include "fixtures/scripted_user_interface.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

namespace quill::testing {
namespace {

TEST(ScriptedUserInterfaceTest, MessageBoxesTakeScriptedAnswersInOrder) {
  ScriptedUserInterface ui;
  ui.AnswerMessageBoxes({MessageAnswer::Ok, MessageAnswer::No});
  EXPECT_EQ(ui.ShowMessageBox("Done", MessageIcon::Information, MessageButtons::Ok), MessageAnswer::Ok);
  EXPECT_EQ(ui.ShowMessageBox("Go on ?", MessageIcon::Question, MessageButtons::YesNo, true), MessageAnswer::No);
  ASSERT_EQ(ui.message_boxes().size(), 2u);
  EXPECT_EQ(ui.message_boxes()[1].text, "Go on ?");
  EXPECT_EQ(ui.message_boxes()[1].icon, MessageIcon::Question);
  EXPECT_TRUE(ui.message_boxes()[1].default_is_no);
  EXPECT_EQ(ui.message_boxes()[1].answer, MessageAnswer::No);
}

TEST(ScriptedUserInterfaceTest, UnscriptedMessageBoxFailsTheTest) {
  ScriptedUserInterface ui;
  EXPECT_NONFATAL_FAILURE(ui.ShowMessageBox("Surprise", MessageIcon::Error, MessageButtons::Ok),
                          "no test scripted: \"Surprise\"");
}

TEST(ScriptedUserInterfaceTest, AnswerThatDoesNotFitTheButtonsFailsTheTest) {
  ScriptedUserInterface ui;
  ui.AnswerMessageBox(MessageAnswer::Yes);
  EXPECT_NONFATAL_FAILURE(ui.ShowMessageBox("Done", MessageIcon::Information, MessageButtons::Ok),
                          "does not fit the buttons");
}

TEST(ScriptedUserInterfaceTest, UnusedAnswersFailTheTest) {
  EXPECT_NONFATAL_FAILURE(
      {
        ScriptedUserInterface ui;
        ui.AnswerMessageBox(MessageAnswer::Yes);
      },
      "never used");
}

TEST(ScriptedUserInterfaceTest, EscapeComesAtTheScriptedPollOnly) {
  ScriptedUserInterface ui;
  ui.PressEscapeAtPoll(3);
  std::vector<bool> polls;
  for (int i = 0; i < 4; ++i) polls.push_back(ui.EscapePressed());
  EXPECT_EQ(polls, (std::vector<bool>{false, false, true, false}));
  EXPECT_EQ(ui.escape_polls(), 4);
}

TEST(ScriptedUserInterfaceTest, TableSelectionAnswersAndCancel) {
  ScriptedUserInterface ui;
  ui.AnswerTableSelection(std::vector<std::string>{"b", "a"});
  ui.AnswerTableSelection(std::nullopt);
  std::vector<std::string> chosen;
  EXPECT_TRUE(ui.SelectTables({"a", "b", "c"}, "Choose", chosen));
  EXPECT_EQ(chosen, (std::vector<std::string>{"b", "a"}));
  EXPECT_FALSE(ui.SelectTables({"a"}, "Choose", chosen));
  ASSERT_EQ(ui.table_selections().size(), 2u);
  EXPECT_EQ(ui.table_selections()[0].listed_tables, (std::vector<std::string>{"a", "b", "c"}));
  std::vector<std::string> ignored;
  EXPECT_NONFATAL_FAILURE(ui.SelectTables({"a"}, "Choose", ignored), "no test scripted");
}

TEST(ScriptedUserInterfaceTest, DesignerDefaultsToEmptyScriptsAfterTheScriptedOnes) {
  ScriptedUserInterface ui;
  ui.AnswerForeignKeyDesigner(ForeignKeyScripts{"ADD", "DROP", true});
  ui.AnswerForeignKeyDesigner(std::nullopt);
  ForeignKeyScripts scripts;
  EXPECT_TRUE(ui.RunForeignKeyDesigner({"a"}, scripts));
  EXPECT_EQ(scripts.add_constraint_script, "ADD");
  EXPECT_FALSE(ui.RunForeignKeyDesigner({"a"}, scripts));
  EXPECT_TRUE(ui.RunForeignKeyDesigner({"a", "b"}, scripts));
  EXPECT_EQ(scripts.add_constraint_script, "");
  EXPECT_EQ(scripts.drop_constraint_script, "");
  EXPECT_EQ(ui.designer_runs().size(), 3u);
}

TEST(ScriptedUserInterfaceTest, RecordsEveryCallInOrder) {
  ScriptedUserInterface ui;
  ui.SetSelectedNodeCaption("Sample");
  ui.SetStatusText("Working");
  ui.AddLogLine("plain");
  ui.AddColoredLine("warning", kLogRed);
  ui.SetProgressMaximum(10);
  ui.SetProgressPosition(4);
  ui.ShowPlacedMessage("Placed", 30, 40);
  ui.ShowErrorDialog("Broken");
  ui.AddScriptTab(ScriptDocument{"Script1", 2, ScriptBuffer::FromItems({"line"}), "summary"});
  ui.Pause(300);
  EXPECT_EQ(ui.SelectedNodeCaption(), "Sample");
  EXPECT_EQ(ui.events(), (std::vector<std::string>{"status: Working", "log: plain", "log: warning", "placed: Placed",
                                                   "error: Broken", "tab: Script1", "pause: 300"}));
  ASSERT_EQ(ui.log_lines().size(), 2u);
  EXPECT_FALSE(ui.log_lines()[0].color.has_value());
  EXPECT_EQ(ui.log_lines()[1].color, kLogRed);
  EXPECT_EQ(ui.ProgressMaximum(), 10);
  EXPECT_EQ(ui.ProgressPosition(), 4);
  EXPECT_EQ(ui.placed_messages()[0].dx, 30);
  EXPECT_EQ(ui.placed_messages()[0].dy, 40);
  EXPECT_EQ(ui.tabs()[0].summary, "summary");
}

}  // namespace
}  // namespace quill::testing
